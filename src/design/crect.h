#pragma once
// A rectangle by its four edges, as the layout designer drags it: in twips of the
// design surface or in screen pixels. Edges may be crossed while dragging;
// NormalizeRect puts them back in order.
#include <QPoint>

namespace quoteria {

class CRect {
public:
    CRect() = default;
    CRect(int left, int top, int right, int bottom)
        : m_left(left), m_top(top), m_right(right), m_bottom(bottom) {}

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Right() const { return m_right; }
    int Bottom() const { return m_bottom; }
    void setLeft(int v) { m_left = v; }
    void setTop(int v) { m_top = v; }
    void setRight(int v) { m_right = v; }
    void setBottom(int v) { m_bottom = v; }

    // Right - Left and Bottom - Top; negative while the edges are crossed.
    int Width() const;
    int Height() const;
    // Move Right / Bottom. False, and nothing changed, when the edge would overflow.
    bool setWidth(int width);
    bool setHeight(int height);

    // From a zone's left, top, width and height (twips; rounded to whole twips).
    void SetRectToCtrl(const double ctl[4]);
    // Normalizes, then gives the zone this rectangle as left, top, width, height.
    void SetCtrlToRect(double ctl[4]);
    // Twips of a surface whose client area starts at `origin` on screen <-> screen
    // pixels, at twipsPerPixel in each direction.
    void TwipsToScreen(int twipsPerPixel, const QPoint& origin);
    void ScreenToTwips(int twipsPerPixel, const QPoint& origin);

    // Swaps edges so that Left <= Right and Top <= Bottom.
    void NormalizeRect();
    // Left <= x < Right and Top <= y < Bottom.
    bool PtInRect(int x, int y) const;

    // Moves the rectangle so that its top-left is `p`, keeping its size.
    void moveTo(const QPoint& p);
    bool operator==(const CRect& o) const {
        return m_left == o.m_left && m_top == o.m_top && m_right == o.m_right &&
               m_bottom == o.m_bottom;
    }

private:
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
};

} // namespace quoteria
