// Command-line jobs of the board: a headless picture of a theme, and the frame
// benchmark. Both run the real engine on an offscreen surface.
#include "app/benchworld.h"
#include "app/cliutil.h"
#include "board/boardengine.h"
#include "board/boardfit.h"
#include "board/boardlayout.h"
#include "board/boardloader.h"
#include "board/boardtimers.h"
#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/dbpath.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/mediastore.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "data/themestore.h"
#include "design/themerules.h"
#include "media/mediamode.h"
#include "media/videoframe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <sys/resource.h>
#include <vector>

namespace quoteria {

namespace {

using cli::err;
using cli::optionValue;
using cli::out;
using cli::parseSize;

// --fit and --rotate N: a board fitted to the screen and turned for one mounted on
// its side. False, said on stderr, for a turn the board cannot make.
bool parsePlacement(const QStringList& args, bool* fit, int* rotation) {
    *fit = args.contains(QStringLiteral("--fit"));
    *rotation = 0;
    if (!args.contains(QStringLiteral("--rotate")))
        return true;
    const QString text = optionValue(args, QStringLiteral("--rotate"));
    bool ok = false;
    const int degrees = text.trimmed().toInt(&ok);
    if (!ok || !BoardPlacement::validRotation(degrees)) {
        err(QStringLiteral("--rotate wants 0, 90, 180 or 270 degrees, not \"%1\"").arg(text));
        return false;
    }
    *rotation = degrees;
    return true;
}

// Paints the whole board onto a screen-sized picture, turned as placed.
void paintPlaced(BoardEngine& engine, const BoardPlacement& placement, QImage& screen) {
    QPainter p(&screen);
    p.setTransform(placement.toScreen());
    engine.paint(p, QRect(QPoint(0, 0), placement.frame()));
}

double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1.0e6;
}

long peakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

namespace {

// A zone that plays videos shows the first frame of its first video: a picture
// cannot wait for the player's clock.
void showFirstVideo(AppContext& ctx, const BoardTheme& theme, BoardEngine& engine) {
    if (readMediaSetup(theme, ctx.settings).mode != MediaMode::Video)
        return;
    for (const MediaItem& item : ctx.media.active(MediaStore::kVideo)) {
        const QImage still = firstVideoFrame(item.fileName);
        if (!still.isNull()) {
            engine.setMediaPicture(still);
            return;
        }
    }
}

// A headless picture of the board, or of the preview (at the theme's design size,
// on the preview's scale and speeds).
int renderCommand(const QStringList& args, bool preview) {
    const QString flag =
        preview ? QStringLiteral("--render-preview") : QStringLiteral("--render-board");
    const QString themeName = optionValue(args, flag);
    const QString file = optionValue(args, QStringLiteral("--out"));
    if (themeName.isEmpty() || file.isEmpty() || file.startsWith(QLatin1String("--"))) {
        err(QStringLiteral("usage: quoteria %1 THEME --out FILE.png%2 [--ms N]")
                .arg(flag, preview ? QString()
                                   : QStringLiteral(" [--size WxH] [--fit] [--rotate 0|90|180|270]")));
        return 2;
    }
    bool fit = false;
    int rotation = 0;
    if (!preview && !parsePlacement(args, &fit, &rotation))
        return 2;
    QSize size;
    const QString sizeText = optionValue(args, QStringLiteral("--size"));
    if (!preview && args.contains(QStringLiteral("--size")) && !parseSize(sizeText, &size)) {
        err(QStringLiteral("--size wants WIDTHxHEIGHT in pixels (16 to 8192), not \"%1\"")
                .arg(sizeText));
        return 2;
    }
    qint64 ms = 5000;
    if (args.contains(QStringLiteral("--ms"))) {
        bool ok = false;
        ms = optionValue(args, QStringLiteral("--ms")).toLongLong(&ok);
        if (!ok || ms < 0 || ms > 600000) {
            err(QStringLiteral("--ms wants a number of milliseconds from 0 to 600000"));
            return 2;
        }
    }

    DbLocation loc;
    Database db(QStringLiteral("quoteria-render"));
    if (!cli::openProgramDatabase(db, &loc))
        return 1;
    SettingsStore settings;
    DataEvents events;
    AppContext ctx(db, settings, events, Session{}, loc.dataFolder,
                   QCoreApplication::applicationDirPath());
    const BoardChoices choices = BoardChoices::stored(settings, db, themeName);
    if (choices.themeKey == 0)
        err(QStringLiteral("There is no theme named \"%1\".").arg(themeName));
    // The same checks and messages as the panel's Start Display and Preview.
    const auto check = checkTheme(ctx.themes, choices.themeKey);
    if (check != ThemeCheck::Ready) {
        messages().show(themeCheckMessage(check));
        return 1;
    }
    BoardLoader loader(ctx);
    const BoardInputs inputs =
        preview ? loader.loadPreview(choices.themeKey, previewTickerStep(choices.tickerSpeed))
                : loader.load(choices);
    const BoardTheme& t = inputs.theme;
    if (preview)
        size = previewWindowSize(t, inputs.motion.twipsPerPixel);
    else if (size.isEmpty())
        size = t.swidth >= 16 && t.sheight >= 16 && t.swidth <= 8192 && t.sheight <= 8192
                   ? QSize(int(t.swidth), int(t.sheight))
                   : QSize(1366, 768);

    SimulatedTimers timers;
    BoardEngine engine(timers);
    loader.drive(engine);
    const QDateTime started = QDateTime::currentDateTime();
    engine.setClock([&] { return started.addMSecs(timers.now()); });
    const BoardPlacement placement = BoardPlacement::of(inputs, size, fit, rotation);
    engine.load(inputs, placement);
    // As with "Start Scroll News" ticked at the start.
    engine.setTickerVisible(true);
    engine.getSnews();
    timers.setActive(4, true);
    timers.setActive(5, false);
    timers.advance(engine, ms);
    if (!preview)
        showFirstVideo(ctx, inputs.theme, engine);

    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    paintPlaced(engine, placement, frame);
    const QString target = QFileInfo(file).absoluteFilePath();
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!frame.convertToFormat(QImage::Format_RGB32).save(target, "PNG")) {
        err(QStringLiteral("Cannot write %1").arg(target));
        return 1;
    }
    out(QStringLiteral("%1 \"%2\" after %3 ms at %4x%5 written to %6")
            .arg(preview ? QStringLiteral("Preview") : QStringLiteral("Board"), themeName)
            .arg(ms)
            .arg(size.width())
            .arg(size.height())
            .arg(target));
    return 0;
}

} // namespace

