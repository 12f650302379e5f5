// The panel driving the real board window: placement on the chosen screen,
// Ctrl+D on the board, and the timers the panel switches.
#include "board/boardengine.h"
#include "board/displaywindow.h"
#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/demodata.h"
#include "data/settingsstore.h"
#include "media/alarmplayer.h"
#include "panel/controlpanel.h"
#include "panel/displayboard.h"
#include "feeds/onlinerates.h"
#include "rates/feedscheduler.h"
#include "rates/ratemonitor.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quoteria;

namespace {

// "right": a second screen extends the desktop to the right of the primary one;
// "left": the only other screen lies to its left, so "Dual" falls back.
QString screenLayout() {
    return qEnvironmentVariable("QUOTERIA_TEST_SCREENS", QStringLiteral("right"));
}

struct Fixture : test::AppFixture {
    RateMonitor monitor{ctx};
    MediaAlarmPlayer mp;
    FeedScheduler feeds;
    OnlineRates online{ctx};
    std::unique_ptr<ControlPanel> panel;
    PanelServices services() { return {monitor, mp, feeds, online}; }
    explicit Fixture(const QString& screenMode = QStringLiteral("Single")) : AppFixture(true) {
        QVERIFY(ready);
        monitor.setPlayer(&mp);
        ctx.session.userType = QStringLiteral("Admin");
        settings.write(QStringLiteral("Disp"), QStringLiteral("theme"), QStringLiteral("name"),
                       demoThemeName());
        settings.write(QStringLiteral("display"), QStringLiteral("sreen"), QStringLiteral("type"),
                       screenMode);
        panel = std::make_unique<ControlPanel>(ctx, services());
        panel->setBoardFactory(displayBoardFactory());
    }
    void click(const char* item) { panel->menuItem(QLatin1String(item))->trigger(); }
    // The board window's own timer, not the panel's view of it.
    QTimer* timer(BoardView::Timer t) {
        auto* w = qobject_cast<DisplayWindow*>(panel->board()->window());
        return w ? w->view()->timer(t) : nullptr;
    }
};

QScreen* rightOfPrimary() {
    QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* s : QGuiApplication::screens())
        if (s != primary && s->geometry().left() == primary->geometry().right() + 1)
            return s;
    return nullptr;
}

} // namespace

class TestBoardLifecycle : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void placement_data();
    void placement();
    void ctrlDOnBoard_data();
    void ctrlDOnBoard();
    void pauseActsOnBoardTimers_data();
    void pauseActsOnBoardTimers();
    void tickerSwitches();
    void tickerStartsAfresh_data();
    void tickerStartsAfresh();
    void boardWindowClosedStops();
    void panelCloseRefusedWhileRunning();
};

void TestBoardLifecycle::initTestCase() {
    QCOMPARE(QGuiApplication::screens().size(), 2);
    QCOMPARE(rightOfPrimary() != nullptr, screenLayout() == QLatin1String("right"));
}

void TestBoardLifecycle::placement_data() {
    QTest::addColumn<QString>("mode");
    QTest::newRow("Single") << "Single";
    QTest::newRow("Dual") << "Dual";
}

void TestBoardLifecycle::placement() {
    QFETCH(QString, mode);
    Fixture fx(mode);
    QScreen* expected = QGuiApplication::primaryScreen();
    if (mode == QLatin1String("Dual") && rightOfPrimary())
        expected = rightOfPrimary();
    QCOMPARE(DisplayWindow::targetScreen(mode), expected);
    fx.click("display");
    QVERIFY(fx.env.recorder.entries.isEmpty());
    QVERIFY(fx.panel->board());
    QWidget* w = fx.panel->board()->window();
    QVERIFY(w->isVisible());
    QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    QTRY_COMPARE(w->geometry(), expected->geometry());
    QCOMPARE(w->screen(), expected);
    fx.click("display");
    QVERIFY(!fx.panel->board());
}

void TestBoardLifecycle::ctrlDOnBoard_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("stops");
    QTest::newRow("Ctrl+D") << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift+D") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
    QTest::newRow("D") << int(Qt::NoModifier) << false;
}

