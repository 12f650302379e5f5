// From "Save All" in the currency list to the board's repaint of the changed row.
// The board runs the demonstration theme with its own timers stopped,
// so the only thing that can repaint it is the saved change. Prints timings.
//   bench_latency [rounds=20] [Scroll|Page]
#include "board/displaywindow.h"
#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/settingsstore.h"
#include "rates/currencylistwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace quoteria;

namespace {
// Notes when a board widget is painted after it is armed.
class PaintProbe : public QObject {
public:
    explicit PaintProbe(QWidget* board) : m_board(board) {}
    QElapsedTimer clock;
    qint64 firstPaint = -1;
    bool armed = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (armed && e->type() == QEvent::Paint && o->isWidgetType()) {
            auto* w = static_cast<QWidget*>(o);
            if (w == m_board || m_board->isAncestorOf(w)) {
                firstPaint = clock.nsecsElapsed();
                armed = false;
            }
        }
        return false;
    }

private:
    QWidget* m_board;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    const QString mode = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Scroll");

    test::AppFixture fx(true);
    if (!fx.ready)
        return 1;
    test::TestEnv& env = fx.env;
    Database& db = fx.db;
    SettingsStore& settings = fx.settings;
    AppContext& ctx = fx.ctx;
    ctx.session.userType = QStringLiteral("Admin");
    ctx.dataFolder = env.dir();
    settings.write(QStringLiteral("Disp"), QStringLiteral("theme"), QStringLiteral("name"),
                   demoThemeName());
    ctx.session.currentThemeKey = themeKeyOf(db, demoThemeName());
    BoardChoices choices;
    choices.themeKey = ctx.session.currentThemeKey;
    choices.motion = mode;
    auto* board = new DisplayWindow(ctx, choices);
    board->show();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // In Scroll mode Timer6 composes the redrawn cells onto the table, so it stays.
    for (int i = 1; i <= 9; ++i)
        if (!(i == 6 && mode == QLatin1String("Scroll")))
            board->view()->setRunning(BoardView::Timer(i), false);
    QCoreApplication::processEvents();

    CurrencyListWindow list(ctx);
    list.show();
    QAbstractItemModel* fg = list.findChild<QTableView*>(QStringLiteral("FG"))->model();
    PaintProbe probe(board);
    app.installEventFilter(&probe);

    // Nothing else may repaint the board, or the figure would mean nothing.
    settle.restart();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    probe.firstPaint = -1;
    probe.clock.start();
    probe.armed = true;
    while (probe.clock.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (probe.firstPaint >= 0) {
        std::printf("the board repaints without a save (after %.1f ms): no figure\n",
                    probe.firstPaint / 1e6);
        return 1;
    }
    probe.armed = false;

    QList<double> ms;
    int changedPixels = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const QImage before = board->grab().toImage();
        fg->setData(fg->index(0, 3), QString::number(100 + round * 7.25, 'f', 2));
        probe.firstPaint = -1;
        probe.clock.start();
        probe.armed = true;
        list.saveAll();
        while (probe.firstPaint < 0 && probe.clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (probe.firstPaint < 0) {
            std::printf("round %d: no repaint within 2 s\n", round);
            continue;
        }
        ms << probe.firstPaint / 1e6;
        const QImage after = board->grab().toImage();
        if (after != before)
            ++changedPixels;
    }
    if (ms.isEmpty())
        return 1;
    std::sort(ms.begin(), ms.end());
    std::printf("mode: %s\n", qPrintable(mode));
    std::printf("rounds: %lld, board repainted with a changed picture in %d\n",
                qlonglong(ms.size()), changedPixels);
    std::printf("save -> board repaint: median %.1f ms, max %.1f ms\n", ms.at(ms.size() / 2),
                ms.last());
    delete board;
    return 0;
}
