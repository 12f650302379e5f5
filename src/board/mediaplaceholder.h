#pragma once
// The picture the preview shows in its media zone instead of a player.
#include <QImage>
#include <QRect>
#include <QSize>

namespace quoteria {

// A landscape on a film strip with a play sign, drawn at exactly `size`; null for
// an empty size.
QImage mediaPlaceholder(const QSize& size);

// Where a picture of that size stands in area: whole, its proportions kept,
// centred (the rest of the area is bars).
QRect fitInside(const QSize& picture, const QRect& area);

} // namespace quoteria
