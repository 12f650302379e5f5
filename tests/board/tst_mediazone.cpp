#include "board/displaywindow.h"
#include "board/mediazone.h"
#include "board/webzoneloader.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/mediastore.h"
#include "media/bannerplayer.h"
#include "media/liveinput.h"
#include "media/mediafiles.h"
#include "media/mediagallery.h"
#include "media/mediaplayers.h"
#include "boardfixture.h"
#include "testsupport.h"
#include "../media/mediafixtures.h"

#include <QFile>
#include <QMediaDevices>
#include <QtTest>
#include <memory>

using namespace quoteria;

Q_DECLARE_METATYPE(MediaMode)
Q_DECLARE_METATYPE(MediaPlayerKind)

class TestMediaZone : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void showsTheListedFiles_data();
    void showsTheListedFiles();
    void refreshRestartsTheAlbum_data();
    void refreshRestartsTheAlbum();
    void playersTurnWithTheBoard_data();
    void playersTurnWithTheBoard();
    void missingCaptureDevice_data();
    void missingCaptureDevice();
    void missingWebModule();
    void otherModesLeaveTheWebEngineOut();
};

namespace {

// Warnings of the media zone, counted while a test runs.
QStringList g_warnings;
void countWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("media zone:")))
        g_warnings << text;
}

struct Fixture : test::BoardFixture {
    Fixture() { db.exec(QStringLiteral("delete from tblVideo")); }
    void setMedia(const QString& media) {
        db.exec(QStringLiteral("update tbltheme set media=?"), {media});
    }
    // An active item of type (a picture file) in the gallery; its gallery file.
    QString addPicture(const QString& name, QColor colour,
                       const QString& type = MediaStore::kPicture) {
        const QString file = env.dir() + QLatin1String("/pictures/") + name;
        test::writePicture(file, colour);
        MediaItem m;
        m.type = type;
        m.fileName = file;
        const qint64 key = ctx.media.add(m);
        m.key = key;
        m.fileName = galleryPath(ctx.dataFolder, key, file);
        QDir().mkpath(QFileInfo(m.fileName).absolutePath());
        if (!QFile::copy(file, m.fileName))
            qFatal("cannot copy %s", qPrintable(file));
        ctx.media.update(m);
        return m.fileName;
    }
};

QStringList filesOf(QWidget* player) {
    if (auto* show = qobject_cast<SlideshowPlayer*>(player))
        return show->files();
    if (auto* banner = qobject_cast<BannerPlayer*>(player))
        return banner->files();
    return {};
}

} // namespace

void TestMediaZone::init() {
    g_warnings.clear();
    webzone::setLibraryPath(QString());
}

void TestMediaZone::showsTheListedFiles_data() {
    QTest::addColumn<QString>("media");
    QTest::addColumn<QString>("effect");
    QTest::addColumn<bool>("live");
    QTest::addColumn<MediaMode>("mode");
    QTest::addColumn<int>("kind"); // a MediaPlayerKind, or -1 for no player
    const int none = -1;
    QTest::newRow("album") << "Picture" << "Effect1" << false << MediaMode::Picture
                           << int(MediaPlayerKind::CrossFade);
    QTest::newRow("slideshow") << "Picture" << "Effect2" << false << MediaMode::Picture
                               << int(MediaPlayerKind::Slide);
    QTest::newRow("slides") << "Picture" << "Effect3" << false << MediaMode::Picture
                            << int(MediaPlayerKind::PanZoom);
    QTest::newRow("other effect") << "Picture" << "Effect9" << false << MediaMode::Picture << none;
    QTest::newRow("banners") << "Flash" << "Effect1" << false << MediaMode::Flash
                             << int(MediaPlayerKind::Banner);
    // The live input goes before the theme's media.
    QTest::newRow("live input first") << "Picture" << "Effect1" << true << MediaMode::LiveInput
                                      << none;
    QTest::newRow("nothing") << "Slides" << "Effect1" << false << MediaMode::None << none;
}

