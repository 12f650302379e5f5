#include "data/database.h"
#include "data/mediastore.h"
#include "media/mediafiles.h"
#include "media/medialists.h"
#include "testsupport.h"

#include <QtTest>

using namespace quoteria;

Q_DECLARE_METATYPE(MediaListKind)

namespace {

QString files(const QVector<MediaListEntry>& entries) {
    QStringList out;
    for (const MediaListEntry& e : entries)
        out << e.file;
    return out.join(QLatin1Char('|'));
}

} // namespace

class TestMediaLists : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void handEdited_data();
    void handEdited();
    void resolve_data();
    void resolve();
    void missingFile();
};

// What each writer puts down, read back: the player finds every gallery copy the
// active items point at, however their names are spelt.
void TestMediaLists::roundTrip_data() {
    QTest::addColumn<MediaListKind>("kind");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("names"); // gallery file names of the active items
    QTest::addColumn<QString>("expected");  // entries as read

    const QStringList plain{QStringLiteral("12.jpg"), QStringLiteral("13.png")};
    // Names a Windows folder allows; '<', '>' and '"' never occur in them.
    const QStringList odd{QStringLiteral("it's.jpg"), QStringLiteral("R&D 1.jpg"),
                          QStringLiteral("caf\u00e9 'a'.jpg")};
    QTest::newRow("album") << MediaListKind::Album << MediaStore::kPicture << plain
                           << QStringLiteral("12.jpg|13.png");
    QTest::newRow("props") << MediaListKind::Props << MediaStore::kPicture << plain
                           << QStringLiteral("12.jpg|13.png");
    QTest::newRow("slides") << MediaListKind::Slides << MediaStore::kPicture << plain
                            << QStringLiteral("gallery\\12.jpg|gallery\\13.png");
    QTest::newRow("banners") << MediaListKind::Banners << MediaStore::kFlash << plain
                             << QStringLiteral("gallery\\12.jpg|gallery\\13.png");
    // The text lists carry these unescaped.
    QTest::newRow("album odd") << MediaListKind::Album << MediaStore::kPicture << odd
                               << odd.join(QLatin1Char('|'));
    QTest::newRow("props odd") << MediaListKind::Props << MediaStore::kPicture << odd
                               << odd.join(QLatin1Char('|'));
    QTest::newRow("slides odd")
        << MediaListKind::Slides << MediaStore::kPicture << odd.mid(0, 2)
        << QStringLiteral("gallery\\it's.jpg|gallery\\R&D 1.jpg");
    QTest::newRow("banners odd")
        << MediaListKind::Banners << MediaStore::kFlash << odd.mid(0, 2)
        << QStringLiteral("gallery\\it's.jpg|gallery\\R&D 1.jpg");
}

