#include "panel/panelstate.h"

#include "board/boardlayout.h"

#include "data/formats.h"

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

int previewSpeed(int tickerSpeed) {
    return previewTickerStep(tickerSpeed);
}

} // namespace quoteria::panel
