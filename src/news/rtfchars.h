#pragma once
// Character helpers shared by the RTF reader and the HTML converter.
#include <QChar>

namespace quoteria::rtf {

// The value of one hexadecimal digit, -1 when c is none.
inline int hexValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace quoteria::rtf