void TestMediaLists::roundTrip() {
    QFETCH(MediaListKind, kind);
    QFETCH(QString, type);
    QFETCH(QStringList, names);
    QFETCH(QString, expected);

    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    MediaStore store(db);
    for (const QString& name : names) {
        MediaItem m;
        m.type = type;
        m.fileName = QStringLiteral("C:\\data\\gallery\\") + name;
        m.description = QStringLiteral("Offer & more <b>");
        QVERIFY(store.add(m) > 0);
    }
    // An inactive item never shows.
    MediaItem off;
    off.type = type;
    off.active = false;
    off.fileName = QStringLiteral("C:\\data\\gallery\\off.jpg");
    QVERIFY(store.add(off) > 0);

    const QString folder = env.dir();
    QString error;
    QString path;
    switch (kind) {
    case MediaListKind::Album:
        QVERIFY2(createXML(store, folder, &error), qPrintable(error));
        path = mediafiles::albumPath(folder);
        break;
    case MediaListKind::Props:
        QVERIFY2(createTXT(store, folder, &error), qPrintable(error));
        path = mediafiles::propsPath(folder);
        break;
    case MediaListKind::Slides:
        QVERIFY2(createTXT1(store, folder, &error), qPrintable(error));
        path = mediafiles::slidesPath(folder);
        break;
    case MediaListKind::Banners:
        QVERIFY2(createXML2(store, folder, &error), qPrintable(error));
        path = mediafiles::bannersPath(folder);
        break;
    }
    // QUOTERIA_SEED_DIR: keep each list as a fuzzing seed (first byte: the list).
    const QString seeds = qEnvironmentVariable("QUOTERIA_SEED_DIR");
    if (!seeds.isEmpty()) {
        QFile in(path), out(seeds + QLatin1Char('/') + QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        out.write(QByteArray(1, char(kind)) + in.readAll());
    }
    QStringList log;
    const QVector<MediaListEntry> entries =
        readMediaListFile(kind, path, [&log](const QString& l) { log << l; });
    QCOMPARE(files(entries), expected);
    QCOMPARE(log, QStringList());
    if (kind == MediaListKind::Album)
        QCOMPARE(entries.value(0).caption, QStringLiteral("Offer & more <b>"));
    // Every entry lands on the gallery copy, wherever its list lies.
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(resolveMediaEntry(path, entries[i].file), folder + QStringLiteral("/gallery/") + names[i]);
}

void TestMediaLists::handEdited_data() {
    QTest::addColumn<MediaListKind>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("logLines");

    QTest::newRow("album missing location")
        << MediaListKind::Album
        << QByteArray("<artworkinfo><albuminfo><artist>x</artist></albuminfo>"
                      "<albuminfo><artLocation>2.jpg</artLocation></albuminfo></artworkinfo>")
        << QStringLiteral("2.jpg") << 1;
    QTest::newRow("album empty location (name without separator)")
        << MediaListKind::Album
        << QByteArray("<artworkinfo><albuminfo><artLocation/></albuminfo>"
                      "<albuminfo><artLocation> 3.jpg </artLocation></albuminfo></artworkinfo>")
        << QStringLiteral("3.jpg") << 1;
    QTest::newRow("album damaged keeps what came before")
        << MediaListKind::Album
        << QByteArray("<artworkinfo><albuminfo><artLocation>1.jpg</artLocation></albuminfo>"
                      "<albuminfo><artLocation>R&D.jpg</artLocation></albuminfo>")
        << QStringLiteral("1.jpg") << 1;
    QTest::newRow("album cut short") << MediaListKind::Album
                                     << QByteArray("<artworkinfo><albuminfo><artLocation>1.jpg</artLocation></albuminfo><albu")
                                     << QStringLiteral("1.jpg") << 1;
    QTest::newRow("album indented with declaration")
        << MediaListKind::Album
        << QByteArray("<?xml version=\"1.0\"?>\r\n<artworkinfo>\r\n  <albuminfo>\r\n"
                      "    <artLocation>a.jpg</artLocation>\r\n  </albuminfo>\r\n</artworkinfo>\r\n")
        << QStringLiteral("a.jpg") << 0;
    QTest::newRow("album empty") << MediaListKind::Album << QByteArray() << QString() << 0;

    QTest::newRow("props double quotes and other attributes")
        << MediaListKind::Props
        << QByteArray("<data>\n<item contentPath=\"a.jpg\" itemEvents='true'/>\n"
                      "<ITEM itemEvents='true' CONTENTPATH = 'b.jpg' ></ITEM></data>")
        << QStringLiteral("a.jpg|b.jpg") << 0;
    QTest::newRow("props apostrophes in names")
        << MediaListKind::Props
        << QByteArray("<item itemEvents='true' contentPath='it's.jpg' /><item contentPath='a'b'c.jpg'/>")
        << QStringLiteral("it's.jpg|a'b'c.jpg") << 0;
    QTest::newRow("props entry without path")
        << MediaListKind::Props
        << QByteArray("<item itemEvents='true' /><item contentPath='' /><item contentPath='x.jpg' />")
        << QStringLiteral("x.jpg") << 2;
    QTest::newRow("props unterminated value")
        << MediaListKind::Props << QByteArray("<item contentPath='x.jpg<item contentPath='y.jpg' />")
        << QStringLiteral("y.jpg") << 1;
    QTest::newRow("props longer element name is not an item")
        << MediaListKind::Props << QByteArray("<items contentPath='x.jpg'/><item contentPath='y.jpg'/>")
        << QStringLiteral("y.jpg") << 0;
    QTest::newRow("props escaped by an editor")
        << MediaListKind::Props << QByteArray("<item contentPath='R&amp;D.jpg'/>")
        << QStringLiteral("R&D.jpg") << 0;
    QTest::newRow("props 8-bit code page")
        << MediaListKind::Props << QByteArray("<item contentPath='caf\xe9.jpg'/>")
        << QStringLiteral("caf\u00e9.jpg") << 0;

    QTest::newRow("slides one per line")
        << MediaListKind::Slides
        << QByteArray("<slideshow>\r\n<image src=\"gallery\\1.jpg\" desc=\" \"/>\r\n"
                      "<image desc=\"x\" src=\"gallery/2.jpg\"/>\r\n</slideshow>")
        << QStringLiteral("gallery\\1.jpg|gallery/2.jpg") << 0;
    QTest::newRow("slides src missing")
        << MediaListKind::Slides << QByteArray("<image desc=\" \"/><image src=\"3.jpg\" desc=\" \"/>")
        << QStringLiteral("3.jpg") << 1;

    QTest::newRow("banners spread over lines")
        << MediaListKind::Banners
        << QByteArray("<banner>\n<anuncio descricao=\"a\">\n  gallery\\1.gif\n</anuncio>\n"
                      "<anuncio>gallery\\2.svg</anuncio></banner>")
        << QStringLiteral("gallery\\1.gif|gallery\\2.svg") << 0;
    QTest::newRow("banners empty and self-closed entries")
        << MediaListKind::Banners
        << QByteArray("<banner><anuncio descricao=\" link=\">gallery\\</anuncio><anuncio/>"
                      "<anuncio descricao=\" link=\"></anuncio><anuncio>3.png</anuncio></banner>")
        << QStringLiteral("gallery\\|3.png") << 2;
    QTest::newRow("banners unfinished tag")
        << MediaListKind::Banners << QByteArray("<banner><anuncio descricao=\" link=")
        << QString() << 1;
}

void TestMediaLists::handEdited() {
    QFETCH(MediaListKind, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(int, logLines);
    QStringList log;
    const auto entries = readMediaList(kind, bytes, [&log](const QString& l) { log << l; });
    QCOMPARE(files(entries), expected);
    QVERIFY2(log.size() == logLines, qPrintable(log.join(QLatin1Char('\n'))));
}

void TestMediaLists::resolve_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("beside the list") << "/d/gallery/props.xml" << "1.jpg" << "/d/gallery/1.jpg";
    QTest::newRow("backslashes") << "/d/banners.xml" << "gallery\\sub\\1.gif" << "/d/gallery/sub/1.gif";
    QTest::newRow("up and back") << "/d/slideshow-data.xml" << "gallery\\..\\x.jpg" << "/d/x.jpg";
    QTest::newRow("absolute") << "/d/banners.xml" << "/srv/a.png" << "/srv/a.png";
    QTest::newRow("drive letter") << "/d/banners.xml" << "C:\\a.png" << "C:/a.png";
}

void TestMediaLists::resolve() {
    QFETCH(QString, list);
    QFETCH(QString, file);
    QFETCH(QString, expected);
    QCOMPARE(resolveMediaEntry(list, file), expected);
}

void TestMediaLists::missingFile() {
    QStringList log;
    QTemporaryDir dir;
    const auto entries = readMediaListFile(MediaListKind::Banners, dir.filePath("none.xml"),
                                           [&log](const QString& l) { log << l; });
    QVERIFY(entries.isEmpty());
    QCOMPARE(log.size(), 1);
}

QTEST_GUILESS_MAIN(TestMediaLists)
#include "tst_medialists.moc"
