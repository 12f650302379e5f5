#include "board/mediaplaceholder.h"
#include "data/demodata.h"
#include "data/settingkeys.h"
#include "data/themestore.h"
#include "media/mediamode.h"
#include "testsupport.h"

#include <QtTest>

using namespace quoteria;

Q_DECLARE_METATYPE(quoteria::MediaMode)

class TestMediaMode : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choice_data();
    void choice();
    void setupFromStoredSettings_data();
    void setupFromStoredSettings();
    void themeVolumeIsRead();
    void pictureFitsInsideTheZone_data();
    void pictureFitsInsideTheZone();
    void pageAddress_data();
    void pageAddress();
};

void TestMediaMode::choice_data() {
    QTest::addColumn<QString>("media");
    QTest::addColumn<QString>("liveInput");
    QTest::addColumn<QString>("html");
    QTest::addColumn<MediaMode>("mode");

    QTest::newRow("nothing set") << ""
                                 << "0"
                                 << "0" << MediaMode::None;
    QTest::newRow("video") << "Video"
                           << "0"
                           << "0" << MediaMode::Video;
    QTest::newRow("picture") << "Picture"
                             << "0"
                             << "0" << MediaMode::Picture;
    QTest::newRow("flash") << "Flash"
                           << "0"
                           << "0" << MediaMode::Flash;
    QTest::newRow("theme media spelt otherwise") << "video"
                                                 << "0"
                                                 << "0" << MediaMode::None;
    QTest::newRow("theme media None") << "None"
                                      << "0"
                                      << "0" << MediaMode::None;
    QTest::newRow("theme media padded") << "Video "
                                        << "0"
                                        << "0" << MediaMode::None;
    QTest::newRow("live input before the theme") << "Video"
                                                 << "1"
                                                 << "0" << MediaMode::LiveInput;
    QTest::newRow("live input before the page") << "Video"
                                                << "1"
                                                << "1" << MediaMode::LiveInput;
    QTest::newRow("page before the theme") << "Picture"
                                           << "0"
                                           << "1" << MediaMode::WebPage;
    QTest::newRow("page switch read as a number") << "Flash"
                                                  << "0"
                                                  << "1.0" << MediaMode::WebPage;
    QTest::newRow("page switch with blanks") << ""
                                             << "0"
                                             << " 1" << MediaMode::WebPage;
    QTest::newRow("page switch 2 is off") << "Video"
                                          << "0"
                                          << "2" << MediaMode::Video;
    QTest::newRow("page switch text is off") << "Video"
                                             << "0"
                                             << "yes" << MediaMode::Video;
    QTest::newRow("live input only as 1") << "Video"
                                          << "1.0"
                                          << "0" << MediaMode::Video;
    QTest::newRow("live input True is off") << ""
                                            << "True"
                                            << "0" << MediaMode::None;
}

void TestMediaMode::choice() {
    QFETCH(QString, media);
    QFETCH(QString, liveInput);
    QFETCH(QString, html);
    QFETCH(MediaMode, mode);
    QCOMPARE(chooseMediaMode(media, liveInput, html), mode);
}

void TestMediaMode::setupFromStoredSettings_data() {
    QTest::addColumn<QString>("media");
    QTest::addColumn<double>("volume");
    // Settings written before the start; empty: left unset.
    QTest::addColumn<QString>("liveInput");
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("htmlSource");
    QTest::addColumn<MediaMode>("mode");
    QTest::addColumn<QString>("htmlPath");
    QTest::addColumn<int>("zoneVolume");

    QTest::newRow("nothing stored: the theme's video") << "Video" << 7.0 << ""
                                                       << ""
                                                       << "" << MediaMode::Video << "" << 7;
    QTest::newRow("page on: its path")
        << "Video" << 5.0 << "0"
        << "1"
        << "/srv/board.html" << MediaMode::WebPage << "/srv/board.html" << 5;
    QTest::newRow("page off: no path even when one is stored")
        << "Video" << 5.0 << "0"
        << "0"
        << "/srv/board.html" << MediaMode::Video << "" << 5;
    QTest::newRow("live input hides the page path")
        << "" << 5.0 << "1"
        << "1"
        << "/srv/board.html" << MediaMode::LiveInput << "" << 5;
    QTest::newRow("volume above the scale") << "Video" << 40.0 << ""
                                            << ""
                                            << "" << MediaMode::Video << "" << 10;
    QTest::newRow("volume below the scale") << "Video" << -3.0 << ""
                                            << ""
                                            << "" << MediaMode::Video << "" << 0;
}

