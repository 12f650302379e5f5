#include "data/database.h"

#include "data/messageservice.h"
#include "data/schema.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>

namespace quoteria {

namespace sqlite {

ConnectionParams params(const QString& path) {
    ConnectionParams p;
    p.driver = QStringLiteral("QSQLITE");
    p.databaseName = path;
    // Another connection to the file (a worker's) may hold the write lock a moment.
    p.connectOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
    return p;
}

bool setUp(Connection& c) {
    // A file that is not a database only shows itself at the first statement.
    bool ok = false;
    c.exec(QStringLiteral("PRAGMA journal_mode=WAL"), {}, &ok);
    return ok;
}

bool openExisting(Connection& c, const QString& path) {
    if (!QFileInfo(path).isFile()) {
        c.close();
        c.setError(QStringLiteral("Database file not found: %1").arg(path));
        return false;
    }
    if (!c.openWith(params(path)))
        return false;
    if (!setUp(c)) {
        const QString e = c.lastError();
        c.close();
        c.setError(e);
        return false;
    }
    return true;
}

} // namespace sqlite

Database::Database(const QString& connectionName) : Connection(connectionName) {}

bool Database::open(const QString& path) {
    if (isOpen() && m_path == path)
        return true;
    close();
    setError(QString());
    const QFileInfo fi(path);
    if (path.isEmpty())
        return fail(QStringLiteral("No database path given"));
    if (!fi.exists() || !fi.isFile())
        return fail(QStringLiteral("Database file not found: %1").arg(path));
    return connect(path, false);
}

bool Database::create(const QString& path) {
    close();
    setError(QString());
    if (path.isEmpty())
        return fail(QStringLiteral("No database path given"));
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("A file already exists at %1; it is left untouched").arg(path));
    return connect(path, true);
}

bool Database::connect(const QString& path, bool creating) {
    if (!openWith(sqlite::params(path)))
        return fail(QStringLiteral("Cannot open database %1: %2").arg(path, lastError()));
    m_path = path;
    if (!sqlite::setUp(*this) || !migrate()) {
        const QString e = lastError();
        close();
        m_path.clear();
        if (creating)
            QFile::remove(path);
        return fail(e);
    }
    return true;
}

int Database::schemaVersion() const {
    QSqlQuery q(connection());
    if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
        return q.value(0).toInt();
    return -1;
}

bool Database::migrate() {
    QSqlQuery probe(connection());
    if (!probe.exec(QStringLiteral("PRAGMA user_version")) || !probe.next())
        return fail(QStringLiteral("Not a readable database: %1").arg(probe.lastError().text()));
    int version = probe.value(0).toInt();
    probe.finish();
    if (version > schema::currentVersion)
        return fail(QStringLiteral("This database was written by a newer version of Quoteria "
                                   "(schema %1; this program reads up to schema %2)")
                        .arg(version)
                        .arg(schema::currentVersion));
    if (version == 0) {
        // Version 0 is only acceptable for a brand-new, empty file.
        const QVariant n = scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        if (n.toInt() != 0)
            return fail(QStringLiteral("Not a Quoteria database: %1").arg(m_path));
    }
    // One step per version, each in its own transaction.
    while (version < schema::currentVersion) {
        const int next = version + 1;
        Transaction tx(*this);
        if (!tx.active())
            return false;
        QStringList steps;
        for (const TableDef& t : schema::tables()) {
            if (t.since == next) {
                steps << schema::createSql(t);
                steps += t.extraSql;
            }
        }
        steps << QStringLiteral("PRAGMA user_version = %1").arg(next);
        for (const QString& sql : steps) {
            bool ok = false;
            exec(sql, {}, &ok);
            if (!ok)
                return false;
        }
        if (!tx.commit())
            return false;
        forgetTables();
        logLine(QStringLiteral("database %1 upgraded to schema %2").arg(m_path).arg(next));
        version = next;
    }
    return true;
}

qint64 Database::nextKey(const QString& table) {
    const TableDef* t = schema::table(table);
    if (!t)
        return -1;
    const qint64 seq =
        scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name=?"), {t->name})
            .toLongLong();
    const qint64 maxKey = scalar(QStringLiteral("SELECT max(%1) FROM %2")
                                     .arg(quotedColumn(t->columns[0].name), quotedTable(t->name)))
                              .toLongLong();
    return qMax(seq, maxKey) + 1;
}

} // namespace quoteria
