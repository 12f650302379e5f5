#include "design/layoutmodel.h"

#include "board/boardlayout.h"

#include <cmath>

namespace quoteria {

const LayoutModel::ZoneSpec LayoutModel::kZones[ZoneCount] = {
    {"lblLogo", "Comp-Logo", 0x80FF80, {240, 360, 1935, 735}, BoardTheme::Logo},
    {"lblTime", "Time-Date", 0xFFC080, {2760, 360, 1935, 735}, BoardTheme::Time},
    {"lblTable", "Rate Table", 0x80FFFF, {240, 1200, 4455, 2655}, BoardTheme::Table},
    {"lblVideo", "Video", 0xFF80FF, {240, 3840, 4455, 1935}, BoardTheme::Video},
    {"lblTtl", "Title", 0xFF00FF, {240, 120, 4455, 255}, BoardTheme::Title},
    {"lblNews", "News", 0xFFFF80, {240, 5880, 4455, 255}, BoardTheme::News},
};

namespace {
// A surface value measured on `from` as it falls on `to`; a surface without size
// leaves it as it was.
double rescaled(double v, double from, double to) {
    return from > 0 ? v / from * to : v;
}

// left and width scale with the width, top and height with the height.
double extent(const QSizeF& s, int edge) {
    return edge % 2 == 0 ? s.width() : s.height();
}
} // namespace

LayoutModel::HandleSides LayoutModel::handleSides(int handle) {
    static const HandleSides sides[kHandleCount] = {
        {true, true, false, false},  {false, true, false, false}, {false, true, true, false},
        {false, false, true, false}, {false, false, true, true},  {false, false, false, true},
        {true, false, false, true},  {true, false, false, false},
    };
    return handle >= 0 && handle < kHandleCount ? sides[handle] : HandleSides{};
}

LayoutModel::LayoutModel(int twipsPerPixel, int designWidth, int designHeight)
    : m_tpp(PixelMap(twipsPerPixel).twipsPerPixel) {
    if (designWidth <= 0 || designHeight <= 0) {
        designWidth = 1366;
        designHeight = 768;
    }
    m_half = QSizeF(double(m_tpp) * designWidth / 2, double(m_tpp) * designHeight / 2);
    m_surface = m_half;
    for (int z = 0; z < ZoneCount; ++z)
        std::copy(kZones[z].initial, kZones[z].initial + 4, m_zone[z]);
}

QSize LayoutModel::surfacePixels() const {
    const PixelMap pm(m_tpp);
    return QSize(qMax(1, pm.px(m_surface.width())), qMax(1, pm.px(m_surface.height())));
}

QRect LayoutModel::zonePixels(int z) const {
    const PixelMap pm(m_tpp);
    const double* r = m_zone[z];
    const int left = pm.px(r[0]), top = pm.px(r[1]);
    return QRect(left, top, pm.px(r[0] + r[2]) - left, pm.px(r[1] + r[3]) - top);
}

void LayoutModel::loadRow(const LayoutRow& row) {
    for (int z = 0; z < ZoneCount; ++z)
        for (int e = 0; e < 4; ++e)
            m_zone[z][e] =
                rescaled(row.zone[kZones[z].column][e], extent(m_half, e), extent(m_surface, e));
}

LayoutRow LayoutModel::storedRow() const {
    LayoutRow row;
    for (int z = 0; z < ZoneCount; ++z)
        for (int e = 0; e < 4; ++e)
            row.zone[kZones[z].column][e] =
                std::round(rescaled(m_zone[z][e], extent(m_surface, e), extent(m_half, e)));
    return row;
}

void LayoutModel::editDesign() {
    m_designMode = !m_designMode;
    if (!m_designMode) {
        m_current = -1;
        m_state = Idle;
    }
}

int LayoutModel::zoneAt(const QPoint& clientPx) const {
    // Tested in twips, as the zones are kept.
    CRect point(clientPx.x(), clientPx.y(), clientPx.x(), clientPx.y());
    point.ScreenToTwips(m_tpp, QPoint());
    for (int z = 0; z < ZoneCount; ++z) {
        CRect r;
        r.SetRectToCtrl(m_zone[z]);
        if (r.PtInRect(point.Left(), point.Top()))
            return z;
    }
    return -1;
}

bool LayoutModel::pressSurface(int zoneUnder, const QPoint& cursor, const QPoint& origin) {
    if (!m_designMode || m_state != Idle)
        return false;
    const int z = zoneUnder >= 0 && zoneUnder < ZoneCount ? zoneUnder : zoneAt(cursor - origin);
    if (z < 0) {
        m_current = -1;
        return false;
    }
    m_current = z;
    m_origin = origin;
    m_drag.SetRectToCtrl(m_zone[z]);
    m_drag.TwipsToScreen(m_tpp, origin);
    m_offset = cursor - QPoint(m_drag.Left(), m_drag.Top());
    m_state = Moving;
    return true;
}

bool LayoutModel::pressHandle(int handle, const QPoint& origin) {
    if (!m_designMode || m_state != Idle || m_current < 0 || handle < 0 || handle >= kHandleCount)
        return false;
    m_origin = origin;
    m_handle = handle;
    m_drag.SetRectToCtrl(m_zone[m_current]);
    m_drag.TwipsToScreen(m_tpp, origin);
    m_state = Sizing;
    return true;
}

void LayoutModel::moveTo(const QPoint& cursor) {
    if (m_state == Moving) {
        m_drag.moveTo(cursor - m_offset);
    } else if (m_state == Sizing) {
        const HandleSides s = handleSides(m_handle);
        if (s.left)
            m_drag.setLeft(cursor.x());
        if (s.top)
            m_drag.setTop(cursor.y());
        if (s.right)
            m_drag.setRight(cursor.x());
        if (s.bottom)
            m_drag.setBottom(cursor.y());
    }
}

int LayoutModel::release() {
    if (m_state == Idle || m_current < 0)
        return -1;
    CRect r = m_drag;
    r.ScreenToTwips(m_tpp, m_origin);
    r.SetCtrlToRect(m_zone[m_current]);
    m_state = Idle;
    m_handle = -1;
    return m_current;
}

QRect LayoutModel::dragOutline() const {
    CRect r = m_drag;
    r.NormalizeRect();
    return QRect(r.Left() - m_origin.x(), r.Top() - m_origin.y(), r.Width(), r.Height());
}

QRect LayoutModel::handleRect(int handle) const {
    if (m_current < 0 || handle < 0 || handle >= kHandleCount)
        return QRect();
    const QRect z = zonePixels(m_current);
    const int xs[3] = {z.left(), z.left() + z.width() / 2, z.left() + z.width()};
    const int ys[3] = {z.top(), z.top() + z.height() / 2, z.top() + z.height()};
    // Clockwise from the top-left corner, as the handle indices run.
    static const int col[kHandleCount] = {0, 1, 2, 2, 2, 1, 0, 0};
    static const int row[kHandleCount] = {0, 0, 0, 1, 2, 2, 2, 1};
    const int half = kHandleSize / 2;
    return QRect(xs[col[handle]] - half, ys[row[handle]] - half, kHandleSize, kHandleSize);
}

void LayoutModel::InitResizeArray() {
    for (int z = 0; z < ZoneCount; ++z)
        for (int e = 0; e < 4; ++e) {
            const double size = extent(m_surface, e);
            // A surface without size gives nothing to measure by: keep what was recorded.
            if (size > 0)
                m_fraction[z][e] = m_zone[z][e] / size;
        }
}

void LayoutModel::ResizeControls() {
    for (int z = 0; z < ZoneCount; ++z)
        for (int e = 0; e < 4; ++e)
            m_zone[z][e] = extent(m_surface, e) * m_fraction[z][e];
}

void LayoutModel::zoom(double factor) {
    if (!(factor > 0) || m_state != Idle)
        return;
    InitResizeArray();
    m_surface = QSizeF(m_surface.width() * factor, m_surface.height() * factor);
    ResizeControls();
}

void LayoutModel::restoreHalfScale() {
    if (m_state != Idle)
        return;
    const LayoutRow row = storedRow();
    m_surface = m_half;
    for (int z = 0; z < ZoneCount; ++z)
        std::copy(row.zone[kZones[z].column], row.zone[kZones[z].column] + 4, m_zone[z]);
}

void LayoutModel::resetH() {
    for (double* r : m_zone) {
        if (r[0] >= m_surface.width())
            r[0] = 100;
        if (r[1] >= m_surface.height())
            r[1] = 100;
    }
}

} // namespace quoteria
