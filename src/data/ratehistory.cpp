#include "data/ratehistory.h"

#include "data/connectionworker.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"

#include <QSaveFile>
#include <QSqlError>

namespace quoteria {

namespace {

using namespace histcol;

const QString kDay = QStringLiteral("yyyy-MM-dd");

QString stampText(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString sql(const char* pattern) {
    return spellSql(pattern, {{"{T}", Table},     {"{id}", Key},       {"{at}", At},
                              {"{curr}", Currency}, {"{name}", Name},    {"{col}", Column},
                              {"{old}", Old},       {"{new}", New},      {"{src}", Source},
                              {"{op}", Operator}});
}

const QString& selectList() {
    static const QString s = sql("select {id},{at},{curr},{name},{col},{old},{new},{src},{op} "
                                 "from {T}");
    return s;
}

HistoryEntry entryOf(const QSqlQuery& q) {
    HistoryEntry e;
    e.id = q.value(0).toLongLong();
    e.at = q.value(1).toString();
    e.currencyKey = q.value(2).toLongLong();
    e.currencyName = q.value(3).toString();
    e.column = q.value(4).toInt();
    e.before = q.value(5).toString();
    e.after = q.value(6).toString();
    e.source = q.value(7).toString();
    e.operatorName = q.value(8).toString();
    return e;
}

// The filter as a where clause (with a leading " where", or empty) and its binds.
QString whereOf(const HistoryFilter& f, QVariantList* binds) {
    QStringList parts;
    if (f.currencyKey > 0) {
        parts << sql("{curr}=?");
        *binds << f.currencyKey;
    }
    // Stored times sort as text, so a day's bounds are plain text comparisons.
    if (f.from.isValid()) {
        parts << sql("{at}>=?");
        *binds << f.from.toString(kDay);
    }
    if (f.to.isValid()) {
        parts << sql("{at}<?");
        *binds << f.to.addDays(1).toString(kDay);
    }
    return parts.isEmpty() ? QString() : QLatin1String(" where ") + parts.join(QLatin1String(" and "));
}

} // namespace

QString sourceText(ChangeSource s) {
    switch (s) {
    case ChangeSource::Grid:
        return QStringLiteral("grid");
    case ChangeSource::EntryWindow:
        return QStringLiteral("entry window");
    case ChangeSource::SheetFeed:
        return QStringLiteral("spreadsheet feed");
    case ChangeSource::OnlineCopy:
        return QStringLiteral("online copy");
    }
    return QString();
}

HistoryWriter::HistoryWriter(Connection& db, const ChangeStamp& stamp)
    : m_db(db), m_insert(db.connection()), m_at(stampText(stamp.when)),
      m_source(sourceText(stamp.source)), m_operator(stamp.operatorName) {}

bool HistoryWriter::log(qint64 key, const QString& name, int column, const QString& before,
                        const QString& after) {
    if (before == after)
        return true;
    if (!m_prepared) {
        static const QString insert =
            sql("insert into {T} ({at},{curr},{name},{col},{old},{new},{src},{op}) "
                "values (?,?,?,?,?,?,?,?)");
        if (!m_insert.prepare(insert)) {
            m_db.setError(m_insert.lastError().text());
            return false;
        }
        m_prepared = true;
    }
    const QVariantList binds{m_at, key, name, column + 1, before, after, m_source,
                             m_operator.isEmpty() ? QVariant() : QVariant(m_operator)};
    for (int i = 0; i < binds.size(); ++i)
        m_insert.bindValue(i, binds.at(i));
    if (!m_insert.exec()) {
        m_db.setError(m_insert.lastError().text());
        return false;
    }
    return true;
}

QVector<HistoryEntry> HistoryReader::page(const HistoryFilter& f, int limit,
                                          const std::optional<HistoryCursor>& after,
                                          bool* ok) const {
    QVariantList binds;
    QString where = whereOf(f, &binds);
    if (after) {
        // Keyset paging: the index walks on from the last row shown, however deep.
        where += (where.isEmpty() ? QLatin1String(" where ") : QLatin1String(" and ")) +
                 sql("({at},{id})<(?,?)");
        binds << after->at << after->id;
    }
    binds << qMax(0, limit);
    bool good = false;
    QSqlQuery q =
        m_db.exec(selectList() + where + sql(" order by {at} desc,{id} desc limit ?"), binds, &good);
    QVector<HistoryEntry> out;
    while (good && q.next())
        out.append(entryOf(q));
    if (ok)
        *ok = good;
    return out;
}

qint64 HistoryReader::count(const HistoryFilter& f, bool* ok) const {
    QVariantList binds;
    const QString where = whereOf(f, &binds);
    bool good = false;
    QSqlQuery q = m_db.exec(sql("select count(*) from {T}") + where, binds, &good);
    good = good && q.next();
    if (ok)
        *ok = good;
    return good ? q.value(0).toLongLong() : 0;
}

bool HistoryReader::forEach(const HistoryFilter& f,
                            const std::function<bool(const HistoryEntry&)>& each,
                            QString* error) const {
    QVariantList binds;
    const QString where = whereOf(f, &binds);
    bool good = false;
    // Forward only: the driver hands out one row at a time and keeps none.
    QSqlQuery q = m_db.exec(selectList() + where + sql(" order by {at},{id}"), binds, &good);
    while (good && q.next())
        if (!each(entryOf(q)))
            break;
    if (good && q.lastError().isValid()) {
        good = false;
        m_db.setError(q.lastError().text());
    }
    if (!good && error)
        *error = m_db.lastError();
    return good;
}

QString csvField(const QString& text) {
    static const QString special = QStringLiteral("\",\r\n");
    bool quote = false;
    for (const QChar c : text)
        if (special.contains(c)) {
            quote = true;
            break;
        }
    if (!quote)
        return text;
    QString out = text;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

qint64 exportHistoryCsv(Connection& db, const HistoryFilter& f, QIODevice& out, QString* error) {
    const auto line = [](const QStringList& fields) {
        QStringList quoted;
        quoted.reserve(fields.size());
        for (const QString& s : fields)
            quoted << csvField(s);
        return (quoted.join(QLatin1Char(',')) + QLatin1String("\r\n")).toUtf8();
    };
    bool written = out.write(line({QStringLiteral("Time"), QStringLiteral("Currency"),
                                   QStringLiteral("Column"), QStringLiteral("Old"),
                                   QStringLiteral("New"), QStringLiteral("Source"),
                                   QStringLiteral("Operator")})) >= 0;
    qint64 rows = 0;
    QString readError;
    const bool read = written && HistoryReader(db).forEach(
                                     f,
                                     [&](const HistoryEntry& e) {
                                         written = out.write(line(
                                                       {e.at, e.currencyName,
                                                        QString::number(e.column), e.before,
                                                        e.after, e.source, e.operatorName})) >= 0;
                                         rows += written;
                                         return written;
                                     },
                                     &readError);
    if (!written || !read) {
        if (error)
            *error = !written ? out.errorString() : readError;
        return -1;
    }
    return rows;
}

qint64 exportHistoryCsv(Connection& db, const HistoryFilter& f, const QString& path,
                        QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return -1;
    }
    const qint64 rows = exportHistoryCsv(db, f, file, error);
    if (rows < 0)
        return -1; // the file is left as it was
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return -1;
    }
    return rows;
}

int purgeHistory(Connection& db, int keepDays, const QDate& today) {
    const QString cutoff = today.addDays(-qMax(0, keepDays)).toString(kDay);
    bool ok = false;
    QSqlQuery q = db.exec(sql("delete from {T} where {at}<?"), {cutoff}, &ok);
    return ok ? q.numRowsAffected() : -1;
}

HistoryPurger::HistoryPurger(SettingsStore& settings, ConnectionWorker& worker, QObject* parent)
    : QObject(parent), m_settings(settings), m_worker(worker) {}

bool HistoryPurger::purgeIfDue(const QDate& today) {
    const QString day = today.toString(kDay);
    if (m_running || m_settings.get(settings::HistoryPurged) == day)
        return false;
    // Noted before it runs: a purge that fails is not retried all day.
    m_settings.set(settings::HistoryPurged, day);
    m_running = true;
    const int keep = m_settings.get(settings::HistoryDays);
    m_worker.post(
        [keep, today](Connection& c, QVariant& value) {
            const int n = purgeHistory(c, keep, today);
            value = n;
            return n >= 0;
        },
        this,
        [this](const JobResult& r) {
            m_running = false;
            if (!r.ok)
                logLine(QStringLiteral("rate history: purge failed: %1").arg(r.error));
            Q_EMIT purged(r.ok ? r.value.toInt() : -1);
        });
    return true;
}

} // namespace quoteria
