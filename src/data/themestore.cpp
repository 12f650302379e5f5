#include "data/themestore.h"

#include "data/database.h"
#include "data/dataevents.h"
#include "data/formats.h"
#include "data/helpers.h"
#include "data/schema.h"
#include "data/wincolor.h"

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
} // namespace

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

namespace {

struct TextColumn {
    const char* name;
    QString BoardTheme::*field;
};
struct NumberColumn {
    const char* name;
    double BoardTheme::*field;
};
struct ColourColumn {
    const char* name;
    QColor BoardTheme::*field;
};

// One list for reading and writing, so the two never disagree.
const TextColumn kTextColumns[] = {
    {"themename", &BoardTheme::themeName}, {"colwidth", &BoardTheme::colwidth},
    {"logo", &BoardTheme::logo},           {"clockfile", &BoardTheme::clockfile},
    {"fonttime", &BoardTheme::fonttime},   {"BGimage", &BoardTheme::bgImage},
    {"hdfont", &BoardTheme::hdfont},       {"fntcrr", &BoardTheme::fntcrr},
    {"fntval", &BoardTheme::fntval},       {"media", &BoardTheme::media},
    {"ttlname", &BoardTheme::ttlname},     {"ttlfont", &BoardTheme::ttlfont},
    {"tformat", &BoardTheme::tformat},     {"ttlBGEnable", &BoardTheme::ttlBGEnable},
    {"img1", &BoardTheme::img1},           {"img2", &BoardTheme::img2},
    {"NBGimg", &BoardTheme::nbgImg},
};
const NumberColumn kNumberColumns[] = {
    {"rows", &BoardTheme::rows},         {"rowheight", &BoardTheme::rowheight},
    {"sizetime", &BoardTheme::sizetime}, {"hdfntsize", &BoardTheme::hdfntsize},
    {"sizecrr", &BoardTheme::sizecrr},   {"sizeval", &BoardTheme::sizeval},
    {"vgap", &BoardTheme::vgap},         {"hgap", &BoardTheme::hgap},
    {"ttlsize", &BoardTheme::ttlsize},   {"SWidth", &BoardTheme::swidth},
    {"SHeight", &BoardTheme::sheight},   {"volume", &BoardTheme::volume},
};
const ColourColumn kColourColumns[] = {
    {"clrtime", &BoardTheme::clrtime}, {"linecolor", &BoardTheme::linecolor},
    {"hdclrbg", &BoardTheme::hdclrbg}, {"hdfntclr", &BoardTheme::hdfntclr},
    {"clrcrr", &BoardTheme::clrcrr},   {"clrval", &BoardTheme::clrval},
    {"bgcolor", &BoardTheme::bgcolor}, {"ttlcolor", &BoardTheme::ttlcolor},
    {"ttlBG", &BoardTheme::ttlBG},     {"SBG", &BoardTheme::sbg},
};
constexpr const char* kDisplayTime = "displaytime";
constexpr const char* kScroll = "scroll";
constexpr const char* kRowColour = "rowbgcolor";
const QString kThemeTable = QStringLiteral("tbltheme");
const QString kPositionTable = QStringLiteral("tblpos");
const QString kHeaderTable = QStringLiteral("tblheader");

qint64 windowsValue(const QColor& c) {
    return qint64(c.red()) | (qint64(c.green()) << 8) | (qint64(c.blue()) << 16);
}

// Every column of a row but the theme key, by name.
QVariantMap rowValues(const QSqlRecord& r) {
    QVariantMap out;
    for (int i = 0; i < r.count(); ++i)
        if (r.fieldName(i).compare(QLatin1String(ThemeStore::kKey), Qt::CaseInsensitive) != 0)
            out.insert(r.fieldName(i), r.value(i));
    return out;
}

QString headColumn(int k) {
    return QStringLiteral("head%1").arg(k + 1);
}

QString zoneColumn(int zone, int edge) {
    return QLatin1String(ThemeStore::kZoneStems[zone]) +
           QLatin1String(ThemeStore::kZoneEdges[edge]);
}

} // namespace

