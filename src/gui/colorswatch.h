#pragma once
// A colour swatch: a small box showing a stored Windows colour value. Clicking it
// opens the colour dialog; cancelling keeps the colour.
#include <QLabel>

namespace quoteria {

class ColorSwatch : public QLabel {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    qint64 winColor() const { return m_value; }
    void setWinColor(qint64 windowsColor);
    // The colour dialog; true when a colour was chosen.
    bool pick();

Q_SIGNALS:
    // The operator chose a colour.
    void picked(qint64 windowsColor);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    qint64 m_value = 0;
};

} // namespace quoteria
