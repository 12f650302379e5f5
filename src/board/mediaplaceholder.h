#pragma once
// The picture the preview shows in its media zone instead of a player.
#include <QImage>
#include <QSize>

namespace quoteria {

// A landscape on a film strip with a play sign, drawn at exactly `size`; null for
// an empty size.
QImage mediaPlaceholder(const QSize& size);

} // namespace quoteria
