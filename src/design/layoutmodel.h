#pragma once
// The layout designer without its windows: six zones on a half-scale model of the
// board's screen, selected, moved and sized with the mouse, and zoomed by keeping
// each zone as fractions of the surface. Zones are in twips of the current
// (possibly zoomed) surface; what is stored is always at the exact half scale.
#include "data/themestore.h"
#include "design/crect.h"

#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QSizeF>

namespace quoteria {

class LayoutModel {
public:
    // In creation order: the order a press on the bare surface tests them in.
    enum Zone { Logo, Time, Table, Video, Title, News, ZoneCount };
    enum DragState { Idle = 0, Moving = 1, Sizing = 2 };
    static constexpr int kHandleCount = 8;
    static constexpr int kHandleSize = 5; // pixels
    static constexpr double kZoomStep = 1.1;

    struct ZoneSpec {
        const char* name; // the zone label's object name
        const char* caption;
        QRgb colour;
        double initial[4];       // twips: left, top, width, height
        BoardTheme::Zone column; // its place in the layout row
    };
    static const ZoneSpec kZones[ZoneCount];

    // The edges a handle drags: 0 left and top, 1 top, 2 right and top, 3 right,
    // 4 right and bottom, 5 bottom, 6 left and bottom, 7 left.
    struct HandleSides {
        bool left, top, right, bottom;
    };
    static HandleSides handleSides(int handle);

    // A design resolution that is not positive falls back to 1366 x 768.
    LayoutModel(int twipsPerPixel, int designWidth, int designHeight);

    int twipsPerPixel() const { return m_tpp; }
    // twipsPerPixel x the design resolution / 2.
    QSizeF halfScaleSize() const { return m_half; }
    QSizeF surfaceSize() const { return m_surface; }
    // The window's client size for the current surface.
    QSize surfacePixels() const;

    // Left, top, width and height in twips of the current surface.
    const double* zone(int z) const { return m_zone[z]; }
    QRect zonePixels(int z) const;
    // Every zone from a stored row (taken at half scale).
    void loadRow(const LayoutRow& row);
    // The zones as they are stored: at the exact half scale, in whole twips.
    // BoardTheme::Me is left at 0 for the window to fill.
    LayoutRow storedRow() const;

    bool designMode() const { return m_designMode; }
    // Toggles design mode; turning it off drops the current zone.
    void editDesign();
    // The selected zone, -1 for none.
    int current() const { return m_current; }
    // The first zone in creation order whose twips rectangle holds the point.
    int zoneAt(const QPoint& clientPx) const;

    // The mouse, in screen pixels; origin is the surface's top-left on screen.
    // A press in design mode on zone `zoneUnder` (or, with -1, on the first zone
    // holding the point) begins moving it; a press on nothing deselects. True when
    // a drag began.
    bool pressSurface(int zoneUnder, const QPoint& cursor, const QPoint& origin);
    // A press on sizing handle `handle` of the current zone begins sizing it.
    bool pressHandle(int handle, const QPoint& origin);
    void moveTo(const QPoint& cursor);
    // Drop: the drag rectangle, normalised, becomes the zone. Returns that zone, or
    // -1 when nothing was being dragged.
    int release();
    DragState dragState() const { return m_state; }
    int handle() const { return m_handle; }
    // Screen pixels, edges as dragged (possibly crossed).
    const CRect& dragRect() const { return m_drag; }
    // The outline to draw: the drag rectangle in client pixels, normalised.
    QRect dragOutline() const;

    // Around the current zone while nothing is dragged.
    bool handlesVisible() const { return m_current >= 0 && m_state == Idle; }
    // Centred on the current zone's corners and edge midpoints; client pixels.
    QRect handleRect(int handle) const;

    // Records every zone as fractions of the surface / re-applies them.
    void InitResizeArray();
    void ResizeControls();
    // Surface width and height times factor, zones following.
    void zoom(double factor);
    // Back to the exact half-scale surface, zones in whole twips (as storedRow).
    void restoreHalfScale();
    // Zones lost at or beyond the surface's right or bottom edge come back at 100.
    void resetH();

private:
    int m_tpp;
    QSizeF m_half;
    QSizeF m_surface;
    double m_zone[ZoneCount][4];
    double m_fraction[ZoneCount][4] = {};
    bool m_designMode = false;
    int m_current = -1;
    DragState m_state = Idle;
    int m_handle = -1;
    QPoint m_origin;
    QPoint m_offset;
    CRect m_drag;
};

} // namespace quoteria
