#pragma once
// The control panel's rules that need no window: entry checks and the stored
// position.
#include <QString>
#include <optional>

namespace quoteria {

namespace panel {

// Seconds a page stays on the board: numeric, from kMinInterval to kMaxInterval.
// The lower bound keeps the page timer from getting 0 or a negative interval.
constexpr double kMinInterval = 1;
constexpr double kMaxInterval = 10;
constexpr int kDefaultInterval = 3;
constexpr int kDefaultRatio = 2;

// The page interval in milliseconds for an "Intervel" entry; nothing when refused.
std::optional<int> pageIntervalFor(const QString& text);
// True when the "Ratio" entry is numeric and 10 at most.
bool ratioAccepted(const QString& text);

// A stored edge in twips as a pixel coordinate: negative values (a minimised
// window is stored as -32000) become 0.
int storedEdgeToPixels(double twips, int twipsPerPixel);

// Half of the ticker speed, halves rounded to even.
int previewSpeed(int tickerSpeed);

} // namespace panel
} // namespace quoteria
