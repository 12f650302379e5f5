#include "data/database.h"
#include "data/mediastore.h"
#include "media/mediafiles.h"
#include "media/mediaplayers.h"
#include "media/pictureloader.h"
#include "media/slidesequence.h"
#include "media/videoplayeroutput.h"
#include "testsupport.h"

#include "mediafixtures.h"
#include "turnfixtures.h"

#include <QVideoFrame>
#include <QVideoSink>
#include <QtTest>

using namespace quoteria;
using test::writePicture;
using test::writeText;
using namespace quoteria::test::turn;

Q_DECLARE_METATYPE(MediaPlayerKind)

namespace {

// "R" ready, "B" broken, "P" still decoding.
void setStates(SlideSequence& s, const QString& states) {
    s.reset(states.size());
    for (int i = 0; i < states.size(); ++i)
        s.setState(i, states[i] == QLatin1Char('R')   ? SlideSequence::State::Ready
                      : states[i] == QLatin1Char('B') ? SlideSequence::State::Broken
                                                      : SlideSequence::State::Pending);
}

QByteArray propsList(const QStringList& names) {
    QByteArray out("<component><data>");
    for (const QString& n : names)
        out += "<item itemEvents='true' contentPath='" + n.toUtf8() + "' />";
    return out + "</data></component>\r\n";
}

} // namespace

class TestSlideshow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sequence_data();
    void sequence();
    void laterDecodeResumes();
    void loaderSizes();
    void playerSequence_data();
    void playerSequence();
    void frames_data();
    void frames();
    void reload();
    void writerList();
    void turnedSlideshow_data() { turnedCorners(); }
    void turnedSlideshow();
    void turnedVideoSurface_data() { turnedCorners(); }
    void turnedVideoSurface();
};

// Hold 1000 ms, change 500 ms, frames of 100 ms.
void TestSlideshow::sequence_data() {
    QTest::addColumn<QString>("states");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("incoming");
    QTest::addColumn<int>("changePercent");

    QTest::newRow("first shows at once") << "RRR" << 0 << 0 << -1 << 0;
    QTest::newRow("still holding") << "RRR" << 9 << 0 << -1 << 0;
    QTest::newRow("change begins") << "RRR" << 10 << 0 << 1 << 0;
    QTest::newRow("change halfway") << "RRR" << 12 << 0 << 1 << 40;
    QTest::newRow("second on show") << "RRR" << 15 << 1 << -1 << 0;
    QTest::newRow("last changes to first") << "RRR" << 40 << 2 << 0 << 0;
    QTest::newRow("wrapped") << "RRR" << 45 << 0 << -1 << 0;
    QTest::newRow("broken passed over") << "RBR" << 15 << 2 << -1 << 0;
    QTest::newRow("broken passed over on wrap") << "RRB" << 30 << 0 << -1 << 0;
    QTest::newRow("broken first") << "BRR" << 0 << 1 << -1 << 0;
    QTest::newRow("waits on a decode") << "RPR" << 30 << 0 << -1 << 0;
    QTest::newRow("waits for the first") << "PRR" << 30 << -1 << -1 << 0;
    QTest::newRow("one picture stays") << "R" << 100 << 0 << -1 << 0;
    QTest::newRow("one good among broken") << "BRB" << 100 << 1 << -1 << 0;
    QTest::newRow("all broken") << "BBB" << 100 << -1 << -1 << 0;
    QTest::newRow("empty") << "" << 100 << -1 << -1 << 0;
}

void TestSlideshow::sequence() {
    QFETCH(QString, states);
    QFETCH(int, frames);
    QFETCH(int, current);
    QFETCH(int, incoming);
    QFETCH(int, changePercent);
    SlideSequence s(1000, 500);
    setStates(s, states);
    for (int i = 0; i < frames; ++i)
        s.advance(100);
    QCOMPARE(s.current(), current);
    QCOMPARE(s.incoming(), incoming);
    QCOMPARE(qRound(s.change() * 100), changePercent);

    // One late frame lands where the small ones do.
    SlideSequence late(1000, 500);
    setStates(late, states);
    late.advance(frames * 100);
    QCOMPARE(late.current(), current);
    QCOMPARE(late.incoming(), incoming);
}

void TestSlideshow::laterDecodeResumes() {
    SlideSequence s(1000, 500);
    setStates(s, QStringLiteral("RP"));
    for (int i = 0; i < 30; ++i)
        s.advance(100);
    QCOMPARE(s.current(), 0);
    s.setState(1, SlideSequence::State::Ready);
    // The wait counted as holding: the change starts with the next frame.
    s.advance(100);
    QCOMPARE(s.incoming(), 1);
    s.advance(500);
    QCOMPARE(s.current(), 1);
}

