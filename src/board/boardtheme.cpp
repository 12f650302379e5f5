#include "board/boardtheme.h"

#include "data/database.h"
#include "data/formats.h"

#include <QSqlRecord>
#include <QtMath>

namespace quoteria {

namespace {
// Beyond this a layout is meaningless anyway; keeps doubled twips inside int range.
constexpr double kLimit = 10000000.0;

QString text(const QSqlRecord& r, const char* name) {
    const int i = r.indexOf(QLatin1String(name));
    return i < 0 ? QString() : r.value(i).toString();
}

double number(const QSqlRecord& r, const char* name) {
    const int i = r.indexOf(QLatin1String(name));
    return i < 0 ? 0.0 : themeNumber(r.value(i));
}

QColor colour(const QSqlRecord& r, const char* name) {
    const int i = r.indexOf(QLatin1String(name));
    return i < 0 ? QColor(Qt::black) : winColor(colourValue(r.value(i)));
}
} // namespace

QColor winColor(qint64 value) {
    const quint32 v = quint32(value) & 0xFFFFFFu;
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint64 colourValue(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return 0;
    bool ok = false;
    double d = value.toDouble(&ok);
    if (!ok)
        d = vbVal(value.toString());
    if (!qIsFinite(d) || d < -4294967296.0 || d > 4294967295.0)
        return 0;
    return qint64(d);
}

double themeNumber(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return 0.0;
    bool ok = false;
    double d = value.toDouble(&ok);
    if (!ok)
        d = vbVal(value.toString());
    if (!qIsFinite(d))
        return 0.0;
    return qBound(-kLimit, d, kLimit);
}

BoardTheme loadBoardTheme(Database& db, qint64 key) {
    BoardTheme t;
    if (auto row = db.fetchOne(QStringLiteral("select * from tbltheme where themeauto=?"), {key})) {
        const QSqlRecord& r = *row;
        t.found = true;
        t.themeName = text(r, "themename");
        t.rows = number(r, "rows");
        t.colwidth = text(r, "colwidth");
        t.rowheight = number(r, "rowheight");
        t.logo = text(r, "logo");
        t.displaytime = int(number(r, "displaytime"));
        t.clockfile = text(r, "clockfile");
        t.fonttime = text(r, "fonttime");
        t.sizetime = number(r, "sizetime");
        t.clrtime = colour(r, "clrtime");
        t.rowbgcolorValue = colourValue(r.value(QStringLiteral("rowbgcolor")));
        t.rowbgcolor = winColor(t.rowbgcolorValue);
        t.linecolor = colour(r, "linecolor");
        t.bgImage = text(r, "BGimage");
        t.hdfont = text(r, "hdfont");
        t.hdclrbg = colour(r, "hdclrbg");
        t.hdfntclr = colour(r, "hdfntclr");
        t.hdfntsize = number(r, "hdfntsize");
        t.fntcrr = text(r, "fntcrr");
        t.sizecrr = number(r, "sizecrr");
        t.clrcrr = colour(r, "clrcrr");
        t.fntval = text(r, "fntval");
        t.sizeval = number(r, "sizeval");
        t.clrval = colour(r, "clrval");
        t.bgcolor = colour(r, "bgcolor");
        t.vgap = number(r, "vgap");
        t.hgap = number(r, "hgap");
        t.media = text(r, "media");
        t.ttlname = text(r, "ttlname");
        t.ttlfont = text(r, "ttlfont");
        t.ttlcolor = colour(r, "ttlcolor");
        t.ttlsize = number(r, "ttlsize");
        t.scroll = int(number(r, "scroll"));
        t.tformat = text(r, "tformat");
        t.ttlBGEnable = text(r, "ttlBGEnable");
        t.ttlBG = colour(r, "ttlBG");
        t.img1 = text(r, "img1");
        t.img2 = text(r, "img2");
        t.sbg = colour(r, "SBG");
        t.nbgImg = text(r, "NBGimg");
        t.swidth = number(r, "SWidth");
        t.sheight = number(r, "SHeight");
    }
    if (auto row =
            db.fetchOne(QStringLiteral("select * from tblpos where themeauto=? limit 1"), {key})) {
        t.hasPosition = true;
        static const char* const stems[] = {"logo", "time", "tbl", "video", "me", "ttl", "news"};
        static const char* const edges[] = {"left", "top", "width", "height"};
        for (int z = 0; z < BoardTheme::ZoneCount; ++z)
            for (int e = 0; e < 4; ++e) {
                const QByteArray name = QByteArray(stems[z]) + edges[e];
                t.zone[z][e] = number(*row, name.constData());
            }
    }
    if (auto row =
            db.fetchOne(QStringLiteral("select * from tblheader where themeauto=?"), {key})) {
        t.hasHeader = true;
        for (int k = 0; k < 6; ++k)
            t.head[k] = text(*row, QByteArray("head" + QByteArray::number(k + 1)).constData());
    }
    return t;
}

} // namespace quoteria
