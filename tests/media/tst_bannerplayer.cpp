#include "media/bannerplayer.h"
#include "media/mediaplayers.h"
#include "media/slidesequence.h"

#include "mediafixtures.h"
#include "turnfixtures.h"

#include <QtTest>

using namespace quoteria;
using test::writePicture;
using test::writeText;

namespace {

// The banner list as the board writes it, naming files in the gallery.
QByteArray bannerList(const QStringList& names) {
    QByteArray out("<banner>\r\n");
    for (const QString& n : names)
        out += "<anuncio descricao=\" link=\">gallery\\" + n.toUtf8() + "</anuncio>\r\n";
    return out + "</banner>\r\n";
}

struct Banner {
    QTemporaryDir dir;
    ManualFrameClock clock;
    QStringList log;
    std::unique_ptr<BannerPlayer> player;

    void start(const QStringList& names) {
        const QString list = dir.filePath("banners.xml");
        QVERIFY(writeText(list, bannerList(names)));
        player = std::make_unique<BannerPlayer>(list, &clock, nullptr, 1000,
                                                [this](const QString& l) { log << l; });
        player->resize(80, 60);
        player->show();
        QVERIFY(QTest::qWaitForWindowExposed(player.get()));
        QTRY_COMPARE(player->pending(), 0);
    }
    QString shown() const {
        const int i = player->current();
        return i < 0 ? QString() : QFileInfo(player->files().value(i)).fileName();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i)
            clock.advance(100);
    }
    int linesAbout(const QString& name) const {
        int n = 0;
        for (const QString& l : log)
            n += l.contains(name) ? 1 : 0;
        return n;
    }
};

// The marked picture as a drawing: scaled and drawn by the player itself.
QByteArray markedDrawing(const QSize& size) {
    const int w = size.width(), h = size.height(), m = w / 4;
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\">"
                          "<rect width=\"%1\" height=\"%2\" fill=\"#0000ff\"/>"
                          "<rect width=\"%3\" height=\"%3\" fill=\"#ff0000\"/>"
                          "<rect x=\"%4\" width=\"%3\" height=\"%3\" fill=\"#00ff00\"/></svg>")
        .arg(w)
        .arg(h)
        .arg(m)
        .arg(w - m)
        .toUtf8();
}

} // namespace

class TestBannerPlayer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void kinds_data();
    void kinds();
    void turns();
    void onlyFlash();
    void unplayableVideo();
    void turnedItems_data() { test::turn::turnedCorners(); }
    void turnedItems();
};

void TestBannerPlayer::kinds_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("item");
    QTest::newRow("flash") << "gallery/1.SWF" << int(BannerPlayer::Item::Flash);
    QTest::newRow("gif") << "1.gif" << int(BannerPlayer::Item::Movie);
    QTest::newRow("webp") << "1.WebP" << int(BannerPlayer::Item::Movie);
    QTest::newRow("svg") << "1.svg" << int(BannerPlayer::Item::Drawing);
    QTest::newRow("video") << "1.wmv" << int(BannerPlayer::Item::Video);
    QTest::newRow("picture") << "1.jpg" << int(BannerPlayer::Item::Picture);
    QTest::newRow("no suffix") << "12" << int(BannerPlayer::Item::Picture);
}

void TestBannerPlayer::kinds() {
    QFETCH(QString, file);
    QFETCH(int, item);
    QCOMPARE(int(BannerPlayer::itemOf(file)), item);
}

// Each item in turn; Flash movies and missing files are passed over, each with
// one log line however often its turn comes.
void TestBannerPlayer::turns() {
    Banner b;
    const QString g = b.dir.filePath("gallery/");
    QVERIFY(writePicture(g + "1.png", Qt::red));
    QVERIFY(writeText(g + "2.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='30'>"
                                   "<rect width='40' height='30' fill='#0000ff'/></svg>"));
    QVERIFY(writePicture(g + "3.webp", Qt::green));
    QVERIFY(writeText(g + "a.swf", "FWS"));
    b.start({"a.swf", "1.png", "gone.png", "2.svg", "3.webp", "b.swf"});

    QCOMPARE(b.shown(), QStringLiteral("1.png"));
    QCOMPARE(QColor(b.player->grab().toImage().pixel(40, 30)), QColor(Qt::red));
    b.frames(10);
    QCOMPARE(b.shown(), QStringLiteral("2.svg"));
    QCOMPARE(QColor(b.player->grab().toImage().pixel(40, 30)), QColor(Qt::blue));
    b.frames(10);
    QCOMPARE(b.shown(), QStringLiteral("3.webp"));
    QCOMPARE(int(b.player->currentItem()), int(BannerPlayer::Item::Movie));
    b.frames(10);
    QCOMPARE(b.shown(), QStringLiteral("1.png")); // round again
    b.frames(30);
    QCOMPARE(b.shown(), QStringLiteral("1.png"));

    QCOMPARE(b.linesAbout("a.swf"), 1);
    QCOMPARE(b.linesAbout("b.swf"), 1);
    QCOMPARE(b.linesAbout("gone.png"), 1);
    QCOMPARE(b.log.size(), 3);

    // A new reading of the list reports again.
    b.player->reload();
    QTRY_COMPARE(b.player->pending(), 0);
    QCOMPARE(b.shown(), QStringLiteral("1.png"));
    QCOMPARE(b.linesAbout("a.swf"), 2);
}

void TestBannerPlayer::onlyFlash() {
    Banner b;
    b.start({"a.swf", "b.swf"});
    QCOMPARE(b.player->current(), -1);
    b.frames(100);
    QCOMPARE(b.player->current(), -1);
    QCOMPARE(b.log.size(), 2);
    QCOMPARE(QColor(b.player->grab().toImage().pixel(40, 30)), QColor(Qt::black));
}

// A file the media player refuses is found out after it started: passed over too.
void TestBannerPlayer::unplayableVideo() {
    Banner b;
    const QString g = b.dir.filePath("gallery/");
    QVERIFY(writeText(g + "bad.mp4", QByteArray(4096, 'x')));
    QVERIFY(writePicture(g + "1.png", Qt::red));
    b.start({"bad.mp4", "1.png"});
    QTRY_COMPARE_WITH_TIMEOUT(b.shown(), QStringLiteral("1.png"), 20000);
    QCOMPARE(b.linesAbout("bad.mp4"), 1);
}

// A picture, then a drawing, on a player turned after it started.
void TestBannerPlayer::turnedItems() {
    QFETCH(int, rotation);
    QFETCH(QPoint, red);
    QFETCH(QPoint, green);
    using namespace test::turn;
    Banner b;
    const QSize half = uprightOf(rotation) / 2;
    QVERIFY(QDir().mkpath(b.dir.filePath("gallery")));
    QVERIFY(markedPicture(half).save(b.dir.filePath("gallery/1.png")));
    QVERIFY(writeText(b.dir.filePath("gallery/2.svg"), markedDrawing(half)));
    b.start({"1.png", "2.svg"});
    b.player->setRotation(rotation);
    QTRY_COMPARE(b.player->pending(), 0);
    QCOMPARE(b.shown(), QStringLiteral("1.png"));
    verifyCorners(b.player->grab().toImage(), red, green);
    b.frames(10);
    QCOMPARE(b.shown(), QStringLiteral("2.svg"));
    verifyCorners(b.player->grab().toImage(), red, green);
}

QTEST_MAIN(TestBannerPlayer)
#include "tst_bannerplayer.moc"
