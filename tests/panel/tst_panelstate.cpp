#include "panel/panelstate.h"

#include <QtTest>

using namespace quoteria;

class TestPanelState : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void storedEdge_data();
    void storedEdge();
    void previewSpeed_data();
    void previewSpeed();
};

void TestPanelState::storedEdge_data() {
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("minimised") << -32000.0 << 0;
    QTest::newRow("just negative") << -1.0 << 0;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("exact") << 1500.0 << 100;
    QTest::newRow("rounded") << 1508.0 << 101;
}

void TestPanelState::storedEdge() {
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(panel::storedEdgeToPixels(twips, 15), pixels);
}

void TestPanelState::previewSpeed_data() {
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("half");
    QTest::newRow("default") << 30 << 15;
    QTest::newRow("half up to even") << 35 << 18;
    QTest::newRow("half down to even") << 45 << 22;
    QTest::newRow("one") << 1 << 0;
    QTest::newRow("three") << 3 << 2;
}

void TestPanelState::previewSpeed() {
    QFETCH(int, speed);
    QFETCH(int, half);
    QCOMPARE(panel::previewSpeed(speed), half);
}

QTEST_MAIN(TestPanelState)
#include "tst_panelstate.moc"