int renderBoardCommand(const QStringList& args) {
    return renderCommand(args, false);
}

int renderPreviewCommand(const QStringList& args) {
    return renderCommand(args, true);
}

int benchBoardCommand(const QStringList& args) {
    int frames = 1200;
    int rows = 40;
    QSize size(1920, 1080);
    // --full repaints the whole screen every frame instead of the changed zones.
    const bool full = args.contains(QStringLiteral("--full"));
    if (args.contains(QStringLiteral("--frames")))
        frames = qBound(10, optionValue(args, QStringLiteral("--frames")).toInt(), 1000000);
    if (args.contains(QStringLiteral("--rows")))
        rows = qBound(1, optionValue(args, QStringLiteral("--rows")).toInt(), 2000);
    if (args.contains(QStringLiteral("--size")) &&
        !parseSize(optionValue(args, QStringLiteral("--size")), &size)) {
        err(QStringLiteral("--size wants WIDTHxHEIGHT in pixels"));
        return 2;
    }
    bool fit = false;
    int rotation = 0;
    if (!parsePlacement(args, &fit, &rotation))
        return 2;

    // A private database: the demonstration theme laid out for this screen (fitted:
    // as drawn, for the fit to scale), with the requested number of active
    // currencies, the title running as a marquee.
    BenchWorld world;
    if (!world.open())
        return 1;
    AppContext& ctx = *world.ctx;
    const int tpp = 15;
    // A turned screen shows the board on its side; a fitted board keeps its design size.
    const QSize laidOut = rotation % 180 ? size.transposed() : size;
    BoardTheme theme;
    if (!world.makeBoardTheme(fit ? QSize() : laidOut, rows, tpp, &theme))
        return 1;

    BoardChoices choices;
    choices.themeKey = theme.key;
    choices.twipsPerPixel = tpp;
    BoardLoader loader(ctx);
    SimulatedTimers timers;
    BoardEngine engine(timers);
    loader.drive(engine);
    const BoardInputs inputs = loader.load(choices);
    const BoardPlacement placement = BoardPlacement::of(inputs, size, fit, rotation);
    engine.load(inputs, placement);
    engine.setTickerVisible(true);
    engine.getSnews();
    timers.setActive(4, true);
    timers.setActive(5, false);

    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&frame);
    painter.setTransform(placement.toScreen());
    const QRect whole(QPoint(0, 0), placement.frame());
    engine.paint(painter, whole);
    QRect dirty[BoardEngine::ZoneCount];
    engine.takeDirty(dirty, BoardEngine::ZoneCount);

    std::vector<double> cost;
    cost.reserve(size_t(frames));
    double area = 0;
    QElapsedTimer wall;
    wall.start();
    qint64 simulated = 0;
    for (int f = 0; f < frames; ++f) {
        const double t0 = cpuMs();
        // 60 frames a second: the ticks due in this frame, then the changed zones.
        const qint64 until = (qint64(f) + 1) * 1000 / 60;
        timers.advance(engine, until - simulated);
        simulated = until;
        int n = engine.takeDirty(dirty, BoardEngine::ZoneCount);
        if (full) {
            dirty[0] = whole;
            n = 1;
        }
        for (int i = 0; i < n; ++i) {
            engine.paint(painter, dirty[i]);
            area += double(dirty[i].width()) * dirty[i].height();
        }
        cost.push_back(cpuMs() - t0);
    }
    const double seconds = wall.nsecsElapsed() / 1.0e9;
    painter.end();
    const QString picture = optionValue(args, QStringLiteral("--out"));
    if (!picture.isEmpty() && !frame.convertToFormat(QImage::Format_RGB32).save(picture, "PNG"))
        err(QStringLiteral("Cannot write %1").arg(picture));
    const Spread spread = spreadOf(cost);
    const long rssKb = peakRssKb();
    out(QStringLiteral(
            "board benchmark: %1x%2, %3 active currencies (%4 rows laid out, scrolling: %5), "
            "ticker and title marquee running")
            .arg(size.width())
            .arg(size.height())
            .arg(rows)
            .arg(engine.rowCount())
            .arg(timers.isActive(7) ? QStringLiteral("yes") : QStringLiteral("no")));
    if (fit || rotation != 0)
        out(QStringLiteral("placement: %1x%2 design %3, scale %4, turned %5 degrees")
                .arg(placement.design.width())
                .arg(placement.design.height())
                .arg(fit ? QStringLiteral("fitted") : QStringLiteral("not fitted"))
                .arg(placement.scale(), 0, 'f', 3)
                .arg(rotation));
    out(QStringLiteral("frames: %1 (%2 s of board time at 60 Hz)")
            .arg(frames)
            .arg(frames / 60.0, 0, 'f', 1));
    out(QStringLiteral("CPU per frame: median %1 ms, 99th percentile %2 ms, max %3 ms, mean %4 ms")
            .arg(spread.median, 0, 'f', 3)
            .arg(spread.p99, 0, 'f', 3)
            .arg(spread.max, 0, 'f', 3)
            .arg(spread.mean, 0, 'f', 3));
    out(QStringLiteral("repainted area per frame: %1 % of the screen")
            .arg(100.0 * area / frames / (double(size.width()) * size.height()), 0, 'f', 1));
    out(QStringLiteral("frames per second reached: %1").arg(frames / seconds, 0, 'f', 0));
    out(QStringLiteral("peak resident memory: %1 MB").arg(rssKb / 1024.0, 0, 'f', 1));
    const bool met = spread.median <= 2.0 && spread.p99 <= 5.0 && rssKb <= 150 * 1024;
    out(QStringLiteral("targets (median <= 2 ms, p99 <= 5 ms, peak <= 150 MB): %1")
            .arg(met ? QStringLiteral("met") : QStringLiteral("NOT met")));
    return 0;
}

} // namespace quoteria
