#include "board/boardengine.h"
#include "board/displaywindow.h"
#include "data/appcontext.h"
#include "data/dataevents.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/settingsstore.h"
#include "boardfixture.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace quoteria;

class TestDisplayWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowAndTimers();
    void stopKey_data();
    void stopKey();
    void tickerPictures();
    void framesAndDiagnostics();
    void paintsTheBoard();
    void placedFromSettings_data();
    void placedFromSettings();
    void screensFromConfig_data();
    void screensFromConfig();
};

namespace {
struct Fixture : test::BoardFixture {
    // The panel's choices for a board of the demo theme.
    BoardChoices choices() const {
        BoardChoices c;
        c.themeKey = ctx.session.currentThemeKey;
        c.twipsPerPixel = ctx.session.twipsPerPixel;
        return c;
    }
};

// The screen "Dual" should pick: the one that extends the desktop to the right of the
// primary, else the primary.
QScreen* rightOfPrimary() {
    QScreen* primary = QGuiApplication::primaryScreen();
    const int edge = primary->geometry().x() + primary->geometry().width();
    for (QScreen* s : QGuiApplication::screens())
        if (s->geometry().x() == edge)
            return s;
    return primary;
}
} // namespace

void TestDisplayWindow::windowAndTimers() {
    Fixture f;
    DisplayWindow w(f.ctx, f.choices());
    QCOMPARE(w.objectName(), QStringLiteral("frmDisplay"));
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    const int periods[] = {0, 3000, 10, 100, 25, 25, 30, 30, 200, 20};
    for (int n = 1; n <= 9; ++n) {
        QTimer* t = w.view()->timer(BoardView::Timer(n));
        QVERIFY(t);
        QCOMPARE(t->objectName(), QStringLiteral("Timer%1").arg(n));
        QCOMPARE(t->interval(), periods[n]);
    }
    // The demo table overflows its zone: refresh, composition and scrolling run;
    // the text clock and the strip's repaint run too; the ticker waits for the panel.
    // The typed switches report the timers themselves.
    for (int n : {1, 3, 6, 7, 9}) {
        QVERIFY2(w.view()->timer(BoardView::Timer(n))->isActive(), qPrintable(QString::number(n)));
        QVERIFY(w.view()->isRunning(BoardView::Timer(n)));
    }
    for (int n : {2, 4, 5, 8}) {
        QVERIFY2(!w.view()->timer(BoardView::Timer(n))->isActive(), qPrintable(QString::number(n)));
        QVERIFY(!w.view()->isRunning(BoardView::Timer(n)));
    }
}

void TestDisplayWindow::stopKey_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("stops");
    QTest::newRow("Ctrl+D") << int(Qt::Key_D) << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift+D") << int(Qt::Key_D) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << false;
    QTest::newRow("D") << int(Qt::Key_D) << int(Qt::NoModifier) << false;
    QTest::newRow("Ctrl+Alt+D") << int(Qt::Key_D) << int(Qt::ControlModifier | Qt::AltModifier)
                                << false;
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << false;
}

void TestDisplayWindow::stopKey() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, stops);
    Fixture f;
    DisplayWindow w(f.ctx, f.choices());
    QSignalSpy spy(&w, &DisplayWindow::stopRequested);
    QTest::keyClick(&w, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(spy.count(), stops ? 1 : 0);
}

void TestDisplayWindow::tickerPictures() {
    Fixture f;
    DisplayWindow w(f.ctx, f.choices());
    QVERIFY(w.picScroll());
    QCOMPARE(w.picScroll()->objectName(), QStringLiteral("picScroll"));
    QVERIFY(w.picScroll()->isHidden());
    QCOMPARE(w.scrollPictureCount(), 1);
    w.getSnews();
    QCOMPARE(w.scrollPictureCount(), 3);
    w.unloadScrollPictures();
    QCOMPARE(w.scrollPictureCount(), 1);
}

void TestDisplayWindow::framesAndDiagnostics() {
    Fixture f;
    DisplayWindow w(f.ctx, f.choices());
    int frames = 0;
    w.setFrameListener([&frames](qint64) { ++frames; });
    w.show();
    // The moving board presents frame after frame, each one counted.
    QTRY_VERIFY(frames >= 10);
    QVERIFY(!w.diagnosticsShown());
    QTest::keyClick(&w, Qt::Key_F12, Qt::ShiftModifier);
    QVERIFY(!w.diagnosticsShown());
    QTest::keyClick(&w, Qt::Key_F12);
    QVERIFY(w.diagnosticsShown());
    auto* overlay = w.findChild<QWidget*>(QStringLiteral("diagnostics"));
    QVERIFY(overlay && overlay->isVisible());
    QVERIFY(!overlay->geometry().isEmpty());
    QTest::keyClick(&w, Qt::Key_F12);
    QVERIFY(!w.diagnosticsShown());
    QVERIFY(overlay->isHidden());
}

