// --bench-window: the real board window on the current display for a while, its
// presented frames, CPU and memory measured as the diagnostics overlay shows them.
#include "app/benchworld.h"
#include "app/cliutil.h"
#include "board/boardview.h"
#include "board/displaywindow.h"
#include "board/framestats.h"
#include "data/helpers.h"
#include "data/settingkeys.h"
#include "design/themerules.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace quoteria {

int benchWindowCommand(const QStringList& args) {
    using cli::err;
    using cli::optionValue;
    using cli::out;
    int seconds = 10;
    bool present = false;
    const QString secondsText = optionValue(args, QStringLiteral("--seconds"), &present);
    if (present) {
        bool ok = false;
        seconds = secondsText.toInt(&ok);
        if (!ok || seconds < 1 || seconds > 3600) {
            err(QStringLiteral("--seconds wants a number from 1 to 3600"));
            return 2;
        }
    }
    QSize size;
    const QString sizeText = optionValue(args, QStringLiteral("--size"), &present);
    if (present && !cli::parseSize(sizeText, &size)) {
        err(QStringLiteral("--size wants WIDTHxHEIGHT in pixels (16 to 8192), not \"%1\"")
                .arg(sizeText));
        return 2;
    }
    const QString themeName = cli::argumentAfter(args, QStringLiteral("--theme"), 1);
    if (args.contains(QStringLiteral("--theme")) && themeName.isEmpty()) {
        err(QStringLiteral("--theme wants the name of a theme"));
        return 2;
    }

    // Private settings and database, so the run leaves the operator's untouched.
    BenchWorld world;
    if (!world.open())
        return 1;
    const bool fit = args.contains(QStringLiteral("--fit"));
    world.settings->set(settings::FitToScreen, fit);
    const QSize screenSize =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize();
    const QSize boardSize = size.isEmpty() ? screenSize : size;
    AppContext* ctx = world.ctx.get();
    std::unique_ptr<Database> programDb;
    std::unique_ptr<AppContext> programCtx;
    BoardChoices choices;
    if (themeName.isEmpty()) {
        // 40 scrolling rows, the title as a marquee and the ticker running; fitted,
        // as drawn, for the fit to scale it.
        BoardTheme theme;
        if (!world.makeBoardTheme(fit ? QSize() : boardSize, 40, 15, &theme))
            return 1;
        choices.themeKey = theme.key;
    } else {
        DbLocation loc;
        programDb = std::make_unique<Database>(QStringLiteral("quoteria-bench-window"));
        if (!cli::openProgramDatabase(*programDb, &loc))
            return 1;
        programCtx =
            std::make_unique<AppContext>(*programDb, *world.settings, world.events, Session{},
                                         loc.dataFolder, QCoreApplication::applicationDirPath());
        ctx = programCtx.get();
        choices = BoardChoices::stored(*world.settings, *programDb, themeName);
        if (choices.themeKey == 0) {
            err(QStringLiteral("There is no theme named \"%1\".").arg(themeName));
            return 1;
        }
        const auto check = checkTheme(ctx->themes, choices.themeKey);
        if (check != ThemeCheck::Ready) {
            err(themeCheckMessage(check));
            return 1;
        }
    }

    DisplayWindow window(*ctx, choices);
    if (!size.isEmpty()) {
        window.setWindowState(Qt::WindowNoState);
        window.setGeometry(QRect(QPoint(0, 0), size));
    }
    window.getSnews();
    window.picScroll()->show();
    window.view()->startTicker(TickerMotion::LeftTrain);
    FrameStats stats(window.nominalFrameMs());
    window.setFrameListener([&stats](qint64 ns) { stats.frame(ns); });
    window.show();
    const ProcessUsage start = ProcessUsage::now();
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    QApplication::exec();
    const FrameFigures figures = stats.figures(start, ProcessUsage::now());

    out(QStringLiteral("window benchmark: %1x%2 on the \"%3\" display, %4 s, theme %5, fit %6")
            .arg(window.width())
            .arg(window.height())
            .arg(QGuiApplication::platformName())
            .arg(seconds)
            .arg(themeName.isEmpty() ? QStringLiteral("benchmark (40 scrolling rows, ticker, "
                                                      "title marquee)")
                                     : QLatin1Char('"') + themeName + QLatin1Char('"'))
            .arg(fit ? QStringLiteral("on")
                                                        : QStringLiteral("off")));
    for (const QString& line : figures.lines())
        out(line);
    return 0;
}

} // namespace quoteria
