// The online rate service against a real PostgreSQL server (directly and through
// its ODBC driver), an address where nothing listens and a server that never answers.
#include "data/settingkeys.h"
#include "feeds/onlinerates.h"
#include "pgserver.h"
#include "silentserver.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

using namespace quoteria;

Q_DECLARE_METATYPE(quoteria::RemoteEngine)

namespace {

const QString kOdbcDriver = QStringLiteral("PostgreSQL Unicode");

RemoteTarget targetOf(RemoteEngine e) {
    RemoteTarget t;
    t.engine = e;
    t.odbcDriver = kOdbcDriver;
    return t;
}

void engines() {
    QTest::addColumn<RemoteEngine>("engine");
    QTest::newRow("QPSQL") << RemoteEngine::PostgreSql;
    QTest::newRow("QODBC") << RemoteEngine::SqlServer;
}

// A port on this machine where nothing listens.
int closedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return -1;
    const int port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

class TestOnlineRates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void targetKeptInSettings();
    void runsJobsOnTheServer_data() { engines(); }
    void runsJobsOnTheServer();
    void closedPortFails_data() { engines(); }
    void closedPortFails();
    void silentServerKeepsTheWindowThreadGoing_data() { engines(); }
    void silentServerKeepsTheWindowThreadGoing();
    void copyWritesFlaggedColumns();
    void unreachableCopyIsSilent();
    void copyAskedWhileRunningRunsOnceAfter();
    void ticksCountTheInterval();
    void noticeTriggersCopyWithoutPolling();

private:
    // A local row at each pos, values "0".
    void addLocal(test::AppFixture& fx, int count) {
        for (int i = 1; i <= count; ++i) {
            CurrencyInput in;
            in.name = QStringLiteral("L%1").arg(i);
            in.values = QStringList{"0", "0", "0", "0", "0"};
            in.pos = QString::number(i);
            QVERIFY(fx.currencies.add(in, ValueFormat{0, {}}).ok);
        }
    }
    void useServer(test::AppFixture& fx) {
        fx.ctx.online = m_server.source();
        for (bool& f : fx.ctx.online.columnFlags)
            f = true;
    }
    bool remoteUpdate(const QString& name, const QString& value, int pos) {
        Connection c;
        if (!remote::open(c, m_server.source(), RemoteEngine::PostgreSql))
            return false;
        bool ok = false;
        c.exec(RemoteCurrencyStore::updateCurrencyCall(RemoteEngine::PostgreSql),
               {name, value, value, value, value, value, pos}, &ok);
        return ok;
    }
    // Waits until every remote job asked so far is over: one queued behind them
    // answers last.
    void settle(OnlineRates& online, int timeoutMs = 5000) {
        bool after = false;
        online.runOnCurrent([](RemoteCurrencyStore&, QVariant&) { return true; }, this,
                            [&after](const OnlineRates::Outcome&) { after = true; });
        QTRY_VERIFY_WITH_TIMEOUT(after, timeoutMs);
        QCoreApplication::processEvents();
    }
    test::PgServer m_server;
};

void TestOnlineRates::initTestCase() {
    QVERIFY2(m_server.start(QStringLiteral(QUOTERIA_ONLINE_SCHEMA)),
             qPrintable(QStringLiteral("test PostgreSQL server did not start: ") + m_server.why()));
}

void TestOnlineRates::init() {
    Connection c;
    QVERIFY(remote::open(c, m_server.source(), RemoteEngine::PostgreSql));
    bool ok = false;
    c.exec(QStringLiteral("DELETE FROM tblCurr"), {}, &ok);
    QVERIFY2(ok, qPrintable(c.lastError()));
}

void TestOnlineRates::targetKeptInSettings() {
    test::AppFixture fx;
    QVERIFY(fx.ready);
    // Nothing stored: SQL Server through FreeTDS, as the program always reached it.
    QCOMPARE(RemoteTarget::stored(fx.settings).engine, RemoteEngine::SqlServer);
    QCOMPARE(RemoteTarget::stored(fx.settings).odbcDriver, QStringLiteral("FreeTDS"));
    targetOf(RemoteEngine::PostgreSql).store(fx.settings);
    QCOMPARE(fx.settings.get(settings::OnlineEngine), QStringLiteral("QPSQL"));
    const RemoteTarget back = RemoteTarget::stored(fx.settings);
    QCOMPARE(back.engine, RemoteEngine::PostgreSql);
    QCOMPARE(back.odbcDriver, kOdbcDriver);
    // A new service starts with what is stored.
    QCOMPARE(OnlineRates(fx.ctx).target().engine, RemoteEngine::PostgreSql);
}

