#include "panel/panelstate.h"

#include "board/boardlayout.h"

#include "data/formats.h"
#include "data/themestore.h"

#include <cmath>

namespace quoteria::panel {

std::optional<int> pageIntervalFor(const QString& text) {
    if (!isNumeric(text))
        return std::nullopt;
    const double seconds = vbVal(text);
    if (seconds > kMaxInterval || seconds < kMinInterval)
        return std::nullopt;
    return int(std::lround(seconds * 1000));
}

bool ratioAccepted(const QString& text) {
    return isNumeric(text) && vbVal(text) <= kMaxInterval;
}

int storedEdgeToPixels(double twips, int twipsPerPixel) {
    if (twips < 0 || twipsPerPixel <= 0)
        return 0;
    return int(std::lround(twips / twipsPerPixel));
}

ThemeCheck checkTheme(ThemeStore& themes, qint64 themeKey) {
    if (!themes.hasLayout(themeKey))
        return ThemeCheck::NoLayout;
    if (!themes.hasHeader(themeKey))
        return ThemeCheck::NoHeader;
    return ThemeCheck::Ready;
}

QString themeCheckMessage(ThemeCheck check) {
    switch (check) {
    case ThemeCheck::NoLayout:
        return QStringLiteral("Please Define the position and try again");
    case ThemeCheck::NoHeader:
        return QStringLiteral("Please Define the header details ");
    case ThemeCheck::Ready:
        break;
    }
    return QString();
}

int previewSpeed(int tickerSpeed) {
    return previewTickerStep(tickerSpeed);
}

} // namespace quoteria::panel
