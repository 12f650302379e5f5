// Benchmark (run by hand; not a test): how long a board with an HTML page in its
// media zone takes from its start until the page shows. The first start in a
// process also brings up the web engine, so each cold start runs in a process of
// its own; warm starts follow in one process.
#include "board/boardview.h"
#include "board/displaywindow.h"
#include "board/mediazone.h"
#include "board/webzoneloader.h"
#include "data/demodata.h"
#include "benchfigures.h"
#include "boardfixture.h"
#include "testsupport.h"
#include "../media/mediafixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <unistd.h>

using namespace quoteria;

namespace {

const QColor kPage(30, 160, 90);

struct Start {
    double loaded = -1; // the page's load finished
    double shown = -1;  // a picture of the board shows the page
};

// One board start on a fresh fixture; -1 for what did not happen within 30 s.
Start startOnce() {
    test::BoardFixture f;
    const QString page = f.env.dir() + QLatin1String("/page.html");
    test::writeText(page, "<body style='margin:0;background:rgb(30,160,90)'><h1>Rates</h1></body>");
    f.placeMediaZone(QRect(300, 200, 300, 200));
    f.settings.set(settings::HtmlOn, true);
    f.settings.set(settings::HtmlSource, page);
    Start s;
    QElapsedTimer clock;
    clock.start();
    const auto board = f.board();
    DisplayWindow& w = *board;
    QWidget* view = w.mediaZone()->player();
    if (!view)
        return s;
    QWidget* host = w.view()->mediaHost(BoardView::Media::WebPage);
    const QPoint centre = host->mapTo(&w, host->rect().center());
    QSignalSpy loaded(view, SIGNAL(loadFinished(bool)));
    while (clock.elapsed() < 30000) {
        // Returns at once on the signal, so its time is taken to the millisecond.
        if (loaded.isEmpty() && loaded.wait(5))
            s.loaded = clock.nsecsElapsed() / 1e6;
        else
            QTest::qWait(5);
        if (!loaded.isEmpty() && QColor(w.grab(QRect(centre, QSize(1, 1))).toImage().pixel(0, 0)) == kPage) {
            s.shown = clock.nsecsElapsed() / 1e6;
            break;
        }
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    webzone::setLibraryPath(QStringLiteral(QUOTERIA_WEBZONE_LIBRARY));
    const bool once = app.arguments().contains(QStringLiteral("--once"));
    if (once) {
        const Start s = startOnce();
        std::printf("%.1f %.1f\n", s.loaded, s.shown);
        return 0;
    }
    constexpr int kRounds = 5;
    QList<double> coldLoaded, coldShown, warmLoaded, warmShown;
    for (int i = 0; i < kRounds; ++i) {
        QProcess child;
        child.start(app.applicationFilePath(), {QStringLiteral("--once")});
        child.waitForFinished(60000);
        const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
        if (parts.size() == 2 && parts[1].toDouble() >= 0) {
            coldLoaded << parts[0].toDouble();
            coldShown << parts[1].toDouble();
        }
    }
    for (int i = 0; i < kRounds + 1; ++i) {
        const Start s = startOnce();
        // The first start in this process brings the engine up: not warm.
        if (i == 0 || s.shown < 0)
            continue;
        warmLoaded << s.loaded;
        warmShown << s.shown;
    }
    test::reportTimes("board start to page loaded, engine started with the board", coldLoaded);
    test::reportTimes("board start to page shown, engine started with the board", coldShown);
    test::reportTimes("board start to page loaded, engine already running", warmLoaded);
    test::reportTimes("board start to page shown, engine already running", warmShown);
    return 0;
}
