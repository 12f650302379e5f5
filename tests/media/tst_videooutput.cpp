#include "data/database.h"
#include "data/demodata.h"
#include "data/mediastore.h"
#include "data/themestore.h"
#include "media/mediamode.h"
#include "media/videoframe.h"
#include "media/videoplayeroutput.h"
#include "media/videoqueue.h"
#include "testclips.h"
#include "testsupport.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QVideoSink>
#include <QtTest>

using namespace quoteria;

namespace {

// A board with its media zone, and what the output reported.
struct Board {
    QWidget board;
    QWidget* host = new QWidget(&board);
    QRect zone{500, 40, 280, 160};
    VideoPlayerOutput* output = nullptr;
    int ended = 0, failed = 0;

    Board() {
        board.resize(800, 600);
        host->setGeometry(zone);
        output = new VideoPlayerOutput(host, &board);
        output->setListeners([this] { ++ended; }, [this] { ++failed; });
        board.show();
    }
};

} // namespace

class TestVideoOutput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void reports_data();
    void reports();
    void unplayableFileLoadedAheadIsRefusedAtOnce();
    void fullScreenRowCoversTheBoardAndTheNextReturns();
    void preparedPlayerTakesOverWithItsFirstFrame();
    void volumeOnTheHundredScale();
    void stopLeavesNothingToReport();
    void queueRunsOnRealPlayers();
    void demoDatabaseHasAPlayableVideo();

