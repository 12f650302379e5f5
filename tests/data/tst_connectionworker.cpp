#include "data/connectionworker.h"
#include "data/database.h"
#include "data/remotesource.h"
#include "silentserver.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QTimer>
#include <QtTest>

using namespace quoteria;

namespace {

ConnectionWorker::Opener localFile(const QString& path) {
    return [path](Connection& c) { return sqlite::openExisting(c, path); };
}

// Records every result in arrival order, with the thread it arrived on.
struct Results {
    QList<JobResult> got;
    QList<QThread*> threads;
    ConnectionWorker::Done collect() {
        return [this](const JobResult& r) {
            got << r;
            threads << QThread::currentThread();
        };
    }
};

} // namespace

class TestConnectionWorker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void jobsRunOnTheWorkerResultsOnTheWindowThread();
    void jobsRunInOrder();
    void failures_data();
    void failures();
    void reopenReplacesTheConnection();
    void shutdownWithQueuedJob();
    void postAfterShutdownFails();
    void resultDroppedWhenContextGone();
    void silentServerNeverBlocksTheWindowThread();
};

void TestConnectionWorker::jobsRunOnTheWorkerResultsOnTheWindowThread() {
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    ConnectionWorker worker;
    Results res;
    QThread* jobThread = nullptr;
    worker.open(localFile(local.path()), this, res.collect());
    worker.post(
        [&jobThread](Connection& c, QVariant& value) {
            jobThread = QThread::currentThread();
            if (c.insert(QStringLiteral("tblscroll"),
                         {{QStringLiteral("message"), "from worker"}}) < 0)
                return false;
            value = c.scalar(QStringLiteral("select count(*) from tblscroll"));
            return value.isValid();
        },
        this, res.collect());
    QTRY_COMPARE(res.got.size(), 2);
    QVERIFY2(res.got[0].ok, qPrintable(res.got[0].error));
    QVERIFY2(res.got[1].ok, qPrintable(res.got[1].error));
    QCOMPARE(res.got[1].value.toInt(), 1);
    QVERIFY(jobThread != nullptr);
    QVERIFY(jobThread != QThread::currentThread());
    for (QThread* t : res.threads)
        QCOMPARE(t, QThread::currentThread());
    // The window thread's own connection sees what the worker wrote.
    QCOMPARE(local.scalar(QStringLiteral("select message from tblscroll")).toString(),
             QStringLiteral("from worker"));
    // The worker's connection is not the window thread's.
    QVERIFY(worker.connectionName() != local.name());
    QVERIFY(QSqlDatabase::contains(worker.connectionName()));
}

void TestConnectionWorker::jobsRunInOrder() {
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    ConnectionWorker worker;
    Results res;
    worker.open(localFile(local.path()), this, res.collect());
    const int n = 30;
    for (int i = 1; i <= n; ++i)
        worker.post(
            [i](Connection& c, QVariant& value) {
                value = c.insert(QStringLiteral("tblVideo"),
                                 {{QStringLiteral("filename"), QString::number(i)}});
                return value.toLongLong() > 0;
            },
            this, res.collect());
    QTRY_COMPARE(res.got.size(), n + 1);
    // Keys are handed out in write order, so they rise with the order of posting.
    for (int i = 2; i <= n; ++i)
        QCOMPARE(res.got[i].value.toLongLong(), res.got[i - 1].value.toLongLong() + 1);
    const auto rows =
        local.fetchAll(QStringLiteral("select filename from tblVideo order by vidAuto"));
    QCOMPARE(rows.size(), n);
    for (int i = 0; i < n; ++i)
        QCOMPARE(rows[i].value(0).toString(), QString::number(i + 1));
}

void TestConnectionWorker::failures_data() {
    QTest::addColumn<bool>("openFile");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("openError");
    QTest::addColumn<QString>("jobError");
    QTest::newRow("bad statement") << true << "select * from nosuchtable"
                                   << ""
                                   << "no such table";
    QTest::newRow("constraint") << true << "insert into tblCurr (pos) values (1), (1)"
                                << ""
                                << "UNIQUE";
    QTest::newRow("no file") << false << "select 1"
                             << "not found"
                             << "not found";
}

void TestConnectionWorker::failures() {
    QFETCH(bool, openFile);
    QFETCH(QString, sql);
    QFETCH(QString, openError);
    QFETCH(QString, jobError);
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    ConnectionWorker worker;
    Results res;
    const QString path = openFile ? local.path() : env.dir() + QStringLiteral("/absent.db");
    worker.open(localFile(path), this, res.collect());
    // A good statement first: its error must not leak into the failing one's
    // and vice versa.
    const auto run = [](const QString& s) {
        return [s](Connection& c, QVariant&) {
            bool ok = false;
            c.exec(s, {}, &ok);
            return ok;
        };
    };
    worker.post(run(sql), this, res.collect());
    worker.post(run(QStringLiteral("select 1")), this, res.collect());
    QTRY_COMPARE(res.got.size(), 3);
    QCOMPARE(res.got[0].ok, openError.isEmpty());
    QVERIFY2(res.got[0].error.contains(openError), qPrintable(res.got[0].error));
    QVERIFY(!res.got[1].ok);
    QVERIFY2(res.got[1].error.contains(jobError, Qt::CaseInsensitive),
             qPrintable(res.got[1].error));
    QCOMPARE(res.got[2].ok, openFile);
    QCOMPARE(res.got[2].error.isEmpty(), openFile);
}

