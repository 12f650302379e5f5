#pragma once
// The local database: one SQLite file for the process, created, opened and
// migrated here. Statements, rows and transactions come from Connection.
#include "data/connection.h"

namespace quoteria {

// SQLite set-up shared by every connection to the local file, the window thread's
// and any worker's, so each of them behaves alike.
namespace sqlite {
// Driver and options for a connection to the file at path.
ConnectionParams params(const QString& path);
// Runs on every fresh handle before its first statement: the journal mode and
// whatever the queries need registered on the handle. False with c.lastError().
bool setUp(Connection& c);
// Opens another connection to an existing local database file (a worker's). Never
// creates the file and leaves the schema to the Database that owns it.
bool openExisting(Connection& c, const QString& path);
} // namespace sqlite

class Database : public Connection {
public:
    explicit Database(const QString& connectionName = QStringLiteral("quoteria-local"));

    // Opens an existing database file, migrating it to the current schema. Never
    // creates a file. False with a description in lastError() on any failure,
    // including a database written by a newer version of the program.
    bool open(const QString& path);
    // Creates a new, empty database with the current schema at path. Refuses to
    // touch an existing file. Leaves this object open on it when it succeeds.
    bool create(const QString& path);
    QString path() const { return m_path; }
    int schemaVersion() const;

    // The key the next insert into an autonumbered table will receive (autonumbers
    // are never reused, so this is known before the row is written).
    qint64 nextKey(const QString& table);

private:
    bool connect(const QString& path, bool creating);
    bool migrate();

    QString m_path;
};

} // namespace quoteria
