#include "testsupport.h"

#include "data/demodata.h"

#include <QDir>

namespace quoteria::test {

TestEnv::TestEnv() : m_oldConfig(qgetenv("XDG_CONFIG_HOME")) {
    QDir().mkpath(configDir());
    qputenv("XDG_CONFIG_HOME", configDir().toLocal8Bit());
    setMessageService(&recorder);
}

TestEnv::~TestEnv() {
    setMessageService(nullptr);
    if (m_oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

QString columnError(Database& db, const QString& table, const QString& column) {
    bool ok = false;
    db.exec(QStringLiteral("select %1 from %2").arg(column, table), {}, &ok);
    return ok ? QString()
              : db.lastError() + QLatin1String(" (") + table + QLatin1Char('.') + column +
                    QLatin1Char(')');
}

QString TestEnv::configDir() const {
    return m_dir.path() + QLatin1String("/config");
}

bool TestEnv::makeDatabase(Database& db, bool demo, const QString& name) {
    const QString path = m_dir.path() + QLatin1Char('/') + name;
    if (!db.create(path))
        return false;
    NewDatabaseOptions opt;
    opt.adminPassword = QStringLiteral("secret");
    opt.demo = demo;
    return populateNewDatabase(db, opt);
}

AppFixture::AppFixture(bool demo) {
    ready = env.makeDatabase(db, demo);
    if (!ready)
        qWarning("test database not made: %s", qPrintable(db.lastError()));
}

} // namespace quoteria::test