void TestMediaZone::showsTheListedFiles() {
    QFETCH(QString, media);
    QFETCH(QString, effect);
    QFETCH(bool, live);
    QFETCH(MediaMode, mode);
    QFETCH(int, kind);
    Fixture f;
    f.setMedia(media);
    f.settings.set(settings::PictureEffect, effect);
    f.settings.set(settings::VideoInOn, live);
    // Banners are the Flash rows; the shows, the Picture rows.
    const QString type = media == QLatin1String("Flash") ? MediaStore::kFlash : MediaStore::kPicture;
    const QStringList files = {f.addPicture(QStringLiteral("a.png"), Qt::red, type),
                               f.addPicture(QStringLiteral("b.png"), Qt::blue, type)};
    auto w = f.board();
    MediaZone* zone = w->mediaZone();
    QCOMPARE(zone->mode(), mode);
    QWidget* player = zone->player();
    if (kind < 0) {
        QVERIFY(!player);
        return;
    }
    QVERIFY(player);
    QVERIFY(player->isVisible());
    if (auto* show = qobject_cast<SlideshowPlayer*>(player))
        QCOMPARE(int(show->kind()), kind);
    else
        QCOMPARE(kind, int(MediaPlayerKind::Banner));
    QCOMPARE(filesOf(player), files);
    // And it shows the first of them.
    QTRY_COMPARE(QColor(player->grab().toImage().pixel(player->rect().center())), QColor(Qt::red));
    // On the zone: the player covers its host, which stands on the zone.
    QCOMPARE(player->size(), player->parentWidget()->size());
    QVERIFY(!player->parentWidget()->geometry().isEmpty());
}

void TestMediaZone::refreshRestartsTheAlbum_data() {
    QTest::addColumn<QString>("effect");
    QTest::addColumn<bool>("restarted");
    QTest::newRow("album") << "Effect1" << true;
    // The other shows read lists of their own that Refresh does not write.
    QTest::newRow("slideshow") << "Effect2" << false;
}

void TestMediaZone::refreshRestartsTheAlbum() {
    QFETCH(QString, effect);
    QFETCH(bool, restarted);
    Fixture f;
    f.setMedia(QStringLiteral("Picture"));
    f.settings.set(settings::PictureEffect, effect);
    const QString first = f.addPicture(QStringLiteral("a.png"), Qt::red);
    auto w = f.board();
    QCOMPARE(filesOf(w->mediaZone()->player()), QStringList{first});

    const QString added = f.addPicture(QStringLiteral("b.png"), Qt::green);
    QString error;
    QVERIFY2(createXML(f.ctx.media, f.ctx.dataFolder, &error), qPrintable(error));
    w->mediaZone()->reloadGallery();
    const QStringList expected = restarted ? QStringList{first, added} : QStringList{first};
    QCOMPARE(filesOf(w->mediaZone()->player()), expected);
}

// Samples as fractions of the player widget: where the upright picture's left half
// (red) and right half (blue) show on a board turned by rotation.
void TestMediaZone::playersTurnWithTheBoard_data() {
    QTest::addColumn<QString>("media");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QPointF>("red");
    QTest::addColumn<QPointF>("blue");
    for (const char* media : {"Picture", "Flash"}) {
        const auto row = [media](const char* turn) -> QTestData& {
            return QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(media, turn)));
        };
        row("0") << media << 0 << QPointF(0.4, 0.5) << QPointF(0.6, 0.5);
        row("90: left half on top") << media << 90 << QPointF(0.5, 0.4) << QPointF(0.5, 0.6);
        row("180") << media << 180 << QPointF(0.6, 0.5) << QPointF(0.4, 0.5);
        row("270") << media << 270 << QPointF(0.5, 0.6) << QPointF(0.5, 0.4);
    }
}

