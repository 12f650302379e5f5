#include "data/database.h"
#include "data/mediastore.h"
#include "media/videoqueue.h"
#include "testsupport.h"

#include <QtTest>

using namespace quoteria;

namespace {

// Plays what is not marked broken; records every attempt ("name", "name*" full screen).
struct FakeOutput : VideoOutput {
    QStringList broken;
    QStringList attempts;
    QList<int> volumes;
    QStringList prepared;
    int stops = 0;
    void prepare(const QString& path) override { prepared << path; }
    bool play(const QString& path, int volume, bool fullScreen) override {
        attempts << path + (fullScreen ? QStringLiteral("*") : QString());
        volumes << volume;
        return !broken.contains(path);
    }
    void stop() override { ++stops; }
};

struct FakeClock : QueueClock {
    qint64* now;
    int* pendingMs;
    std::function<void()>* wake;
    qint64 nowMs() const override { return *now; }
    void wakeAfter(int ms, std::function<void()> w) override {
        *pendingMs = ms;
        *wake = std::move(w);
    }
    void cancel() override {
        *pendingMs = 0;
        *wake = nullptr;
    }
};

struct Fixture {
    test::TestEnv env;
    Database db;
    MediaStore store{db};
    FakeOutput output;
    qint64 now = 0;
    int pendingMs = 0;
    std::function<void()> wake;
    QStringList log;
    std::unique_ptr<VideoQueue> queue;

    Fixture() {
        if (!env.makeDatabase(db))
            qFatal("no database: %s", qPrintable(db.lastError()));
        auto clock = std::make_unique<FakeClock>();
        clock->now = &now;
        clock->pendingMs = &pendingMs;
        clock->wake = &wake;
        queue = std::make_unique<VideoQueue>(store, output, std::move(clock),
                                             [this](const QString& line) { log << line; });
    }
    // "name" or "name*" (full screen), active.
    void add(const QString& spec) {
        MediaItem m;
        m.type = MediaStore::kVideo;
        m.fullScreen = spec.endsWith(QLatin1Char('*'));
        m.fileName = m.fullScreen ? spec.chopped(1) : spec;
        QVERIFY(store.add(m) > 0);
    }
    // The queue's videos, of which `broken` cannot be played.
    void fill(const QStringList& videos, const QStringList& broken) {
        for (const QString& v : videos)
            add(v);
        output.broken = broken;
    }
    void setActive(const QString& name, bool on) {
        for (MediaItem m : store.all())
            if (m.fileName == name) {
                m.active = on;
                QVERIFY(store.update(m));
            }
    }
};

} // namespace

class TestVideoQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void script_data();
    void script();
    void volumeIsTheThemesTimesTen();
    void preparesTheFollowingVideo_data();
    void preparesTheFollowingVideo();
    void eventsAfterStopAreIgnored();
};

void TestVideoQueue::script_data() {
    QTest::addColumn<QStringList>("videos");
    QTest::addColumn<QStringList>("broken");
    // After start: end (played through), short (ended at once), fail (found
    // unplayable later), wake (the pause is over), off:X / on:X (deactivate or
    // activate), add:X, drop (the table is gone), tick:MS (time passes).
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("attempts");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("logLines");
    QTest::addColumn<bool>("waiting");

    const QStringList abc{"a", "b", "c"};
    QTest::newRow("in order, round again after the last")
        << abc << QStringList{} << QStringList{"end", "end", "end"}
        << QStringList{"a", "b", "c", "a"} << 0 << 0 << false;
    QTest::newRow("full screen flag per video")
        << QStringList{"a*", "b"} << QStringList{} << QStringList{"end", "end"}
        << QStringList{"a*", "b", "a*"} << 0 << 0 << false;
    QTest::newRow("no videos: nothing plays, no pause")
        << QStringList{} << QStringList{} << QStringList{} << QStringList{} << 0 << 0 << false;
    QTest::newRow("broken file passed over at once")
        << abc << QStringList{"b"} << QStringList{"end"} << QStringList{"a", "b", "c"} << 2 << 0
        << false;
    QTest::newRow("broken last file wraps to the first")
        << abc << QStringList{"c"} << QStringList{"end", "end"} << QStringList{"a", "b", "c", "a"}
        << 0 << 0 << false;
    QTest::newRow("nothing playable: one round, then a pause")
        << abc << abc << QStringList{} << QStringList{"a", "b", "c"} << 2 << 1 << true;
    QTest::newRow("after the pause one more round")
        << abc << abc << QStringList{"wake"} << QStringList{"a", "b", "c", "a", "b", "c"} << 2 << 2
        << true;
    QTest::newRow("a file mended during the pause plays")
        << QStringList{"a", "b"} << QStringList{"a", "b"} << QStringList{"mend:b", "wake"}
        << QStringList{"a", "b", "a", "b"} << 1 << 1 << false;
    QTest::newRow("failures found later count too")
        << QStringList{"a", "b"} << QStringList{} << QStringList{"fail", "fail"}
        << QStringList{"a", "b"} << 1 << 1 << true;
    QTest::newRow("a file ending at once counts as unplayable")
        << QStringList{"a", "b"} << QStringList{} << QStringList{"short", "short"}
        << QStringList{"a", "b"} << 1 << 1 << true;
    QTest::newRow("a played file starts the count again")
        << abc << QStringList{"b", "c"} << QStringList{"end", "end"}
        << QStringList{"a", "b", "c", "a", "b", "c", "a"} << 0 << 0 << false;
    QTest::newRow("queue read again: a deactivated video is left out")
        << abc << QStringList{} << QStringList{"off:b", "end"} << QStringList{"a", "c"} << 1 << 0
        << false;
    QTest::newRow("queue read again: an added video joins")
        << QStringList{"a"} << QStringList{} << QStringList{"add:d", "end", "end"}
        << QStringList{"a", "d", "a"} << 0 << 0 << false;
    QTest::newRow("position past the shortened queue starts again")
        << abc << QStringList{} << QStringList{"end", "end", "off:b", "off:c", "end"}
        << QStringList{"a", "b", "c", "a"} << 0 << 0 << false;
    QTest::newRow("last video deactivated: nothing more plays")
        << QStringList{"a"} << QStringList{} << QStringList{"off:a", "end"} << QStringList{"a"} << 1
        << 0 << false;
    QTest::newRow("unreadable queue pauses")
        << QStringList{"a"} << QStringList{} << QStringList{"drop", "end"} << QStringList{"a"} << 1
        << 1 << true;
}

