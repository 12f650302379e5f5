#include "data/currencystore.h"

#include "data/database.h"
#include "data/dataevents.h"
#include "data/formats.h"
#include "data/helpers.h"
#include "data/settingsstore.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QSqlRecord>
#include <cmath>
#include <limits>

namespace quoteria {

namespace {

using namespace currcol;

// Statements are spelled once, from the column names.
QString sql(const char* pattern) {
    return spellSql(pattern, {{"{T}", Table},      {"{key}", Key},      {"{name}", Name},
                              {"{active}", Active}, {"{pos}", Pos},      {"{low}", Low},
                              {"{high}", High},     {"{state}", State},  {"{updated}", Updated},
                              {"{c1}", Values[0]},  {"{c2}", Values[1]}, {"{c3}", Values[2]},
                              {"{c4}", Values[3]},  {"{c5}", Values[4]}});
}

QString text(const QSqlRecord& r, QLatin1String column) {
    const QVariant v = r.value(column);
    if (v.isNull())
        return QString();
    // Numbers stored as numbers (the limits) are shown in plain digits: 0.0001, not 1e-04.
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'f', QLocale::FloatingPointShortest);
    return v.toString();
}

CurrencyRow rowOf(const QSqlRecord& r) {
    CurrencyRow c;
    c.key = r.value(Key).toLongLong();
    c.name = text(r, Name);
    for (int i = 0; i < 5; ++i) {
        const QVariant v = r.value(Values[i]);
        c.values << (v.isNull() ? QString() : v.toString());
        const QVariant cell = r.value(Cells[i]);
        c.cells << (cell.isNull() ? QString() : cell.toString());
    }
    c.img = text(r, Img);
    c.active = text(r, Active);
    c.pos = text(r, Pos);
    c.low = text(r, Low);
    c.high = text(r, High);
    c.vstate = text(r, State);
    c.updateTime = text(r, Updated);
    return c;
}

// Limits as numbers where they are numbers, so the monitor's comparison and the
// column's affinity agree; anything else is kept as text and counts as 0 there.
QVariant limitValue(const QString& t) {
    return isNumeric(t) ? QVariant(vbVal(t)) : QVariant(t);
}

bool isPositionClash(const QString& error) {
    return error.contains(QLatin1String("UNIQUE"), Qt::CaseInsensitive) &&
           error.contains(QLatin1Char('.') + Pos, Qt::CaseInsensitive);
}

} // namespace

QStringList fiveTexts(const QStringList& in) {
    QStringList out = in.mid(0, 5);
    while (out.size() < 5)
        out << QString();
    return out;
}

CurrencyStore::CurrencyStore(Connection& db, DataEvents* events, QObject* parent)
    : QObject(parent), m_db(db), m_events(events) {}

void CurrencyStore::announce() {
    Q_EMIT changed();
    if (m_events)
        Q_EMIT m_events->currenciesChanged();
}

QVector<CurrencyRow> CurrencyStore::list(bool showAll, bool* ok) const {
    static const QString all = sql("select * from {T} order by {pos} asc");
    static const QString active = sql("select * from {T} where {active}=? order by {pos} asc");
    QVector<CurrencyRow> rows;
    bool good = false;
    QSqlQuery q =
        showAll ? m_db.exec(all, {}, &good) : m_db.exec(active, {QStringLiteral("1")}, &good);
    if (good) {
        rows.reserve(64);
        while (q.next())
            rows.append(rowOf(q.record()));
    }
    if (ok)
        *ok = good;
    return rows;
}

std::optional<CurrencyRow> CurrencyStore::find(qint64 key) const {
    static const QString byKey = sql("select * from {T} where {key}=?");
    const auto r = m_db.fetchOne(byKey, {key});
    if (!r)
        return std::nullopt;
    return rowOf(*r);
}

std::optional<QStringList> CurrencyStore::headerCaptions(qint64 themeKey) const {
    const auto r =
        m_db.fetchOne(QStringLiteral("select * from tblheader where themeauto=?"), {themeKey});
    if (!r)
        return std::nullopt;
    QStringList captions;
    for (int i = 1; i <= 6; ++i)
        captions << (r->value(i).isNull() ? QString() : r->value(i).toString());
    return captions;
}

QVector<AlarmRow> CurrencyStore::alarmRows(int valueIndex, bool* ok) const {
    QVector<AlarmRow> rows;
    bool good = false;
    if (valueIndex >= 0 && valueIndex < 5) {
        // The column name goes into the statement, so it comes from the list only.
        const QString statement =
            sql("select {key},%1,{low},{high},{state} from {T} where {active}=?")
                .arg(Values[valueIndex]);
        QSqlQuery q = m_db.exec(statement, {QStringLiteral("1")}, &good);
        while (good && q.next())
            rows.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                         q.value(3).toString(), q.value(4).toString()});
    }
    if (ok)
        *ok = good;
    return rows;
}

