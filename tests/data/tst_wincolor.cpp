#include "data/wincolor.h"

#include <QtTest>

using namespace quoteria;

class TestWinColor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fromWin_data();
    void fromWin();
    void toWin_data();
    void toWin();
    void roundTrip_data();
    void roundTrip();
};

void TestWinColor::fromWin_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("black") << qint64(0) << QColor(0, 0, 0);
    QTest::newRow("red in the low byte") << qint64(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("green") << qint64(0x00FF00) << QColor(0, 255, 0);
    QTest::newRow("blue in the high byte") << qint64(0xFF0000) << QColor(0, 0, 255);
    QTest::newRow("mixed") << qint64(0x123456) << QColor(0x56, 0x34, 0x12);
    QTest::newRow("white") << qint64(0xFFFFFF) << QColor(255, 255, 255);
    // System colour numbers are not resolved: their low bits are kept.
    QTest::newRow("system colour") << qint64(0x80000005) << QColor(5, 0, 0);
    QTest::newRow("top byte ignored") << qint64(0x7F00FF00) << QColor(0, 255, 0);
    QTest::newRow("negative") << qint64(-1) << QColor(255, 255, 255);
    QTest::newRow("beyond 32 bits") << qint64(0x1000000FFLL) << QColor(255, 0, 0);
}

void TestWinColor::fromWin() {
    QFETCH(qint64, value);
    QFETCH(QColor, expected);
    const QColor c = colorFromWin(value);
    QVERIFY(c.isValid());
    QCOMPARE(c.rgb(), expected.rgb());
    QCOMPARE(c.alpha(), 255);
}

void TestWinColor::toWin_data() {
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("black") << QColor(0, 0, 0) << qint64(0);
    QTest::newRow("red") << QColor(255, 0, 0) << qint64(0x0000FF);
    QTest::newRow("blue") << QColor(0, 0, 255) << qint64(0xFF0000);
    QTest::newRow("mixed") << QColor(0x56, 0x34, 0x12) << qint64(0x123456);
    QTest::newRow("alpha dropped") << QColor(1, 2, 3, 4) << qint64(0x030201);
    QTest::newRow("hsv spec") << QColor::fromHsv(0, 255, 255) << qint64(0x0000FF);
    QTest::newRow("cmyk spec") << QColor::fromCmyk(0, 0, 255, 0) << qint64(0x00FFFF);
    QTest::newRow("named") << QColor(QStringLiteral("#102030")) << qint64(0x302010);
}

void TestWinColor::toWin() {
    QFETCH(QColor, colour);
    QFETCH(qint64, expected);
    QCOMPARE(winFromColor(colour), expected);
}

void TestWinColor::roundTrip_data() {
    QTest::addColumn<qint64>("value");
    QTest::newRow("0") << qint64(0);
    QTest::newRow("one per channel") << qint64(0x010203);
    QTest::newRow("max") << qint64(0xFFFFFF);
    QTest::newRow("constant") << winRgb(200, 150, 30);
}

void TestWinColor::roundTrip() {
    QFETCH(qint64, value);
    QCOMPARE(winFromColor(colorFromWin(value)), value);
}

static_assert(winRgb(1, 2, 3) == 0x030201, "red goes in the low byte");
static_assert(winRgb(255, 255, 255) == 0xFFFFFF, "white");

QTEST_GUILESS_MAIN(TestWinColor)
#include "tst_wincolor.moc"