void TestVideoQueue::script() {
    QFETCH(QStringList, videos);
    QFETCH(QStringList, broken);
    QFETCH(QStringList, script);
    QFETCH(QStringList, attempts);
    QFETCH(int, index);
    QFETCH(int, logLines);
    QFETCH(bool, waiting);
    Fixture f;
    f.fill(videos, broken);
    f.queue->start(5);
    for (const QString& step : script) {
        f.now += 60000; // every file plays a minute unless it ends at once
        if (step == QLatin1String("end")) {
            f.queue->ended();
        } else if (step == QLatin1String("short")) {
            f.now -= 60000 - 200;
            f.queue->ended();
        } else if (step == QLatin1String("fail")) {
            f.queue->failed();
        } else if (step == QLatin1String("wake")) {
            QCOMPARE(f.pendingMs, VideoQueue::kRetryMs);
            QVERIFY(f.wake);
            auto w = f.wake;
            w();
        } else if (step.startsWith(QLatin1String("off:"))) {
            f.setActive(step.mid(4), false);
        } else if (step.startsWith(QLatin1String("add:"))) {
            f.add(step.mid(4));
        } else if (step.startsWith(QLatin1String("mend:"))) {
            f.output.broken.removeAll(step.mid(5));
        } else if (step == QLatin1String("drop")) {
            f.db.exec(QStringLiteral("DROP TABLE tblVideo"));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
    QCOMPARE(f.output.attempts, attempts);
    QCOMPARE(f.queue->videoIndex(), index);
    QCOMPARE(f.log.size(), logLines);
    QCOMPARE(f.queue->waiting(), waiting);
    // A pause always has its wake-up pending, and only a pause.
    QCOMPARE(f.pendingMs, waiting ? VideoQueue::kRetryMs : 0);
    QCOMPARE(f.queue->playing(), !waiting && !f.output.attempts.isEmpty() &&
                                     f.store.active(MediaStore::kVideo).size() > 0);
}

void TestVideoQueue::volumeIsTheThemesTimesTen() {
    Fixture f;
    f.add(QStringLiteral("a"));
    f.queue->start(7);
    f.now += 60000;
    f.queue->ended();
    QCOMPARE(f.output.volumes, (QList<int>{70, 70}));
}

void TestVideoQueue::preparesTheFollowingVideo_data() {
    QTest::addColumn<QStringList>("videos");
    QTest::addColumn<QStringList>("broken");
    QTest::addColumn<int>("ends");
    // What the output was told to load ahead, once per file that started.
    QTest::addColumn<QStringList>("prepared");

    QTest::newRow("the next row, wrapping after the last")
        << QStringList{"a", "b", "c"} << QStringList{} << 3 << QStringList{"b", "c", "a", "b"};
    QTest::newRow("a single video follows itself")
        << QStringList{"a"} << QStringList{} << 1 << QStringList{"a", "a"};
    QTest::newRow("nothing ahead of a file that did not start")
        << QStringList{"a", "b", "c"} << QStringList{"b"} << 1 << QStringList{"b", "a"};
    QTest::newRow("nothing playable, nothing loaded ahead")
        << QStringList{"a", "b"} << QStringList{"a", "b"} << 0 << QStringList{};
}

void TestVideoQueue::preparesTheFollowingVideo() {
    QFETCH(QStringList, videos);
    QFETCH(QStringList, broken);
    QFETCH(int, ends);
    QFETCH(QStringList, prepared);
    Fixture f;
    f.fill(videos, broken);
    f.queue->start(5);
    for (int i = 0; i < ends; ++i) {
        f.now += 60000;
        f.queue->ended();
    }
    QCOMPARE(f.output.prepared, prepared);
}

void TestVideoQueue::eventsAfterStopAreIgnored() {
    Fixture f;
    f.add(QStringLiteral("a"));
    f.add(QStringLiteral("b"));
    f.output.broken = QStringList{"a", "b"};
    f.queue->start(5);
    QVERIFY(f.queue->waiting());
    f.queue->stop();
    QVERIFY(!f.queue->waiting());
    QCOMPARE(f.pendingMs, 0);
    f.output.broken.clear();
    f.queue->ended();
    f.queue->failed();
    QCOMPARE(f.output.attempts, (QStringList{"a", "b"}));
}

QTEST_GUILESS_MAIN(TestVideoQueue)
#include "tst_videoqueue.moc"