bool CurrencyStore::setAlarmStates(const QVector<AlarmMark>& marks) {
    static const QString mark = sql("update {T} set {state}=? where {key}=?");
    Connection::Transaction tx(m_db);
    for (const AlarmMark& m : marks)
        m_db.exec(mark, {m.state, m.key});
    if (!tx.commit())
        return false;
    announce();
    return true;
}

std::optional<QString> CurrencyStore::lastUpdateTime() const {
    static const QString newest = sql("select {updated} from {T} order by {updated} desc limit 1");
    const auto row = m_db.fetchOne(newest);
    if (!row)
        return std::nullopt;
    return row->value(0).toString();
}

QString CurrencyStore::listValue(const QString& t, const ValueFormat& format) {
    if (format.length == 0)
        return t;
    return formatNumber(t, format.pattern);
}

QString CurrencyStore::entryValue(const QString& t, const ValueFormat& format) {
    if (format.length == 0)
        return t;
    return keepLength(formatNumber(t, format.pattern), format.length);
}

int CurrencyStore::firstBadCell(const QStringList& cells) {
    for (int i = 0; i < cells.size(); ++i) {
        const QString& c = cells.at(i);
        if (c.isEmpty())
            continue;
        const QStringList parts = c.split(QLatin1Char(','));
        if (parts.size() != 2 || !isNumeric(parts.at(0)) || !isNumeric(parts.at(1)))
            return i;
    }
    return -1;
}

