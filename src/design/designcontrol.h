#pragma once
// The layout designer's floating control window ("Control"): docked to the
// designer's left edge, its buttons drive the designer.
#include <QWidget>

class QPushButton;

namespace quoteria {

class LayoutDesigner;

class DesignControl : public QWidget {
    Q_OBJECT
public:
    explicit DesignControl(LayoutDesigner* designer);

    // Puts this window against the designer's left edge, its top at the designer's.
    void dockTo(const QWidget* designer);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void zoom(double factor);

    LayoutDesigner* m_designer;
    QPushButton* m_edit;
    QPushButton* m_zoomIn;
    QPushButton* m_zoomOut;
};

} // namespace quoteria
