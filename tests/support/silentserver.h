#pragma once
// A TCP server on localhost that accepts every connection and never says a word:
// what a head office behind a dead VPN looks like to a database client.
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

namespace quoteria::test {

class SilentServer {
public:
    SilentServer() {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection())
                m_held << s;
        });
    }
    ~SilentServer() { qDeleteAll(m_held); }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    bool isListening() const { return m_server.isListening(); }
    // "127.0.0.1:port", as the online settings hold a host.
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    // A client reached it (and is being kept waiting).
    bool wasReached() const { return !m_held.isEmpty(); }

private:
    QTcpServer m_server;
    QList<QTcpSocket*> m_held;
};

} // namespace quoteria::test