const char* const ThemeStore::kZoneStems[BoardTheme::ZoneCount] = {"logo", "time", "tbl", "video",
                                                                   "me",   "ttl",  "news"};
const char* const ThemeStore::kZoneEdges[4] = {"left", "top", "width", "height"};

BoardTheme themeFromRecord(const ThemeRecord& record) {
    const QVariantMap& r = record.values;
    BoardTheme t;
    t.key = record.key;
    t.found = true;
    for (const TextColumn& c : kTextColumns)
        t.*c.field = r.value(QLatin1String(c.name)).toString();
    for (const NumberColumn& c : kNumberColumns)
        t.*c.field = themeNumber(r.value(QLatin1String(c.name)));
    for (const ColourColumn& c : kColourColumns)
        t.*c.field = colorFromWin(colourValue(r.value(QLatin1String(c.name))));
    t.displaytime = int(themeNumber(r.value(QLatin1String(kDisplayTime))));
    t.scroll = int(themeNumber(r.value(QLatin1String(kScroll))));
    t.rowbgcolorValue = colourValue(r.value(QLatin1String(kRowColour)));
    t.rowbgcolor = colorFromWin(t.rowbgcolorValue);
    return t;
}

BoardTheme ThemeStore::load(qint64 key) {
    BoardTheme t;
    t.key = key;
    const QString keyColumn = QLatin1String(kKey);
    if (auto row = m_db.fetchOne(
            QStringLiteral("select * from %1 where %2=?").arg(kThemeTable, keyColumn), {key})) {
        t = themeFromRecord({key, rowValues(*row)});
    }
    if (auto row = m_db.fetchOne(
            QStringLiteral("select * from %1 where %2=? limit 1").arg(kPositionTable, keyColumn),
            {key})) {
        t.hasPosition = true;
        for (int z = 0; z < BoardTheme::ZoneCount; ++z)
            for (int e = 0; e < 4; ++e)
                t.zone[z][e] = number(*row, zoneColumn(z, e).toLatin1().constData());
    }
    if (auto row = m_db.fetchOne(
            QStringLiteral("select * from %1 where %2=?").arg(kHeaderTable, keyColumn), {key})) {
        t.hasHeader = true;
        for (int k = 0; k < 6; ++k)
            t.head[k] = text(*row, headColumn(k).toLatin1().constData());
    }
    return t;
}

BoardTheme ThemeStore::loadByName(const QString& name) {
    const QVariant key =
        m_db.scalar(QStringLiteral("select %1 from %2 where %3=?")
                        .arg(QLatin1String(kKey), kThemeTable, QLatin1String(kName)),
                    {name});
    if (!key.isValid())
        return BoardTheme();
    return load(key.toLongLong());
}

QStringList ThemeStore::names() {
    QStringList out;
    for (const QSqlRecord& r :
         m_db.fetchAll(QStringLiteral("select %1 from %2").arg(QLatin1String(kName), kThemeTable)))
        out.append(r.value(0).toString());
    return out;
}

bool ThemeStore::hasLayout(qint64 key) {
    return m_db
        .fetchOne(QStringLiteral("select * from %1 where %2=? limit 1")
                      .arg(kPositionTable, QLatin1String(kKey)),
                  {key})
        .has_value();
}

bool ThemeStore::hasHeader(qint64 key) {
    return m_db
        .fetchOne(QStringLiteral("select * from %1 where %2=? limit 1")
                      .arg(kHeaderTable, QLatin1String(kKey)),
                  {key})
        .has_value();
}

QVector<ThemeEntry> ThemeStore::list(bool* ok) {
    const QVector<QSqlRecord> recs =
        m_db.fetchAll(QStringLiteral("select %1, %2 from %3 order by %2")
                          .arg(QLatin1String(kKey), QLatin1String(kName), kThemeTable),
                      {}, ok);
    QVector<ThemeEntry> out;
    out.reserve(recs.size());
    for (const QSqlRecord& r : recs)
        out.append({r.value(0).toLongLong(), r.value(1).toString(), QString()});
    return out;
}

