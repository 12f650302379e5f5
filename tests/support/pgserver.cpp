#include "pgserver.h"

#include <QProcess>

namespace quoteria::test {

PgServer::PgServer() : m_dir(QStringLiteral("/tmp/quoteria-pg.XXXXXX")) {
    // A short path: Unix socket paths are limited to about 100 characters.
}

PgServer::~PgServer() { stop(); }

bool PgServer::run(const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"), QStringList{QStringLiteral(QUOTERIA_PGSERVER)} + args);
    // initdb and the first start take a few seconds on a loaded machine.
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        m_why = QStringLiteral("pgserver.sh did not finish");
        return false;
    }
    m_why = QString::fromLocal8Bit(p.readAll()).trimmed();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgServer::start(const QString& schemaFile) {
    if (!m_dir.isValid()) {
        m_why = QStringLiteral("no temporary folder");
        return false;
    }
    // Marked first: a half-started server is stopped too.
    m_started = true;
    return run({QStringLiteral("start"), m_dir.path(), schemaFile});
}

void PgServer::stop() {
    if (!m_started)
        return;
    m_started = false;
    run({QStringLiteral("stop"), m_dir.path()});
}

OnlineSource PgServer::source() const {
    OnlineSource s;
    s.host = m_dir.path();
    s.dbname = QStringLiteral("rates");
    s.dbuser = QStringLiteral("quoteria");
    return s;
}

} // namespace quoteria::test
