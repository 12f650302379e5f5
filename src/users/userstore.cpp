#include "users/userstore.h"

#include "data/database.h"
#include "data/helpers.h"

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

// A stored NULL equals nothing, as in SQL.
bool matches(const QVariant& stored, const QString& typed) {
    return !stored.isNull() && sameIgnoringCase(stored.toString(), typed);
}

} // namespace

std::optional<QString> checkLogin(Database& db, const QString& name, const QString& pass) {
    // The user table is short; comparing here folds every alphabet, which NOCASE does not.
    bool ok = false;
    const auto rows = db.fetchAll(QStringLiteral("select * from tbluser"), {}, &ok);
    if (!ok)
        return std::nullopt;
    std::optional<QString> type;
    int found = 0;
    for (const QSqlRecord& r : rows) {
        if (matches(r.value(1), name) && matches(r.value(2), pass)) {
            ++found;
            type = r.value(3).toString();
        }
    }
    if (found != 1)
        return std::nullopt;
    return type;
}

bool loadOnlineSource(Database& db, OnlineSource& out) {
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

QStringList names(Database& db) {
    QStringList out;
    for (const QSqlRecord& r : db.fetchAll(QStringLiteral("select * from tbluser")))
        out << r.value(1).toString();
    return out;
}

std::optional<UserRow> findByName(Database& db, const QString& name) {
    // The exact name first, so picking a listed name opens that very row.
    std::optional<UserRow> caseless;
    for (const QSqlRecord& r : db.fetchAll(QStringLiteral("select * from tbluser"))) {
        if (r.value(1).isNull())
            continue;
        if (r.value(1).toString() == name)
            return rowOf(r);
        if (!caseless && matches(r.value(1), name))
            caseless = rowOf(r);
    }
    return caseless;
}

std::optional<UserRow> findByKey(Database& db, qint64 key) {
    const auto r = db.fetchOne(QStringLiteral("select * from tbluser where userautokey=?"), {key});
    if (!r)
        return std::nullopt;
    return rowOf(*r);
}

AddResult add(Database& db, const QString& name, const QString& pass, const QString& type,
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

UpdateResult update(Database& db, qint64 key, const QString& name, const QString& pass,
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