void TestDisplayWindow::paintsTheBoard() {
    Fixture f;
    f.settings.write(QStringLiteral("display"), QStringLiteral("sreen"), QStringLiteral("type"),
                     QStringLiteral("Single"));
    DisplayWindow w(f.ctx, f.choices());
    w.picScroll()->show();
    w.getSnews();
    const QImage img = w.grab().toImage();
    QCOMPARE(img.size(), w.size());
    // The demo theme: window colour in the top-left corner, the strip's colour at the
    // bottom left (the strip shown by the panel), a header in the header colour.
    QCOMPARE(img.pixel(2, 2), qRgb(6, 20, 44));
    const QRect strip = w.picScroll()->geometry();
    QVERIFY(strip.width() > 0);
    QCOMPARE(img.pixel(strip.left() + 1, strip.bottom() - 1), qRgb(200, 150, 30));
    w.picScroll()->hide();
    QCOMPARE(w.grab().toImage().pixel(strip.left() + 1, strip.bottom() - 1), qRgb(6, 20, 44));
}

void TestDisplayWindow::placedFromSettings_data() {
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("rotation");
    for (int r : {0, 90, 180, 270})
        QTest::newRow(qPrintable(QStringLiteral("fitted, %1").arg(r))) << true << r;
    QTest::newRow("turned, unfitted") << false << 90;
}

void TestDisplayWindow::placedFromSettings() {
    QFETCH(bool, fit);
    QFETCH(int, rotation);
    Fixture f;
    f.settings.write(QStringLiteral("display"), QStringLiteral("sreen"), QStringLiteral("type"),
                     QStringLiteral("Single"));
    QVERIFY(f.settings.set(settings::FitToScreen, fit));
    QVERIFY(f.settings.set(settings::BoardRotation, rotation));
    DisplayWindow w(f.ctx, f.choices());
    const BoardPlacement& placed = w.view()->placement();
    QCOMPARE(placed.fit, fit);
    QCOMPARE(placed.rotation, rotation);
    QCOMPARE(placed.screen, w.view()->size());
    // The strip child and the players' hosts stand on the turned zones, on the screen.
    const BoardEngine& e = *w.engine();
    const QRect strip = w.picScroll()->geometry();
    QCOMPARE(strip, placed.toScreen(e.stripPx()));
    QCOMPARE(w.view()->mediaHost(BoardView::Media::Video)->geometry(),
             placed.toScreen(e.zonePx(BoardEngine::ZoneMedia)));
    // Unfitted, a design larger than the screen reaches beyond it, as it always did.
    if (!fit)
        return;
    QVERIFY(w.view()->rect().contains(strip));
    // The strip paints its colour across itself, whichever way it is turned.
    w.picScroll()->show();
    w.getSnews();
    const QImage img = w.grab().toImage();
    for (const QPoint& at : {strip.topLeft() + QPoint(2, 2), strip.bottomRight() - QPoint(2, 2),
                             strip.center()})
        QCOMPARE(img.pixel(at), qRgb(200, 150, 30));
}

void TestDisplayWindow::screensFromConfig_data() {
    QTest::addColumn<QString>("setting"); // empty: never written
    QTest::addColumn<bool>("dual");
    QTest::newRow("never written") << QString() << true;
    QTest::newRow("Dual") << "Dual" << true;
    QTest::newRow("Single") << "Single" << false;
    QTest::newRow("anything else") << "Triple" << false;
}

void TestDisplayWindow::screensFromConfig() {
    QFETCH(QString, setting);
    QFETCH(bool, dual);
    if (qEnvironmentVariable("QT_QPA_PLATFORM").contains(QLatin1String("configfile")))
        QCOMPARE(QGuiApplication::screens().size(), 3);
    Fixture f;
    if (!setting.isEmpty())
        f.settings.write(QStringLiteral("display"), QStringLiteral("sreen"), QStringLiteral("type"),
                         setting);
    QScreen* expected = dual ? rightOfPrimary() : QGuiApplication::primaryScreen();
    QCOMPARE(DisplayWindow::targetScreen(dual ? QStringLiteral("Dual") : setting), expected);
    DisplayWindow w(f.ctx, f.choices());
    QCOMPARE(w.geometry(), expected->geometry());
}

QTEST_MAIN(TestDisplayWindow)
#include "tst_displaywindow.moc"