std::optional<ThemeRecord> ThemeStore::loadRecord(qint64 key) {
    const auto row = m_db.fetchOne(
        QStringLiteral("select * from %1 where %2=?").arg(kThemeTable, QLatin1String(kKey)), {key});
    if (!row)
        return std::nullopt;
    return ThemeRecord{key, rowValues(*row)};
}

qint64 ThemeStore::saveRecord(const ThemeRecord& record, QString* error) {
    const auto fail = [&] {
        if (error)
            *error = m_db.lastError();
        return qint64(-1);
    };
    QVariantMap values = record.values;
    values.remove(QLatin1String(kKey));
    const QString keyColumn = QLatin1String(kKey);
    Database::Transaction tx(m_db);
    if (!tx.active())
        return fail();
    qint64 key = record.key;
    if (key > 0) {
        bool ok = false;
        const auto rows = m_db.fetchAll(
            QStringLiteral("select %1 from %2 where %1=?").arg(keyColumn, kThemeTable), {key}, &ok);
        if (!ok)
            return fail();
        if (rows.isEmpty())
            return 0;
        if (!m_db.update(kThemeTable, keyColumn, key, values))
            return fail();
    } else {
        key = m_db.insert(kThemeTable, values);
        if (key < 0)
            return fail();
    }
    if (!tx.commit())
        return fail();
    if (m_events)
        emit m_events->themesChanged();
    return key;
}

bool ThemeStore::remove(qint64 key, QString* error) {
    bool ok = false;
    m_db.exec(QStringLiteral("delete from %1 where %2=?").arg(kThemeTable, QLatin1String(kKey)),
              {key}, &ok);
    if (!ok) {
        if (error)
            *error = m_db.lastError();
        return false;
    }
    if (m_events)
        emit m_events->themesChanged();
    return true;
}

QVector<ThemeEntry> ThemeStore::tableOrder(bool* ok) {
    const QVector<QSqlRecord> recs = m_db.fetchAll(
        QStringLiteral("select %1, %2, type from %3 order by %1")
            .arg(QLatin1String(kKey), QLatin1String(kName), kThemeTable),
        {}, ok);
    QVector<ThemeEntry> out;
    out.reserve(recs.size());
    for (const QSqlRecord& r : recs)
        out.append({r.value(0).toLongLong(), r.value(1).toString(), r.value(2).toString()});
    return out;
}

qint64 ThemeStore::save(const BoardTheme& t, QString* error) {
    const auto fail = [&] {
        if (error)
            *error = m_db.lastError();
        return qint64(0);
    };
    QVariantMap theme;
    for (const TextColumn& c : kTextColumns)
        theme[QLatin1String(c.name)] = t.*c.field;
    for (const NumberColumn& c : kNumberColumns)
        theme[QLatin1String(c.name)] = t.*c.field;
    for (const ColourColumn& c : kColourColumns)
        theme[QLatin1String(c.name)] = windowsValue(t.*c.field);
    theme[QLatin1String(kDisplayTime)] = t.displaytime;
    theme[QLatin1String(kScroll)] = t.scroll;
    // The stored number survives when the colour was not changed (system colours).
    theme[QLatin1String(kRowColour)] = colorFromWin(t.rowbgcolorValue) == t.rowbgcolor
                                           ? t.rowbgcolorValue
                                           : windowsValue(t.rowbgcolor);

    const QString keyColumn = QLatin1String(kKey);
    Database::Transaction tx(m_db);
    if (!tx.active())
        return fail();
    qint64 key = t.key;
    if (key > 0) {
        if (!m_db.update(kThemeTable, keyColumn, key, theme))
            return fail();
    } else {
        key = m_db.insert(kThemeTable, theme);
        if (key < 0)
            return fail();
    }
    // Writes one row of a per-theme table: overwritten when present, else added.
    const auto writeRow = [&](const QString& table, QVariantMap values) {
        const bool present =
            m_db.fetchOne(
                    QStringLiteral("select %1 from %2 where %1=? limit 1").arg(keyColumn, table),
                    {key})
                .has_value();
        if (present)
            return m_db.update(table, keyColumn, key, values);
        values[keyColumn] = key;
        return m_db.insert(table, values) >= 0;
    };
    if (t.hasPosition) {
        QVariantMap pos;
        for (int z = 0; z < BoardTheme::ZoneCount; ++z)
            for (int e = 0; e < 4; ++e)
                pos[zoneColumn(z, e)] = t.zone[z][e];
        if (!writeRow(kPositionTable, pos))
            return fail();
    }
    if (t.hasHeader) {
        QVariantMap head;
        for (int k = 0; k < 6; ++k)
            head[headColumn(k)] = t.head[k];
        if (!writeRow(kHeaderTable, head))
            return fail();
    }
    if (!tx.commit())
        return fail();
    if (m_events)
        emit m_events->themesChanged();
    return key;
}

