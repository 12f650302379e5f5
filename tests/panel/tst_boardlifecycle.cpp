// The panel driving the real board window: placement on the chosen screen,
// Ctrl+D on the board, and the timers the panel switches.
#include "board/displaywindow.h"
#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/demodata.h"
#include "data/settingsstore.h"
#include "panel/displayboard.h"
#include "panel/form1.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QScreen>
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
    std::unique_ptr<Form1> panel;
    explicit Fixture(const QString& screenMode = QStringLiteral("Single")) : AppFixture(true) {
        QVERIFY(ready);
        ctx.session.userType = QStringLiteral("Admin");
        settings.write(QStringLiteral("Disp"), QStringLiteral("theme"), QStringLiteral("name"),
                       demoThemeName());
        settings.write(QStringLiteral("display"), QStringLiteral("sreen"), QStringLiteral("type"),
                       screenMode);
        panel = std::make_unique<Form1>(ctx);
        panel->setBoardFactory(displayBoardFactory());
    }
    void click(const char* item) { panel->menuItem(QLatin1String(item))->trigger(); }
    QTimer* timer(const char* name) { return panel->board()->timer(QLatin1String(name)); }
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
    void panelClosedFirstEndsWithBoard();
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
        QVERIFY(!fx.ctx.session.displayRunning);
    } else {
        QCoreApplication::processEvents();
        QVERIFY(w && w->isVisible());
        QVERIFY(fx.panel->isRunning());
    }
}

void TestBoardLifecycle::pauseActsOnBoardTimers_data() {
    QTest::addColumn<QString>("motion");
    QTest::addColumn<QString>("paused");
    QTest::newRow("Scroll") << "Scroll"
                            << "Timer7";
    QTest::newRow("Page") << "Page"
                          << "Timer1";
}

void TestBoardLifecycle::pauseActsOnBoardTimers() {
    QFETCH(QString, motion);
    QFETCH(QString, paused);
    Fixture fx;
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("style"), QStringLiteral("type"),
                      motion);
    fx.panel = std::make_unique<Form1>(fx.ctx);
    fx.panel->setBoardFactory(displayBoardFactory());
    fx.click("display");
    QTimer* t = fx.panel->board()->timer(paused);
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
    QVERIFY(fx.timer("Timer4")->isActive());
    QVERIFY(!fx.timer("Timer5")->isActive());

    fx.click("scrollstart"); // "Start Scroll": Timer4 on
    QVERIFY(fx.timer("Timer4")->isActive());
    fx.click("scrollstart"); // "Stop Scroll": both off
    QVERIFY(!fx.timer("Timer4")->isActive());
    QVERIFY(!fx.timer("Timer5")->isActive());

    news->click(); // cleared: ticker stopped, pictures but the first unloaded
    QVERIFY(!fx.timer("Timer4")->isActive());
    QCOMPARE(b->scrollPictureCount(), 1);
    news->click();
    QVERIFY(fx.timer("Timer4")->isActive());
}

void TestBoardLifecycle::panelClosedFirstEndsWithBoard() {
    Fixture fx;
    fx.panel->show();
    fx.click("display");
    QSignalSpy last(qApp, &QGuiApplication::lastWindowClosed);
    QPointer<QWidget> w = fx.panel->board()->window();
    // Inside the program's event loop: the panel is closed, the board stays;
    // Ctrl+D on the board then leaves no window and the loop ends.
    bool guard = false;
    QTimer::singleShot(0, this, [&] {
        fx.panel->close();
        QTimer::singleShot(0, this, [&] {
            QVERIFY(w && w->isVisible());
            QTest::keyClick(w.data(), Qt::Key_D, Qt::ControlModifier);
        });
    });
    // Only a guard against hanging when the loop would not end.
    QTimer::singleShot(20000, this, [&] {
        guard = true;
        QCoreApplication::exit(1);
    });
    QCoreApplication::exec();
    QVERIFY(!guard);
    QCOMPARE(last.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!w);
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
