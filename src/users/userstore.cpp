#include "users/userstore.h"

#include "data/database.h"

#include <QSqlRecord>

namespace quoteria::users {

namespace {

// An empty box gives a null string, which would be bound as NULL: never equal to
// anything, so an empty password could not log in.
QString notNull(const QString& text) {
    return text.isNull() ? QString(0, QChar()) : text;
}

UserRow rowOf(const QSqlRecord& r) {
    UserRow u;
    u.key = r.value(0).toLongLong();
    u.name = r.value(1).toString();
    u.pass = r.value(2).toString();
    u.type = r.value(3).toString();
    return u;
}

} // namespace

std::optional<QString> checkLogin(Connection& db, const QString& name, const QString& pass) {
    bool ok = false;
    const auto rows =
        db.fetchAll(QStringLiteral("select * from tbluser where username=? and userpass=?"),
                    {notNull(name), notNull(pass)}, &ok);
    if (!ok || rows.size() != 1)
        return std::nullopt;
    return rows.first().value(3).toString();
}

bool loadOnlineSource(Connection& db, OnlineSource& out) {
    const auto row = db.fetchOne(QStringLiteral("select * from tblDatabase where dataID=1"));
    if (!row)
        return false;
    // Each field on its own: a bad value leaves that setting at its default.
    auto text = [&](int i, QString& into) {
        const QVariant v = row->value(i);
        if (v.isValid() && !v.isNull())
            into = v.toString();
    };
    auto flag = [&](int i, bool& into) {
        bool ok = false;
        const int n = row->value(i).toInt(&ok);
        if (ok)
            into = n != 0;
    };
    text(1, out.host);
    text(2, out.dbname);
    text(3, out.dbuser);
    text(4, out.dbpass);
    for (int c = 0; c < 5; ++c)
        flag(5 + c, out.columnFlags[c]);
    flag(10, out.autoUpdate);
    bool ok = false;
    const int interval = row->value(11).toInt(&ok);
    if (ok)
        out.interval = interval;
    return true;
}

QStringList names(Connection& db) {
    QStringList out;
    for (const QSqlRecord& r : db.fetchAll(QStringLiteral("select * from tbluser")))
        out << r.value(1).toString();
    return out;
}

std::optional<UserRow> findByName(Connection& db, const QString& name) {
    const auto r =
        db.fetchOne(QStringLiteral("select * from tbluser where username=? limit 1"), {name});
    if (!r)
        return std::nullopt;
    return rowOf(*r);
}

std::optional<UserRow> findByKey(Connection& db, qint64 key) {
    const auto r = db.fetchOne(QStringLiteral("select * from tbluser where userautokey=?"), {key});
    if (!r)
        return std::nullopt;
    return rowOf(*r);
}

AddResult add(Connection& db, const QString& name, const QString& pass, const QString& type,
              QString* error) {
    if (name.isEmpty() || type.isEmpty())
        return AddResult::MissingDetails;
    if (findByName(db, name))
        return AddResult::Exists;
    QVariantMap row;
    row[QStringLiteral("username")] = name.toUpper();
    row[QStringLiteral("userpass")] = notNull(pass);
    row[QStringLiteral("usertype")] = type;
    if (db.insert(QStringLiteral("tbluser"), row) < 0) {
        if (error)
            *error = db.lastError();
        return AddResult::Failed;
    }
    return AddResult::Added;
}

UpdateResult update(Connection& db, qint64 key, const QString& name, const QString& pass,
                    const QString& type, QString* error) {
    if (name.toLower() == QLatin1String("admin") && type != QLatin1String("Admin"))
        return UpdateResult::AdminType;
    if (!findByKey(db, key))
        return UpdateResult::NoSuchUser;
    QVariantMap row;
    row[QStringLiteral("username")] = name;
    row[QStringLiteral("userpass")] = notNull(pass);
    row[QStringLiteral("usertype")] = type;
    if (!db.update(QStringLiteral("tbluser"), QStringLiteral("userautokey"), key, row)) {
        if (error)
            *error = db.lastError();
        return UpdateResult::Failed;
    }
    return UpdateResult::Updated;
}

} // namespace quoteria::users