private:
    QString clip(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestVideoOutput::initTestCase() {
    QVERIFY(m_dir.isValid());
    // Clips over the queue's shortest play, so an end counts as played through.
    QVERIFY(test::makeClip(clip("a.webm"), 32));
    QVERIFY(test::makeClip(clip("b.webm"), 32, 320, 180, QStringLiteral("smpte")));
    QFile junk(clip("junk.webm"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
}

void TestVideoOutput::reports_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("started");
    QTest::addColumn<int>("ended");
    QTest::addColumn<int>("failed");

    QTest::newRow("a clip plays to its end") << "a.webm" << true << 1 << 0;
    QTest::newRow("a missing file is refused") << "none.webm" << false << 0 << 0;
    QTest::newRow("a folder is refused") << "" << false << 0 << 0;
}

void TestVideoOutput::reports() {
    QFETCH(QString, file);
    QFETCH(bool, started);
    QFETCH(int, ended);
    QFETCH(int, failed);
    Board b;
    QCOMPARE(b.output->play(clip(file), 50, false), started);
    // Nothing is reported from inside play().
    QCOMPARE(b.ended + b.failed, 0);
    if (started)
        QTRY_COMPARE_WITH_TIMEOUT(b.ended + b.failed, 1, 10000);
    QTest::qWait(300); // a second report would come now
    QCOMPARE(b.ended, ended);
    QCOMPARE(b.failed, failed);
}

void TestVideoOutput::unplayableFileLoadedAheadIsRefusedAtOnce() {
    Board b;
    // A file that is no video: found out while playing, or before.
    if (b.output->play(clip("junk.webm"), 50, false))
        QTRY_COMPARE_WITH_TIMEOUT(b.failed, 1, 10000);
    QCOMPARE(b.ended, 0);

    QVERIFY(b.output->play(clip("a.webm"), 50, false));
    b.output->prepare(clip("junk.webm"));
    QTRY_VERIFY_WITH_TIMEOUT(b.output->preparedBroken(), 10000);
    // Known to be broken: refused without loading it again.
    QVERIFY(!b.output->play(clip("junk.webm"), 50, false));
}

void TestVideoOutput::fullScreenRowCoversTheBoardAndTheNextReturns() {
    Board b;
    QVERIFY(b.output->play(clip("a.webm"), 50, true));
    QVERIFY(b.output->fullScreen());
    QCOMPARE(b.host->geometry(), b.board.rect());
    // In front of the board's other children.
    QCOMPARE(b.board.children().last(), b.host);
    QVERIFY(b.output->play(clip("b.webm"), 50, false));
    QCOMPARE(b.host->geometry(), b.zone);
    QVERIFY(b.output->play(clip("a.webm"), 50, true));
    b.output->stop();
    QCOMPARE(b.host->geometry(), b.zone);
}

void TestVideoOutput::preparedPlayerTakesOverWithItsFirstFrame() {
    Board b;
    QVERIFY(b.output->play(clip("a.webm"), 50, false));
    QMediaPlayer* first = b.output->currentPlayer();
    b.output->prepare(clip("b.webm"));
    QCOMPARE(b.output->preparedPath(), clip("b.webm"));
    QVERIFY(!b.output->startedPrepared());
    QTRY_COMPARE_WITH_TIMEOUT(b.ended, 1, 10000);

    QVERIFY(b.output->play(clip("b.webm"), 50, false));
    QVERIFY(b.output->startedPrepared());
    QVERIFY(b.output->currentPlayer() != first);
    QCOMPARE(b.output->currentPlayer()->source(), QUrl::fromLocalFile(clip("b.webm")));
    // The prepared player decoded its first frame while waiting: shown at once.
    QCOMPARE(b.output->surface()->following(), b.output->currentPlayer()->videoSink());
    QVERIFY(b.output->currentPlayer()->videoSink()->videoFrame().isValid());
    QCOMPARE(first->playbackState(), QMediaPlayer::StoppedState);
    QTRY_COMPARE_WITH_TIMEOUT(b.ended, 2, 10000);
    QCOMPARE(b.failed, 0);
}

void TestVideoOutput::volumeOnTheHundredScale() {
    Board b;
    QVERIFY(b.output->play(clip("a.webm"), 70, false));
    QCOMPARE(qRound(b.output->currentAudio()->volume() * 100), 70);
    QVERIFY(b.output->play(clip("b.webm"), 250, false));
    QCOMPARE(qRound(b.output->currentAudio()->volume() * 100), 100);
}

void TestVideoOutput::stopLeavesNothingToReport() {
    Board b;
    QVERIFY(b.output->play(clip("a.webm"), 50, false));
    b.output->stop();
    QVERIFY(b.output->currentPath().isEmpty());
    QVERIFY(!b.output->surface()->hasFrame());
    QTest::qWait(2000);
    QCOMPARE(b.ended + b.failed, 0);
}

void TestVideoOutput::queueRunsOnRealPlayers() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    MediaStore store(db);
    for (const char* f : {"a.webm", "junk.webm", "b.webm"}) {
        MediaItem m;
        m.type = MediaStore::kVideo;
        m.fileName = clip(f);
        QVERIFY(store.add(m) > 0);
    }
    Board b;
    VideoQueue queue(store, *b.output);
    QStringList played;
    b.output->setListeners(
        [&] {
            played << QFileInfo(b.output->currentPlayer()->source().toLocalFile()).fileName();
            queue.ended();
        },
        [&] { queue.failed(); });
    queue.start(5);
    // The broken file is passed over and the queue comes round to the first again.
    QTRY_VERIFY_WITH_TIMEOUT(played.size() >= 3, 20000);
    QCOMPARE(played.mid(0, 3), (QStringList{"a.webm", "b.webm", "a.webm"}));
    QVERIFY(!queue.waiting());
    queue.stop();
}

void TestVideoOutput::demoDatabaseHasAPlayableVideo() {
    test::TestEnv env;
    Database db;
    QVERIFY(db.create(env.dir() + QStringLiteral("/demo.db")));
    NewDatabaseOptions opt;
    opt.adminPassword = QStringLiteral("secret");
    opt.demo = true;
    opt.mediaFolder = env.dir() + QStringLiteral("/gallery");
    QVERIFY(populateNewDatabase(db, opt));
    MediaStore store(db);
    const QVector<MediaItem> videos = store.active(MediaStore::kVideo);
    QCOMPARE(videos.size(), 1);
    QCOMPARE(store.active(MediaStore::kPicture).size(), 3);
    for (const MediaItem& m : store.all())
        QVERIFY2(QFileInfo(m.fileName).size() > 0, qPrintable(m.fileName));
    SettingsStore prefs;
    const BoardTheme theme = ThemeStore(db, nullptr).loadByName(demoThemeName());
    QCOMPARE(readMediaSetup(theme, prefs).mode, MediaMode::Video);
    // The file decodes: its first frame is the drawn one, not black.
    const QImage still = firstVideoFrame(videos.first().fileName);
    QCOMPARE(still.size(), QSize(480, 560));
    const QColor middle = still.pixelColor(240, 100);
    QVERIFY2(middle.value() > 40, qPrintable(middle.name()));
}

QTEST_MAIN(TestVideoOutput)
#include "tst_videooutput.moc"
