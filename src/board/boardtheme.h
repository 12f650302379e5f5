#pragma once
// What the board reads at start: the theme row, its zone rectangles and its header
// captions, with every number already converted (unusable text counts as 0).
#include <QColor>
#include <QString>
#include <QVariant>

namespace quoteria {

class Database;

// A Windows colour value (red in the low byte) as a colour; system colours and
// other out-of-range values keep their low 24 bits.
QColor winColor(qint64 value);

// A colour column's value (Windows colour number); unusable text is 0 (black).
qint64 colourValue(const QVariant& value);

// The theme's numeric text as a number: unusable text is 0, and values are kept
// within a range that can be laid out without overflowing.
double themeNumber(const QVariant& value);

struct BoardTheme {
    bool found = false; // the tbltheme row exists
    bool hasPosition = false;
    bool hasHeader = false;

    QString themeName;
    double rows = 0;
    QString colwidth;
    double rowheight = 0;
    QString logo;
    int displaytime = 0;
    QString clockfile;
    QString fonttime;
    double sizetime = 0;
    QColor clrtime;
    QColor rowbgcolor;
    qint64 rowbgcolorValue = 0;
    QColor linecolor;
    QString bgImage; // BGimage: ticker strip picture
    QString hdfont;
    QColor hdclrbg, hdfntclr;
    double hdfntsize = 0;
    QString fntcrr;
    double sizecrr = 0;
    QColor clrcrr;
    QString fntval;
    double sizeval = 0;
    QColor clrval;
    QColor bgcolor;
    double vgap = 0;
    double hgap = 0;
    QString media;
    QString ttlname;
    QString ttlfont;
    QColor ttlcolor;
    double ttlsize = 0;
    int scroll = 0;
    QString tformat;
    QString ttlBGEnable;
    QColor ttlBG;
    QString img1, img2;
    QColor sbg;
    QString nbgImg;
    double swidth = 0, sheight = 0;

    // tblpos in stored (half-scale) twips: logo, time, tbl, video, me, ttl, news;
    // each left, top, width, height.
    enum Zone { Logo, Time, Table, Video, Me, Title, News, ZoneCount };
    double zone[ZoneCount][4] = {};

    QString head[6];
};

// Reads theme `key`, its tblpos and tblheader rows. Missing rows leave found /
// hasPosition / hasHeader false; nothing here throws or fails hard.
BoardTheme loadBoardTheme(Database& db, qint64 key);

} // namespace quoteria
