#include "board/boardmotion.h"

#include <QtTest>

using namespace quoteria;

class TestBoardMotion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstWrap();
    void wrapRuleOverManyTicks_data();
    void wrapRuleOverManyTicks();
    void halfSteps();
    void pageCycling_data();
    void pageCycling();
    void marqueePasses();
    void leftTrainSpacing();
    void trainsAlternate();
    void emptyTrainPassesInOneTick();
    void noMessagesAtAll();
    void longMessageLeavesCompletely();
    void unloadKeepsAnchor();
};

namespace {
struct Trains {
    QVector<int> left, right;
    int loads = 0;
    QList<TickerMotion::Train> switches;
    void attach(TickerMotion& m) {
        m.load = [this](TickerMotion::Train t) {
            ++loads;
            return t == TickerMotion::LeftTrain ? left : right;
        };
        m.switched = [this](TickerMotion::Train t) { switches << t; };
    }
};

// Runs the timer of the moving train until the other train takes over; returns the ticks.
int runUntilSwitch(TickerMotion& m, int step, int limit = 100000) {
    const TickerMotion::Train start = m.train();
    for (int i = 1; i <= limit; ++i) {
        if (m.train() == TickerMotion::LeftTrain)
            m.tickLeft(step);
        else
            m.tickRight(step);
        if (m.train() != start)
            return i;
    }
    return -1;
}
} // namespace

void TestBoardMotion::firstWrap() {
    // Five rows of 400 twips, 40 apart, row 1 at 540, 5 twips a tick.
    TableScroll s;
    s.reset(5, 540, 440, 400, 40, 5);
    QCOMPARE(s.lastRow(), 4);
    for (int i = 0; i < 188; ++i)
        s.tick();
    QCOMPARE(s.top(0), -400); // fully out, not yet wrapped
    s.tick();
    // Row 1 lands below row 5, which moves after it in the same tick.
    QCOMPARE(s.top(0), 1800);
    QCOMPARE(s.top(4), 1355);
    QCOMPARE(s.top(0) - s.top(4), 440 + 5);
    QCOMPARE(s.lastRow(), 0);
}

void TestBoardMotion::wrapRuleOverManyTicks_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("step");
    QTest::newRow("5 rows, step 5") << 5 << 5;
    QTest::newRow("12 rows, step 7") << 12 << 7;
    QTest::newRow("2 rows, step 30") << 2 << 30;
    QTest::newRow("40 rows, step 1") << 40 << 1;
}

void TestBoardMotion::wrapRuleOverManyTicks() {
    QFETCH(int, rows);
    QFETCH(int, step);
    TableScroll s;
    s.reset(rows, 540, 440, 400, 40, step);
    int wraps = 0;
    for (int tick = 0; tick < 20000; ++tick) {
        const QVector<double> before = s.tops();
        s.tick();
        for (int v = 0; v < rows; ++v) {
            if (s.top(v) == before[v] - step)
                continue; // moved normally
            // Wrapped: placed below its predecessor in circular order.
            ++wraps;
            QVERIFY2(before[v] <= -400, "a row wrapped before it left the zone");
            const int pred = (v + rows - 1) % rows;
            const int expectedGap = v == 0 ? 440 + step : 440;
            QCOMPARE(s.top(v) - s.top(pred), expectedGap);
            QCOMPARE(s.lastRow(), v);
        }
    }
    QVERIFY(wraps > rows);
}

void TestBoardMotion::halfSteps() {
    // A half-speed surface moves by exact half steps, without rounding drift.
    TableScroll s;
    s.reset(3, 270, 220, 200, 40, 2.5);
    for (int i = 0; i < 100; ++i)
        s.tick();
    QCOMPARE(s.top(0), 20.0);
    Marquee m;
    for (int i = 0; i < 3; ++i)
        m.tick(1000, 3000, 7.5);
    QCOMPARE(m.xpos, -22.5);
    TickerMotion t;
    t.load = [](TickerMotion::Train) { return QVector<int>{300}; };
    t.setStrip(1000, 15);
    t.build(TickerMotion::LeftTrain);
    t.tickLeft(7.5);
    QCOMPARE(t.element(1).left, 1115 - 7.5);
}

void TestBoardMotion::pageCycling_data() {
    QTest::addColumn<int>("pages");
    QTest::addColumn<QList<int>>("sequence");
    QTest::newRow("three pages") << 3 << QList<int>{1, 2, 3, 1, 2, 3, 1};
    QTest::newRow("one page") << 1 << QList<int>{1, 1, 1};
    QTest::newRow("no records") << 0 << QList<int>{1, 1};
}

void TestBoardMotion::pageCycling() {
    QFETCH(int, pages);
    QFETCH(QList<int>, sequence);
    PageState p;
    p.currentPage = 1;
    // The first call after start knows no page count yet and shows page 1.
    p.advance();
    QCOMPARE(p.currentPage, 1);
    p.pageCount = pages;
    for (int i = 1; i < sequence.size(); ++i) {
        p.advance();
        QCOMPARE(p.currentPage, sequence[i]);
    }
}

