// Timings of the online rate service (run by hand; not a test):
//   bench_onlinerates [changes=20]
// 1. Connecting to a server that accepts and never answers, on each engine: the
//    window thread's longest stall between 1 ms timer ticks, and how long the
//    connect took to give up (login timeout 5 s).
// 2. A change at the head office (update_currency from another connection) to the
//    local store's `changed`, through LISTEN/NOTIFY alone (no polling tick).
#include "benchfigures.h"
#include "feeds/onlinerates.h"
#include "pgserver.h"
#include "silentserver.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

using namespace quoteria;

namespace {

QCoreApplication& app() {
    return *QCoreApplication::instance();
}

// Runs the event loop until done() or the limit; false on the limit.
template <typename Done> bool waitFor(Done done, int limitMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void silentServer(RemoteEngine engine, const char* name) {
    test::SilentServer server;
    if (!server.isListening()) {
        std::printf("%s silent server: cannot listen\n", name);
        return;
    }
    test::AppFixture fx;
    fx.ctx.online.host = server.host();
    fx.ctx.online.dbname = QStringLiteral("rates");
    fx.ctx.online.dbuser = QStringLiteral("board");
    OnlineRates online(fx.ctx);
    online.setTarget({engine, QStringLiteral("PostgreSQL Unicode")});

    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = qMax(longest, sinceTick.restart()); });
    bool done = false, ok = false;
    QElapsedTimer took;
    took.start();
    sinceTick.start();
    ticker.start();
    online.connectOnline(&app(), [&](bool good, const QString&) {
        done = true;
        ok = good;
    });
    const bool answered = waitFor([&] { return done; }, 60000);
    ticker.stop();
    std::printf("%s silent server: %s after %lld ms; longest window-thread stall %lld ms\n", name,
                !answered ? "no answer"
                : ok      ? "connected (unexpected)"
                          : "failed",
                took.elapsed(), longest);
    online.shutdown();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int changes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    silentServer(RemoteEngine::PostgreSql, "QPSQL");
    silentServer(RemoteEngine::SqlServer, "QODBC (psqlODBC)");

    test::PgServer server;
    if (!server.start(QStringLiteral(QUOTERIA_ONLINE_SCHEMA))) {
        std::printf("PostgreSQL server did not start: %s\n", qPrintable(server.why()));
        return 1;
    }
    test::AppFixture fx;
    if (!fx.ready)
        return 1;
    const int rows = 10;
    for (int i = 1; i <= rows; ++i) {
        CurrencyInput in;
        in.name = QStringLiteral("L%1").arg(i);
        in.values = QStringList{"0", "0", "0", "0", "0"};
        in.pos = QString::number(i);
        if (!fx.currencies.add(in, ValueFormat{0, {}}).ok)
            return 1;
    }
    fx.ctx.online = server.source();
    for (bool& f : fx.ctx.online.columnFlags)
        f = true;
    OnlineRates online(fx.ctx);
    online.setTarget({RemoteEngine::PostgreSql, QString()});
    online.setListening(true);
    if (!waitFor([&] { return online.isListening(); }, 10000)) {
        std::printf("LISTEN did not start\n");
        return 1;
    }
    Connection writer;
    if (!remote::open(writer, server.source(), RemoteEngine::PostgreSql)) {
        std::printf("writer: %s\n", qPrintable(writer.lastError()));
        return 1;
    }
    bool changed = false;
    QObject::connect(&fx.currencies, &CurrencyStore::changed, [&changed] { changed = true; });
    QList<double> latency;
    int lost = 0;
    for (int i = 0; i < changes; ++i) {
        // Let any copy still running from the last change finish first.
        waitFor([] { return false; }, 50);
        changed = false;
        const QString value = QStringLiteral("1.%1").arg(1000 + i);
        QElapsedTimer t;
        t.start();
        bool ok = false;
        writer.exec(
            RemoteCurrencyStore::updateCurrencyCall(RemoteEngine::PostgreSql),
            {QStringLiteral("R%1").arg(i % rows), value, value, value, value, value, i % rows + 1},
            &ok);
        if (!ok) {
            std::printf("update failed: %s\n", qPrintable(writer.lastError()));
            return 1;
        }
        if (waitFor([&] { return changed; }, 5000))
            latency << t.nsecsElapsed() / 1e6;
        else
            ++lost;
    }
    test::reportTimes("head office UPDATE to local changed (LISTEN/NOTIFY)", latency);
    if (lost)
        std::printf("changes not seen within 5 s: %d\n", lost);
    online.shutdown();
    return 0;
}
