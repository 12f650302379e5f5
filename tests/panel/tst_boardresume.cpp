#include "board/runningmark.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "fakeboard.h"
#include "panel/boardresume.h"
#include "panelservices.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QtTest>

using namespace quoteria;

Q_DECLARE_METATYPE(RunningMark)

class TestBoardResume : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void markFollowsTheBoard();
    void resumeBox();
    void resumesAsMarked_data();
    void resumesAsMarked();
    void nothingToResume_data();
    void nothingToResume();
    void panelTakesOverAndStops();
};

namespace {

struct Fixture : test::AppFixture, test::PanelServiceSet {
    test::FakeBoards boards;
    Fixture() : AppFixture(true), PanelServiceSet(ctx) {
        ctx.session.userType = QStringLiteral("Admin");
        settings.set(settings::ThemeName, demoThemeName());
    }
    std::unique_ptr<ControlPanel> panel() {
        auto p = std::make_unique<ControlPanel>(ctx, services());
        p->setBoardFactory(boards.factory());
        return p;
    }
    QString markPath() const { return runningMarkPathOf(ctx); }
    std::optional<RunningMark> mark() const { return readRunningMark(markPath()); }
    std::optional<ResumedBoard> resume() {
        return resumeBoard(ctx, boards.factory(), [] { return false; });
    }
};

RunningMark demoMark(const QString& motion, bool ticker, bool paused) {
    RunningMark m;
    m.theme = demoThemeName();
    m.motion = motion;
    m.screen = QStringLiteral("Single");
    m.ticker = ticker;
    m.paused = paused;
    return m;
}

void trigger(ControlPanel& p, const char* item) {
    p.menuItem(QLatin1String(item))->trigger();
}

} // namespace

void TestBoardResume::markFollowsTheBoard() {
    Fixture f;
    auto p = f.panel();
    QVERIFY(!f.mark());
    trigger(*p, "display");
    QVERIFY(p->board());
    QVERIFY(f.mark() && *f.mark() == demoMark(QStringLiteral("Scroll"), false, false));
    // A screen chosen while it runs is for the next start: the board stays put.
    auto* screen = p->findChild<QComboBox*>(QStringLiteral("cmbDisplay"));
    screen->setCurrentText(QStringLiteral("Dual"));
    emit screen->activated(screen->currentIndex());
    trigger(*p, "Pause");
    QVERIFY(f.mark() && f.mark()->paused);
    QCOMPARE(f.mark()->screen, QStringLiteral("Single"));
    trigger(*p, "scrollstart");
    QVERIFY(f.mark() && f.mark()->ticker && f.mark()->paused);
    trigger(*p, "scrollstart");
    QVERIFY(f.mark() && !f.mark()->ticker);
    trigger(*p, "Pause");
    QVERIFY(f.mark() && !f.mark()->paused);
    // A clean stop leaves nothing to resume.
    trigger(*p, "display");
    QVERIFY(!p->board());
    QVERIFY(!QFile::exists(f.markPath()));
}

void TestBoardResume::resumeBox() {
    Fixture f;
    {
        auto p = f.panel();
        auto* box = p->findChild<QCheckBox*>(QStringLiteral("chkResume"));
        QVERIFY(box);
        QVERIFY(!box->isChecked());
        box->click();
        QVERIFY(f.settings.get(settings::ResumeBoard));
    }
    // The next panel shows it stored.
    auto p = f.panel();
    QVERIFY(p->findChild<QCheckBox*>(QStringLiteral("chkResume"))->isChecked());
}

void TestBoardResume::resumesAsMarked_data() {
    QTest::addColumn<RunningMark>("mark");
    QTest::newRow("scroll, ticker") << demoMark(QStringLiteral("Scroll"), true, false);
    QTest::newRow("page, paused") << demoMark(QStringLiteral("Page"), false, true);
    RunningMark dual = demoMark(QStringLiteral("Scroll"), false, true);
    dual.screen = QStringLiteral("Dual");
    QTest::newRow("dual, paused scroll") << dual;
}

