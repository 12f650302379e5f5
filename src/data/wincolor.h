#pragma once
// Colours are stored as Windows colour values, 0x00BBGGRR: red in the low byte.
#include <QColor>

namespace quoteria {

// Only the low 24 bits count: system colours (0x80000000 and up) and other
// out-of-range values keep them, as a stored value always has.
QColor colorFromWin(qint64 value);
// The colour's RGB in a Windows colour value; other colour specs are converted.
qint64 winFromColor(const QColor& c);

// For colours written as constants.
constexpr qint64 winRgb(int r, int g, int b) {
    return qint64(r & 0xFF) | (qint64(g & 0xFF) << 8) | (qint64(b & 0xFF) << 16);
}

} // namespace quoteria
