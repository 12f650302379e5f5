#pragma once
// Which rate was shown when: every change of a value column is logged in the same
// transaction as the change itself, and read back by filter, page by page or as
// one stream into a CSV file. Old rows are purged on a connection of their own.
#include "data/connection.h"

#include <QDate>
#include <QDateTime>
#include <QIODevice>
#include <QLatin1String>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <optional>

namespace quoteria {

class ConnectionWorker;
class SettingsStore;

namespace histcol {
inline constexpr QLatin1String Table{"tblRateHistory"};
inline constexpr QLatin1String Key{"histAuto"};
inline constexpr QLatin1String At{"changedAt"};
inline constexpr QLatin1String Currency{"currAuto"};
inline constexpr QLatin1String Name{"currName"};
inline constexpr QLatin1String Column{"colum"};
inline constexpr QLatin1String Old{"oldText"};
inline constexpr QLatin1String New{"newText"};
inline constexpr QLatin1String Source{"source"};
inline constexpr QLatin1String Operator{"operatorName"};
} // namespace histcol

// Where a change came from; stored as its text.
enum class ChangeSource { Grid, EntryWindow, SheetFeed, OnlineCopy };
QString sourceText(ChangeSource s);

// Who changed the values and when: the operator's name is empty for the feeds.
struct ChangeStamp {
    ChangeSource source = ChangeSource::Grid;
    QString operatorName;
    QDateTime when = QDateTime::currentDateTime();
};

// Adds history rows inside the caller's open transaction, through one prepared
// statement. A failed row leaves the error on the connection; the caller rolls back.
class HistoryWriter {
public:
    HistoryWriter(Connection& db, const ChangeStamp& stamp);
    // Logs nothing when the text did not change. column is 0 to 4.
    bool log(qint64 key, const QString& name, int column, const QString& before,
             const QString& after);

private:
    Connection& m_db;
    QSqlQuery m_insert;
    bool m_prepared = false;
    QString m_at, m_source, m_operator;
};

struct HistoryFilter {
    qint64 currencyKey = 0; // 0: every currency
    QDate from;             // inclusive; null: no lower bound
    QDate to;               // inclusive; null: no upper bound
};

struct HistoryEntry {
    qint64 id = 0;
    QString at;
    qint64 currencyKey = 0;
    QString currencyName;
    int column = 0; // 1 to 5
    QString before;
    QString after;
    QString source;
    QString operatorName;
};

// Where a page ends: the next page starts after this entry (newest first).
struct HistoryCursor {
    QString at;
    qint64 id = 0;
};

class HistoryReader {
public:
    explicit HistoryReader(Connection& db) : m_db(db) {}
    // Up to limit entries, newest first, after the cursor (from the newest without one).
    QVector<HistoryEntry> page(const HistoryFilter& f, int limit,
                               const std::optional<HistoryCursor>& after = std::nullopt,
                               bool* ok = nullptr) const;
    qint64 count(const HistoryFilter& f, bool* ok = nullptr) const;
    // Every matching entry, oldest first, one at a time: memory does not grow with
    // the number of rows. Stops early when each returns false.
    bool forEach(const HistoryFilter& f, const std::function<bool(const HistoryEntry&)>& each,
                 QString* error = nullptr) const;

private:
    Connection& m_db;
};

// One CSV field as RFC 4180 has it: quoted when it holds a quote, comma, CR or LF.
QString csvField(const QString& text);
// The matching entries as CSV (header row, CRLF line ends, UTF-8), oldest first.
// Returns the number of rows written, -1 with *error on failure.
qint64 exportHistoryCsv(Connection& db, const HistoryFilter& f, QIODevice& out,
                        QString* error = nullptr);
// The same into a file, replaced only when the export succeeded.
qint64 exportHistoryCsv(Connection& db, const HistoryFilter& f, const QString& path,
                        QString* error = nullptr);

// Removes the entries older than keepDays days before today. Returns the number
// removed, -1 on failure.
int purgeHistory(Connection& db, int keepDays, const QDate& today);

// At most one purge a day, in the background on the worker's connection; the day
// of the last one is kept in the settings so a restart does not purge again.
class HistoryPurger : public QObject {
    Q_OBJECT
public:
    HistoryPurger(SettingsStore& settings, ConnectionWorker& worker, QObject* parent = nullptr);
    // Starts a purge unless one ran (or runs) today. True when one was started.
    bool purgeIfDue(const QDate& today = QDate::currentDate());

Q_SIGNALS:
    // removed is -1 when the purge failed.
    void purged(int removed);

private:
    SettingsStore& m_settings;
    ConnectionWorker& m_worker;
    bool m_running = false;
};

} // namespace quoteria
