#include "design/crect.h"

#include "board/boardlayout.h"

#include <QtGlobal>
#include <cmath>
#include <limits>
#include <utility>

namespace quoteria {

namespace {
int clampToInt(qint64 v) {
    return int(qBound(qint64(std::numeric_limits<int>::min()), v,
                      qint64(std::numeric_limits<int>::max())));
}

bool fitsInt(qint64 v) {
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

int wholeTwips(double v) {
    return clampToInt(qint64(std::llround(qBound(-2.0e9, v, 2.0e9))));
}
} // namespace

int CRect::Width() const {
    return clampToInt(qint64(m_right) - m_left);
}

int CRect::Height() const {
    return clampToInt(qint64(m_bottom) - m_top);
}

bool CRect::setWidth(int width) {
    const qint64 right = qint64(m_left) + width;
    if (!fitsInt(right))
        return false;
    m_right = int(right);
    return true;
}

bool CRect::setHeight(int height) {
    const qint64 bottom = qint64(m_top) + height;
    if (!fitsInt(bottom))
        return false;
    m_bottom = int(bottom);
    return true;
}

void CRect::SetRectToCtrl(const double ctl[4]) {
    m_left = wholeTwips(ctl[0]);
    m_top = wholeTwips(ctl[1]);
    m_right = wholeTwips(ctl[0] + ctl[2]);
    m_bottom = wholeTwips(ctl[1] + ctl[3]);
}

void CRect::SetCtrlToRect(double ctl[4]) {
    NormalizeRect();
    ctl[0] = m_left;
    ctl[1] = m_top;
    ctl[2] = double(m_right) - m_left;
    ctl[3] = double(m_bottom) - m_top;
}

void CRect::TwipsToScreen(int twipsPerPixel, const QPoint& origin) {
    const PixelMap pm(twipsPerPixel);
    m_left = clampToInt(qint64(pm.px(m_left)) + origin.x());
    m_top = clampToInt(qint64(pm.px(m_top)) + origin.y());
    m_right = clampToInt(qint64(pm.px(m_right)) + origin.x());
    m_bottom = clampToInt(qint64(pm.px(m_bottom)) + origin.y());
}

void CRect::ScreenToTwips(int twipsPerPixel, const QPoint& origin) {
    const qint64 tpp = PixelMap(twipsPerPixel).twipsPerPixel;
    m_left = clampToInt((qint64(m_left) - origin.x()) * tpp);
    m_top = clampToInt((qint64(m_top) - origin.y()) * tpp);
    m_right = clampToInt((qint64(m_right) - origin.x()) * tpp);
    m_bottom = clampToInt((qint64(m_bottom) - origin.y()) * tpp);
}

void CRect::NormalizeRect() {
    if (m_left > m_right)
        std::swap(m_left, m_right);
    if (m_top > m_bottom)
        std::swap(m_top, m_bottom);
}

bool CRect::PtInRect(int x, int y) const {
    return m_left <= x && x < m_right && m_top <= y && y < m_bottom;
}

void CRect::moveTo(const QPoint& p) {
    const int w = Width(), h = Height();
    m_left = p.x();
    m_top = p.y();
    // A size that no longer fits stops at the largest edge.
    if (!setWidth(w))
        m_right = std::numeric_limits<int>::max();
    if (!setHeight(h))
        m_bottom = std::numeric_limits<int>::max();
}

} // namespace quoteria
