// The board's HTML page, in a process of its own: the web engine, once loaded,
// stays for the life of the process.
#include "board/displaywindow.h"
#include "board/mediazone.h"
#include "board/webzoneloader.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "boardfixture.h"
#include "testsupport.h"
#include "../media/mediafixtures.h"

#include <QApplication>
#include <QSignalSpy>
#include <QtTest>
#include <memory>
#include <unistd.h>

using namespace quoteria;

class TestWebZone : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void pageFillsTheZone();
    void newWindowsRefused();
};

namespace {

constexpr int kLoadMs = 30000;
const QColor kPage(30, 160, 90);

// Taller than any zone, so the page would scroll.
const QByteArray kTallPage = "<html><body style='margin:0;background:rgb(30,160,90)'>"
                             "<div style='height:5000px;width:5000px'></div></body></html>";

struct Fixture : test::BoardFixture {
    Fixture() { placeMediaZone(QRect(300, 200, 300, 200)); }
    // The board with the page setting on file in the data folder.
    std::unique_ptr<DisplayWindow> board(const QString& file, const QByteArray& html) {
        if (!test::writeText(env.dir() + QLatin1Char('/') + file, html))
            qFatal("cannot write the page");
        settings.set(settings::HtmlOn, true);
        settings.set(settings::HtmlSource, env.dir() + QLatin1Char('/') + file);
        return BoardFixture::board();
    }
};

// The zone's rectangle in the board window's picture.
QRect zoneOf(DisplayWindow& w) {
    QWidget* host = w.view()->mediaHost(BoardView::Media::WebPage);
    return QRect(host->mapTo(&w, QPoint(0, 0)), host->size());
}

bool waitForLoad(QWidget* view) {
    QSignalSpy loaded(view, SIGNAL(loadFinished(bool)));
    return loaded.wait(kLoadMs) && loaded.first().first().toBool();
}

} // namespace

void TestWebZone::initTestCase() {
    webzone::setLibraryPath(QStringLiteral(QUOTERIA_WEBZONE_LIBRARY));
}

void TestWebZone::pageFillsTheZone() {
    Fixture f;
    auto w = f.board(QStringLiteral("page.html"), kTallPage);
    QCOMPARE(w->mediaZone()->mode(), MediaMode::WebPage);
    QWidget* view = w->mediaZone()->player();
    QVERIFY(view);
    QVERIFY(waitForLoad(view));
    const QRect zone = zoneOf(*w);
    QVERIFY(zone.width() > 40 && zone.height() > 40);
    // Inside the zone, also where the scroll bars would stand.
    const QList<QPoint> spots = {zone.center(), zone.topRight() + QPoint(-3, zone.height() / 2),
                                 zone.bottomLeft() + QPoint(zone.width() / 2, -3),
                                 zone.bottomRight() - QPoint(3, 3)};
    QTRY_COMPARE_WITH_TIMEOUT(QColor(w->grab().toImage().pixel(zone.center())), kPage, kLoadMs);
    // Scroll bars are drawn a little after the page's background.
    QTest::qWait(1000);
    const QImage shown = w->grab().toImage();
    for (const QPoint& at : spots)
        QCOMPARE(QColor(shown.pixel(at)), kPage);
    QVERIFY(f.env.recorder.entries.isEmpty());
}

void TestWebZone::newWindowsRefused() {
    Fixture f;
    QVERIFY(test::writeText(f.env.dir() + QLatin1String("/other.html"),
                            "<body style='background:#f00'></body>"));
    // The page follows its own link as soon as it is loaded.
    auto w = f.board(QStringLiteral("link.html"),
                     "<body style='margin:0;background:rgb(30,160,90)'>"
                     "<a id='out' href='other.html' target='_blank'>out</a>"
                     "<script>window.onload=function(){"
                     "document.getElementById('out').click();};</script></body>");
    const QList<QWidget*> before = QApplication::topLevelWidgets();
    QWidget* view = w->mediaZone()->player();
    QVERIFY(view);
    QTRY_COMPARE_WITH_TIMEOUT(view->property("refusedWindows").toInt(), 1, kLoadMs);
    QTest::qWait(300);
    QCOMPARE(QApplication::topLevelWidgets(), before);
    QCOMPARE(view->property("url").toUrl(),
             QUrl::fromLocalFile(f.env.dir() + QLatin1String("/link.html")));
    QCOMPARE(QColor(w->grab().toImage().pixel(zoneOf(*w).center())), kPage);
}

int main(int argc, char** argv) {
    // The web engine is loaded after the application starts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestWebZone t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "tst_webzone.moc"