void TestBoardMotion::marqueePasses() {
    Marquee m;
    QVERIFY(!m.drawn);
    // First pass starts at the left edge and moves left.
    m.tick(3000, 6000, 30);
    QCOMPARE(m.xpos, qint64(-30));
    QVERIFY(m.drawn);
    int ticks = 1;
    while (m.drawn) {
        m.tick(3000, 6000, 30);
        ++ticks;
    }
    // 100 ticks to reach -3000, then one tick with nothing drawn.
    QCOMPARE(ticks, 101);
    QCOMPARE(m.xpos, qint64(6000));
    m.tick(3000, 6000, 30);
    QVERIFY(m.drawn);
    QCOMPARE(m.xpos, qint64(5970));
    // A later pass is long enough to cross the zone and leave it: (6000 + 3000) / 30.
    ticks = 1;
    while (m.drawn) {
        m.tick(3000, 6000, 30);
        ++ticks;
    }
    QCOMPARE(ticks, 301);
}

void TestBoardMotion::leftTrainSpacing() {
    TickerMotion m;
    Trains t;
    t.left = {1000, 2500, 300};
    t.attach(m);
    m.setStrip(20000, 15);
    m.build(TickerMotion::LeftTrain);
    QCOMPARE(m.count(), 4);
    QCOMPARE(m.element(0).left, 20000);
    QCOMPARE(m.element(1).left, 20000 + 15 + 100);
    for (int i = 2; i < m.count(); ++i)
        QCOMPARE(m.element(i).left, m.element(i - 1).left + m.element(i - 1).width + 100);
    m.tickLeft(30);
    QCOMPARE(m.element(1).left, 20115 - 30);
    QCOMPARE(m.element(0).left, 20000 - 30);
}

void TestBoardMotion::trainsAlternate() {
    TickerMotion m;
    Trains t;
    t.left = {1000, 2000};
    t.right = {500, 700};
    t.attach(m);
    m.setStrip(10000, 15);
    m.build(TickerMotion::LeftTrain);
    QCOMPARE(t.loads, 1);
    // Last left element starts at 11215 and must reach -2000: 441 moving ticks, and
    // the switch happens at the start of the next tick without moving anything.
    QCOMPARE(runUntilSwitch(m, 30), 442);
    QVERIFY(!t.switches.isEmpty());
    QVERIFY(!t.switches.contains(TickerMotion::LeftTrain));
    QCOMPARE(t.loads, 2); // rows re-read at the change of train, once
    QCOMPARE(m.count(), 3);
    QCOMPARE(m.element(0).left, 0);
    QCOMPARE(m.element(1).left, -600);
    QCOMPARE(m.element(2).left, -600 - 700 - 100);
    // The right train runs until its last element reaches the strip's width.
    const int ticks = runUntilSwitch(m, 30);
    QCOMPARE(ticks, (10000 + 1400 + 29) / 30 + 1);
    QCOMPARE(m.train(), TickerMotion::LeftTrain);
    QCOMPARE(m.element(1).left, 10115); // left train again at its entry edge
    QCOMPARE(t.loads, 3);
    QCOMPARE(t.switches.last(), TickerMotion::LeftTrain);
}

void TestBoardMotion::emptyTrainPassesInOneTick() {
    TickerMotion m;
    Trains t;
    t.left = {800};
    t.attach(m);
    m.setStrip(5000, 15);
    m.build(TickerMotion::LeftTrain);
    runUntilSwitch(m, 30);
    QCOMPARE(m.train(), TickerMotion::RightTrain);
    QCOMPARE(m.count(), 1);
    // The empty right train hands back on its first tick.
    m.tickRight(30);
    QCOMPARE(m.train(), TickerMotion::LeftTrain);
    QCOMPARE(m.count(), 2);
    QCOMPARE(m.element(1).left, 5000 + 15 + 100);
}

void TestBoardMotion::noMessagesAtAll() {
    TickerMotion m;
    Trains t;
    t.attach(m);
    m.setStrip(5000, 15);
    m.build(TickerMotion::LeftTrain);
    for (int i = 0; i < 50; ++i) {
        const TickerMotion::Train before = m.train();
        if (before == TickerMotion::LeftTrain)
            m.tickLeft(30);
        else
            m.tickRight(30);
        QVERIFY(m.train() != before); // handing over on every tick
        QCOMPARE(m.count(), 1);
    }
}

void TestBoardMotion::longMessageLeavesCompletely() {
    TickerMotion m;
    Trains t;
    t.left = {50000}; // far longer than the strip
    t.attach(m);
    m.setStrip(5000, 15);
    m.build(TickerMotion::LeftTrain);
    const int ticks = runUntilSwitch(m, 30);
    // From 5115 until its left edge is at -50000.
    QCOMPARE(ticks, (5115 + 50000 + 29) / 30 + 1);
}

void TestBoardMotion::unloadKeepsAnchor() {
    TickerMotion m;
    Trains t;
    t.left = {100, 200};
    t.attach(m);
    m.setStrip(5000, 15);
    m.build(TickerMotion::LeftTrain);
    QCOMPARE(m.count(), 3);
    m.unload();
    QCOMPARE(m.count(), 1);
    m.build(TickerMotion::LeftTrain);
    QCOMPARE(t.loads, 2);
    QCOMPARE(m.count(), 3);
}

QTEST_GUILESS_MAIN(TestBoardMotion)
#include "tst_boardmotion.moc"