void TestConnectionWorker::reopenReplacesTheConnection() {
    test::TestEnv env;
    Database a, b(QStringLiteral("second-local"));
    QVERIFY(env.makeDatabase(a, false, QStringLiteral("a.db")));
    QVERIFY(env.makeDatabase(b, false, QStringLiteral("b.db")));
    QVERIFY(a.insert(QStringLiteral("tblscroll"), {{QStringLiteral("message"), "in a"}}) > 0);
    ConnectionWorker worker;
    Results res;
    const auto count = [](Connection& c, QVariant& v) {
        v = c.scalar(QStringLiteral("select count(*) from tblscroll"));
        return v.isValid();
    };
    worker.open(localFile(a.path()), this, res.collect());
    worker.post(count, this, res.collect());
    worker.open(localFile(b.path()), this, res.collect());
    worker.post(count, this, res.collect());
    QTRY_COMPARE(res.got.size(), 4);
    QCOMPARE(res.got[1].value.toInt(), 1);
    QCOMPARE(res.got[3].value.toInt(), 0);
    // A failed reopen leaves no connection behind, not the previous one.
    worker.open(localFile(env.dir() + QStringLiteral("/absent.db")), this, res.collect());
    worker.post(count, this, res.collect());
    QTRY_COMPARE(res.got.size(), 6);
    QVERIFY(!res.got[5].ok);
    QVERIFY(!QSqlDatabase::contains(worker.connectionName()));
}

void TestConnectionWorker::shutdownWithQueuedJob() {
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    ConnectionWorker worker;
    Results res;
    std::atomic<bool> started{false}, queuedRan{false};
    worker.open(localFile(local.path()), this, res.collect());
    worker.post(
        [&started](Connection& c, QVariant&) {
            started = true;
            // Long enough that shutdown surely arrives while this runs.
            QThread::msleep(300);
            return c.insert(QStringLiteral("tblscroll"), {{QStringLiteral("message"), "slow"}}) > 0;
        },
        this, res.collect());
    worker.post(
        [&queuedRan](Connection&, QVariant&) {
            queuedRan = true;
            return true;
        },
        this, res.collect());
    QTRY_VERIFY(started.load());
    worker.shutdown();
    QVERIFY(worker.isStopped());
    // The running job finished, the queued one never started, the connection is gone.
    QCOMPARE(local.scalar(QStringLiteral("select count(*) from tblscroll")).toInt(), 1);
    QVERIFY(!queuedRan.load());
    QVERIFY(!QSqlDatabase::contains(worker.connectionName()));
    QTRY_COMPARE(res.got.size(), 3);
    QVERIFY(res.got[1].ok);
    QVERIFY(!res.got[2].ok);
    QCOMPARE(res.got[2].error, ConnectionWorker::cancelledText());
}

void TestConnectionWorker::postAfterShutdownFails() {
    ConnectionWorker worker;
    Results res;
    worker.shutdown(); // never started: nothing to wait for
    bool ran = false;
    worker.post(
        [&ran](Connection&, QVariant&) {
            ran = true;
            return true;
        },
        this, res.collect());
    QTRY_COMPARE(res.got.size(), 1);
    QVERIFY(!ran);
    QCOMPARE(res.got[0].error, ConnectionWorker::stoppedText());
    QCOMPARE(res.threads[0], QThread::currentThread());
}

void TestConnectionWorker::resultDroppedWhenContextGone() {
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    ConnectionWorker worker;
    Results kept, dropped;
    auto window = std::make_unique<QObject>();
    worker.open(localFile(local.path()), this, kept.collect());
    worker.post([](Connection&, QVariant&) { return true; }, window.get(), dropped.collect());
    window.reset(); // the window closed before its answer came
    worker.post([](Connection&, QVariant&) { return true; }, this, kept.collect());
    QTRY_COMPARE(kept.got.size(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(dropped.got.size(), 0);
}

void TestConnectionWorker::silentServerNeverBlocksTheWindowThread() {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        QSKIP("the PostgreSQL driver is not installed");
    test::SilentServer server;
    QVERIFY(server.isListening());

    OnlineSource src;
    src.host = server.host();
    src.dbname = QStringLiteral("rates");
    src.dbuser = QStringLiteral("board");
    src.dbpass = QStringLiteral("pw");

    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(20);
    connect(&ticker, &QTimer::timeout, this,
            [&] { longestGap = qMax(longestGap, sinceTick.restart()); });

    ConnectionWorker worker;
    Results res;
    QElapsedTimer openTime;
    openTime.start();
    sinceTick.start();
    ticker.start();
    worker.open([src](Connection& c) { return remote::open(c, src, RemoteEngine::PostgreSql); },
                this, res.collect());
    const int limitMs = (remote::maxLoginTimeout + 5) * 1000;
    QTRY_VERIFY_WITH_TIMEOUT(!res.got.isEmpty(), limitMs);
    const qint64 took = openTime.elapsed();
    ticker.stop();
    qInfo("open against a silent server failed after %lld ms; longest gap between 20 ms ticks: "
          "%lld ms",
          took, longestGap);

    QVERIFY(server.wasReached()); // it really reached the server and waited on it
    QVERIFY(!res.got[0].ok);
    QVERIFY(!res.got[0].error.isEmpty());
    QCOMPARE(res.threads[0], QThread::currentThread());
    QVERIFY2(took < limitMs, qPrintable(QString::number(took)));
    QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
}

QTEST_GUILESS_MAIN(TestConnectionWorker)
#include "tst_connectionworker.moc"
