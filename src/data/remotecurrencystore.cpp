#include "data/remotecurrencystore.h"

#include "data/formats.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <cmath>
#include <limits>

namespace quoteria {

namespace {

using Result = CurrencyStore::Result;

// The head office names its value columns col1 .. col5; everything else is
// spelled as in the local table.
const char* const kRemoteValues[5] = {"col1", "col2", "col3", "col4", "col5"};

Result failure(const QString& error) {
    Result r;
    r.ok = false;
    r.error =
        error.isEmpty() ? QStringLiteral("The head office database refused the change") : error;
    return r;
}

QString text(const QVariant& v) {
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QDateTime)
        return CurrencyStore::timeText(v.toDateTime());
    return v.toString();
}

CurrencyRow rowOf(const QSqlRecord& r) {
    // Names, not places: the lookup ignores case, whatever case the server reports.
    CurrencyRow c;
    c.key = r.value(QStringLiteral("currAuto")).toLongLong();
    c.name = text(r.value(QStringLiteral("currName")));
    for (int i = 0; i < 5; ++i) {
        c.values << text(r.value(QLatin1String(kRemoteValues[i])));
        c.cells << text(r.value(currcol::Cells[i]));
    }
    c.img = text(r.value(currcol::Img));
    c.active = text(r.value(currcol::Active));
    c.pos = text(r.value(currcol::Pos));
    c.low = text(r.value(currcol::Low));
    c.high = text(r.value(currcol::High));
    c.vstate = text(r.value(currcol::State));
    c.updateTime = text(r.value(QStringLiteral("updateTime")));
    return c;
}

// A rate as the server's NUMERIC takes it: exact text, and no value when empty
// (the empty text is not a number to the server).
QVariant rate(const QString& t) {
    return t.trimmed().isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(t);
}

// A typed position: the rounded number, nothing when empty or not a number.
std::optional<qint64> typedPosition(const QString& t) {
    if (t.trimmed().isEmpty() || !isNumeric(t))
        return std::nullopt;
    return qint64(std::round(vbVal(t)));
}

bool fitsInt(qint64 v) {
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

// The local table's columns 1 to 14 of a row, in their order.
QStringList localOrdinals(const CurrencyRow& row) {
    return QStringList{row.name} + fiveTexts(row.values) + QStringList{row.img, row.active} +
           fiveTexts(row.cells) + QStringList{row.pos};
}

// A local text for a remote column of the given type: numbers go as numbers,
// and an empty text is no value there; a text the type cannot take is passed on
// for the server to refuse.
QVariant remoteValue(const QSqlField& field, const QString& t) {
    switch (field.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        if (t.trimmed().isEmpty())
            return QVariant(QMetaType::fromType<qint64>());
        if (const auto n = typedPosition(t))
            return *n;
        return t;
    case QMetaType::Double:
    case QMetaType::Float:
        return rate(t);
    default:
        return t;
    }
}

// One statement prepared once and run for row after row. Declared before the
// transaction it runs in: PostgreSQL frees a statement of a failed transaction
// only once that is rolled back.
class Batch {
public:
    Batch(Connection& db, const QString& sql) : m_q(db.connection()) {
        m_q.setForwardOnly(true);
        m_prepared = m_q.prepare(sql);
    }
    bool run(const QVariantList& binds) {
        if (!m_prepared)
            return false;
        for (int i = 0; i < binds.size(); ++i)
            m_q.bindValue(i, binds.at(i));
        return m_q.exec();
    }
    QString error() const { return m_q.lastError().text(); }

private:
    QSqlQuery m_q;
    bool m_prepared = false;
};

// The online entry window's row: add (isNew) or overwrite the row of key.
Result writeRow(Connection& db, qint64 key, bool isNew, const CurrencyInput& in, qint64* newKey) {
    const auto pos = typedPosition(in.pos);
    if (pos && !fitsInt(*pos))
        return failure(QStringLiteral("The position %1 is out of range").arg(in.pos.trimmed()));

    QStringList columns{QStringLiteral("currName")};
    QVariantList binds{in.name};
    const QStringList values = fiveTexts(in.values);
    for (int i = 0; i < 5; ++i) {
        columns << QLatin1String(kRemoteValues[i]);
        binds << rate(values.at(i));
    }
    if (isNew || in.writeImg) {
        columns << currcol::Img;
        binds << in.img;
    }
    columns << currcol::Active;
    binds << (in.active ? 1 : 0);
    const QStringList cells = fiveTexts(in.cells);
    for (int i = 0; i < 5; ++i) {
        columns << currcol::Cells[i];
        binds << cells.at(i);
    }

    QSqlQuery last; // outlives the transaction, as a Batch does
    Connection::Transaction tx(db);
    if (!tx.active())
        return failure(db.lastError());
    bool good = false;
    if (isNew) {
        // The position goes in with the row when typed; the name finds the new
        // key on any engine (names are unique at the head office).
        columns << currcol::Pos;
        binds << (pos ? QVariant(*pos) : QVariant(QMetaType::fromType<qint64>()));
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        last = db.exec(QStringLiteral("insert into tblCurr (%1) values (%2)")
                           .arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                       binds, &good);
        if (!good)
            return failure(db.lastError());
        const QVariant k =
            db.scalar(QStringLiteral("select currAuto from tblCurr where currName=?"), {in.name});
        if (!k.isValid())
            return failure(db.lastError());
        key = k.toLongLong();
        if (!pos) {
            last = db.exec(QStringLiteral("update tblCurr set pos=? where currAuto=?"), {key, key},
                           &good);
            if (!good)
                return failure(db.lastError());
        }
    } else {
        if (!db.fetchOne(QStringLiteral("select currAuto from tblCurr where currAuto=?"), {key})) {
            if (!db.lastError().isEmpty())
                return failure(db.lastError());
            Result gone;
            gone.missing = 1;
            gone.missingKeys << key;
            return gone;
        }
        columns << currcol::Pos;
        binds << (pos ? *pos : key) << key;
        QStringList sets;
        for (const QString& c : columns)
            sets << c + QStringLiteral("=?");
        last = db.exec(QStringLiteral("update tblCurr set %1 where currAuto=?")
                           .arg(sets.join(QLatin1Char(','))),
                       binds, &good);
        if (!good)
            return failure(db.lastError());
    }
    if (!tx.commit())
        return failure(db.lastError());
    if (newKey && isNew)
        *newKey = key;
    Result res;
    res.written = 1;
    return res;
}

} // namespace

RemoteCurrencyStore::RemoteCurrencyStore(Connection& remote, RemoteEngine engine)
    : m_db(remote), m_engine(engine) {}

QString RemoteCurrencyStore::updateCurrencyCall(RemoteEngine engine) {
    return engine == RemoteEngine::PostgreSql
               ? QStringLiteral("SELECT update_currency(?, ?, ?, ?, ?, ?, ?)")
               : QStringLiteral("{CALL update_currency(?,?,?,?,?,?,?)}");
}

QVector<CurrencyRow> RemoteCurrencyStore::list(bool showAll, bool* ok) const {
    QVector<CurrencyRow> rows;
    bool good = false;
    QSqlQuery q =
        showAll ? m_db.exec(QStringLiteral("select * from tblCurr order by pos asc"), {}, &good)
                : m_db.exec(QStringLiteral("select * from tblCurr where active=? order by pos asc"),
                            {1}, &good);
    while (good && q.next())
        rows.append(rowOf(q.record()));
    if (ok)
        *ok = good;
    return rows;
}

std::optional<CurrencyRow> RemoteCurrencyStore::find(qint64 key) const {
    const auto r = m_db.fetchOne(QStringLiteral("select * from tblCurr where currAuto=?"), {key});
    if (!r)
        return std::nullopt;
    return rowOf(*r);
}

CurrencyStore::Result RemoteCurrencyStore::upload(const QVector<CurrencyRow>& local,
                                                  const QDateTime& now) {
    // The remote columns are learnt from the live table: ordinal i takes the local
    // column i, whatever either side calls it.
    bool good = false;
    QSqlQuery shape = m_db.exec(QStringLiteral("select * from tblCurr where 1=0"), {}, &good);
    if (!good)
        return failure(m_db.lastError());
    const QSqlRecord remote = shape.record();
    shape = QSqlQuery();
    const int stamp = remote.indexOf(QStringLiteral("updateTime"));
    if (remote.count() < 15 || stamp < 0)
        return failure(QStringLiteral("The head office's tblCurr does not have the columns of "
                                      "the local table"));
    const QSqlDriver* driver = m_db.connection().driver();
    QStringList columns;
    for (int i = 1; i <= 14; ++i)
        columns << driver->escapeIdentifier(remote.fieldName(i), QSqlDriver::FieldName);
    columns << driver->escapeIdentifier(remote.fieldName(stamp), QSqlDriver::FieldName);
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString insert = QStringLiteral("insert into tblCurr (%1) values (%2)")
                               .arg(columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));