const char* const ThemeRows::kTables[ThemeRows::PartCount] = {"tbltheme", "tblpos", "tblheader",
                                                              "tblss"};

namespace {
// The part's columns that travel, under the schema's spelling; others are dropped.
QVariantMap travelling(ThemeRows::Part part, const QVariantMap& values) {
    const QStringList columns = ThemeStore::rowColumns(part);
    QVariantMap out;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        for (const QString& c : columns)
            if (c.compare(it.key(), Qt::CaseInsensitive) == 0)
                out.insert(c, it.value());
    return out;
}
} // namespace

QStringList ThemeStore::rowColumns(ThemeRows::Part part) {
    const TableDef* t = schema::table(QLatin1String(ThemeRows::kTables[part]));
    QStringList out;
    if (!t)
        return out;
    // Ordinal 0 is the row's own key (the theme key itself in tblheader).
    for (int i = 1; i < t->columns.size(); ++i)
        if (t->columns[i].name.compare(QLatin1String(kKey), Qt::CaseInsensitive) != 0)
            out << t->columns[i].name;
    return out;
}

std::optional<ThemeRows> ThemeStore::loadRows(qint64 key) {
    const auto record = loadRecord(key);
    if (!record)
        return std::nullopt;
    ThemeRows rows;
    rows.part[ThemeRows::Theme] = travelling(ThemeRows::Theme, record->values);
    for (int p = ThemeRows::Layout; p < ThemeRows::PartCount; ++p) {
        // The row the board and the editors read when a theme has several.
        const auto row =
            m_db.fetchOne(QStringLiteral("select * from %1 where %2=? limit 1")
                              .arg(QLatin1String(ThemeRows::kTables[p]), QLatin1String(kKey)),
                          {key});
        if (row)
            rows.part[p] = travelling(ThemeRows::Part(p), rowValues(*row));
    }
    return rows;
}

qint64 ThemeStore::importRows(ThemeRows rows, const ImportStep& step, QString* name,
                              QString* error) {
    const auto fail = [&](const QString& why) {
        if (error && !why.isEmpty())
            *error = why;
        return qint64(0);
    };
    if (!rows.part[ThemeRows::Theme])
        return fail(QStringLiteral("the theme row is missing"));
    Database::Transaction tx(m_db);
    if (!tx.active())
        return fail(m_db.lastError());
    bool ok = false;
    const QVector<QSqlRecord> taken = m_db.fetchAll(
        QStringLiteral("select %1 from %2").arg(QLatin1String(kName), kThemeTable), {}, &ok);
    if (!ok)
        return fail(m_db.lastError());
    const auto isTaken = [&](const QString& candidate) {
        for (const QSqlRecord& r : taken)
            if (sameIgnoringCase(r.value(0).toString(), candidate))
                return true;
        return false;
    };
    QVariantMap theme = travelling(ThemeRows::Theme, *rows.part[ThemeRows::Theme]);
    const QString wanted = theme.value(QLatin1String(kName)).toString();
    QString freeName = wanted;
    for (int n = 2; isTaken(freeName); ++n)
        freeName = QStringLiteral("%1 (%2)").arg(wanted).arg(n);
    theme[QLatin1String(kName)] = freeName;
    const qint64 key = m_db.insert(kThemeTable, theme);
    if (key <= 0)
        return fail(m_db.lastError());
    rows.part[ThemeRows::Theme] = theme;
    if (step) {
        if (!step(key, rows, error))
            return 0;
        // The step may only change what the row holds, not its name.
        QVariantMap changed = travelling(ThemeRows::Theme, *rows.part[ThemeRows::Theme]);
        changed[QLatin1String(kName)] = freeName;
        if (!m_db.update(kThemeTable, QLatin1String(kKey), key, changed))
            return fail(m_db.lastError());
    }
    for (int p = ThemeRows::Layout; p < ThemeRows::PartCount; ++p) {
        if (!rows.part[p])
            continue;
        QVariantMap values = travelling(ThemeRows::Part(p), *rows.part[p]);
        values[QLatin1String(kKey)] = key;
        if (m_db.insert(QLatin1String(ThemeRows::kTables[p]), values) < 0)
            return fail(m_db.lastError());
    }
    if (!tx.commit())
        return fail(m_db.lastError());
    if (name)
        *name = freeName;
    if (m_events)
        emit m_events->themesChanged();
    return key;
}

} // namespace quoteria

