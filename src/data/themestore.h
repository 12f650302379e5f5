#pragma once
// Themes: the tbltheme row with its zone rectangles (tblpos) and header captions
// (tblheader), every number already converted (unusable text counts as 0). The board,
// the preview and the theme editor read and write them only through ThemeStore.
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <optional>

namespace quoteria {

class Database;
class DataEvents;

// A colour column's value (Windows colour number); unusable text is 0 (black).
qint64 colourValue(const QVariant& value);

// The theme's numeric text as a number: unusable text is 0, and values are kept
// within a range that can be laid out without overflowing.
double themeNumber(const QVariant& value);

struct BoardTheme {
    qint64 key = 0;     // themeauto; 0 for a theme not saved yet
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
    double volume = 0; // media zone's video volume, 0 to 10
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

struct ThemeEntry {
    qint64 key = 0;
    QString name;
    QString type; // layout kind: "Vertical" or "Horrizontal"
};

// A tbltheme row as the theme editor keeps it: every column but the key, by name,
// values as typed (numbers stay text until the board reads them).
struct ThemeRecord {
    qint64 key = 0; // themeauto; 0 for a theme not saved yet
    QVariantMap values;
};

// A theme's rows as stored, every column by name, without the keys that tie them
// to one database (the theme's key and each row's own key). Carried between
// counters when a theme is shared.
struct ThemeRows {
    enum Part { Theme, Layout, Header, Ticker, PartCount };
    // tbltheme, tblpos, tblheader, tblss
    static const char* const kTables[PartCount];
    // Empty where the theme has no such row.
    std::optional<QVariantMap> part[PartCount];
};

// The board's reading of a theme row: numbers converted, colours decoded. The
// result has found set and no layout or header.
BoardTheme themeFromRecord(const ThemeRecord& record);

// A theme's tblpos row as the layout designer keeps it: the six zones and, as
// BoardTheme::Me, the designer window's own rectangle, all in twips.
struct LayoutRow {
    double zone[BoardTheme::ZoneCount][4] = {};
};

// A theme's tblheader row: head1 ... head6 the table's column captions, head7 the
// flag column's spacer.
struct HeaderRow {
    QString head[7];
};

class ThemeStore {
public:
    // Column names of the three tables.
    static constexpr const char* kKey = "themeauto";
    static constexpr const char* kName = "themename";
    // tblpos column stems by BoardTheme::Zone, and the edges in zone order.
    static const char* const kZoneStems[BoardTheme::ZoneCount];
    static const char* const kZoneEdges[4];

    // events: told after every committed save (may be null where nobody listens).
    ThemeStore(Database& db, DataEvents* events) : m_db(db), m_events(events) {}

    // Theme `key` with its layout and header rows. Missing rows leave found /
    // hasPosition / hasHeader false; nothing here fails hard.
    BoardTheme load(qint64 key);
    BoardTheme loadByName(const QString& name);
    // Every theme, by name. ok is false when the query failed.
    QVector<ThemeEntry> list(bool* ok = nullptr);
    // Theme names in the table's own order, as the theme boxes list them.
    QStringList names();
    // Whether the theme has its layout row (tblpos) / its header row (tblheader).
    bool hasLayout(qint64 key);
    bool hasHeader(qint64 key);

    // The theme row `key` with every column, or nothing when it does not exist.
    std::optional<ThemeRecord> loadRecord(qint64 key);
    // Writes the theme row alone: a new row when record.key is 0, else the row
    // record.key. Returns the key; 0 when that row no longer exists (nothing written);
    // -1 with error set when the database failed (nothing written).
    qint64 saveRecord(const ThemeRecord& record, QString* error = nullptr);
    // Deletes the theme row; its layout, header and ticker rows stay.
    bool remove(qint64 key, QString* error = nullptr);
    // Every theme in the table's own order, with its layout kind.
    QVector<ThemeEntry> tableOrder(bool* ok = nullptr);

    // Writes the theme row (a new one when theme.key is 0), its layout row when
    // hasPosition and its header row when hasHeader, all in one transaction.
    // Returns the theme's key, or 0 with error set and nothing changed.
    qint64 save(const BoardTheme& theme, QString* error = nullptr);

    // The theme's layout row, or nothing when it has none (or the query failed).
    std::optional<LayoutRow> loadLayout(qint64 key);
    // Writes the theme's layout row in one transaction. A row already there keeps
    // the window width and height of its first save; a new row takes every value.
    // False with error set and nothing changed when the database failed.
    bool saveLayout(qint64 key, const LayoutRow& row, QString* error = nullptr);
    // The theme's header row, or nothing when it has none.
    std::optional<HeaderRow> loadHeaderRow(qint64 key);
    // Overwrites the theme's one header row, or adds it; one transaction.
    bool saveHeaderRow(qint64 key, const HeaderRow& row, QString* error = nullptr);
    // The columns of a part that travel with a theme: all but the keys.
    static QStringList rowColumns(ThemeRows::Part part);
    // The theme's rows; nothing when the theme row does not exist.
    std::optional<ThemeRows> loadRows(qint64 key);
    // Runs inside the import's transaction once the new key is known; may change
    // the rows still to be written. False abandons the import.
    using ImportStep = std::function<bool(qint64 key, ThemeRows& rows, QString* error)>;
    // Adds the rows as a new theme, in one transaction: the stored name when no
    // theme has it (letter case aside), else the first free "name (n)". The theme
    // row is written, then `step` runs, then the rows as it left them. Returns the
    // new key with *name set, or 0 with error set and nothing changed.
    qint64 importRows(ThemeRows rows, const ImportStep& step, QString* name,
                      QString* error = nullptr);

private:
    Database& m_db;
    DataEvents* m_events;
};

} // namespace quoteria
