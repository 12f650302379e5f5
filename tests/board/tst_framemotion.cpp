#include "board/boardengine.h"
#include "board/boardloader.h"
#include "board/boardtimers.h"
#include "board/framemotion.h"
#include "data/appcontext.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <memory>

using namespace quoteria;

class TestFrameMotion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clockNeverGoesBack_data();
    void clockNeverGoesBack();
    void tickerStepFollowsFrameTime_data();
    void tickerStepFollowsFrameTime();
};

namespace {

constexpr qint64 kMs = 1000000;
constexpr int kInterval = 25; // the ticker's period

// When a timer's ticks arrive, in ms after its start.
enum class Ticks { Steady, Late, EarlyBurst, Stalled };

QVector<qint64> tickTimes(Ticks kind, int count, QRandomGenerator& rng) {
    QVector<qint64> t;
    qint64 due = 0;
    for (int i = 0; i < count; ++i) {
        due += kInterval;
        qint64 at = due + rng.bounded(3) - 1;
        switch (kind) {
        case Ticks::Late:
            // Every 20th tick held up by two periods; the others keep their schedule.
            if (i % 20 == 7)
                at += 2 * kInterval;
            break;
        case Ticks::EarlyBurst:
            // A blocked loop lets several ticks through at once.
            if (i % 25 >= 20)
                at = due - (i % 25 - 19) * kInterval / 2;
            break;
        case Ticks::Stalled:
            // Stops delivering for half a second, then goes on.
            if (i >= 40 && i < 60)
                at = 40 * kInterval + 500;
            break;
        case Ticks::Steady:
            break;
        }
        t << at;
    }
    std::sort(t.begin(), t.end());
    return t;
}

// Frame times (ms) at 60 Hz with a little jitter and every 30th frame a frame late.
QVector<double> frameTimes(double until, QRandomGenerator& rng) {
    QVector<double> f;
    double t = 0;
    for (int i = 0; t < until; ++i) {
        t += (i % 30 == 29 ? 2 : 1) * (1000.0 / 60.0) + (rng.bounded(300) - 150) / 100.0;
        f << t;
    }
    return f;
}

// A stalled timer holds the drawing by design, so only the clock meets it.
void addScenarios(bool withStall) {
    QTest::addColumn<int>("ticks");
    QTest::newRow("steady") << int(Ticks::Steady);
    QTest::newRow("late ticks") << int(Ticks::Late);
    QTest::newRow("early burst") << int(Ticks::EarlyBurst);
    if (withStall)
        QTest::newRow("stalled timer") << int(Ticks::Stalled);
}

} // namespace

void TestFrameMotion::clockNeverGoesBack_data() {
    addScenarios(true);
}

void TestFrameMotion::clockNeverGoesBack() {
    QFETCH(int, ticks);
    QRandomGenerator rng(7);
    const QVector<qint64> tickAt = tickTimes(Ticks(ticks), 120, rng);
    const QVector<double> frames = frameTimes(double(tickAt.last()), rng);
    TickClock clock;
    const qint64 t0 = 1000 * kMs;
    clock.start(t0, kInterval);
    int applied = 0;
    double drawn = 0;
    double furthest = 0;
    for (double f : frames) {
        const qint64 ns = t0 + qint64(f * kMs);
        while (applied < tickAt.size() && t0 + tickAt[applied] * kMs <= ns) {
            clock.ticked();
            ++applied;
        }
        // Where the motion is drawn, in ticks from the start.
        const double now = applied + clock.ahead(ns);
        QVERIFY2(
            now >= drawn - 1e-9,
            qPrintable(QStringLiteral("back from %1 to %2 at %3 ms").arg(drawn).arg(now).arg(f)));
        // Never more than the cap ahead of what the engine has applied.
        QVERIFY(now - applied <= 3.0 + 1e-9);
        drawn = now;
        furthest = qMax(furthest, f);
        // A frame stamped earlier than the last one moves nothing.
        QCOMPARE(applied + clock.ahead(ns - 5 * kMs), drawn);
    }
    // The drawing keeps up with the ticks over the run.
    QVERIFY2(qAbs(drawn - applied) < 1.5, qPrintable(QString::number(drawn - applied)));
}

void TestFrameMotion::tickerStepFollowsFrameTime_data() {
    addScenarios(false);
}

void TestFrameMotion::tickerStepFollowsFrameTime() {
    QFETCH(int, ticks);
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    SettingsStore settings;
    DataEvents events;
    AppContext ctx(db, settings, events, Session{}, env.dir(), QStringLiteral(QUOTERIA_SOURCE_DIR));
    BoardChoices choices;
    choices.themeKey = themeKeyOf(db, demoThemeName());
    BoardLoader loader(ctx);
    SimulatedTimers timers;
    BoardEngine engine(timers);
    loader.drive(engine);
    engine.load(loader.load(choices), QSize(1366, 768));
    engine.setTickerVisible(true);
    engine.getSnews();
    QVERIFY(engine.scrollPictureCount() > 1);

    QRandomGenerator rng(11);
    const QVector<qint64> tickAt = tickTimes(Ticks(ticks), 160, rng);
    const QVector<double> frames = frameTimes(double(tickAt.last()), rng);
    FrameMotion motion;
    const qint64 t0 = 50 * 1000 * kMs;
    motion.started(4, t0, kInterval);
    int applied = 0;
    QVector<int> xs;
    QVector<double> gaps;
    double last = 0;
    for (double f : frames) {
        const qint64 ns = t0 + qint64(f * kMs);
        while (applied < tickAt.size() && t0 + tickAt[applied] * kMs <= ns) {
            motion.ticked(4);
            engine.tick(4);
            ++applied;
        }
        engine.setPresentation(motion.at(ns));
        xs << engine.tickerElementX(1);
        gaps << f - last;
        last = f;
    }
    QCOMPARE(engine.ticker().train(), TickerMotion::LeftTrain);
    // The speed over the whole run, in pixels a millisecond.
    const double speed = double(xs.first() - xs.last()) / (frames.last() - frames.first());
    QVERIFY(speed > 0.05);
    for (int i = 1; i < xs.size(); ++i) {
        const int step = xs[i - 1] - xs[i];
        QVERIFY2(step >= 0,
                 qPrintable(QStringLiteral("frame %1 went back %2 px").arg(i).arg(-step)));
        // Each frame moves as far as its own time asks, to the pixel.
        const double expected = speed * gaps[i];
        QVERIFY2(qAbs(step - expected) <= 1.0,
                 qPrintable(QStringLiteral("frame %1 (%2 ms): %3 px, expected %4")
                                .arg(i)
                                .arg(gaps[i], 0, 'f', 1)
                                .arg(step)
                                .arg(expected, 0, 'f', 2)));
    }
}

QTEST_MAIN(TestFrameMotion)
#include "tst_framemotion.moc"