void TestOnlineRates::runsJobsOnTheServer() {
    QFETCH(RemoteEngine, engine);
    test::AppFixture fx;
    QVERIFY(fx.ready);
    useServer(fx);
    OnlineRates online(fx.ctx);
    online.setTarget(targetOf(engine));
    QVERIFY(remoteUpdate("USD", "3.5", 1));

    QList<OnlineRates::Outcome> got;
    QThread* jobThread = nullptr;
    online.run(
        [&jobThread](RemoteCurrencyStore& store, QVariant& value) {
            jobThread = QThread::currentThread();
            bool ok = false;
            value = store.list(true, &ok).size();
            return ok;
        },
        this, [&got](const OnlineRates::Outcome& o) { got << o; });
    // On the connection run left open, without connecting again.
    online.runOnCurrent(
        [](RemoteCurrencyStore& store, QVariant& value) {
            value = store.find(-1).has_value();
            return false;
        },
        this, [&got](const OnlineRates::Outcome& o) { got << o; });
    QTRY_COMPARE(got.size(), 2);
    QVERIFY2(got[0].connected && got[0].ok, qPrintable(got[0].error));
    QCOMPARE(got[0].value.toInt(), 1);
    QVERIFY(jobThread && jobThread != QThread::currentThread());
    QVERIFY(got[1].connected);
    QVERIFY(!got[1].ok);
    QVERIFY(!got[1].error.isEmpty());
}

void TestOnlineRates::closedPortFails() {
    QFETCH(RemoteEngine, engine);
    const int port = closedPort();
    QVERIFY(port > 0);
    test::AppFixture fx;
    QVERIFY(fx.ready);
    useServer(fx);
    fx.ctx.online.host = QStringLiteral("127.0.0.1:%1").arg(port);
    OnlineRates online(fx.ctx);
    online.setTarget(targetOf(engine));

    QList<QPair<bool, QString>> connects;
    online.connectOnline(this, [&](bool ok, const QString& e) { connects << qMakePair(ok, e); });
    bool jobRan = false;
    QList<OnlineRates::Outcome> got;
    online.run(
        [&jobRan](RemoteCurrencyStore&, QVariant&) {
            jobRan = true;
            return true;
        },
        this, [&got](const OnlineRates::Outcome& o) { got << o; });
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), 1, 20000);
    QCOMPARE(connects.size(), 1);
    QVERIFY(!connects[0].first);
    QVERIFY(!connects[0].second.isEmpty());
    QVERIFY(!got[0].connected);
    QVERIFY(!got[0].ok);
    QVERIFY(!got[0].error.isEmpty());
    QVERIFY(!jobRan);
}

void TestOnlineRates::silentServerKeepsTheWindowThreadGoing() {
    QFETCH(RemoteEngine, engine);
    test::SilentServer server;
    QVERIFY(server.isListening());
    test::AppFixture fx;
    QVERIFY(fx.ready);
    fx.ctx.online.host = server.host();
    fx.ctx.online.dbname = QStringLiteral("rates");
    fx.ctx.online.dbuser = QStringLiteral("board");
    OnlineRates online(fx.ctx);
    online.setTarget(targetOf(engine));
    online.setLoginTimeout(remote::minLoginTimeout);

    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(10);
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start();
    bool done = false, ok = true;
    int ticksAtAnswer = -1;
    online.connectOnline(this, [&](bool good, const QString&) {
        done = true;
        ok = good;
        ticksAtAnswer = ticks;
    });
    // Well beyond the login timeout, so a timeout that is not applied shows as a failure.
    QTRY_VERIFY_WITH_TIMEOUT(done, (remote::maxLoginTimeout + 10) * 1000);
    ticker.stop();
    QVERIFY(server.wasReached()); // it reached the server and waited on it
    QVERIFY(!ok);
    // The timer kept firing while the server kept silent: tens of ticks, not one.
    QVERIFY2(ticksAtAnswer > 20, qPrintable(QString::number(ticksAtAnswer)));
    online.shutdown();
}

