#pragma once
// One database connection through Qt SQL, whatever the driver: the local SQLite
// file and the head office's server are reached with the same store code.
// Every statement binds its values; identifiers only ever come from the schema,
// spelled as the live table spells them.
//
// A connection belongs to the thread that opened it: use and close it there.
#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>
#include <optional>

namespace quoteria {

struct ConnectionParams {
    QString driver; // Qt SQL driver name: "QSQLITE", "QPSQL", "QODBC"
    QString databaseName;
    QString host;
    int port = -1;
    QString user;
    QString password;
    QString connectOptions;
};

class Connection {
public:
    // An empty name picks one no other connection of the process uses.
    explicit Connection(const QString& connectionName = QString());
    virtual ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the connection, closing any earlier one of this object first. False
    // with a description in lastError() when the driver is missing or the open fails.
    bool openWith(const ConnectionParams& params);
    bool isOpen() const;
    void close();
    QString name() const { return m_name; }
    QString lastError() const { return m_error; }
    void clearError() { m_error.clear(); }
    void setError(const QString& message) { m_error = message; }
    QSqlDatabase connection() const;

    // Runs one statement with positional ('?') binds. ok tells success; the query is
    // positioned before its first row.
    QSqlQuery exec(const QString& sql, const QVariantList& binds = {}, bool* ok = nullptr);
    QVector<QSqlRecord> fetchAll(const QString& sql, const QVariantList& binds = {},
                                 bool* ok = nullptr);
    std::optional<QSqlRecord> fetchOne(const QString& sql, const QVariantList& binds = {});
    // First column of the first row; invalid when there is none.
    QVariant scalar(const QString& sql, const QVariantList& binds = {});

    // Adds a row. The table must be one of ours and the columns must exist in the
    // live table (compared without case). Returns the row's key (0 when the driver
    // cannot tell it), or -1 with lastError() set.
    qint64 insert(const QString& table, const QVariantMap& values);
    // Overwrites the given columns of the row whose keyColumn equals key.
    bool update(const QString& table, const QString& keyColumn, const QVariant& key,
                const QVariantMap& values);
    bool removeWhere(const QString& table, const QString& column, const QVariant& value);

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
        explicit Transaction(Connection& c) : m_c(c), m_open(c.beginTransaction()) {}
        ~Transaction() {
            if (m_open)
                m_c.rollback();
        }
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        bool active() const { return m_open; }
        bool commit() {
            if (!m_open)
                return false;
            m_open = false;
            return m_c.commit();
        }

    private:
        Connection& m_c;
        bool m_open;
    };

protected:
    bool fail(const QString& message);
    // The table's name as the live database spells it; empty with lastError() set
    // when it is not one of our tables or the database lacks it.
    QString liveTable(const QString& table);
    // The column's name as the live table spells it; empty with lastError() set.
    QString checkedColumn(const QString& table, const QString& column);
    QString quotedTable(const QString& liveName) const;
    QString quotedColumn(const QString& liveName) const;
    // Forget what was learnt about the tables, after the schema changed.
    void forgetTables();

private:
    QString m_name;
    QString m_error;
    // Our table name in lower case -> live table name and its live column names.
    struct LiveTable {
        QString name;
        QStringList columns;
    };
    QHash<QString, LiveTable> m_tables;
    const LiveTable* lookupTable(const QString& table);
};

} // namespace quoteria
