#include "data/connection.h"

#include "data/schema.h"

#include <QAtomicInteger>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>

namespace quoteria {

namespace {
QString uniqueName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("quoteria-connection-%1").arg(++counter);
}
} // namespace

Connection::Connection(const QString& connectionName)
    : m_name(connectionName.isEmpty() ? uniqueName() : connectionName) {}

Connection::~Connection() {
    close();
}

bool Connection::fail(const QString& message) {
    m_error = message;
    return false;
}

QSqlDatabase Connection::connection() const {
    return QSqlDatabase::database(m_name, false);
}

bool Connection::isOpen() const {
    return QSqlDatabase::contains(m_name) && connection().isOpen();
}

void Connection::close() {
    forgetTables();
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = connection();
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool Connection::openWith(const ConnectionParams& p) {
    close();
    m_error.clear();
    if (!QSqlDatabase::isDriverAvailable(p.driver))
        return fail(QStringLiteral("The database driver %1 is not installed").arg(p.driver));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(p.driver, m_name);
        db.setDatabaseName(p.databaseName);
        if (!p.host.isEmpty())
            db.setHostName(p.host);
        if (p.port > 0)
            db.setPort(p.port);
        if (!p.user.isEmpty())
            db.setUserName(p.user);
        if (!p.password.isEmpty())
            db.setPassword(p.password);
        db.setConnectOptions(p.connectOptions);
        if (!db.open()) {
            m_error = db.lastError().text();
            db = QSqlDatabase();
            close();
            return false;
        }
    }
    return true;
}

QSqlQuery Connection::exec(const QString& sql, const QVariantList& binds, bool* ok) {
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

QVector<QSqlRecord> Connection::fetchAll(const QString& sql, const QVariantList& binds, bool* ok) {
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

std::optional<QSqlRecord> Connection::fetchOne(const QString& sql, const QVariantList& binds) {
    bool good = false;
    QSqlQuery q = exec(sql, binds, &good);
    if (good && q.next())
        return q.record();
    return std::nullopt;
}

QVariant Connection::scalar(const QString& sql, const QVariantList& binds) {
    bool good = false;
    QSqlQuery q = exec(sql, binds, &good);
    if (good && q.next())
        return q.value(0);
    return QVariant();
}

void Connection::forgetTables() {
    m_tables.clear();
}

const Connection::LiveTable* Connection::lookupTable(const QString& table) {
    // Only our own tables may be named, whatever else the database holds.
    const TableDef* def = schema::table(table);
    if (!def) {
        m_error = QStringLiteral("Unknown table %1").arg(table);
        return nullptr;
    }
    const QString key = def->name.toLower();
    auto it = m_tables.constFind(key);
    if (it != m_tables.constEnd())
        return &it.value();
    // Servers fold unquoted names to their own case; learn how this one spells them.
    const QSqlDatabase db = connection();
    for (const QString& live : db.tables(QSql::Tables)) {
        if (live.compare(def->name, Qt::CaseInsensitive) != 0)
            continue;
        const QSqlRecord rec = db.record(live);
        LiveTable t{live, {}};
        for (int i = 0; i < rec.count(); ++i)
            t.columns << rec.fieldName(i);
        return &m_tables.insert(key, t).value();
    }
    m_error = QStringLiteral("Unknown table %1").arg(table);
    return nullptr;
}

QString Connection::liveTable(const QString& table) {
    const LiveTable* t = lookupTable(table);
    return t ? t->name : QString();
}

QString Connection::checkedColumn(const QString& table, const QString& column) {
    const LiveTable* t = lookupTable(table);
    if (!t)
        return QString();
    for (const QString& c : t->columns)
        if (c.compare(column, Qt::CaseInsensitive) == 0)
            return c;
    m_error = QStringLiteral("Unknown column %1 in %2").arg(column, table);
    return QString();
}

QString Connection::quotedTable(const QString& liveName) const {
    return connection().driver()->escapeIdentifier(liveName, QSqlDriver::TableName);
}

QString Connection::quotedColumn(const QString& liveName) const {
    return connection().driver()->escapeIdentifier(liveName, QSqlDriver::FieldName);
}

qint64 Connection::insert(const QString& table, const QVariantMap& values) {
    const QString t = liveTable(table);
    if (t.isEmpty())
        return -1;
    QStringList names, marks;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString c = checkedColumn(table, it.key());
        if (c.isEmpty())
            return -1;
        names << quotedColumn(c);
        marks << QStringLiteral("?");
        binds << it.value();
    }
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedTable(t))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quotedTable(t), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    bool ok = false;
    QSqlQuery q = exec(sql, binds, &ok);
    if (!ok)
        return -1;
    const QVariant id = q.lastInsertId();
    return id.isValid() ? id.toLongLong() : 0;
}

bool Connection::update(const QString& table, const QString& keyColumn, const QVariant& key,
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
        sets << quotedColumn(c) + QLatin1String("=?");
        binds << it.value();
    }
    if (sets.isEmpty())
        return true;
    binds << key;
    bool ok = false;
    exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3=?")
             .arg(quotedTable(liveTable(table)), sets.join(QLatin1Char(',')), quotedColumn(k)),
         binds, &ok);
    return ok;
}

bool Connection::removeWhere(const QString& table, const QString& column, const QVariant& value) {
    const QString c = checkedColumn(table, column);
    if (c.isEmpty())
        return false;
    bool ok = false;
    exec(QStringLiteral("DELETE FROM %1 WHERE %2=?")
             .arg(quotedTable(liveTable(table)), quotedColumn(c)),
         {value}, &ok);
    return ok;
}

int Connection::pageCount(int rowCount, int pageSize) {
    if (pageSize <= 0 || rowCount <= 0)
        return 0;
    return (rowCount + pageSize - 1) / pageSize;
}

QVector<QSqlRecord> Connection::fetchPage(const QString& sql, const QVariantList& binds,
                                          int pageSize, int page, bool* ok) {
    if (pageSize <= 0 || page < 1) {
        if (ok)
            *ok = false;
        return {};
    }
    QVariantList all = binds;
    all << pageSize << qint64(page - 1) * pageSize;
    // PostgreSQL wants the derived table named; SQLite does not mind.
    return fetchAll(QStringLiteral("SELECT * FROM (%1) AS paged LIMIT ? OFFSET ?").arg(sql), all,
                    ok);
}

bool Connection::beginTransaction() {
    if (!connection().transaction())
        return fail(connection().lastError().text());
    return true;
}

bool Connection::commit() {
    if (!connection().commit())
        return fail(connection().lastError().text());
    return true;
}

bool Connection::rollback() {
    return connection().rollback();
}

} // namespace quoteria