void TestMediaZone::playersTurnWithTheBoard() {
    QFETCH(QString, media);
    QFETCH(int, rotation);
    QFETCH(QPointF, red);
    QFETCH(QPointF, blue);
    Fixture f;
    f.setMedia(media);
    f.settings.set(settings::PictureEffect, QStringLiteral("Effect1"));
    f.settings.set(settings::VideoInOn, false);
    f.settings.set(settings::FitToScreen, true);
    f.settings.set(settings::BoardRotation, rotation);
    const QString type = media == QLatin1String("Flash") ? MediaStore::kFlash : MediaStore::kPicture;
    const QString file = f.addPicture(QStringLiteral("a.png"), Qt::red, type);
    QImage halves(40, 30, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 255));
    QVERIFY(halves.save(file));
    auto w = f.board();
    QWidget* player = w->mediaZone()->player();
    QVERIFY(player);
    const auto at = [player](QPointF share) {
        return QPoint(int(share.x() * player->width()), int(share.y() * player->height()));
    };
    QTRY_COMPARE(QColor(player->grab().toImage().pixel(at(red))), QColor(Qt::red));
    QCOMPARE(QColor(player->grab().toImage().pixel(at(blue))), QColor(Qt::blue));
}

void TestMediaZone::missingCaptureDevice_data() {
    QTest::addColumn<int>("source");
    const int count = int(QMediaDevices::videoInputs().size());
    QTest::newRow("none chosen") << -1;
    QTest::newRow("one past the last") << count;
    QTest::newRow("far past the last") << count + 5;
}

void TestMediaZone::missingCaptureDevice() {
    QFETCH(int, source);
    Fixture f;
    f.setMedia(QStringLiteral("Picture"));
    f.settings.set(settings::VideoInOn, true);
    f.settings.set(settings::VideoInSource, source);
    f.addPicture(QStringLiteral("a.png"), Qt::red);
    qInstallMessageHandler(countWarnings);
    auto w = f.board();
    QTest::qWait(100);
    qInstallMessageHandler(nullptr);
    MediaZone* zone = w->mediaZone();
    QCOMPARE(zone->mode(), MediaMode::LiveInput);
    QVERIFY(zone->liveInput());
    QVERIFY(!zone->player());
    QVERIFY(!zone->liveInput()->camera());
    QCOMPARE(g_warnings.size(), 1);
    QVERIFY2(g_warnings.first().contains(QString::number(source)), qPrintable(g_warnings.first()));
    // Nothing else took the zone: no slideshow, no operator message.
    QVERIFY(w->findChildren<SlideshowPlayer*>().isEmpty());
    QVERIFY(f.env.recorder.entries.isEmpty());
}

void TestMediaZone::missingWebModule() {
    Fixture f;
    QTemporaryDir elsewhere;
    webzone::setLibraryPath(elsewhere.filePath(QStringLiteral("libquoteria_webzone.so")));
    const QString page = f.env.dir() + QLatin1String("/page.html");
    QVERIFY(test::writeText(page, "<body style='background:#0f0'></body>"));
    f.settings.set(settings::HtmlOn, true);
    f.settings.set(settings::HtmlSource, page);
    qInstallMessageHandler(countWarnings);
    auto w = f.board();
    qInstallMessageHandler(nullptr);
    QCOMPARE(w->mediaZone()->mode(), MediaMode::WebPage);
    QVERIFY(!w->mediaZone()->player());
    QCOMPARE(g_warnings.size(), 1);
    QVERIFY(f.env.recorder.entries.isEmpty());
}

void TestMediaZone::otherModesLeaveTheWebEngineOut() {
    Fixture f;
    f.setMedia(QStringLiteral("Video"));
    f.settings.set(settings::HtmlSource, QStringLiteral("/tmp/page.html"));
    auto w = f.board();
    QCOMPARE(w->mediaZone()->mode(), MediaMode::Video);
    QTest::qWait(200);
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY(mapped.contains("libQt6Widgets"));
    QVERIFY(!mapped.contains("libQt6WebEngineCore"));
    QVERIFY(!mapped.contains("quoteria_webzone"));
}

QTEST_MAIN(TestMediaZone)
#include "tst_mediazone.moc"