void TestMediaMode::setupFromStoredSettings() {
    QFETCH(QString, media);
    QFETCH(double, volume);
    QFETCH(QString, liveInput);
    QFETCH(QString, html);
    QFETCH(QString, htmlSource);
    QFETCH(MediaMode, mode);
    QFETCH(QString, htmlPath);
    QFETCH(int, zoneVolume);
    test::TestEnv env;
    SettingsStore store;
    if (!liveInput.isEmpty())
        QVERIFY(store.set(TextSetting{settings::VideoInOn.at, ""}, liveInput));
    if (!html.isEmpty())
        QVERIFY(store.set(TextSetting{settings::HtmlOn.at, ""}, html));
    if (!htmlSource.isEmpty())
        QVERIFY(store.set(settings::HtmlSource, htmlSource));
    BoardTheme theme;
    theme.media = media;
    theme.volume = volume;
    const MediaSetup s = readMediaSetup(theme, store);
    QCOMPARE(s.mode, mode);
    QCOMPARE(s.htmlPath, htmlPath);
    QCOMPARE(s.volume, zoneVolume);
    // Unset, the picture effect is the first one.
    QCOMPARE(s.pictureEffect, QStringLiteral("Effect1"));
}

void TestMediaMode::themeVolumeIsRead() {
    test::AppFixture f(true);
    QVERIFY(f.ready);
    BoardTheme t = f.ctx.themes.loadByName(demoThemeName());
    QCOMPARE(t.volume, 5.0);
    t.volume = 8;
    QVERIFY(f.ctx.themes.save(t) > 0);
    QCOMPARE(readMediaSetup(f.ctx.themes.loadByName(demoThemeName()), f.settings).volume, 8);
}

void TestMediaMode::pictureFitsInsideTheZone_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("placed");

    QTest::newRow("wide picture: bars above and below")
        << QSize(640, 360) << QRect(0, 0, 480, 560) << QRect(0, 145, 480, 270);
    QTest::newRow("tall picture: bars left and right")
        << QSize(300, 600) << QRect(0, 0, 800, 400) << QRect(300, 0, 200, 400);
    QTest::newRow("same shape fills the area")
        << QSize(320, 180) << QRect(10, 20, 1280, 720) << QRect(10, 20, 1280, 720);
    QTest::newRow("the area's offset is kept")
        << QSize(100, 100) << QRect(500, 40, 300, 100) << QRect(600, 40, 100, 100);
}

void TestMediaMode::pictureFitsInsideTheZone() {
    QFETCH(QSize, picture);
    QFETCH(QRect, area);
    QFETCH(QRect, placed);
    QCOMPARE(fitInside(picture, area), placed);
}

void TestMediaMode::pageAddress_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("url"); // "@" stands for the data folder
    QTest::newRow("empty") << "" << "";
    QTest::newRow("blank") << "   " << "";
    QTest::newRow("absolute file") << "/srv/pages/rates.html" << "file:///srv/pages/rates.html";
    QTest::newRow("padded file") << "  /srv/a b.html " << "file:///srv/a%20b.html";
    QTest::newRow("other slashes") << "/srv\\pages\\a.htm" << "file:///srv/pages/a.htm";
    QTest::newRow("file in the data folder") << "page.html" << "file://@/page.html";
    QTest::newRow("address") << "https://example.org/board?x=1" << "https://example.org/board?x=1";
    QTest::newRow("address without scheme") << "www.example.org/rates" << "http://www.example.org/rates";
    QTest::newRow("file URL") << "file:///srv/a.html" << "file:///srv/a.html";
}

void TestMediaMode::pageAddress() {
    QFETCH(QString, source);
    QFETCH(QString, url);
    QTemporaryDir data;
    QVERIFY(QFile(data.filePath(QStringLiteral("page.html"))).open(QIODevice::WriteOnly));
    url.replace(QLatin1Char('@'), data.path());
    QCOMPARE(webPageUrl(source, data.path()).toString(QUrl::FullyEncoded), url);
}

QTEST_GUILESS_MAIN(TestMediaMode)
#include "tst_mediamode.moc"