    // All or nothing: a refused row must not leave the head office with an empty
    // or half-filled table.
    Batch wipe(m_db, QStringLiteral("delete from tblCurr"));
    Batch add(m_db, insert);
    Connection::Transaction tx(m_db);
    if (!tx.active())
        return failure(m_db.lastError());
    if (!wipe.run({}))
        return failure(wipe.error());
    for (const CurrencyRow& row : local) {
        const QStringList fields = localOrdinals(row);
        QVariantList binds;
        for (int i = 0; i < fields.size(); ++i)
            binds << remoteValue(remote.field(i + 1), fields.at(i));
        binds << now;
        if (!add.run(binds))
            return failure(add.error());
    }
    if (!tx.commit())
        return failure(m_db.lastError());
    Result res;
    res.written = int(local.size());
    return res;
}

CurrencyStore::Result RemoteCurrencyStore::saveAll(const QVector<SaveRow>& rows, int keep) {
    Batch call(m_db, updateCurrencyCall(m_engine));
    Connection::Transaction tx(m_db);
    if (!tx.active())
        return failure(m_db.lastError());
    for (const SaveRow& row : rows) {
        QVariantList binds{row.name};
        for (const QString& v : fiveTexts(row.values))
            binds << rate(keep > 0 ? keepLength(v, keep) : v);
        const auto pos = typedPosition(row.pos);
        binds << (pos ? QVariant(*pos) : QVariant(QMetaType::fromType<qint64>()));
        if (!call.run(binds))
            return failure(call.error());
    }
    if (!tx.commit())
        return failure(m_db.lastError());
    Result res;
    res.written = int(rows.size());
    return res;
}

