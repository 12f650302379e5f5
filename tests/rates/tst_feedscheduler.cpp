#include "data/settingkeys.h"
#include "data/settingsstore.h"
#include "rates/feedscheduler.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace quoteria;

class TestFeedScheduler : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countersAtStart_data();
    void countersAtStart();
    void storedSettings();
    void ticksReachTheFeeds();
    void readingTicks_data();
    void readingTicks();
    void appliedSettingsRestartCounter();
};

void TestFeedScheduler::countersAtStart_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("onlineAuto");
    QTest::addColumn<bool>("excelRuns");
    QTest::newRow("nothing") << "" << false << false << false;
    QTest::newRow("workbook on") << "/tmp/rates.xlsx" << true << false << true;
    QTest::newRow("workbook off") << "/tmp/rates.xlsx" << false << true << false;
    QTest::newRow("enabled without workbook") << "" << true << true << false;
}

void TestFeedScheduler::countersAtStart() {
    QFETCH(QString, source);
    QFETCH(bool, enabled);
    QFETCH(bool, onlineAuto);
    QFETCH(bool, excelRuns);
    ExcelFeedSettings excel;
    excel.source = source;
    excel.enabled = enabled;
    QCOMPARE(excel.runs(), excelRuns);

    FeedScheduler feeds;
    QVERIFY(!feeds.excelTimer()->isActive());
    QVERIFY(!feeds.onlineTimer()->isActive());
    feeds.start(excel, onlineAuto);
    QCOMPARE(feeds.excelTimer()->isActive(), excelRuns);
    QCOMPARE(feeds.onlineTimer()->isActive(), onlineAuto);
    QCOMPARE(feeds.excelTimer()->objectName(), QStringLiteral("Timer2"));
    QCOMPARE(feeds.onlineTimer()->objectName(), QStringLiteral("Timer3"));
    QCOMPARE(feeds.excelTimer()->interval(), 1000);
    QCOMPARE(feeds.onlineTimer()->interval(), 1000);
    QCOMPARE(feeds.excel().source, source);
}

void TestFeedScheduler::storedSettings() {
    test::AppFixture f(false);
    ExcelFeedSettings none = ExcelFeedSettings::stored(f.settings);
    QVERIFY(none.source.isEmpty());
    QVERIFY(!none.enabled);
    QCOMPARE(none.keep, 6);
    QCOMPARE(none.format, QStringLiteral("0.00000"));

    f.settings.set(settings::ExcelSource, QStringLiteral("/tmp/rates.xlsx"));
    // Any non-zero number switches the feed on.
    f.settings.write(QStringLiteral("Display"), QStringLiteral("auto"), QStringLiteral("value"), 2);
    f.settings.set(settings::KeptLength, 4);
    f.settings.set(settings::ValueFormat, QStringLiteral("0.00"));
    const ExcelFeedSettings e = ExcelFeedSettings::stored(f.settings);
    QCOMPARE(e.source, QStringLiteral("/tmp/rates.xlsx"));
    QVERIFY(e.enabled);
    QVERIFY(e.runs());
    QCOMPARE(e.keep, 4);
    QCOMPARE(e.format, QStringLiteral("0.00"));
}

void TestFeedScheduler::ticksReachTheFeeds() {
    FeedScheduler feeds;
    QSignalSpy excel(&feeds, &FeedScheduler::excelTick);
    QSignalSpy online(&feeds, &FeedScheduler::onlineTick);
    QVERIFY(QMetaObject::invokeMethod(feeds.excelTimer(), "timeout"));
    QCOMPARE(excel.count(), 1);
    QCOMPARE(online.count(), 0);
    QVERIFY(QMetaObject::invokeMethod(feeds.onlineTimer(), "timeout"));
    QCOMPARE(excel.count(), 1);
    QCOMPARE(online.count(), 1);
}

void TestFeedScheduler::readingTicks_data() {
    QTest::addColumn<int>("period");
    QTest::addColumn<QList<int>>("reads"); // tick numbers, counted from 1
    QTest::newRow("default period") << 60 << QList<int>{62, 124};
    QTest::newRow("period 0") << 0 << QList<int>{2, 4, 6, 8};
    QTest::newRow("period 1") << 1 << QList<int>{3, 6, 9};
    QTest::newRow("negative period reads on every tick") << -1 << QList<int>{1, 2, 3};
}

void TestFeedScheduler::readingTicks() {
    QFETCH(int, period);
    QFETCH(QList<int>, reads);
    FeedScheduler feeds;
    QList<int> got;
    for (int tick = 1; got.size() < reads.size() && tick <= 1000; ++tick)
        if (feeds.countExcel(period))
            got << tick;
    QCOMPARE(got, reads);
}

void TestFeedScheduler::appliedSettingsRestartCounter() {
    FeedScheduler feeds;
    ExcelFeedSettings excel;
    excel.source = QStringLiteral("/tmp/rates.xlsx");
    excel.enabled = true;
    feeds.start(excel, false);
    for (int i = 0; i < 30; ++i)
        QVERIFY(!feeds.countExcel(60));
    QSignalSpy changed(&feeds, &FeedScheduler::excelChanged);
    excel.enabled = false;
    feeds.applyExcel(excel);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!feeds.excelTimer()->isActive());
    excel.enabled = true;
    feeds.applyExcel(excel);
    QVERIFY(feeds.excelTimer()->isActive());
    // The count starts over: 61 ticks count, the 62nd reads.
    for (int i = 0; i < 61; ++i)
        QVERIFY(!feeds.countExcel(60));
    QVERIFY(feeds.countExcel(60));
}

QTEST_GUILESS_MAIN(TestFeedScheduler)
#include "tst_feedscheduler.moc"
