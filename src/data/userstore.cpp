#include "data/userstore.h"

#include "data/database.h"
#include "data/helpers.h"

#include <QSqlRecord>

namespace quoteria {

const QString UserStore::Users::table = QStringLiteral("tbluser");
const QString UserStore::Users::key = QStringLiteral("userautokey");
const QString UserStore::Users::name = QStringLiteral("username");
const QString UserStore::Users::pass = QStringLiteral("userpass");
const QString UserStore::Users::type = QStringLiteral("usertype");

const QString UserStore::Online::table = QStringLiteral("tblDatabase");
const QString UserStore::Online::key = QStringLiteral("dataID");
const QString UserStore::Online::host = QStringLiteral("host");
const QString UserStore::Online::dbname = QStringLiteral("dbname");
const QString UserStore::Online::dbuser = QStringLiteral("dbuser");
const QString UserStore::Online::dbpass = QStringLiteral("dbpass");
const QString UserStore::Online::autoUpdate = QStringLiteral("autoupdate");
const QString UserStore::Online::interval = QStringLiteral("interval");

QString UserStore::Online::flag(int column) {
    return QStringLiteral("colum%1flag").arg(column);
}

namespace {

using Users = UserStore::Users;
using Online = UserStore::Online;

// The one row the program reads and writes.
constexpr int kOnlineRow = 1;

// An empty box gives a null string, which would be bound as NULL: never equal to
// anything, so an empty password could not log in.
QString notNull(const QString& text) {
    return text.isNull() ? QString(0, QChar()) : text;
}

UserRow rowOf(const QSqlRecord& r) {
    UserRow u;
    u.key = r.value(Users::key).toLongLong();
    u.name = r.value(Users::name).toString();
    u.pass = r.value(Users::pass).toString();
    u.type = r.value(Users::type).toString();
    return u;
}

// A stored NULL equals nothing, as in SQL.
bool matches(const QVariant& stored, const QString& typed) {
    return !stored.isNull() && sameIgnoringCase(stored.toString(), typed);
}

} // namespace

UserStore::UserStore(Connection& db, QObject* parent) : QObject(parent), m_db(db) {}

QVector<QSqlRecord> UserStore::allUsers(bool* ok) {
    return m_db.fetchAll(QStringLiteral("select * from %1").arg(Users::table), {}, ok);
}

std::optional<QString> UserStore::checkLogin(const QString& name, const QString& pass) {
    // The user table is short; comparing here folds every alphabet, which NOCASE does not.
    bool ok = false;
    const auto rows = allUsers(&ok);
    if (!ok)
        return std::nullopt;
    std::optional<QString> type;
    int found = 0;
    for (const QSqlRecord& r : rows) {
        if (matches(r.value(Users::name), name) && matches(r.value(Users::pass), pass)) {
            ++found;
            type = r.value(Users::type).toString();
        }
    }
    if (found != 1)
        return std::nullopt;
    return type;
}

bool UserStore::loadOnlineSource(OnlineSource& out) {
    const auto row =
        m_db.fetchOne(QStringLiteral("select * from %1 where %2=?").arg(Online::table, Online::key),
                      {kOnlineRow});
    if (!row)
        return false;
    // Each field on its own: a bad value leaves that setting at its default.
    auto text = [&](const QString& column, QString& into) {
        const QVariant v = row->value(column);
        if (v.isValid() && !v.isNull())
            into = v.toString();
    };
    auto flag = [&](const QString& column, bool& into) {
        bool ok = false;
        const int n = row->value(column).toInt(&ok);
        if (ok)
            into = n != 0;
    };
    text(Online::host, out.host);
    text(Online::dbname, out.dbname);
    text(Online::dbuser, out.dbuser);
    text(Online::dbpass, out.dbpass);
    for (int c = 0; c < 5; ++c)
        flag(Online::flag(c + 1), out.columnFlags[c]);
    flag(Online::autoUpdate, out.autoUpdate);
    bool ok = false;
    const int interval = row->value(Online::interval).toInt(&ok);
    if (ok)
        out.interval = interval;
    return true;
}

static QVariantMap onlineColumns(const OnlineSource& source) {
    QVariantMap row;
    row[Online::host] = source.host;
    row[Online::dbname] = source.dbname;
    row[Online::dbuser] = source.dbuser;
    row[Online::dbpass] = source.dbpass;
    for (int c = 0; c < 5; ++c)
        row[Online::flag(c + 1)] = source.columnFlags[c] ? 1 : 0;
    row[Online::autoUpdate] = source.autoUpdate ? 1 : 0;
    row[Online::interval] = source.interval;
    return row;
}

bool UserStore::createOnlineSource(const OnlineSource& source, QString* error) {
    QVariantMap row = onlineColumns(source);
    row[Online::key] = kOnlineRow;
    if (m_db.insert(Online::table, row) < 0) {
        if (error)
            *error = m_db.lastError();
        return false;
    }
    return true;
}

UserStore::SaveResult UserStore::saveOnlineSource(const OnlineSource& source, QString* error) {
    const auto fail = [&] {
        if (error)
            *error = m_db.lastError();
        return SaveResult::Failed;
    };
    bool ok = false;
    const auto rows = m_db.fetchAll(
        QStringLiteral("select %1 from %2 where %1=?").arg(Online::key, Online::table),
        {kOnlineRow}, &ok);
    if (!ok)
        return fail();
    if (rows.isEmpty())
        return SaveResult::NoRow;
    if (!m_db.update(Online::table, Online::key, kOnlineRow, onlineColumns(source)))
        return fail();
    return SaveResult::Saved;
}

std::optional<int> UserStore::onlineInterval(const QString& typed) {
    bool ok = false;
    const int seconds = typed.trimmed().toInt(&ok);
    if (!ok || seconds < 1 || seconds > 99)
        return std::nullopt;
    return seconds;
}

QStringList UserStore::names() {
    QStringList out;
    for (const QSqlRecord& r : allUsers())
        out << r.value(Users::name).toString();
    return out;
}

std::optional<UserRow> UserStore::findByName(const QString& name) {
    // The exact name first, so picking a listed name opens that very row.
    std::optional<UserRow> caseless;
    for (const QSqlRecord& r : allUsers()) {
        const QVariant stored = r.value(Users::name);
        if (stored.isNull())
            continue;
        if (stored.toString() == name)
            return rowOf(r);
        if (!caseless && matches(stored, name))
            caseless = rowOf(r);
    }
    return caseless;
}

std::optional<UserRow> UserStore::findByKey(qint64 key) {
    const auto r = m_db.fetchOne(
        QStringLiteral("select * from %1 where %2=?").arg(Users::table, Users::key), {key});
    if (!r)
        return std::nullopt;
    return rowOf(*r);
}

UserStore::AddResult UserStore::add(const QString& name, const QString& pass, const QString& type,
                                    QString* error) {
    if (name.isEmpty() || type.isEmpty())
        return AddResult::MissingDetails;
    if (findByName(name))
        return AddResult::Exists;
    QVariantMap row;
    row[Users::name] = name.toUpper();
    row[Users::pass] = notNull(pass);
    row[Users::type] = type;
    if (m_db.insert(Users::table, row) < 0) {
        if (error)
            *error = m_db.lastError();
        return AddResult::Failed;
    }
    Q_EMIT usersChanged();
    return AddResult::Added;
}

UserStore::UpdateResult UserStore::update(qint64 key, const QString& name, const QString& pass,
                                          const QString& type, QString* error) {
    if (name.toLower() == QLatin1String("admin") && type != QLatin1String("Admin"))
        return UpdateResult::AdminType;
    if (!findByKey(key))
        return UpdateResult::NoSuchUser;
    QVariantMap row;
    row[Users::name] = name;
    row[Users::pass] = notNull(pass);
    row[Users::type] = type;
    if (!m_db.update(Users::table, Users::key, key, row)) {
        if (error)
            *error = m_db.lastError();
        return UpdateResult::Failed;
    }
    Q_EMIT usersChanged();
    return UpdateResult::Updated;
}

} // namespace quoteria
