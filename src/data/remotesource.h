#pragma once
// Opening the head office's rate database from the online source settings loaded
// at login: PostgreSQL directly, SQL Server through ODBC and FreeTDS. The login
// never waits longer than a few seconds for a server that does not answer.
#include "data/appcontext.h"
#include "data/connection.h"

#include <optional>

namespace quoteria {

enum class RemoteEngine { PostgreSql, SqlServer };

namespace remote {

constexpr int maxLoginTimeout = 5; // seconds
// libpq refuses to wait less than this.
constexpr int minLoginTimeout = 2;

// "QPSQL" or "QODBC", any letter case; nothing for other names.
std::optional<RemoteEngine> engineFromDriver(const QString& driver);
QString driverOf(RemoteEngine engine);

// The host as typed: "name", "name:port" or "name,port" (SQL Server's way).
// IPv6 addresses keep their colons; port is -1 when none is given.
struct HostPort {
    QString host;
    int port = -1;
};
HostPort splitHost(const QString& typed);

// An ODBC value, braced when it holds characters the connection string syntax
// would read as its own.
QString odbcValue(const QString& value);
// The ODBC driver the program uses unless told otherwise.
inline const char* const defaultOdbcDriver = "FreeTDS";
// DSN-less connection string for the named ODBC driver (FreeTDS, or another whose
// keys are SERVER, PORT, DATABASE, UID and PWD).
QString odbcConnectionString(const OnlineSource& source,
                             const QString& driver = QLatin1String(defaultOdbcDriver));

// Driver, parameters and login timeout (clamped to the bounds above) for the engine.
ConnectionParams params(const OnlineSource& source, RemoteEngine engine,
                        int loginTimeout = maxLoginTimeout,
                        const QString& odbcDriver = QLatin1String(defaultOdbcDriver));

// Opens c on the remote database. Blocks for up to the login timeout, so call it
// from a worker thread. False with c.lastError(). NUMERIC values read as exact text.
bool open(Connection& c, const OnlineSource& source, RemoteEngine engine,
          int loginTimeout = maxLoginTimeout,
          const QString& odbcDriver = QLatin1String(defaultOdbcDriver));

} // namespace remote
} // namespace quoteria
