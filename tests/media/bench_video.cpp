// Timings of the media zone's video (run by hand; not a test): the picture's gap
// at a change of video, memory over many changes, and the board's CPU and frame
// rate with a 1080p video in the zone. Makes its clips itself.
#include "board/boardloader.h"
#include "board/boardview.h"
#include "board/displaywindow.h"
#include "board/mediazone.h"
#include "data/demodata.h"
#include "data/mediastore.h"
#include "media/videoplayeroutput.h"
#include "testclips.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <unistd.h>

using namespace quoteria;

namespace {

double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1.0e6;
}

// Resident memory now, in kB.
long rssKb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Zone {
    QWidget board;
    QWidget* host = new QWidget(&board);
    VideoPlayerOutput* output;
    Zone() {
        board.resize(1280, 720);
        host->setGeometry(640, 40, 600, 340);
        output = new VideoPlayerOutput(host, &board);
        board.show();
    }
};

// The longest wait between two frames on the surface across each change of video,
// beside the longest wait within a video.
void gapBetweenVideos(const char* what, const QString& a, const QString& b, bool prepare) {
    Zone z;
    QElapsedTimer clock;
    clock.start();
    qint64 last = -1;
    double within = 0, across = 0, acrossMax = 0;
    bool changed = false;
    QList<double> gaps;
    QObject::connect(z.output->surface(), &VideoSurface::frameArrived, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last >= 0) {
            const double ms = (now - last) / 1.0e6;
            if (changed)
                gaps << ms;
            else
                within = qMax(within, ms);
        }
        changed = false;
        last = now;
    });
    int changes = 0;
    bool flip = false;
    z.output->setListeners(
        [&] {
            ++changes;
            flip = !flip;
            const QString next = flip ? b : a;
            changed = true;
            z.output->play(next, 0, false);
            if (prepare)
                z.output->prepare(flip ? a : b);
        },
        [] { std::printf("a clip failed\n"); });
    z.output->play(a, 0, false);
    if (prepare)
        z.output->prepare(b);
    while (changes < 20)
        spin(50);
    for (double g : gaps) {
        across += g;
        acrossMax = qMax(acrossMax, g);
    }
    std::printf("gap at a change of %s video (%s): median %.1f ms, max %.1f ms over %lld changes; "
                "longest wait within a video %.1f ms (one frame is 40 ms)\n",
                what, prepare ? "next file loaded ahead" : "nothing loaded ahead",
                gaps.isEmpty() ? 0.0 : [&] {
                    QList<double> s = gaps;
                    std::sort(s.begin(), s.end());
                    return s.at(s.size() / 2);
                }(),
                acrossMax, qlonglong(gaps.size()), within);
}

// Changes the video as soon as the new one shows its first frame.
void memoryOverChanges(const QString& a, const QString& b, int changes) {
    Zone z;
    int done = 0;
    bool flip = false;
    long before = 0;
    const auto change = [&] {
        flip = !flip;
        z.output->play(flip ? b : a, 0, false);
        z.output->prepare(flip ? a : b);
        ++done;
    };
    QObject::connect(z.output->surface(), &VideoSurface::frameArrived, [&] {
        if (done < changes + 20)
            QTimer::singleShot(0, change);
    });
    z.output->setListeners([&] { change(); }, [] {});
    change();
    while (done < 20)
        spin(20);
    before = rssKb();
    while (done < changes + 20)
        spin(20);
    spin(500);
    const long after = rssKb();
    std::printf("memory over %d changes of video: %ld kB before, %ld kB after, growth %.1f MB\n",
                changes, before, after, (after - before) / 1024.0);
}

// The board with the demo theme, its zone playing `clip` or showing nothing.
void boardLoad(test::AppFixture& f, const QString& clip, int seconds) {
    f.db.exec(QStringLiteral("delete from tblVideo"));
    f.db.exec(QStringLiteral("update tbltheme set media=?, scroll=1"),
              {clip.isEmpty() ? QStringLiteral("None") : QStringLiteral("Video")});
    if (!clip.isEmpty()) {
        MediaItem m;
        m.type = MediaStore::kVideo;
        m.fileName = clip;
        f.ctx.media.add(m);
    }
    BoardChoices choices = BoardChoices::stored(f.settings, f.db, demoThemeName());
    DisplayWindow w(f.ctx, choices);
    w.resize(1920, 1080);
    w.show();
    w.view()->setTableMoving(TableMotion::Scroll, true);
    int paints = 0;
    struct Counter : QObject {
        int* n;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                ++*n;
            return false;
        }
    } counter;
    counter.n = &paints;
    w.view()->installEventFilter(&counter);
    spin(1500); // the start's own work is not measured
    paints = 0;
    const double cpu0 = cpuMs();
    QElapsedTimer wall;
    wall.start();
    spin(seconds * 1000);
    const double cpu = cpuMs() - cpu0, ms = wall.elapsed();
    std::printf("board 1920x1080 %s: CPU %.0f%% of one core, %.1f board repaints/s\n",
                clip.isEmpty() ? "without video" : "with a 1080p video in the zone",
                100.0 * cpu / ms, paints * 1000.0 / ms);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.webm")),
                  b = dir.filePath(QStringLiteral("b.webm")),
                  s1 = dir.filePath(QStringLiteral("s1.webm")),
                  s2 = dir.filePath(QStringLiteral("s2.webm")),
                  hd = dir.filePath(QStringLiteral("hd.webm")),
                  hd1 = dir.filePath(QStringLiteral("hd1.webm")),
                  hd2 = dir.filePath(QStringLiteral("hd2.webm"));
    if (!test::makeClip(a, 25) || !test::makeClip(b, 25, 320, 180, QStringLiteral("smpte")) ||
        !test::makeClip(s1, 5) || !test::makeClip(s2, 5, 320, 180, QStringLiteral("smpte")) ||
        !test::makeClip(hd, 250, 1920, 1080) || !test::makeClip(hd1, 30, 1920, 1080) ||
        !test::makeClip(hd2, 30, 1920, 1080, QStringLiteral("smpte"))) {
        std::printf("cannot make the clips (gst-launch-1.0 with vp8enc is needed)\n");
        return 1;
    }
    gapBetweenVideos("320x180", a, b, true);
    gapBetweenVideos("320x180", a, b, false);
    gapBetweenVideos("1920x1080", hd1, hd2, true);
    gapBetweenVideos("1920x1080", hd1, hd2, false);
    memoryOverChanges(s1, s2, 200);
    test::AppFixture f(true);
    boardLoad(f, QString(), 8);
    boardLoad(f, hd, 8);
    return 0;
}