QString CurrencyStore::timeText(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<std::pair<QString, QStringList>> CurrencyStore::storedValues(qint64 key) const {
    static const QString values = sql("select {name},{c1},{c2},{c3},{c4},{c5} from {T} where {key}=?");
    const auto r = m_db.fetchOne(values, {key});
    if (!r)
        return std::nullopt;
    QStringList texts;
    for (int i = 1; i <= 5; ++i)
        texts << r->value(i).toString();
    return std::make_pair(r->value(0).toString(), texts);
}

CurrencyStore::Result CurrencyStore::saveValues(const QVector<Edit>& edits,
                                                const ValueFormat& format, const QDateTime& now,
                                                const QString& operatorName) {
    Result res;
    Connection::Transaction tx(m_db);
    if (!tx.active()) {
        res.ok = false;
        res.error = m_db.lastError();
        return res;
    }
    const QString stamp = timeText(now);
    static const QString update =
        sql("update {T} set {c1}=?,{c2}=?,{c3}=?,{c4}=?,{c5}=?,{updated}=? where {key}=?");
    HistoryWriter history(m_db, {ChangeSource::Grid, operatorName, now});
    for (const Edit& e : edits) {
        QVariantList binds;
        QStringList values = fiveTexts(e.values);
        for (QString& v : values) {
            v = listValue(v, format);
            binds << v;
        }
        binds << stamp << e.key;
        const auto before = storedValues(e.key);
        bool good = false;
        QSqlQuery q = m_db.exec(update, binds, &good);
        for (int i = 0; good && before && i < 5; ++i)
            good = history.log(e.key, before->first, i, before->second.at(i), values.at(i));
        if (!good) {
            res.ok = false;
            res.error = m_db.lastError();
            res.written = 0;
            return res; // the transaction rolls back
        }
        if (q.numRowsAffected() > 0)
            ++res.written;
        else {
            ++res.missing;
            res.missingKeys.append(e.key);
        }
    }
    if (!tx.commit()) {
        res.ok = false;
        res.error = m_db.lastError();
        res.written = 0;
        return res;
    }
    announce();
    return res;
}

CurrencyStore::Result CurrencyStore::setColumnValues(const QVector<ColumnValue>& values,
                                                     const ChangeStamp& stamp) {
    Result res;
    if (values.isEmpty())
        return res;
    static const QString update[5] = {
        sql("update {T} set {c1}=? where {key}=?"), sql("update {T} set {c2}=? where {key}=?"),
        sql("update {T} set {c3}=? where {key}=?"), sql("update {T} set {c4}=? where {key}=?"),
        sql("update {T} set {c5}=? where {key}=?")};
    Connection::Transaction tx(m_db);
    if (!tx.active()) {
        res.ok = false;
        res.error = m_db.lastError();
        return res;
    }
    QSet<qint64> written;
    HistoryWriter history(m_db, stamp);
    // A feed sends a currency's columns one by one: its stored row is read once.
    QHash<qint64, std::optional<std::pair<QString, QStringList>>> stored;
    for (const ColumnValue& v : values) {
        if (v.column < 0 || v.column > 4)
            continue;
        auto at = stored.find(v.key);
        if (at == stored.end())
            at = stored.insert(v.key, storedValues(v.key));
        auto& before = *at;
        bool good = false;
        QSqlQuery q = m_db.exec(update[v.column], {v.value, v.key}, &good);
        if (good && before) {
            good = history.log(v.key, before->first, v.column, before->second.at(v.column),
                               v.value);
            before->second[v.column] = v.value;
        }
        if (!good) {
            res.ok = false;
            res.error = m_db.lastError();
            return res; // the transaction rolls back
        }
        if (q.numRowsAffected() > 0)
            written.insert(v.key);
        else if (!res.missingKeys.contains(v.key))
            res.missingKeys.append(v.key);
    }
    if (!tx.commit()) {
        res.ok = false;
        res.error = m_db.lastError();
        return res;
    }
    res.written = int(written.size());
    res.missing = int(res.missingKeys.size());
    if (res.written)
        announce();
    return res;
}

CurrencyStore::Result CurrencyStore::write(qint64 key, bool isNew, const CurrencyInput& in,
                                           const ValueFormat& format,
                                           const QString& operatorName) {
    Result res;
    QVariantMap row;
    row[Name] = in.name;
    const QStringList values = fiveTexts(in.values);
    for (int i = 0; i < 5; ++i)
        row[Values[i]] = entryValue(values.at(i), format);
    if (isNew || in.writeImg)
        row[Img] = in.img;
    row[Active] = in.active ? 1 : 0;
    const QStringList cells = fiveTexts(in.cells);
    for (int i = 0; i < 5; ++i)
        row[Cells[i]] = cells.at(i);
    row[Low] = limitValue(in.low);
    row[High] = limitValue(in.high);
    row[State] = QStringLiteral("N");

    // Position: the typed number, or the row's own key when empty or not a number.
    bool ownKey = true;
    if (!in.pos.trimmed().isEmpty() && isNumeric(in.pos)) {
        const double p = std::round(vbVal(in.pos));
        if (std::fabs(p) > double(std::numeric_limits<qint32>::max())) {
            res.ok = false;
            res.error = QStringLiteral("The position %1 is out of range").arg(in.pos.trimmed());
            return res;
        }
        row[Pos] = qint64(p);
        ownKey = false;
    }

    Connection::Transaction tx(m_db);
    if (!tx.active()) {
        res.ok = false;
        res.error = m_db.lastError();
        return res;
    }
    // A new currency's values are logged as changes from nothing.
    QStringList before(5);
    if (isNew) {
        const qint64 k = m_db.insert(Table, row);
        if (k < 0) {
            res.ok = false;
            res.error = m_db.lastError();
            res.duplicatePosition = isPositionClash(res.error);
            return res;
        }
        key = k;
    } else {
        const auto stored = storedValues(key);
        if (!stored) {
            res.missing = 1;
            return res;
        }
        before = stored->second;
        if (!m_db.update(Table, Key, key, row)) {
            res.ok = false;
            res.error = m_db.lastError();
            res.duplicatePosition = isPositionClash(res.error);
            return res;
        }
    }
    if (ownKey && !m_db.update(Table, Key, key, {{Pos, key}})) {
        res.ok = false;
        res.error = m_db.lastError();
        res.duplicatePosition = isPositionClash(res.error);
        return res;
    }
    HistoryWriter history(m_db, {ChangeSource::EntryWindow, operatorName});
    for (int i = 0; i < 5; ++i) {
        if (!history.log(key, in.name, i, before.at(i), row.value(Values[i]).toString())) {
            res.ok = false;
            res.error = m_db.lastError();
            return res;
        }
    }
    if (!tx.commit()) {
        res.ok = false;
        res.error = m_db.lastError();
        return res;
    }
    res.written = 1;
    res.missing = 0;
    if (isNew)
        m_lastKey = key;
    announce();
    return res;
}

CurrencyStore::Result CurrencyStore::add(const CurrencyInput& in, const ValueFormat& format,
                                         qint64* newKey, const QString& operatorName) {
    const Result r = write(0, true, in, format, operatorName);
    if (r.ok && r.written && newKey)
        *newKey = m_lastKey;
    return r;
}

CurrencyStore::Result CurrencyStore::change(qint64 key, const CurrencyInput& in,
                                            const ValueFormat& format,
                                            const QString& operatorName) {
    return write(key, false, in, format, operatorName);
}

bool CurrencyStore::remove(qint64 key, QString* error) {
    const bool ok = m_db.removeWhere(Table, Key, key);
    if (!ok && error)
        *error = m_db.lastError();
    if (ok)
        announce();
    return ok;
}

ValueFormat valueFormat(const SettingsStore& settings) {
    ValueFormat f;
    f.length = settings.get(settings::KeptLength);
    f.pattern = settings.get(settings::ValueFormat);
    return f;
}

bool excelFeedOn(const SettingsStore& settings) {
    return settings.get(settings::ExcelOn);
}

} // namespace quoteria