void TestOnlineRates::copyWritesFlaggedColumns() {
    test::AppFixture fx;
    QVERIFY(fx.ready);
    addLocal(fx, 2);
    useServer(fx);
    fx.ctx.online.columnFlags[1] = false;
    QVERIFY(remoteUpdate("Head office name", "7.25", 2));
    OnlineRates online(fx.ctx);
    online.setTarget(targetOf(RemoteEngine::PostgreSql));
    QSignalSpy copied(&online, &OnlineRates::copied);
    online.getOnlineVals();
    QTRY_COMPARE(copied.count(), 1);
    QCOMPARE(copied.at(0).at(0).toInt(), 1);
    const QVector<CurrencyRow> rows = fx.currencies.list(true);
    QCOMPARE(rows[0].values, (QStringList{"0", "0", "0", "0", "0"}));
    QCOMPARE(rows[1].values, (QStringList{"7.25", "0", "7.25", "7.25", "7.25"}));
    QCOMPARE(rows[1].name, QStringLiteral("L2"));
}

void TestOnlineRates::unreachableCopyIsSilent() {
    const int port = closedPort();
    test::AppFixture fx;
    QVERIFY(fx.ready);
    addLocal(fx, 1);
    useServer(fx);
    fx.ctx.online.host = QStringLiteral("127.0.0.1:%1").arg(port);
    OnlineRates online(fx.ctx);
    online.setTarget(targetOf(RemoteEngine::PostgreSql));
    QSignalSpy copied(&online, &OnlineRates::copied);
    online.getOnlineVals();
    settle(online, 20000);
    QCOMPARE(copied.count(), 0);
    QVERIFY(fx.env.recorder.entries.isEmpty());
    // The failed copy does not block the next one.
    fx.ctx.online = m_server.source();
    online.getOnlineVals();
    QTRY_COMPARE(copied.count(), 1);
}

void TestOnlineRates::copyAskedWhileRunningRunsOnceAfter() {
    test::AppFixture fx;
    QVERIFY(fx.ready);
    addLocal(fx, 1);
    useServer(fx);
    QVERIFY(remoteUpdate("A", "1", 1));
    OnlineRates online(fx.ctx);
    online.setTarget(targetOf(RemoteEngine::PostgreSql));
    QSignalSpy copied(&online, &OnlineRates::copied);
    for (int i = 0; i < 4; ++i)
        online.getOnlineVals();
    QTRY_COMPARE(copied.count(), 2);
    // The second copy found the values already there.
    QCOMPARE(copied.at(0).at(0).toInt(), 1);
    QCOMPARE(copied.at(1).at(0).toInt(), 0);
    settle(online);
    QCOMPARE(copied.count(), 2);
}

void TestOnlineRates::ticksCountTheInterval() {
    test::AppFixture fx;
    QVERIFY(fx.ready);
    addLocal(fx, 1);
    useServer(fx);
    fx.ctx.online.interval = 3;
    OnlineRates online(fx.ctx);
    online.setTarget(targetOf(RemoteEngine::PostgreSql));
    QSignalSpy copied(&online, &OnlineRates::copied);
    // Off: no copy however long it ticks.
    for (int i = 0; i < 7; ++i)
        online.onlineTick();
    settle(online);
    QCOMPARE(copied.count(), 0);

    fx.ctx.online.autoUpdate = true;
    const QList<int> expected{0, 0, 1, 1, 1, 2, 2};
    for (int i = 0; i < expected.size(); ++i) {
        online.onlineTick();
        settle(online);
        QCOMPARE(copied.count(), expected.at(i));
    }
}

void TestOnlineRates::noticeTriggersCopyWithoutPolling() {
    test::AppFixture fx;
    QVERIFY(fx.ready);
    addLocal(fx, 2);
    useServer(fx);
    OnlineRates online(fx.ctx);
    online.setTarget(targetOf(RemoteEngine::PostgreSql));
    QSignalSpy copied(&online, &OnlineRates::copied);
    QSignalSpy notified(&online, &OnlineRates::notified);
    online.setListening(true);
    QTRY_VERIFY(online.isListening());

    // Another connection changes the head office's table; no tick, no call.
    QVERIFY(remoteUpdate("X", "5.5", 2));
    QTRY_VERIFY(copied.count() >= 1);
    QVERIFY(notified.count() >= 1);
    QTRY_COMPARE(fx.currencies.list(true).at(1).values,
                 (QStringList{"5.5", "5.5", "5.5", "5.5", "5.5"}));

    online.setListening(false);
    QVERIFY(!online.isListening());
    const int seen = notified.count();
    QVERIFY(remoteUpdate("X", "6.5", 2));
    // A notice would arrive well within this; none must.
    QTest::qWait(500);
    QCOMPARE(notified.count(), seen);
}

QTEST_GUILESS_MAIN(TestOnlineRates)
#include "tst_onlinerates.moc"
