// How long an edit takes to show in an open preview: from an editor publishing a
// draft to the end of the preview's repaint, on a real window.
#include "app/benchworld.h"
#include "app/cliutil.h"
#include "board/boardengine.h"
#include "board/boardview.h"
#include "board/previewwindow.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/themedrafts.h"
#include "data/wincolor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <vector>

namespace quoteria {

namespace {

// Delivers the view's paint events itself, to note when a repaint of the whole
// board (title and table together: nothing else repaints both) ends.
class PaintProbe : public QObject {
public:
    explicit PaintProbe(PreviewWindow& preview) : m_preview(preview) {
        preview.view()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_preview.view() || event->type() != QEvent::Paint)
            return false;
        const QRect r = static_cast<QPaintEvent*>(event)->rect();
        const BoardEngine& e = m_preview.engine();
        const bool whole = r.contains(e.zonePx(BoardEngine::ZoneTitle)) &&
                           r.contains(e.zonePx(BoardEngine::ZoneTable));
        watched->event(event);
        if (whole)
            wholeRepaints++;
        return true;
    }
    int wholeRepaints = 0;

private:
    PreviewWindow& m_preview;
};

// Runs the event loop until the probe has seen one more whole repaint; false after 5 s.
bool waitForRepaint(PaintProbe& probe, int seen) {
    QElapsedTimer guard;
    guard.start();
    while (probe.wholeRepaints == seen) {
        if (guard.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace

int benchPreviewEditCommand(const QStringList& args) {
    int edits = 300;
    if (args.contains(QStringLiteral("--edits")))
        edits = qBound(10, cli::optionValue(args, QStringLiteral("--edits")).toInt(), 100000);

    BenchWorld world;
    if (!world.open())
        return 1;
    AppContext& ctx = *world.ctx;
    const qint64 key = themeKeyOf(world.db, demoThemeName());
    PreviewWindow preview(ctx, key, 15);
    preview.show();
    PaintProbe probe(preview);
    preview.view()->update();
    if (!waitForRepaint(probe, 0)) {
        cli::err(QStringLiteral("The preview was never painted."));
        return 1;
    }

    // Typing into the title and picking colours, one draft per keystroke.
    BoardTheme edited = ctx.themes.load(key);
    const QString title = edited.ttlname;
    std::vector<double> latency, reload;
    latency.reserve(size_t(edits));
    QElapsedTimer clock;
    for (int i = 0; i < edits; ++i) {
        edited.ttlname = title + QString::number(i);
        edited.ttlcolor = colorFromWin((i * 2654435761u) & 0xffffff);
        const int seen = probe.wholeRepaints;
        clock.start();
        ctx.drafts.setThemeRow(key, edited);
        if (!waitForRepaint(probe, seen)) {
            cli::err(QStringLiteral("Edit %1 never showed.").arg(i));
            return 1;
        }
        latency.push_back(clock.nsecsElapsed() / 1.0e6);
        // The reload alone, without the event loop around it.
        clock.start();
        preview.reload();
        reload.push_back(clock.nsecsElapsed() / 1.0e6);
        waitForRepaint(probe, probe.wholeRepaints);
    }
    ctx.drafts.clear(key, ThemeDrafts::ThemeRow);

    const Spread shown = spreadOf(latency), built = spreadOf(reload);
    cli::out(QStringLiteral("preview edit benchmark: demo theme at %1x%2, %3 edits of the title")
                 .arg(preview.width())
                 .arg(preview.height())
                 .arg(edits));
    cli::out(QStringLiteral("draft to repainted preview: median %1 ms, 99th percentile %2 ms, "
                            "max %3 ms")
                 .arg(shown.median, 0, 'f', 3)
                 .arg(shown.p99, 0, 'f', 3)
                 .arg(shown.max, 0, 'f', 3));
    cli::out(QStringLiteral("reload alone: median %1 ms, 99th percentile %2 ms")
                 .arg(built.median, 0, 'f', 3)
                 .arg(built.p99, 0, 'f', 3));
    cli::out(QStringLiteral("target (p99 <= 100 ms): %1")
                 .arg(shown.p99 <= 100.0 ? QStringLiteral("met") : QStringLiteral("NOT met")));
    return 0;
}

} // namespace quoteria
