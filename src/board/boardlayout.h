#pragma once
// Board geometry: pure functions of the theme's values. Everything is in twips;
// zone rectangles are in window coordinates, cells relative to the table zone.
#include <QRect>
#include <QSize>
#include <QString>

namespace quoteria {

struct BoardTheme;

// How a surface shows a theme. The board doubles the stored half-scale values and
// moves at full speed; the preview keeps them as stored and moves at half speed.
struct BoardProfile {
    int scale = 2;
    double speedFactor = 1.0;
    // Header strip above a shortened table zone, cells packed from the zone's left
    // edge, captions on one line ("/" drawn as it is).
    bool previewLayout = false;
    // Always `rows` rows, refreshed in place without alarm colours: no pages.
    bool fixedRowCount = false;
    // BGimage at its natural size from the top-left corner, else bgcolor; no
    // NBGimg, and the ticker strip gets no picture and no SBG colour.
    bool naturalBackground = false;
    // A placeholder picture stands in the media zone.
    bool mediaPlaceholder = false;
    // A still title starts at the zone's left edge instead of being centred.
    bool titleFromLeft = false;
    // "Powered By" and the product's name in the footer instead of the web address.
    bool productFooter = false;

    static BoardProfile board() { return {}; }
    static BoardProfile preview() { return {1, 0.5, true, true, true, true, true, true}; }
    // The ticker's step on this surface for the board's step.
    int tickerStep(int boardStep) const;
};

// The preview's ticker step: half the board's, to the nearest whole twip with
// halves to even (25 -> 12, 30 -> 15).
int previewTickerStep(int boardStep);

// Twips to pixels, rounded, and rectangles by their rounded edges so that
// neighbouring rectangles never overlap or leave a seam. A board fitted to a
// larger screen draws scale screen pixels for every design pixel.
struct PixelMap {
    int twipsPerPixel = 15;
    double scale = 1.0;
    explicit PixelMap(int tpp = 15, double s = 1.0)
        : twipsPerPixel(tpp > 0 ? tpp : 15), scale(s > 0 ? s : 1.0) {}
    int px(double twips) const;
    QRect rect(const QRect& twips) const;
    // Pixels back to twips, unrounded.
    double twips(double pixels) const { return pixels * twipsPerPixel / scale; }
};

// A zone of tblpos scaled to the surface: QRect(left, top, width, height) in twips.
QRect zoneRect(const BoardTheme& theme, int zone, const BoardProfile& profile);

// The preview window's client size in pixels: the stored Me zone (the design
// surface), each side kept between 64 and 8192 pixels.
QSize previewWindowSize(const BoardTheme& theme, int twipsPerPixel);

// The column widths of `colwidth`: seven numbers, missing or unusable ones 0.
void columnWidths(const QString& colwidth, double out[7]);

struct TableGeometry {
    QRect fg;             // the table zone, window twips
    int wGap = 0;         // left margin and gap between columns
    int hGap = 0;         // gap under the header and between rows
    int rowHeight = 0;    // every cell's height
    int headerHeight = 0; // 2.5 x rowheight
    int firstRowTop = 0;  // relative to fg
    int rowStep = 0;      // rowHeight + hGap
    QRect header[6];      // window twips
    bool headerVisible[6] = {true, true, true, true, true, true};
    // Cells of a row: 0 flag, 1 currency name, 2..6 value columns 1..5; relative to fg.
    int cellLeft[7] = {};
    int cellWidth[7] = {};

    // Top of row v (0-based) as laid out, relative to fg.
    qint64 rowTop(int v) const { return firstRowTop + qint64(v) * rowStep; }
    // The overflow test: the last row's bottom reaches the zone's bottom.
    bool overflows(int rowCount) const;
};

TableGeometry tableGeometry(const BoardTheme& theme, const BoardProfile& profile);

// The screen a theme was drawn for, in pixels at twipsPerPixel: its design surface
// (the stored Me zone, else SWidth x SHeight), grown to hold every placed zone so
// that fitting never cuts one off. Empty when the theme says nothing usable.
QSize designSize(const BoardTheme& theme, const BoardProfile& profile, int twipsPerPixel);

} // namespace quoteria
