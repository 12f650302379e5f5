#include "data/database.h"

#include "data/messageservice.h"
#include "data/schema.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>

namespace quoteria {

namespace {
QString quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}
} // namespace

Database::Database(const QString& connectionName) : m_name(connectionName) {}

Database::~Database() {
    close();
}

bool Database::fail(const QString& message) {
    m_error = message;
    return false;
}

QSqlDatabase Database::connection() const {
    return QSqlDatabase::database(m_name, false);
}

bool Database::isOpen() const {
    return QSqlDatabase::contains(m_name) && connection().isOpen();
}

void Database::close() {
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = connection();
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool Database::open(const QString& path) {
    if (isOpen() && m_path == path)
        return true;
    close();
    m_error.clear();
    const QFileInfo fi(path);
    if (path.isEmpty())
        return fail(QStringLiteral("No database path given"));
    if (!fi.exists() || !fi.isFile())
        return fail(QStringLiteral("Database file not found: %1").arg(path));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            const QString e = db.lastError().text();
            db = QSqlDatabase();
            close();
            return fail(QStringLiteral("Cannot open database %1: %2").arg(path, e));
        }
    }
    m_path = path;
    // A file that is not a database only shows itself at the first statement.
    bool ok = false;
    exec(QStringLiteral("PRAGMA journal_mode=WAL"), {}, &ok);
    if (!ok || !migrate()) {
        const QString e = m_error;
        close();
        m_path.clear();
        return fail(e);
    }
    return true;
}

bool Database::create(const QString& path) {
    close();
    m_error.clear();
    if (path.isEmpty())
        return fail(QStringLiteral("No database path given"));
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("A file already exists at %1; it is left untouched").arg(path));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        if (!db.open()) {
            const QString e = db.lastError().text();
            db = QSqlDatabase();
            close();
            return fail(QStringLiteral("Cannot create database %1: %2").arg(path, e));
        }
    }
    m_path = path;
    bool ok = false;
    exec(QStringLiteral("PRAGMA journal_mode=WAL"), {}, &ok);
    if (!ok || !migrate()) {
        const QString e = m_error;
        close();
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
        if (next == 1) {
            for (const TableDef& t : schema::tables()) {
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
        logLine(QStringLiteral("database %1 upgraded to schema %2").arg(m_path).arg(next));
        version = next;
    }
    return true;
}

QSqlQuery Database::exec(const QString& sql, const QVariantList& binds, bool* ok) {
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    bool good = q.prepare(sql);
    if (good) {
        for (int i = 0; i < binds.size(); ++i)
            q.bindValue(i, binds.at(i));
        good = q.exec();
    }
    if (!good)
        m_error = q.lastError().text();
    if (ok)
        *ok = good;
    return q;
}

QVector<QSqlRecord> Database::fetchAll(const QString& sql, const QVariantList& binds, bool* ok) {
    QVector<QSqlRecord> rows;
    bool good = false;
    QSqlQuery q = exec(sql, binds, &good);
    if (good)
        while (q.next())
            rows.append(q.record());
    if (ok)
        *ok = good;
    return rows;
}

std::optional<QSqlRecord> Database::fetchOne(const QString& sql, const QVariantList& binds) {
    bool good = false;
    QSqlQuery q = exec(sql, binds, &good);
    if (good && q.next())
        return q.record();
    return std::nullopt;
}

QVariant Database::scalar(const QString& sql, const QVariantList& binds) {
    bool good = false;
    QSqlQuery q = exec(sql, binds, &good);
    if (good && q.next())
        return q.value(0);
    return QVariant();
}

QString Database::checkedColumn(const QString& table, const QString& column) {
    const TableDef* t = schema::table(table);
    if (!t) {
        m_error = QStringLiteral("Unknown table %1").arg(table);
        return QString();
    }
    const QString c = t->column(column);
    if (c.isEmpty())
        m_error = QStringLiteral("Unknown column %1 in %2").arg(column, table);
    return c;
}

qint64 Database::insert(const QString& table, const QVariantMap& values) {
    const TableDef* t = schema::table(table);
    if (!t) {
        m_error = QStringLiteral("Unknown table %1").arg(table);
        return -1;
    }
    QStringList names, marks;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString c = checkedColumn(table, it.key());
        if (c.isEmpty())
            return -1;
        names << quoted(c);
        marks << QStringLiteral("?");
        binds << it.value();
    }
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(t->name))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(t->name), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    bool ok = false;
    QSqlQuery q = exec(sql, binds, &ok);
    if (!ok)
        return -1;
    const QVariant id = q.lastInsertId();
    return id.isValid() ? id.toLongLong() : 0;
}

bool Database::update(const QString& table, const QString& keyColumn, const QVariant& key,
                      const QVariantMap& values) {
    const QString k = checkedColumn(table, keyColumn);
    if (k.isEmpty())
        return false;
    QStringList sets;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString c = checkedColumn(table, it.key());
        if (c.isEmpty())
            return false;
        sets << quoted(c) + QLatin1String("=?");
        binds << it.value();
    }
    if (sets.isEmpty())
        return true;
    binds << key;
    bool ok = false;
    exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
             .arg(quoted(schema::table(table)->name), sets.join(QLatin1Char(',')), quoted(k)),
         binds, &ok);
    return ok;
}

bool Database::removeWhere(const QString& table, const QString& column, const QVariant& value) {
    const QString c = checkedColumn(table, column);
    if (c.isEmpty())
        return false;
    bool ok = false;
    exec(QStringLiteral("DELETE FROM %1 WHERE %2=?")
             .arg(quoted(schema::table(table)->name), quoted(c)),
         {value}, &ok);
    return ok;
}

qint64 Database::nextKey(const QString& table) {
    const TableDef* t = schema::table(table);
    if (!t)
        return -1;
    const qint64 seq =
        scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name=?"), {t->name})
            .toLongLong();
    const qint64 maxKey = scalar(QStringLiteral("SELECT max(%1) FROM %2")
                                     .arg(quoted(t->columns[0].name), quoted(t->name)))
                              .toLongLong();
    return qMax(seq, maxKey) + 1;
}

int Database::pageCount(int rowCount, int pageSize) {
    if (pageSize <= 0 || rowCount <= 0)
        return 0;
    return (rowCount + pageSize - 1) / pageSize;
}

QVector<QSqlRecord> Database::fetchPage(const QString& sql, const QVariantList& binds, int pageSize,
                                        int page, bool* ok) {
    if (pageSize <= 0 || page < 1) {
        if (ok)
            *ok = false;
        return {};
    }
    QVariantList all = binds;
    all << pageSize << qint64(page - 1) * pageSize;
    return fetchAll(QStringLiteral("SELECT * FROM (%1) LIMIT ? OFFSET ?").arg(sql), all, ok);
}

bool Database::beginTransaction() {
    if (!connection().transaction())
        return fail(connection().lastError().text());
    return true;
}

bool Database::commit() {
    if (!connection().commit())
        return fail(connection().lastError().text());
    return true;
}

bool Database::rollback() {
    return connection().rollback();
}

} // namespace quoteria