// Decoded once per size, at that size; the old size shows while a new one decodes.
void TestSlideshow::loaderSizes() {
    QTemporaryDir dir;
    QVERIFY(writePicture(dir.filePath("1.png"), Qt::red)); // 40x30
    PictureLoader fit(PictureLoader::Scale::Fit);
    fit.load({dir.filePath("1.png"), dir.filePath("gone.png")}, QSize(80, 80));
    QTRY_COMPARE(fit.pending(), 0);
    QCOMPARE(fit.image(0).size(), QSize(80, 60));
    QVERIFY(fit.image(1).isNull());
    fit.resize(QSize(80, 80));
    QCOMPARE(fit.pending(), 0); // same size: nothing decoded again
    fit.resize(QSize(20, 20));
    QVERIFY(fit.pending() > 0);
    QCOMPARE(fit.image(0).size(), QSize(80, 60));
    QTRY_COMPARE(fit.pending(), 0);
    QCOMPARE(fit.image(0).size(), QSize(20, 15));

    PictureLoader cover(PictureLoader::Scale::Cover, 1.5);
    cover.load({dir.filePath("1.png")}, QSize(80, 80));
    QTRY_COMPARE(cover.pending(), 0);
    QCOMPARE(cover.image(0).size(), QSize(160, 120));
}

// Real files through a player: missing and undecodable pictures are passed over.
void TestSlideshow::playerSequence_data() {
    QTest::addColumn<QStringList>("names"); // "-" missing, "!" not a picture
    QTest::addColumn<int>("frames");        // of 100 ms; hold 1000, change 500
    QTest::addColumn<QString>("shown");

    const QStringList mixed{"1.png", "-", "2.png", "!", "3.png"};
    QTest::newRow("start") << mixed << 0 << "1.png";
    QTest::newRow("over a missing file") << mixed << 15 << "2.png";
    QTest::newRow("over a broken file") << mixed << 30 << "3.png";
    QTest::newRow("wrap") << mixed << 45 << "1.png";
    QTest::newRow("nothing to show") << QStringList{"-", "!"} << 20 << "";
}

void TestSlideshow::playerSequence() {
    QFETCH(QStringList, names);
    QFETCH(int, frames);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    QStringList listed;
    for (int i = 0; i < names.size(); ++i) {
        const QString& n = names[i];
        if (n == QLatin1String("-"))
            listed << QStringLiteral("gone%1.png").arg(i);
        else if (n == QLatin1String("!")) {
            listed << QStringLiteral("bad%1.jpg").arg(i);
            QVERIFY(writeText(dir.filePath(listed.last()), "not a picture"));
        } else {
            listed << n;
            QVERIFY(writePicture(dir.filePath(n), Qt::red));
        }
    }
    const QString list = dir.filePath(QStringLiteral("props.xml"));
    QVERIFY(writeText(list, propsList(listed)));
    ManualFrameClock clock;
    SlideshowPlayer player(MediaPlayerKind::Slide, list, &clock, nullptr, 1000, 500);
    player.resize(80, 60);
    QTRY_COMPARE(player.pending(), 0);
    for (int i = 0; i < frames; ++i)
        clock.advance(100);
    const int cur = player.sequence().current();
    QCOMPARE(cur < 0 ? QString() : QFileInfo(player.files().value(cur)).fileName(), shown);
}

// What a person sees: the first picture, and halfway through the change.
void TestSlideshow::frames_data() {
    QTest::addColumn<MediaPlayerKind>("kind");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QColor>("left");
    QTest::addColumn<QColor>("right");

    const QColor red(Qt::red), blue(Qt::blue), mix(128, 0, 127);
    QTest::newRow("fade start") << MediaPlayerKind::CrossFade << 0 << red << red;
    QTest::newRow("fade halfway") << MediaPlayerKind::CrossFade << 12 << mix << mix;
    QTest::newRow("fade done") << MediaPlayerKind::CrossFade << 15 << blue << blue;
    QTest::newRow("slide halfway") << MediaPlayerKind::Slide << 12 << red << blue;
    QTest::newRow("slide done") << MediaPlayerKind::Slide << 15 << blue << blue;
    QTest::newRow("pan zoom start") << MediaPlayerKind::PanZoom << 0 << red << red;
    QTest::newRow("pan zoom halfway") << MediaPlayerKind::PanZoom << 12 << mix << mix;
}

void TestSlideshow::frames() {
    QFETCH(MediaPlayerKind, kind);
    QFETCH(int, frames);
    QFETCH(QColor, left);
    QFETCH(QColor, right);
    QTemporaryDir dir;
    QVERIFY(writePicture(dir.filePath("gallery/1.png"), Qt::red));
    QVERIFY(writePicture(dir.filePath("gallery/2.png"), Qt::blue));
    QString list;
    if (kind == MediaPlayerKind::CrossFade) {
        list = mediafiles::albumPath(dir.path());
        QVERIFY(writeText(list, "<artworkinfo><albuminfo><artLocation>1.png</artLocation></albuminfo>"
                                "<albuminfo><artLocation>2.png</artLocation></albuminfo></artworkinfo>"));
    } else if (kind == MediaPlayerKind::Slide) {
        list = mediafiles::propsPath(dir.path());
        QVERIFY(writeText(list, propsList({"1.png", "2.png"})));
    } else {
        list = mediafiles::slidesPath(dir.path());
        QVERIFY(writeText(list, "<slideshow><image src=\"gallery\\1.png\" desc=\" \"/>"
                                "<image src=\"gallery\\2.png\" desc=\" \"/></slideshow>"));
    }
    ManualFrameClock clock;
    // 40x30 pictures fill an 80x60 zone exactly.
    SlideshowPlayer player(kind, list, &clock, nullptr, 1000, 500);
    player.resize(80, 60);
    player.show();
    QVERIFY(QTest::qWaitForWindowExposed(&player));
    QTRY_COMPARE(player.pending(), 0);
    for (int i = 0; i < frames; ++i)
        clock.advance(100);
    const QImage shot = player.grab().toImage();
    QVERIFY2(near(shot.pixel(10, 30), left), qPrintable(QColor(shot.pixel(10, 30)).name()));
    QVERIFY2(near(shot.pixel(70, 30), right), qPrintable(QColor(shot.pixel(70, 30)).name()));
}

