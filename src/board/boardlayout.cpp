#include "board/boardlayout.h"

#include "data/themestore.h"

#include <cmath>

#include <QStringList>
#include <QVariant>
#include <QtMath>

namespace quoteria {

namespace {
int toInt(double v) {
    return int(qBound(-2.0e9, std::round(v), 2.0e9));
}
} // namespace

int PixelMap::px(double twips) const {
    // Round half away from zero, as the original conversions did.
    const double v = qBound(-2.0e9, twips * scale / twipsPerPixel, 2.0e9);
    return int(v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5));
}

QRect PixelMap::rect(const QRect& t) const {
    const qint64 l = t.x(), tp = t.y();
    const int x0 = px(l), y0 = px(tp);
    const int x1 = px(l + qint64(t.width())), y1 = px(tp + qint64(t.height()));
    return QRect(x0, y0, qMax(0, x1 - x0), qMax(0, y1 - y0));
}

QRect zoneRect(const BoardTheme& theme, int zone, const BoardProfile& profile) {
    if (zone < 0 || zone >= BoardTheme::ZoneCount)
        return QRect();
    const double* z = theme.zone[zone];
    const int s = profile.scale;
    return QRect(toInt(s * z[0]), toInt(s * z[1]), toInt(s * z[2]), toInt(s * z[3]));
}

QSize previewWindowSize(const BoardTheme& theme, int twipsPerPixel) {
    const PixelMap pm(twipsPerPixel);
    const QRect me = zoneRect(theme, BoardTheme::Me, BoardProfile::preview());
    return QSize(qBound(64, pm.px(me.width()), 8192), qBound(64, pm.px(me.height()), 8192));
}

QSize designSize(const BoardTheme& theme, const BoardProfile& profile, int twipsPerPixel) {
    const PixelMap pm(twipsPerPixel);
    auto sane = [](int v) { return v >= 16 && v <= 8192; };
    QSize size;
    const QRect me = pm.rect(zoneRect(theme, BoardTheme::Me, profile));
    if (sane(me.width()) && sane(me.height()))
        size = me.size();
    else if (sane(int(theme.swidth)) && sane(int(theme.sheight)))
        size = QSize(int(theme.swidth), int(theme.sheight));
    if (theme.hasPosition) {
        for (int z = 0; z < BoardTheme::ZoneCount; ++z) {
            const QRect r = pm.rect(zoneRect(theme, z, profile));
            if (z == BoardTheme::Me || r.isEmpty() || r.right() >= 8192 || r.bottom() >= 8192)
                continue;
            size = size.expandedTo(QSize(qMax(0, r.x() + r.width()), qMax(0, r.y() + r.height())));
        }
    }
    return sane(size.width()) && sane(size.height()) ? size : QSize();
}

void columnWidths(const QString& colwidth, double out[7]) {
    const QStringList parts = colwidth.split(QLatin1Char(';'));
    for (int i = 0; i < 7; ++i)
        out[i] = i < parts.size() ? themeNumber(QVariant(parts.at(i))) : 0.0;
}

bool TableGeometry::overflows(int rowCount) const {
    if (rowCount <= 0)
        return false;
    return rowTop(rowCount - 1) + rowHeight >= fg.height();
}

namespace {
// The preview's table: header strip of one row height above the zone, which loses
// the height of a design-time header (495 twips).
TableGeometry previewGeometry(const BoardTheme& theme, const BoardProfile& profile) {
    constexpr int kDesignHeader = 495;
    TableGeometry g;
    const QRect zone = zoneRect(theme, BoardTheme::Table, profile);
    g.fg =
        QRect(zone.left(), zone.top() + kDesignHeader, zone.width(), zone.height() - kDesignHeader);
    double w[7];
    columnWidths(theme.colwidth, w);
    int iw[7];
    for (int i = 0; i < 7; ++i)
        iw[i] = toInt(w[i]);
    g.wGap = toInt(2 * theme.vgap);
    g.hGap = toInt(2 * theme.hgap);
    g.rowHeight = toInt(theme.rowheight);
    g.headerHeight = g.rowHeight;
    const int top = g.fg.top() - kDesignHeader;
    g.header[0] =
        QRect(g.fg.left(), top, toInt(iw[0] + iw[1] + 1.5 * g.wGap + 120), g.headerHeight);
    g.header[1] = QRect(g.fg.left() + g.header[0].width(), top, iw[2] + g.wGap, g.headerHeight);
    for (int k = 2; k < 6; ++k)
        g.header[k] =
            QRect(g.header[k - 1].left() + iw[k], top, iw[k + 1] + g.wGap, g.headerHeight);
    g.firstRowTop = g.rowHeight + g.hGap;
    g.rowStep = g.rowHeight + g.hGap;
    g.cellLeft[0] = 100;
    g.cellWidth[0] = iw[0];
    g.cellLeft[1] = 100 + iw[0] + toInt(theme.vgap);
    g.cellWidth[1] = iw[1];
    for (int j = 2; j < 7; ++j) {
        g.cellLeft[j] = g.cellLeft[j - 1] + g.cellWidth[j - 1] + g.wGap;
        g.cellWidth[j] = iw[j];
    }
    return g;
}
} // namespace

TableGeometry tableGeometry(const BoardTheme& theme, const BoardProfile& profile) {
    if (profile.previewLayout)
        return previewGeometry(theme, profile);
    TableGeometry g;
    const int s = profile.scale;
    g.fg = zoneRect(theme, BoardTheme::Table, profile);
    double w[7];
    columnWidths(theme.colwidth, w);
    int sw[7];
    for (int i = 0; i < 7; ++i)
        sw[i] = toInt(s * w[i]);
    g.wGap = toInt(s * theme.vgap);
    g.hGap = toInt(s * theme.hgap);
    g.rowHeight = toInt(s * theme.rowheight);
    g.headerHeight = toInt(1.25 * s * theme.rowheight);

    // Header1 spans the flag and currency columns; the others sit over value columns.
    const int top = g.fg.top();
    g.header[0] = QRect(g.fg.left() + g.wGap, top, sw[0] + sw[1] + g.wGap, g.headerHeight);
    g.header[1] =
        QRect(g.header[0].left() + g.header[0].width() + g.wGap, top, sw[2], g.headerHeight);
    for (int k = 2; k < 6; ++k)
        g.header[k] =
            QRect(g.header[k - 1].left() + sw[k] + g.wGap, top, sw[k + 1], g.headerHeight);
    for (int k = 1; k < 6; ++k)
        g.headerVisible[k] = w[k + 1] != 0.0;

    g.firstRowTop = g.headerHeight + g.hGap;
    g.rowStep = g.rowHeight + g.hGap;
    g.cellLeft[0] = g.wGap;
    g.cellWidth[0] = sw[0];
    g.cellLeft[1] = sw[0] + 2 * g.wGap;
    g.cellWidth[1] = sw[1];
    for (int j = 2; j < 7; ++j) {
        g.cellLeft[j] = g.header[j - 1].left() - g.fg.left();
        g.cellWidth[j] = sw[j];
    }
    return g;
}

int previewTickerStep(int boardStep) {
    return int(std::nearbyint(boardStep / 2.0));
}

int BoardProfile::tickerStep(int boardStep) const {
    return speedFactor < 1.0 ? previewTickerStep(boardStep) : boardStep;
}

} // namespace quoteria
