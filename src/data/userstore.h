#pragma once
// Operator accounts in tbluser and the online source row read at login. One
// store for the process; it announces every account it writes.
// Every value is bound; names and passwords compare without letter case in any
// alphabet (sameIgnoringCase), which SQLite's NOCASE cannot do beyond A-Z.
#include "data/appcontext.h"
#include "data/database.h" // callers hand in the local Database as a Connection

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace quoteria {

struct UserRow {
    qint64 key = 0;
    QString name;
    QString pass;
    QString type;
};

class UserStore : public QObject {
    Q_OBJECT
public:
    // tbluser as the schema spells it.
    struct Users {
        static const QString table, key, name, pass, type;
    };
    // tblDatabase as the schema spells it; colum1flag .. colum5flag are flag(1) .. flag(5).
    struct Online {
        static const QString table, key, host, dbname, dbuser, dbpass, autoUpdate, interval;
        static QString flag(int column);
    };

    explicit UserStore(Connection& db, QObject* parent = nullptr);

    // The user type of the one row matching name and password; nothing when no row
    // or more than one matches.
    std::optional<QString> checkLogin(const QString& name, const QString& pass);

    // The online source settings of the tblDatabase row with dataID 1. Fields that
    // cannot be read keep their defaults; false when the row is missing.
    bool loadOnlineSource(OnlineSource& out);
    // Adds the row with dataID 1, as a new database gets it.
    bool createOnlineSource(const OnlineSource& source, QString* error = nullptr);
    // Overwrites the row with dataID 1; a database without that row is left alone
    // (NoRow), as the setup window expects.
    enum class SaveResult { Saved, NoRow, Failed };
    SaveResult saveOnlineSource(const OnlineSource& source, QString* error = nullptr);
    // The setup's "Update Onine" box: a whole number of seconds from 1 to 99.
    static std::optional<int> onlineInterval(const QString& typed);

    // Every user name in table order.
    QStringList names();
    // The user of exactly that name, else the first of that name in another letter case.
    std::optional<UserRow> findByName(const QString& name);
    std::optional<UserRow> findByKey(qint64 key);

    enum class AddResult { Added, MissingDetails, Exists, Failed };
    // Stores the name in upper case; refuses an empty name or type and a name that
    // exists in any letter case. error receives the database's description on Failed.
    AddResult add(const QString& name, const QString& pass, const QString& type,
                  QString* error = nullptr);

    enum class UpdateResult { Updated, AdminType, NoSuchUser, Failed };
    // Writes the row as given (the name is not upper-cased). The user called admin
    // keeps the type "Admin".
    UpdateResult update(qint64 key, const QString& name, const QString& pass, const QString& type,
                        QString* error = nullptr);

Q_SIGNALS:
    // A tbluser row was added or changed.
    void usersChanged();

private:
    QVector<QSqlRecord> allUsers(bool* ok = nullptr);

    Connection& m_db;
};

} // namespace quoteria