void TestBoardLifecycle::ctrlDOnBoard() {
    QFETCH(int, modifiers);
    QFETCH(bool, stops);
    Fixture fx;
    fx.click("display");
    QPointer<QWidget> w = fx.panel->board()->window();
    QTest::keyClick(w.data(), Qt::Key_D, Qt::KeyboardModifiers(modifiers));
    if (stops) {
        QTRY_VERIFY(!w);
        QVERIFY(!fx.panel->isRunning());
        QVERIFY(!fx.panel->board());
    } else {
        QCoreApplication::processEvents();
        QVERIFY(w && w->isVisible());
        QVERIFY(fx.panel->isRunning());
    }
}

void TestBoardLifecycle::pauseActsOnBoardTimers_data() {
    QTest::addColumn<QString>("motion");
    QTest::addColumn<int>("paused");
    QTest::newRow("Scroll") << "Scroll" << int(BoardView::Timer::TableScroll);
    QTest::newRow("Page") << "Page" << int(BoardView::Timer::Rows);
}

void TestBoardLifecycle::pauseActsOnBoardTimers() {
    QFETCH(QString, motion);
    QFETCH(int, paused);
    Fixture fx;
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("style"), QStringLiteral("type"),
                      motion);
    fx.panel = std::make_unique<ControlPanel>(fx.ctx, fx.services());
    fx.panel->setBoardFactory(displayBoardFactory());
    fx.click("display");
    QTimer* t = fx.timer(BoardView::Timer(paused));
    QVERIFY(t);
    QVERIFY(t->isActive());
    fx.click("Pause");
    QVERIFY(!t->isActive());
    fx.click("Pause");
    QVERIFY(t->isActive());
}

void TestBoardLifecycle::tickerSwitches() {
    Fixture fx;
    auto* news = fx.panel->findChild<QCheckBox*>(QStringLiteral("chkStart"));
    news->click();
    fx.click("display");
    BoardControl* b = fx.panel->board();
    QVERIFY(b->picScroll()->isVisible());
    QVERIFY(fx.timer(BoardView::Timer::LeftTrain)->isActive());
    QVERIFY(!fx.timer(BoardView::Timer::RightTrain)->isActive());

    fx.click("scrollstart"); // "Stop Scroll": both off
    QVERIFY(!fx.timer(BoardView::Timer::LeftTrain)->isActive());
    QVERIFY(!fx.timer(BoardView::Timer::RightTrain)->isActive());

    news->click(); // cleared: ticker stopped, pictures but the first unloaded
    QVERIFY(!fx.timer(BoardView::Timer::LeftTrain)->isActive());
    QCOMPARE(b->scrollPictureCount(), 1);
    news->click();
    QVERIFY(fx.timer(BoardView::Timer::LeftTrain)->isActive());
}

void TestBoardLifecycle::tickerStartsAfresh_data() {
    QTest::addColumn<bool>("newsAtStart");
    QTest::addColumn<bool>("rightTrain");
    QTest::newRow("menu, left train") << false << false;
    QTest::newRow("menu, right train") << false << true;
    QTest::newRow("news box, left train") << true << false;
    QTest::newRow("news box, right train") << true << true;
}

