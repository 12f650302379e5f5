#include "data/wincolor.h"

namespace quoteria {

QColor colorFromWin(qint64 value) {
    const quint32 v = quint32(value) & 0xFFFFFFu;
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint64 winFromColor(const QColor& c) {
    const QColor rgb = c.toRgb();
    return winRgb(rgb.red(), rgb.green(), rgb.blue());
}

} // namespace quoteria
