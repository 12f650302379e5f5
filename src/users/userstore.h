#pragma once
// Operator accounts in tbluser and the online source row read at login.
// Every value is bound; names and passwords compare without letter case in any
// alphabet (sameIgnoringCase), which SQLite's NOCASE cannot do beyond A-Z.
#include "data/appcontext.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quoteria {

class Database;

struct UserRow {
    qint64 key = 0;
    QString name;
    QString pass;
    QString type;
};

namespace users {

// The user type of the one row matching name and password; nothing when no row
// or more than one matches.
std::optional<QString> checkLogin(Database& db, const QString& name, const QString& pass);

// The online source settings of the tblDatabase row with dataID 1. Fields that
// cannot be read keep their defaults; false when the row is missing.
bool loadOnlineSource(Database& db, OnlineSource& out);

// Every user name in table order.
QStringList names(Database& db);
// The user of exactly that name, else the first of that name in another letter case.
std::optional<UserRow> findByName(Database& db, const QString& name);
std::optional<UserRow> findByKey(Database& db, qint64 key);

enum class AddResult { Added, MissingDetails, Exists, Failed };
// Stores the name in upper case; refuses an empty name or type and a name that
// exists in any letter case. error receives the database's description on Failed.
AddResult add(Database& db, const QString& name, const QString& pass, const QString& type,
              QString* error = nullptr);

enum class UpdateResult { Updated, AdminType, NoSuchUser, Failed };
// Writes the row as given (the name is not upper-cased). The user called admin
// keeps the type "Admin".
UpdateResult update(Database& db, qint64 key, const QString& name, const QString& pass,
                    const QString& type, QString* error = nullptr);

} // namespace users
} // namespace quoteria
