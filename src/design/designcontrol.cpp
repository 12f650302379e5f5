#include "design/designcontrol.h"

#include "design/layoutdesigner.h"
#include "design/layoutmodel.h"
#include "gui/named.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace quoteria {

DesignControl::DesignControl(LayoutDesigner* designer)
    : QWidget(designer, Qt::Tool), m_designer(designer) {
    setObjectName(QStringLiteral("frmTool"));
    setWindowTitle(QStringLiteral("Control"));

    m_edit = named(new QPushButton(QStringLiteral("Edit"), this), "cmdEdit");
    // Shows whether zones can be dragged; Save toggles the mode as well.
    m_edit->setCheckable(true);
    auto* save = named(new QPushButton(QStringLiteral("Save"), this), "cmdSave");
    auto* reset = named(new QPushButton(QStringLiteral("Reset"), this), "cmdReset");
    m_zoomIn = named(new QPushButton(QStringLiteral("+"), this), "cmdZoomIn");
    m_zoomOut = named(new QPushButton(QStringLiteral("-"), this), "cmdZoomOut");
    auto* exit = named(new QPushButton(QStringLiteral("Exit"), this), "cmdExit");

    auto* layout = new QVBoxLayout(this);
    for (QPushButton* b : {m_edit, save, reset, m_zoomIn, m_zoomOut, exit}) {
        b->setAutoDefault(false);
        layout->addWidget(b);
    }
    layout->addStretch();

    const auto showMode = [this] { m_edit->setChecked(m_designer->model().designMode()); };
    connect(m_edit, &QPushButton::clicked, this, [this, showMode] {
        m_designer->editDesign();
        showMode();
    });
    connect(save, &QPushButton::clicked, this, [this, showMode] {
        m_designer->saveAtHalfScale();
        showMode();
    });
    connect(reset, &QPushButton::clicked, m_designer, &LayoutDesigner::resetH);
    connect(m_zoomIn, &QPushButton::clicked, this, [this] { zoom(LayoutModel::kZoomStep); });
    connect(m_zoomOut, &QPushButton::clicked, this, [this] { zoom(1 / LayoutModel::kZoomStep); });
    connect(exit, &QPushButton::clicked, m_designer, &QWidget::close);
}

void DesignControl::zoom(double factor) {
    m_zoomIn->setEnabled(false);
    m_zoomOut->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_designer->zoom(factor);
    QApplication::restoreOverrideCursor();
    m_zoomIn->setEnabled(true);
    m_zoomOut->setEnabled(true);
}

void DesignControl::dockTo(const QWidget* designer) {
    move(designer->x() - frameGeometry().width(), designer->y());
}

void DesignControl::closeEvent(QCloseEvent* event) {
    m_designer->close();
    QWidget::closeEvent(event);
}

// While the operator works this window, the designer keeps to its right edge.
void DesignControl::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (isActiveWindow())
        m_designer->followControl();
}

void DesignControl::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_designer->followControl();
}

} // namespace quoteria