// The list's Refresh on a running board: the player starts over with the new list.
void TestSlideshow::reload() {
    QTemporaryDir dir;
    for (const char* n : {"1.png", "2.png", "3.png"})
        QVERIFY(writePicture(dir.filePath(n), Qt::green));
    const QString list = dir.filePath("props.xml");
    QVERIFY(writeText(list, propsList({"1.png", "2.png"})));
    ManualFrameClock clock;
    SlideshowPlayer player(MediaPlayerKind::Slide, list, &clock, nullptr, 1000, 500);
    player.resize(80, 60);
    QTRY_COMPARE(player.pending(), 0);
    for (int i = 0; i < 15; ++i)
        clock.advance(100);
    QCOMPARE(player.sequence().current(), 1);

    QVERIFY(writeText(list, propsList({"3.png", "1.png"})));
    player.reload();
    QCOMPARE(player.files().size(), 2);
    QTRY_COMPARE(player.pending(), 0);
    QCOMPARE(QFileInfo(player.files().value(player.sequence().current())).fileName(),
             QStringLiteral("3.png"));
    // A resize decodes again without losing the place in the show.
    clock.advance(1500);
    player.resize(100, 70);
    QTRY_COMPARE(player.pending(), 0);
    QCOMPARE(player.sequence().current(), 1);
}

// The slide list as the board writes it names gallery copies the player finds.
void TestSlideshow::writerList() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    MediaStore store(db);
    const QString folder = env.dir();
    for (int i = 0; i < 2; ++i) {
        MediaItem m;
        m.fileName = QStringLiteral("C:\\old\\gallery\\%1.png").arg(i + 1);
        QVERIFY(store.add(m) > 0);
        QVERIFY(writePicture(QStringLiteral("%1/gallery/%2.png").arg(folder).arg(i + 1), Qt::red));
    }
    QVERIFY(createTXT1(store, folder));
    ManualFrameClock clock;
    std::unique_ptr<QWidget> host(new QWidget);
    host->resize(80, 60);
    QWidget* w = createMediaPlayer(MediaPlayerKind::PanZoom, mediafiles::slidesPath(folder),
                                   host.get(), &clock);
    auto* player = qobject_cast<SlideshowPlayer*>(w);
    QVERIFY(player);
    QCOMPARE(player->parentWidget(), host.get());
    QCOMPARE(player->files(), QStringList({folder + "/gallery/1.png", folder + "/gallery/2.png"}));
    host->show();
    QTRY_COMPARE(player->pending(), 0);
    QCOMPARE(player->sequence().current(), 0);
}

void TestSlideshow::turnedSlideshow() {
    QFETCH(int, rotation);
    QFETCH(QPoint, red);
    QFETCH(QPoint, green);
    QTemporaryDir dir;
    // Half the upright zone: it fits only when decoded for the upright size.
    const QString file = dir.filePath("gallery/1.png");
    QVERIFY(QDir().mkpath(dir.filePath("gallery")));
    QVERIFY(markedPicture(uprightOf(rotation) / 2).save(file));
    const QString list = mediafiles::albumPath(dir.path());
    QVERIFY(writeText(list, "<artworkinfo><albuminfo><artLocation>1.png</artLocation>"
                            "</albuminfo></artworkinfo>"));
    ManualFrameClock clock;
    SlideshowPlayer player(MediaPlayerKind::CrossFade, list, &clock, nullptr, 1000, 500);
    player.resize(80, 60);
    player.setRotation(rotation);
    player.show();
    QVERIFY(QTest::qWaitForWindowExposed(&player));
    QTRY_COMPARE(player.pending(), 0);
    QTRY_COMPARE(player.sequence().current(), 0);
    verifyCorners(player.grab().toImage(), red, green);
}

void TestSlideshow::turnedVideoSurface() {
    QFETCH(int, rotation);
    QFETCH(QPoint, red);
    QFETCH(QPoint, green);
    QVideoSink sink;
    sink.setVideoFrame(frameOf(markedPicture(uprightOf(rotation) / 2)));
    VideoSurface surface;
    surface.resize(80, 60);
    surface.setRotation(rotation);
    surface.follow(&sink);
    QVERIFY(surface.hasFrame());
    verifyCorners(surface.grab().toImage(), red, green);
}

QTEST_MAIN(TestSlideshow)
#include "tst_slideshow.moc"
