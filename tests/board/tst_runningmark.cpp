#include "board/runningmark.h"
#include "testsupport.h"

#include <QFile>
#include <QtTest>

using namespace quoteria;

Q_DECLARE_METATYPE(RunningMark)

class TestRunningMark : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void damagedIsNoMark_data();
    void damagedIsNoMark();
    void replacedAndCleared();
};

namespace {
RunningMark mark(const QString& theme, const QString& motion, const QString& screen, bool ticker,
                 bool paused) {
    RunningMark m;
    m.theme = theme;
    m.motion = motion;
    m.screen = screen;
    m.ticker = ticker;
    m.paused = paused;
    return m;
}
} // namespace

void TestRunningMark::roundTrip_data() {
    QTest::addColumn<RunningMark>("mark");
    QTest::newRow("scroll, ticker") << mark(QStringLiteral("Demo"), QStringLiteral("Scroll"),
                                            QStringLiteral("Single"), true, false);
    QTest::newRow("page, paused, dual") << mark(QStringLiteral("Main hall"), QStringLiteral("Page"),
                                                QStringLiteral("Dual"), false, true);
    // Names keep their spaces, '=' and letters beyond ASCII.
    QTest::newRow("odd name") << mark(QStringLiteral(" Kurs = Ü€ "), QStringLiteral("Scroll"),
                                      QStringLiteral("Single"), true, true);
}

void TestRunningMark::roundTrip() {
    QFETCH(RunningMark, mark);
    const auto back = RunningMark::parse(mark.toText());
    QVERIFY(back.has_value());
    QVERIFY(*back == mark);
}

void TestRunningMark::damagedIsNoMark_data() {
    QTest::addColumn<QByteArray>("text");
    const QByteArray whole = mark(QStringLiteral("Demo"), QStringLiteral("Scroll"),
                                  QStringLiteral("Single"), true, false)
                                 .toText();
    QTest::newRow("empty") << QByteArray();
    // A write cut off anywhere before its last newline.
    for (int cut : {1, 10, 30, int(whole.size()) - 5, int(whole.size()) - 1})
        QTest::addRow("cut at %d", cut) << whole.left(cut);
    QTest::newRow("garbage") << QByteArray("\x7f"
                                           "ELF\x02\x01\x01\0\0\0",
                                           10);
    QTest::newRow("no head") << whole.mid(whole.indexOf('\n') + 1);
    QTest::newRow("line added") << QByteArray(whole).insert(whole.indexOf("end"), "x=1\n");
    QTest::newRow("unknown motion") << QByteArray(whole).replace("=Scroll", "=Sideways");
    QTest::newRow("unknown screen") << QByteArray(whole).replace("=Single", "=Triple");
    QTest::newRow("flag not 0/1") << QByteArray(whole).replace("ticker=1", "ticker=yes");
    QTest::newRow("empty theme") << QByteArray(whole).replace("theme=Demo", "theme=");
    QTest::newRow("keys swapped") << QByteArray(whole).replace("motion=", "moTion=");
    QTest::newRow("not UTF-8") << QByteArray(whole).replace("Demo", "D\xff\xfe");
}

void TestRunningMark::damagedIsNoMark() {
    QFETCH(QByteArray, text);
    QVERIFY(!RunningMark::parse(text).has_value());
}

void TestRunningMark::replacedAndCleared() {
    test::TestEnv env;
    const QString path = runningMarkPath(env.dir());
    QVERIFY(!readRunningMark(path));
    const RunningMark first =
        mark(QStringLiteral("A"), QStringLiteral("Scroll"), QStringLiteral("Single"), true, false);
    const RunningMark second =
        mark(QStringLiteral("B"), QStringLiteral("Page"), QStringLiteral("Dual"), false, true);
    QVERIFY(writeRunningMark(path, first));
    QVERIFY(writeRunningMark(path, second));
    const auto read = readRunningMark(path);
    QVERIFY(read && *read == second);
    clearRunningMark(path);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!readRunningMark(path));
    // A folder that cannot be written keeps no mark and says so.
    QVERIFY(!writeRunningMark(env.dir() + QStringLiteral("/missing/folder/mark"), first));
}

QTEST_GUILESS_MAIN(TestRunningMark)
#include "tst_runningmark.moc"
