#include "board/framestats.h"

#include <QtTest>

using namespace quoteria;

class TestFrameStats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void figures_data();
    void figures();
    void keepsTheLatestFrames();
    void processUsage();
};

namespace {
constexpr qint64 kMs = 1000000;
} // namespace

void TestFrameStats::figures_data() {
    QTest::addColumn<QVector<double>>("gapsMs"); // between consecutive frames
    QTest::addColumn<double>("fps");
    QTest::addColumn<double>("median");
    QTest::addColumn<double>("p99");
    QTest::addColumn<int>("late");
    const double f = 1000.0 / 60.0;
    QVector<double> steady(300, f);
    QTest::newRow("steady 60 Hz") << steady << 60.0 << f << f << 0;
    // Four frames of 300 took twice as long: the median stays, p99 and late see them.
    QVector<double> someLate = steady;
    someLate[10] = someLate[100] = someLate[200] = someLate[250] = 2 * f;
    QTest::newRow("four late") << someLate << 300 * 1000.0 / (304 * f) << f << 2 * f << 4;
    // Three in 300 are within the 1 % the 99th percentile leaves out.
    someLate[250] = f;
    QTest::newRow("three late") << someLate << 300 * 1000.0 / (303 * f) << f << f << 3;
    // Exactly 1.5 intervals is not late yet; just over it is.
    QVector<double> edge(100, f);
    edge[50] = 1.5 * f;
    edge[60] = 1.5 * f + 0.01;
    QTest::newRow("late bound") << edge << 100 * 1000.0 / (98 * f + 3 * f + 0.01) << f << 1.5 * f
                                << 1;
    // A slow half and a fast half: the median is the slow one's (upper middle).
    QVector<double> halves(50, 10.0);
    halves += QVector<double>(50, 20.0);
    QTest::newRow("halves") << halves << 100 * 1000.0 / 1500.0 << 20.0 << 20.0 << 0;
    QTest::newRow("one frame") << QVector<double>() << 0.0 << 0.0 << 0.0 << 0;
}

void TestFrameStats::figures() {
    QFETCH(QVector<double>, gapsMs);
    QFETCH(double, fps);
    QFETCH(double, median);
    QFETCH(double, p99);
    QFETCH(int, late);
    FrameStats s(1000.0 / 60.0);
    qint64 t = 5 * 1000 * kMs;
    s.frame(t);
    for (double g : gapsMs) {
        t += qint64(g * kMs);
        s.frame(t);
    }
    const FrameFigures r = s.figures(ProcessUsage{}, ProcessUsage{});
    QCOMPARE(r.frames, int(gapsMs.size()) + 1);
    QVERIFY2(qAbs(r.fps - fps) < 0.01, qPrintable(QString::number(r.fps)));
    QVERIFY2(qAbs(r.medianMs - median) < 0.001, qPrintable(QString::number(r.medianMs)));
    QVERIFY2(qAbs(r.p99Ms - p99) < 0.001, qPrintable(QString::number(r.p99Ms)));
    QCOMPARE(r.late, late);
}

void TestFrameStats::keepsTheLatestFrames() {
    // The overlay's window: old slow frames drop out as new ones come.
    FrameStats s(10.0, 5);
    qint64 t = 0;
    for (int i = 0; i < 4; ++i)
        s.frame(t += 50 * kMs);
    QCOMPARE(s.figures({}, {}).late, 3);
    for (int i = 0; i < 7; ++i)
        s.frame(t += 10 * kMs);
    const FrameFigures r = s.figures({}, {});
    QCOMPARE(r.frames, 5);
    QCOMPARE(r.late, 0);
    QCOMPARE(r.medianMs, 10.0);
    QCOMPARE(r.fps, 100.0);
    s.clear();
    QCOMPARE(s.figures({}, {}).frames, 0);
}

void TestFrameStats::processUsage() {
    ProcessUsage from;
    from.wallNs = 1000 * kMs;
    from.cpuMs = 200;
    ProcessUsage to;
    to.wallNs = 3000 * kMs;
    to.cpuMs = 500;
    to.peakRssMb = 42.5;
    const FrameFigures r = FrameStats().figures(from, to);
    QCOMPARE(r.cpuMsPerSecond, 150.0);
    QCOMPARE(r.peakRssMb, 42.5);
    // The real process: time moves forward, memory is counted.
    const ProcessUsage a = ProcessUsage::now();
    volatile double x = 0;
    for (int i = 0; i < 2000000; ++i)
        x = x + i;
    const ProcessUsage b = ProcessUsage::now();
    QVERIFY(b.wallNs > a.wallNs);
    QVERIFY(b.cpuMs >= a.cpuMs);
    QVERIFY(b.peakRssMb > 1.0);
}

QTEST_GUILESS_MAIN(TestFrameStats)
#include "tst_framestats.moc"
