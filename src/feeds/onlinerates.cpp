#include "feeds/onlinerates.h"

#include "data/connectionworker.h"
#include "data/currencystore.h"
#include "data/settingkeys.h"
#include "data/settingsstore.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QTimer>
#include <atomic>

namespace quoteria {

namespace {

// The head office's trigger announces every change of tblCurr on this channel.
const QString& changeChannel() {
    static const QString name = QStringLiteral("tblcurr_changed");
    return name;
}

using RemoteValues = QVector<RemoteCurrencyStore::PosValues>;

// Built on the window thread: the worker gets a copy of the values in force now.
ConnectionWorker::Opener openerFor(const OnlineSource& source, const RemoteTarget& target,
                                   int timeout) {
    return [source, target, timeout](Connection& c) {
        return remote::open(c, source, target.engine, timeout, target.odbcDriver);
    };
}

} // namespace

RemoteTarget RemoteTarget::stored(const SettingsStore& settings) {
    RemoteTarget t;
    t.engine = remote::engineFromDriver(settings.get(settings::OnlineEngine))
                   .value_or(RemoteEngine::SqlServer);
    const QString driver = settings.get(settings::OnlineOdbcDriver).trimmed();
    if (!driver.isEmpty())
        t.odbcDriver = driver;
    return t;
}

void RemoteTarget::store(SettingsStore& settings) const {
    settings.set(settings::OnlineEngine, remote::driverOf(engine));
    settings.set(settings::OnlineOdbcDriver, odbcDriver);
}

OnlineRates::OnlineRates(AppContext& ctx, QObject* parent)
    : QObject(parent), m_ctx(ctx), m_target(RemoteTarget::stored(ctx.settings)) {}

OnlineRates::~OnlineRates() {
    shutdown();
}

void OnlineRates::setTarget(const RemoteTarget& target) {
    m_target = target;
}

void OnlineRates::setLoginTimeout(int seconds) {
    m_loginTimeout = qBound(remote::minLoginTimeout, seconds, remote::maxLoginTimeout);
}

void OnlineRates::connectOnline(QObject* context, Connected done) {
    if (!m_worker)
        m_worker = std::make_unique<ConnectionWorker>();
    m_worker->open(openerFor(m_ctx.online, m_target, m_loginTimeout), context,
                   [done = std::move(done)](const JobResult& r) {
                       if (done)
                           done(r.ok, r.error);
                   });
}

void OnlineRates::runOnCurrent(RemoteJob job, QObject* context, Finished done) {
    if (!m_worker)
        m_worker = std::make_unique<ConnectionWorker>();
    // The worker runs a job only on an open connection, so having run means connected.
    auto ran = std::make_shared<std::atomic<bool>>(false);
    const RemoteEngine engine = m_target.engine;
    m_worker->post(
        [job = std::move(job), engine, ran](Connection& c, QVariant& value) {
            ran->store(true);
            RemoteCurrencyStore store(c, engine);
            return job && job(store, value);
        },
        context,
        [done = std::move(done), ran](const JobResult& r) {
            if (!done)
                return;
            Outcome o;
            o.connected = ran->load();
            o.ok = r.ok;
            o.value = r.value;
            o.error = r.error;
            done(o);
        });
}

void OnlineRates::run(RemoteJob job, QObject* context, Finished done) {
    // The job is queued behind the connect: when that fails it finds no connection.
    connectOnline(context, nullptr);
    runOnCurrent(std::move(job), context, std::move(done));
}

void OnlineRates::getOnlineVals() {
    if (m_copying) {
        // Notices come in bursts (one per statement): one more copy covers them all.
        m_copyAgain = true;
        return;
    }
    m_copying = true;
    run(
        [](RemoteCurrencyStore& store, QVariant& value) {
            bool ok = false;
            const RemoteValues values = store.values(&ok);
            value = QVariant::fromValue(values);
            return ok;
        },
        this,
        [this](const Outcome& o) {
            m_copying = false;
            // An unreachable head office is not the operator's business here.
            if (o.connected && o.ok) {
                const int rows = applyOnlineValues(m_ctx.currencies, o.value.value<RemoteValues>(),
                                                   m_ctx.online.columnFlags);
                Q_EMIT copied(rows);
            }
            if (m_copyAgain) {
                m_copyAgain = false;
                getOnlineVals();
            }
        });
}

void OnlineRates::onlineTick() {
    if (!m_ctx.online.autoUpdate) {
        m_tickCount = 0;
        return;
    }
    if (++m_tickCount >= qMax(1, m_ctx.online.interval)) {
        m_tickCount = 0;
        getOnlineVals();
    }
}

void OnlineRates::setListening(bool on) {
    if (!on || m_target.engine != RemoteEngine::PostgreSql) {
        if (m_listener)
            m_listener->shutdown();
        m_listener.reset();
        m_listening = false;
        return;
    }
    if (m_listener)
        return;
    // A connection of its own: the copies reconnect their worker's every time,
    // which would drop the subscription.
    m_listener = std::make_unique<ConnectionWorker>();
    m_listener->open(openerFor(m_ctx.online, m_target, m_loginTimeout), this, nullptr);
    m_listener->post(
        [this](Connection& c, QVariant&) {
            // Subscribed on the worker thread: the driver watches its socket there.
            QSqlDriver* driver = c.connection().driver();
            if (!driver->subscribeToNotification(changeChannel())) {
                c.setError(driver->lastError().text());
                return false;
            }
            connect(
                driver, &QSqlDriver::notification, this,
                [this] {
                    Q_EMIT notified();
                    getOnlineVals();
                },
                Qt::QueuedConnection);
            return true;
        },
        this,
        [this](const JobResult& r) {
            m_listening = r.ok;
            // Let a later call try again; the worker goes once its own call is over.
            if (!r.ok)
                QTimer::singleShot(0, this, [this] {
                    if (!m_listening)
                        m_listener.reset();
                });
        });
}

bool OnlineRates::isListening() const {
    return m_listening;
}

void OnlineRates::shutdown() {
    if (m_listener)
        m_listener->shutdown();
    if (m_worker)
        m_worker->shutdown();
    m_listening = false;
}

} // namespace quoteria
