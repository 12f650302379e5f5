#pragma once
// The local database: one SQLite connection for the process, reached through Qt SQL.
// Every statement binds its values; identifiers only ever come from the schema.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>
#include <optional>

namespace quoteria {

class Database {
public:
    explicit Database(const QString& connectionName = QStringLiteral("quoteria-local"));
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing database file, migrating it to the current schema. Never
    // creates a file. False with a description in lastError() on any failure,
    // including a database written by a newer version of the program.
    bool open(const QString& path);
    // Creates a new, empty database with the current schema at path. Refuses to
    // touch an existing file. Leaves this object open on it when it succeeds.
    bool create(const QString& path);
    bool isOpen() const;
    void close();
    QString path() const { return m_path; }
    QString lastError() const { return m_error; }
    QSqlDatabase connection() const;
    int schemaVersion() const;

    // Runs one statement with positional ('?') binds. ok tells success; the query is
    // positioned before its first row.
    QSqlQuery exec(const QString& sql, const QVariantList& binds = {}, bool* ok = nullptr);
    QVector<QSqlRecord> fetchAll(const QString& sql, const QVariantList& binds = {},
                                 bool* ok = nullptr);
    std::optional<QSqlRecord> fetchOne(const QString& sql, const QVariantList& binds = {});
    // First column of the first row; invalid when there is none.
    QVariant scalar(const QString& sql, const QVariantList& binds = {});

    // Adds a row. Columns must exist in the table (compared without case). Returns
    // the row's key, or -1 with lastError() set.
    qint64 insert(const QString& table, const QVariantMap& values);
    // Overwrites the given columns of the row whose keyColumn equals key.
    bool update(const QString& table, const QString& keyColumn, const QVariant& key,
                const QVariantMap& values);
    bool removeWhere(const QString& table, const QString& column, const QVariant& value);
    // The key the next insert into an autonumbered table will receive (autonumbers
    // are never reused, so this is known before the row is written).
    qint64 nextKey(const QString& table);

    // One page of a query: pages are numbered from 1, pageSize rows each.
    QVector<QSqlRecord> fetchPage(const QString& sql, const QVariantList& binds, int pageSize,
                                  int page, bool* ok = nullptr);
    static int pageCount(int rowCount, int pageSize);

    bool beginTransaction();
    bool commit();
    bool rollback();

    // Commits on commit(), rolls back when destroyed without it.
    class Transaction {
    public:
        explicit Transaction(Database& db) : m_db(db), m_open(db.beginTransaction()) {}
        ~Transaction() {
            if (m_open)
                m_db.rollback();
        }
        bool active() const { return m_open; }
        bool commit() {
            if (!m_open)
                return false;
            m_open = false;
            return m_db.commit();
        }

    private:
        Database& m_db;
        bool m_open;
    };

private:
    bool migrate();
    bool fail(const QString& message);
    QString checkedColumn(const QString& table, const QString& column);

    QString m_name;
    QString m_path;
    QString m_error;
};

} // namespace quoteria
