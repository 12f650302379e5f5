#include "data/remotesource.h"

#include <QRegularExpression>

namespace quoteria::remote {

std::optional<RemoteEngine> engineFromDriver(const QString& driver) {
    if (driver.compare(QLatin1String("QPSQL"), Qt::CaseInsensitive) == 0)
        return RemoteEngine::PostgreSql;
    if (driver.compare(QLatin1String("QODBC"), Qt::CaseInsensitive) == 0)
        return RemoteEngine::SqlServer;
    return std::nullopt;
}

QString driverOf(RemoteEngine engine) {
    return engine == RemoteEngine::PostgreSql ? QStringLiteral("QPSQL") : QStringLiteral("QODBC");
}

HostPort splitHost(const QString& typed) {
    const QString t = typed.trimmed();
    // One separator followed by digits only; "::1" or "fe80::2" stay whole.
    static const QRegularExpression re(QStringLiteral("^([^:,]+)[:,]\\s*(\\d{1,5})$"));
    const QRegularExpressionMatch m = re.match(t);
    if (m.hasMatch()) {
        const int port = m.captured(2).toInt();
        if (port > 0 && port <= 65535)
            return {m.captured(1).trimmed(), port};
    }
    return {t, -1};
}

QString odbcValue(const QString& value) {
    static const QRegularExpression special(QStringLiteral("[;{}=]|^\\s|\\s$"));
    if (!value.contains(special))
        return value;
    QString v = value;
    v.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}

QString odbcConnectionString(const OnlineSource& source, const QString& driver) {
    const HostPort hp = splitHost(source.host);
    QStringList parts;
    // The driver's name is always braced: names such as "PostgreSQL Unicode" hold blanks.
    QString name = driver.trimmed().isEmpty() ? QLatin1String(defaultOdbcDriver) : driver.trimmed();
    name.replace(QLatin1Char('}'), QLatin1String("}}"));
    parts << QStringLiteral("DRIVER={%1}").arg(name)
          << QStringLiteral("SERVER=") + odbcValue(hp.host);
    if (hp.port > 0)
        parts << QStringLiteral("PORT=%1").arg(hp.port);
    parts << QStringLiteral("DATABASE=") + odbcValue(source.dbname)
          << QStringLiteral("UID=") + odbcValue(source.dbuser)
          << QStringLiteral("PWD=") + odbcValue(source.dbpass);
    return parts.join(QLatin1Char(';')) + QLatin1Char(';');
}

ConnectionParams params(const OnlineSource& source, RemoteEngine engine, int loginTimeout,
                        const QString& odbcDriver) {
    const int timeout = qBound(minLoginTimeout, loginTimeout, maxLoginTimeout);
    ConnectionParams p;
    p.driver = driverOf(engine);
    if (engine == RemoteEngine::PostgreSql) {
        const HostPort hp = splitHost(source.host);
        p.host = hp.host;
        p.port = hp.port;
        p.databaseName = source.dbname;
        p.user = source.dbuser;
        p.password = source.dbpass;
        p.connectOptions = QStringLiteral("connect_timeout=%1").arg(timeout);
    } else {
        // Everything goes in the string; QODBC passes it to the driver manager as is.
        p.databaseName = odbcConnectionString(source, odbcDriver);
        // Without a login timeout an unanswering server holds the connect for minutes.
        p.connectOptions =
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(timeout);
    }
    return p;
}

bool open(Connection& c, const OnlineSource& source, RemoteEngine engine, int loginTimeout,
          const QString& odbcDriver) {
    if (!c.openWith(params(source, engine, loginTimeout, odbcDriver)))
        return false;
    // Rates are NUMERIC: read them as exact decimal text, never through a double.
    c.connection().setNumericalPrecisionPolicy(QSql::HighPrecision);
    return true;
}

} // namespace quoteria::remote
