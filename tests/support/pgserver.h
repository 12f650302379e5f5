#pragma once
// A PostgreSQL server of its own for a test, started by pgserver.sh in a
// temporary folder and stopped when the object goes, whatever the test's outcome.
#include "data/appcontext.h"

#include <QString>
#include <QTemporaryDir>

namespace quoteria::test {

class PgServer {
public:
    PgServer();
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // Creates the cluster and the database "rates" with the given schema loaded.
    // False with why() (the script's output) when anything fails.
    bool start(const QString& schemaFile);
    void stop();
    QString why() const { return m_why; }
    // The online settings that reach the server through its socket folder.
    OnlineSource source() const;
    QString socketDir() const { return m_dir.path(); }

private:
    bool run(const QStringList& args);
    QTemporaryDir m_dir;
    QString m_why;
    bool m_started = false;
};

} // namespace quoteria::test
