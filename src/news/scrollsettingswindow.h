#pragma once
// The ticker settings of one theme ("Scroll Settings").
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace quoteria {

struct AppContext;
class ColorSwatch;

class ScrollSettingsWindow : public QWidget {
    Q_OBJECT
public:
    ScrollSettingsWindow(AppContext& ctx, QWidget* parent = nullptr);

    // The theme's key, as the hidden label's text; the opener sets it.
    QLabel* lblRef() const { return m_lblRef; }
    // Loads the theme's row into the controls.
    void getData();
    // Adds the theme's row / overwrites it.
    bool saveData();
    bool updateData();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void save();
    void browseImage();
    qint64 themeKey() const;

    AppContext& m_ctx;
    QLabel* m_lblRef;
    ColorSwatch* m_lblClr1;
    ColorSwatch* m_lblClr2;
    QCheckBox* m_chkGrad;
    QComboBox* m_cmbSpeed;
    QComboBox* m_cmbType;
    QLineEdit* m_txtImage;
    QComboBox* m_cmbDir;
};

} // namespace quoteria