void TestBoardResume::resumesAsMarked() {
    QFETCH(RunningMark, mark);
    Fixture f;
    f.settings.set(settings::ResumeBoard, true);
    QVERIFY(writeRunningMark(f.markPath(), mark));
    const auto r = f.resume();
    QVERIFY(r && r->board);
    QCOMPARE(f.boards.made, 1);
    test::FakeBoard* b = f.boards.last;
    QCOMPARE(b->choices.themeKey, themeKeyOf(f.db, demoThemeName()));
    QCOMPARE(b->choices.motion, mark.motion);
    QVERIFY(b->win.isVisible());
    QCOMPARE(b->tickerRunning(), mark.ticker);
    QCOMPARE(b->snews, mark.ticker ? 1 : 0);
    QCOMPARE(b->area->isVisible(), mark.ticker);
    QCOMPARE(b->isRunning(BoardControl::tableTimerFor(mark.motion)), !mark.paused);
    // The board opens on the screen it ran on.
    QCOMPARE(f.settings.get(settings::ScreenMode), mark.screen);
    QVERIFY(r->mark == mark);
}

void TestBoardResume::nothingToResume_data() {
    QTest::addColumn<bool>("on");
    QTest::addColumn<QByteArray>("file"); // the mark's file; empty: none
    QTest::addColumn<bool>("markRemains");
    const QByteArray good = demoMark(QStringLiteral("Scroll"), true, false).toText();
    QTest::newRow("resume off") << false << good << true;
    QTest::newRow("no mark") << true << QByteArray() << false;
    QTest::newRow("cut off") << true << good.left(good.size() - 2) << true;
    QTest::newRow("theme gone") << true
                                << QByteArray(good).replace(demoThemeName().toUtf8(), "Gone")
                                << false;
}

void TestBoardResume::nothingToResume() {
    QFETCH(bool, on);
    QFETCH(QByteArray, file);
    QFETCH(bool, markRemains);
    Fixture f;
    f.settings.set(settings::ResumeBoard, on);
    if (!file.isEmpty()) {
        QFile out(f.markPath());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    QVERIFY(!f.resume());
    QCOMPARE(f.boards.made, 0);
    QCOMPARE(QFile::exists(f.markPath()), markRemains);
}

void TestBoardResume::panelTakesOverAndStops() {
    Fixture f;
    f.settings.set(settings::ResumeBoard, true);
    f.settings.set(settings::Motion, QStringLiteral("Scroll"));
    const RunningMark mark = demoMark(QStringLiteral("Page"), true, true);
    QVERIFY(writeRunningMark(f.markPath(), mark));
    auto r = f.resume();
    QVERIFY(r);
    QPointer<test::FakeBoard> b = f.boards.last;
    auto p = f.panel();
    p->adoptBoard(std::move(r->board), r->mark);
    QCOMPARE(p->board(), b.data());
    QVERIFY(p->isRunning());
    QCOMPARE(p->menuItem(QStringLiteral("display"))->text(), QStringLiteral("Stop Display"));
    QCOMPARE(p->menuItem(QStringLiteral("Pause"))->text(), QStringLiteral("Resume Pause"));
    QCOMPARE(p->menuItem(QStringLiteral("scrollstart"))->text(), QStringLiteral("Stop Scroll"));
    QCOMPARE(p->findChild<QComboBox*>(QStringLiteral("cmbType"))->currentText(),
             QStringLiteral("Page"));
    QVERIFY(f.mark() && *f.mark() == mark);
    // Resume Pause acts on the board's own table timer (the page timer here).
    trigger(*p, "Pause");
    QVERIFY(b->isRunning(BoardControl::Timer::Rows));
    QVERIFY(f.mark() && !f.mark()->paused);
    // Ctrl+D on the adopted board reaches the panel.
    emit b->stopRequested();
    QTRY_VERIFY(!p->board());
    QVERIFY(!b);
    QVERIFY(!QFile::exists(f.markPath()));
    QCOMPARE(f.boards.made, 1);
}

QTEST_MAIN(TestBoardResume)
#include "tst_boardresume.moc"
