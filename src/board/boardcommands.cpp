// Command-line jobs of the board: a headless picture of a theme, and the frame
// benchmark. Both run the real engine on an offscreen surface.
#include "board/boardengine.h"
#include "board/boardtimers.h"
#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/dbpath.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"

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

void err(const QString& s) {
    std::fprintf(stderr, "%s\n", qPrintable(s));
}
void out(const QString& s) {
    std::fprintf(stdout, "%s\n", qPrintable(s));
}

QString optionValue(const QStringList& args, const QString& name) {
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

bool parseSize(const QString& text, QSize* size) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QSize s(m.captured(1).toInt(), m.captured(2).toInt());
    if (s.width() < 16 || s.height() < 16 || s.width() > 8192 || s.height() > 8192)
        return false;
    *size = s;
    return true;
}

// The session values the control panel would set from its stored settings.
void loadSession(AppContext& ctx) {
    SettingsStore& s = ctx.settings;
    ctx.session.displayMode = s.read(QStringLiteral("Display"), QStringLiteral("style"),
                                     QStringLiteral("type"), QStringLiteral("Scroll"));
    ctx.session.pageInterval =
        qMax(1, int(s.readNumber(QStringLiteral("Disp"), QStringLiteral("theme"),
                                 QStringLiteral("int"), 3) *
                    1000));
    ctx.session.tickerSpeed =
        s.readInt(QStringLiteral("display"), QStringLiteral("scroll"), QStringLiteral("speed"), 30);
    ctx.session.twipsPerPixel = 15;
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

int renderBoardCommand(const QStringList& args) {
    const QString themeName = optionValue(args, QStringLiteral("--render-board"));
    const QString file = optionValue(args, QStringLiteral("--out"));
    if (themeName.isEmpty() || file.isEmpty() || file.startsWith(QLatin1String("--"))) {
        err(QStringLiteral(
            "usage: quoteria --render-board THEME --out FILE.png [--size WxH] [--ms N]"));
        return 2;
    }
    QSize size;
    const QString sizeText = optionValue(args, QStringLiteral("--size"));
    if (args.contains(QStringLiteral("--size")) && !parseSize(sizeText, &size)) {
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

    const DbLocation loc = readDbPath();
    if (loc.path.isEmpty()) {
        err(loc.error);
        return 1;
    }
    Database db(QStringLiteral("quoteria-render"));
    if (!db.open(loc.path)) {
        err(db.lastError());
        return 1;
    }
    SettingsStore settings;
    DataEvents events;
    AppContext ctx{db,        settings,       events,
                   Session{}, loc.dataFolder, QCoreApplication::applicationDirPath()};
    loadSession(ctx);
    ctx.session.currentThemeKey = themeKeyOf(db, themeName);
    if (ctx.session.currentThemeKey == 0)
        err(QStringLiteral("There is no theme named \"%1\".").arg(themeName));
    // The same checks and messages as the panel's Start Display.
    if (!db.fetchOne(QStringLiteral("select * from tblpos where themeauto=?"),
                     {ctx.session.currentThemeKey})) {
        messages().show(QStringLiteral("Please Define the position and try again"));
        return 1;
    }
    if (!db.fetchOne(QStringLiteral("select * from tblheader where themeauto=?"),
                     {ctx.session.currentThemeKey})) {
        messages().show(QStringLiteral("Please Define the header details "));
        return 1;
    }
    if (size.isEmpty()) {
        const BoardTheme t = loadBoardTheme(db, ctx.session.currentThemeKey);
        size = t.swidth >= 16 && t.sheight >= 16 && t.swidth <= 8192 && t.sheight <= 8192
                   ? QSize(int(t.swidth), int(t.sheight))
                   : QSize(1366, 768);
    }

    SimulatedTimers timers;
    BoardEngine engine(ctx, timers);
    const QDateTime started = QDateTime::currentDateTime();
    engine.setClock([&] { return started.addMSecs(timers.now()); });
    engine.load(size);
    // As with "Start Scroll News" ticked at the start of the board.
    engine.setTickerVisible(true);
    engine.getSnews();
    timers.setActive(4, true);
    timers.setActive(5, false);
    timers.advance(engine, ms);

    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter p(&frame);
        engine.paint(p, frame.rect());
    }
    const QString target = QFileInfo(file).absoluteFilePath();
    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!frame.convertToFormat(QImage::Format_RGB32).save(target, "PNG")) {
        err(QStringLiteral("Cannot write %1").arg(target));
        return 1;
    }
    out(QStringLiteral("Board \"%1\" after %2 ms at %3x%4 written to %5")
            .arg(themeName)
            .arg(ms)
            .arg(size.width())
            .arg(size.height())
            .arg(target));
    return 0;
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

    // A private database: the demonstration theme laid out for this screen, with the
    // requested number of active currencies, the title running as a marquee.
    QTemporaryDir dir;
    Database db(QStringLiteral("quoteria-bench"));
    NewDatabaseOptions opt;
    opt.adminPassword = QStringLiteral("bench");
    opt.demo = true;
    if (!dir.isValid() || !db.create(dir.filePath(QStringLiteral("bench.db"))) ||
        !populateNewDatabase(db, opt)) {
        err(QStringLiteral("Cannot build the benchmark database: %1").arg(db.lastError()));
        return 1;
    }
    const qint64 key = themeKeyOf(db, demoThemeName());
    const int tpp = 15;
    const double fx = size.width() * tpp / 2.0 / 10245.0, fy = size.height() * tpp / 2.0 / 5760.0;
    const auto posRec =
        db.fetchOne(QStringLiteral("select * from tblpos where themeauto=?"), {key});
    QVariantMap pos;
    for (const char* zone : {"logo", "time", "tbl", "video", "me", "ttl", "news"})
        for (const char* edge : {"left", "top", "width", "height"}) {
            const QString c = QLatin1String(zone) + QLatin1String(edge);
            const bool horizontal = QLatin1String(edge) == QLatin1String("left") ||
                                    QLatin1String(edge) == QLatin1String("width");
            pos[c] = posRec->value(c).toDouble() * (horizontal ? fx : fy);
        }
    db.update(QStringLiteral("tblpos"), QStringLiteral("themeauto"), key, pos);
    db.update(QStringLiteral("tbltheme"), QStringLiteral("themeauto"), key,
              {{QStringLiteral("scroll"), 1},
               {QStringLiteral("colwidth"), QStringLiteral("600;2400;1600;1600;1600;0;0")}});
    const QVector<QSqlRecord> demo =
        db.fetchAll(QStringLiteral("select * from tblCurr order by pos"));
    for (int i = int(demo.size()); i < rows; ++i) {
        QVariantMap r;
        const QSqlRecord& src = demo[i % demo.size()];
        for (const char* c : {"currName", "colum1", "colum2", "img", "vstate"})
            r[QLatin1String(c)] = src.value(QLatin1String(c));
        r[QStringLiteral("colum3")] = QString::number(1.0 + i / 100.0, 'f', 4);
        r[QStringLiteral("active")] = 1;
        r[QStringLiteral("pos")] = i + 1;
        db.insert(QStringLiteral("tblCurr"), r);
    }
    db.exec(QStringLiteral("update tblCurr set active=0 where pos>?"), {rows});

    SettingsStore settings(dir.filePath(QStringLiteral("config")));
    DataEvents events;
    AppContext ctx{db,        settings,   events,
                   Session{}, dir.path(), QCoreApplication::applicationDirPath()};
    ctx.session.currentThemeKey = key;
    ctx.session.twipsPerPixel = tpp;

    SimulatedTimers timers;
    BoardEngine engine(ctx, timers);
    engine.load(size);
    engine.setTickerVisible(true);
    engine.getSnews();
    timers.setActive(4, true);
    timers.setActive(5, false);

    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&frame);
    engine.paint(painter, frame.rect());
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
            dirty[0] = frame.rect();
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
    std::vector<double> sorted = cost;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double p99 = sorted[std::min(sorted.size() - 1, size_t(double(sorted.size()) * 0.99))];
    const double total = std::accumulate(cost.begin(), cost.end(), 0.0);
    const long rssKb = peakRssKb();
    out(QStringLiteral(
            "board benchmark: %1x%2, %3 active currencies (%4 rows laid out, scrolling: %5), "
            "ticker and title marquee running")
            .arg(size.width())
            .arg(size.height())
            .arg(rows)
            .arg(engine.rowCount())
            .arg(timers.isActive(7) ? QStringLiteral("yes") : QStringLiteral("no")));
    out(QStringLiteral("frames: %1 (%2 s of board time at 60 Hz)")
            .arg(frames)
            .arg(frames / 60.0, 0, 'f', 1));
    out(QStringLiteral("CPU per frame: median %1 ms, 99th percentile %2 ms, max %3 ms, mean %4 ms")
            .arg(median, 0, 'f', 3)
            .arg(p99, 0, 'f', 3)
            .arg(sorted.back(), 0, 'f', 3)
            .arg(total / frames, 0, 'f', 3));
    out(QStringLiteral("repainted area per frame: %1 % of the screen")
            .arg(100.0 * area / frames / (double(size.width()) * size.height()), 0, 'f', 1));
    out(QStringLiteral("frames per second reached: %1").arg(frames / seconds, 0, 'f', 0));
    out(QStringLiteral("peak resident memory: %1 MB").arg(rssKb / 1024.0, 0, 'f', 1));
    const bool met = median <= 2.0 && p99 <= 5.0 && rssKb <= 150 * 1024;
    out(QStringLiteral("targets (median <= 2 ms, p99 <= 5 ms, peak <= 150 MB): %1")
            .arg(met ? QStringLiteral("met") : QStringLiteral("NOT met")));
    return 0;
}

} // namespace quoteria
