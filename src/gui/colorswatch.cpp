#include "gui/colorswatch.h"

#include "data/wincolor.h"
#include "gui/dialogservice.h"

#include <QMouseEvent>

namespace quoteria {

ColorSwatch::ColorSwatch(QWidget* parent) : QLabel(parent) {
    setFixedSize(60, 20);
    setCursor(Qt::PointingHandCursor);
    setWinColor(0);
}

void ColorSwatch::setWinColor(qint64 windowsColor) {
    // The value itself is kept: a system colour number survives being shown.
    m_value = windowsColor;
    setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;")
                      .arg(colorFromWin(windowsColor).name()));
}

bool ColorSwatch::pick() {
    const QColor c = dialogs().color(window(), colorFromWin(m_value));
    if (!c.isValid())
        return false;
    setWinColor(winFromColor(c));
    emit picked(m_value);
    return true;
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        pick();
    QLabel::mouseReleaseEvent(event);
}

} // namespace quoteria
