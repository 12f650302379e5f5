#pragma once
// The head office's rate database as the windows and the panel see it. Every
// remote action runs on a worker thread with a connection of its own; results come
// back on the window thread through the callbacks, so a server that does not
// answer never freezes a window. Every action reconnects first (connectOnline)
// with the values loaded at login, as the online windows expect.
//
// The online copy runs on the panel's Timer3 every `interval` seconds when
// "Auto-update" is on. On PostgreSQL a second connection also LISTENs for the
// head office's "tblcurr_changed" notice and copies at once; polling stays the
// fallback.
#include "data/appcontext.h"
#include "data/remotecurrencystore.h"
#include "data/remotesource.h"

#include <QObject>
#include <functional>
#include <memory>

namespace quoteria {

class ConnectionWorker;

// Which server the online source is and how to reach it: the engine and the ODBC
// driver are program settings, since tblDatabase has no column for them.
struct RemoteTarget {
    RemoteEngine engine = RemoteEngine::SqlServer;
    QString odbcDriver = QStringLiteral("FreeTDS");

    static RemoteTarget stored(const SettingsStore& settings);
    void store(SettingsStore& settings) const;
};

class OnlineRates : public QObject {
    Q_OBJECT
public:
    // Reads ctx.online (the values loaded at login) at every connect.
    OnlineRates(AppContext& ctx, QObject* parent = nullptr);
    ~OnlineRates() override;

    RemoteTarget target() const { return m_target; }
    // Takes effect at the next connect.
    void setTarget(const RemoteTarget& target);
    int loginTimeout() const { return m_loginTimeout; }
    void setLoginTimeout(int seconds);

    // Opens a new remote connection, replacing the previous one. done(ok, error)
    // runs on the window thread, and only while context exists.
    using Connected = std::function<void(bool ok, const QString& error)>;
    void connectOnline(QObject* context, Connected done);

    // Runs job on the remote connection after a fresh connectOnline. When the
    // connect fails, the job does not run and done gets connected = false.
    struct Outcome {
        bool connected = false;
        bool ok = false; // the job's own result
        QVariant value;
        QString error;
    };
    using RemoteJob = std::function<bool(RemoteCurrencyStore& store, QVariant& value)>;
    using Finished = std::function<void(const Outcome&)>;
    void run(RemoteJob job, QObject* context, Finished done);
    // Same, on whatever connection is open now, without reconnecting (the online
    // list fills itself that way when it opens).
    void runOnCurrent(RemoteJob job, QObject* context, Finished done);

    // The online copy (getOnlineVals): connects, reads the remote values and writes
    // the flagged columns into the local rows on the window thread. Silent when the
    // server cannot be reached. A copy asked for while one runs is run once after it.
    void getOnlineVals();
    // One second of Timer3: copies every `interval` seconds.
    void onlineTick();

    // LISTEN on PostgreSQL while on; does nothing on other engines. A listening
    // connection that failed or dropped is made again at the next timed copy.
    void setListening(bool on);
    bool isListening() const;

    // Waits for the remote jobs (at most the login timeout for the one running).
    void shutdown();

Q_SIGNALS:
    // A copy finished; rows is the number of local rows it changed.
    void copied(int rows);
    // The head office announced a change.
    void notified();

private:
    // At a timed copy: checks the listening connection, and listens anew when it
    // is gone.
    void keepListening();
    // Lets the listener go once its own callback is over.
    void dropListener(const ConnectionWorker* which);

    AppContext& m_ctx;
    RemoteTarget m_target;
    int m_loginTimeout = remote::maxLoginTimeout;
    std::unique_ptr<ConnectionWorker> m_worker;
    std::unique_ptr<ConnectionWorker> m_listener;
    int m_tickCount = 0;
    bool m_copying = false;
    bool m_copyAgain = false;
    bool m_listening = false;
    bool m_wantListening = false;
};

} // namespace quoteria