// The trains are moved by hand: no event loop runs, so the board's own timers
// never tick in between.
void TestBoardLifecycle::tickerStartsAfresh() {
    QFETCH(bool, newsAtStart);
    QFETCH(bool, rightTrain);
    Fixture fx;
    if (newsAtStart)
        fx.panel->findChild<QCheckBox*>(QStringLiteral("chkStart"))->click();
    fx.click("display");
    auto* w = qobject_cast<DisplayWindow*>(fx.panel->board()->window());
    QVERIFY(w);
    BoardEngine* e = w->engine();
    const TickerMotion& t = e->ticker();
    QAction* item = fx.panel->menuItem(QStringLiteral("scrollstart"));
    if (!newsAtStart) {
        QCOMPARE(item->text(), QStringLiteral("Start Scroll"));
        fx.click("scrollstart");
    }
    QCOMPARE(item->text(), QStringLiteral("Stop Scroll"));
    QVERIFY(t.count() > 1);
    const double entry = t.stripWidth() + t.element(0).width + 100;
    QCOMPARE(t.element(1).left, entry);

    if (rightTrain) {
        for (int guard = 0; t.train() == TickerMotion::LeftTrain && guard < 100000; ++guard)
            e->tick(4);
        QCOMPARE(t.train(), TickerMotion::RightTrain);
        QVERIFY(!fx.timer(BoardView::Timer::LeftTrain)->isActive());
        QVERIFY(fx.timer(BoardView::Timer::RightTrain)->isActive());
    }
    const int moving = rightTrain ? 5 : 4;
    for (int k = 0; k < 10; ++k)
        e->tick(moving);
    const double stood = t.element(1).left;
    QCOMPARE(stood, rightTrain ? -(t.element(1).width + 100) + 10 * e->tickerSpeed()
                               : entry - 10 * e->tickerSpeed());

    // Stopped: the train stays where it stood.
    fx.click("scrollstart");
    QCOMPARE(item->text(), QStringLiteral("Start Scroll"));
    QVERIFY(!fx.timer(BoardView::Timer::LeftTrain)->isActive());
    QVERIFY(!fx.timer(BoardView::Timer::RightTrain)->isActive());
    QCOMPARE(t.element(1).left, stood);

    // Started: the left-running train again from the right edge, alone.
    fx.click("scrollstart");
    QCOMPARE(item->text(), QStringLiteral("Stop Scroll"));
    QVERIFY(fx.timer(BoardView::Timer::LeftTrain)->isActive());
    QVERIFY(!fx.timer(BoardView::Timer::RightTrain)->isActive());
    QCOMPARE(t.train(), TickerMotion::LeftTrain);
    QCOMPARE(t.element(0).left, double(t.stripWidth()));
    QCOMPARE(t.element(1).left, entry);
    e->tick(4);
    QCOMPARE(t.element(1).left, entry - e->tickerSpeed());
}

void TestBoardLifecycle::boardWindowClosedStops() {
    Fixture fx;
    fx.panel->show();
    fx.click("display");
    QPointer<QWidget> w = fx.panel->board()->window();
    QVERIFY(w->close());
    QTRY_VERIFY(!fx.panel->isRunning());
    QVERIFY(!fx.panel->board());
    QVERIFY(!fx.panel->board());
    QCOMPARE(fx.panel->findChild<QLabel*>(QStringLiteral("lblStatus"))->text(),
             QStringLiteral("Stopped"));
    QTRY_VERIFY(!w);
    QSignalSpy spy(fx.panel.get(), &ControlPanel::exitRequested);
    fx.env.recorder.answers << MsgAnswer::Yes;
    fx.click("exit");
    QCOMPARE(fx.env.recorder.texts(), QStringList{QStringLiteral("Do you want to exit")});
    QCOMPARE(spy.count(), 1);
}

void TestBoardLifecycle::panelCloseRefusedWhileRunning() {
    Fixture fx;
    fx.panel->show();
    fx.click("display");
    QPointer<QWidget> w = fx.panel->board()->window();
    QVERIFY(!fx.panel->close());
    QCOMPARE(fx.env.recorder.texts(),
             QStringList{QStringLiteral("First stop the display and try again")});
    QVERIFY(fx.panel->isVisible());
    QVERIFY(w && w->isVisible());
    QVERIFY(fx.panel->isRunning());
    // Stopping from the panel closes the board without a second stop or a restart.
    fx.click("display");
    QTRY_VERIFY(!w);
    QCoreApplication::processEvents();
    QVERIFY(!fx.panel->isRunning());
    QVERIFY(!fx.panel->board());
}

int main(int argc, char** argv) {
    QTemporaryDir dir;
    const bool right = screenLayout() == QLatin1String("right");
    const QByteArray other = right ? "\"x\":1366,\"y\":0,\"width\":1024,\"height\":768"
                                   : "\"x\":-1024,\"y\":0,\"width\":1024,\"height\":768";
    QFile cfg(dir.filePath(QStringLiteral("screens.json")));
    if (!cfg.open(QIODevice::WriteOnly))
        return 2;
    cfg.write("{\"screens\":[{\"name\":\"main\",\"x\":0,\"y\":0,\"width\":1366,\"height\":768,"
              "\"logicalDpi\":96},{\"name\":\"second\"," +
              other + ",\"logicalDpi\":96}]}");
    cfg.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + cfg.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    TestBoardLifecycle tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_boardlifecycle.moc"