namespace quoteria {

namespace {
// Writes the one row of a per-theme table in its own transaction: overwritten with
// `values` when present, else added with `values` and `onCreate`.
bool writeThemeRow(Database& db, DataEvents* events, const QString& table, qint64 key,
                   const QVariantMap& values, const QVariantMap& onCreate, QString* error) {
    const auto fail = [&] {
        if (error)
            *error = db.lastError();
        return false;
    };
    const QString keyColumn = QLatin1String(ThemeStore::kKey);
    Database::Transaction tx(db);
    if (!tx.active())
        return fail();
    bool ok = false;
    const bool present =
        !db.fetchAll(QStringLiteral("select %1 from %2 where %1=? limit 1").arg(keyColumn, table),
                     {key}, &ok)
             .isEmpty();
    if (!ok)
        return fail();
    if (present) {
        if (!db.update(table, keyColumn, key, values))
            return fail();
    } else {
        QVariantMap row = values;
        row.insert(onCreate);
        row[keyColumn] = key;
        if (db.insert(table, row) < 0)
            return fail();
    }
    if (!tx.commit())
        return fail();
    if (events)
        emit events->themesChanged();
    return true;
}
} // namespace

std::optional<LayoutRow> ThemeStore::loadLayout(qint64 key) {
    const auto row = m_db.fetchOne(QStringLiteral("select * from %1 where %2=? limit 1")
                                       .arg(kPositionTable, QLatin1String(kKey)),
                                   {key});
    if (!row)
        return std::nullopt;
    LayoutRow out;
    for (int z = 0; z < BoardTheme::ZoneCount; ++z)
        for (int e = 0; e < 4; ++e)
            out.zone[z][e] = number(*row, zoneColumn(z, e).toLatin1().constData());
    return out;
}

bool ThemeStore::saveLayout(qint64 key, const LayoutRow& row, QString* error) {
    QVariantMap values, onCreate;
    for (int z = 0; z < BoardTheme::ZoneCount; ++z)
        for (int e = 0; e < 4; ++e) {
            // The window's size is recorded once, when the row is made.
            const bool firstOnly = z == BoardTheme::Me && e >= 2;
            (firstOnly ? onCreate : values)[zoneColumn(z, e)] = row.zone[z][e];
        }
    return writeThemeRow(m_db, m_events, kPositionTable, key, values, onCreate, error);
}

std::optional<HeaderRow> ThemeStore::loadHeaderRow(qint64 key) {
    const auto row = m_db.fetchOne(
        QStringLiteral("select * from %1 where %2=?").arg(kHeaderTable, QLatin1String(kKey)),
        {key});
    if (!row)
        return std::nullopt;
    HeaderRow out;
    for (int k = 0; k < 7; ++k)
        out.head[k] = text(*row, headColumn(k).toLatin1().constData());
    return out;
}

bool ThemeStore::saveHeaderRow(qint64 key, const HeaderRow& row, QString* error) {
    QVariantMap values;
    for (int k = 0; k < 7; ++k)
        values[headColumn(k)] = row.head[k];
    return writeThemeRow(m_db, m_events, kHeaderTable, key, values, {}, error);
}

} // namespace quoteria