CurrencyStore::Result RemoteCurrencyStore::add(const CurrencyInput& in, qint64* newKey) {
    return writeRow(m_db, 0, true, in, newKey);
}

CurrencyStore::Result RemoteCurrencyStore::change(qint64 key, const CurrencyInput& in) {
    return writeRow(m_db, key, false, in, nullptr);
}

bool RemoteCurrencyStore::remove(qint64 key, QString* error) {
    bool good = false;
    m_db.exec(QStringLiteral("delete from tblCurr where currAuto=?"), {key}, &good);
    if (!good && error)
        *error = m_db.lastError();
    return good;
}

QVector<RemoteCurrencyStore::PosValues> RemoteCurrencyStore::values(bool* ok) const {
    QVector<PosValues> out;
    bool good = false;
    QSqlQuery q = m_db.exec(
        QStringLiteral("select pos,col1,col2,col3,col4,col5 from tblCurr where pos is not null"),
        {}, &good);
    while (good && q.next()) {
        PosValues p;
        p.pos = q.value(0).toLongLong();
        for (int i = 1; i <= 5; ++i)
            p.values << text(q.value(i));
        out.append(p);
    }
    if (ok)
        *ok = good;
    return out;
}

int applyOnlineValues(CurrencyStore& local, const QVector<RemoteCurrencyStore::PosValues>& remote,
                      const bool (&flags)[5], QString* error) {
    bool ok = false;
    const QVector<CurrencyRow> rows = local.list(true, &ok);
    if (!ok) {
        if (error)
            *error = local.connection().lastError();
        return 0;
    }
    // pos -> the local row; of several with one pos the oldest (lowest key) wins.
    QHash<qint64, const CurrencyRow*> byPos;
    for (const CurrencyRow& r : rows) {
        const auto p = typedPosition(r.pos);
        if (!p)
            continue;
        const CurrencyRow*& slot = byPos[*p];
        if (!slot || r.key < slot->key)
            slot = &r;
    }
    QVector<CurrencyStore::ColumnValue> changes;
    for (const RemoteCurrencyStore::PosValues& rv : remote) {
        const CurrencyRow* row = byPos.value(rv.pos);
        if (!row)
            continue;
        for (int k = 0; k < 5; ++k) {
            // Unchanged values are not written: no change, no announcement.
            if (flags[k] && k < rv.values.size() && rv.values.at(k) != row->values.value(k))
                changes.append({row->key, k, rv.values.at(k)});
        }
    }
    const CurrencyStore::Result r = local.setColumnValues(changes, {ChangeSource::OnlineCopy, {}});
    if (!r.ok && error)
        *error = r.error;
    return r.ok ? r.written : 0;
}

} // namespace quoteria
