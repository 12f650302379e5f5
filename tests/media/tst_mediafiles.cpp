#include "data/database.h"
#include "data/mediastore.h"
#include "media/mediafiles.h"
#include "testsupport.h"

#include <QFile>
#include <QtTest>
#include <functional>

using namespace quoteria;

namespace {

enum class Writer { Album, Props, Slides, Banners };

// One item as "type|active|filename|description".
using Rows = QStringList;

struct Fixture {
    test::TestEnv env;
    Database db;
    MediaStore store{db};
    Fixture() {
        if (!env.makeDatabase(db))
            qFatal("no database: %s", qPrintable(db.lastError()));
    }
    void add(const Rows& rows) {
        for (const QString& row : rows) {
            const QStringList p = row.split(QLatin1Char('|'));
            MediaItem m;
            m.type = p.at(0);
            m.active = p.at(1) == QLatin1String("1");
            m.fileName = p.at(2);
            m.description = p.value(3);
            QVERIFY(store.add(m) > 0);
        }
    }
};

QString pathOf(Writer w, const QString& folder) {
    switch (w) {
    case Writer::Album:
        return mediafiles::albumPath(folder);
    case Writer::Props:
        return mediafiles::propsPath(folder);
    case Writer::Slides:
        return mediafiles::slidesPath(folder);
    case Writer::Banners:
        return mediafiles::bannersPath(folder);
    }
    return {};
}

bool run(Writer w, MediaStore& store, const QString& folder, QString* error) {
    switch (w) {
    case Writer::Album:
        return createXML(store, folder, error);
    case Writer::Props:
        return createTXT(store, folder, error);
    case Writer::Slides:
        return createTXT1(store, folder, error);
    case Writer::Banners:
        return createXML2(store, folder, error);
    }
    return false;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

const QByteArray kEarlier("earlier list");

// A list left by an earlier write, to tell a kept file from a rewritten one.
bool writeEarlier(const QString& path) {
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && f.open(QIODevice::WriteOnly) &&
           f.write(kEarlier) == kEarlier.size();
}

QByteArray album(const QByteArray& entries) {
    return "<artworkinfo>" + entries + "</artworkinfo>\n";
}
QByteArray albumEntry(const QByteArray& location, const QByteArray& artist) {
    return "<albuminfo><artLocation>" + location + "</artLocation><artist>" + artist +
           "</artist><albumName>.</albumName><artistLink>#</artistLink><albumLink>#</albumLink>"
           "</albuminfo>";
}
QByteArray props(const QByteArray& items) {
    return "<?xml version='1.0' encoding='UTF-8'?><component name='XMLSlideShowV3'><data>" + items +
           "</data></component>\r\n";
}
QByteArray slides(const QByteArray& images) {
    return "<?xml version='1.0' encoding='UTF-8'?><slideshow>" + images + "</slideshow>\r\n";
}
QByteArray banners(const QByteArray& lines) {
    return "<banner>\r\n" + lines + "</banner>\r\n";
}

} // namespace

Q_DECLARE_METATYPE(Writer)

class TestMediaFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNames_data();
    void fileNames();
    void exactBytes_data();
    void exactBytes();
    void unreadableItems_data();
    void unreadableItems();
    void unwritableFolderIsReported();
};

void TestMediaFiles::fileNames_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("windows path") << "C:\\data\\gallery\\12.jpg"
                                  << "12.jpg";
    QTest::newRow("unix path") << "/srv/data/gallery/12.jpg"
                               << "12.jpg";
    QTest::newRow("mixed separators") << "C:\\data/gallery\\7.png"
                                      << "7.png";
    QTest::newRow("bare name is kept whole") << "12.jpg"
                                             << "12.jpg";
    QTest::newRow("trailing separator") << "/srv/data/"
                                        << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestMediaFiles::fileNames() {
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(getFileName(path), name);
}

void TestMediaFiles::exactBytes_data() {
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QByteArray>("expected");

    const Rows mixed{
        "Picture|1|C:\\data\\gallery\\12.jpg|Offer", "Video|1|/srv/videos/intro.mpg|Intro",
        "Picture|0|/srv/data/gallery/13.png|Old",    "Flash|1|/srv/data/gallery/14.swf|Banner",
        "Picture|1|/srv/data/gallery/15.gif|Rates",  "Flash|0|/srv/data/gallery/16.swf|Off"};
    QTest::newRow("album: active pictures in key order")
        << Writer::Album << mixed
        << album(albumEntry("12.jpg", "Offer") + albumEntry("15.gif", "Rates"));
    QTest::newRow("album: description escaped")
        << Writer::Album << Rows{"Picture|1|/g/1.jpg|Buy & sell <today>"}
        << album(albumEntry("1.jpg", "Buy &amp; sell &lt;today&gt;"));
    QTest::newRow("album: bare name gives an empty location")
        << Writer::Album << Rows{"Picture|1|1.jpg|x"} << album(albumEntry("", "x"));
    QTest::newRow("album: non-ASCII as UTF-8")
        << Writer::Album << Rows{"Picture|1|/g/caf\u00e9.jpg|\u20ac rates"}
        << album(albumEntry("caf\xc3\xa9.jpg", "\xe2\x82\xac rates"));
    QTest::newRow("album: no pictures leaves the earlier file")
        << Writer::Album << Rows{"Picture|0|/g/1.jpg|", "Video|1|/v/a.avi|"} << kEarlier;

    QTest::newRow("props: active pictures")
        << Writer::Props << mixed
        << props("<item itemEvents='true' contentPath='12.jpg' />"
                 "<item itemEvents='true' contentPath='15.gif' />");
    QTest::newRow("props: apostrophe unescaped, bare name whole")
        << Writer::Props << Rows{"Picture|1|/g/o'neil&co.jpg|", "Picture|1|plain.png|"}
        << props("<item itemEvents='true' contentPath='o'neil&co.jpg' />"
                 "<item itemEvents='true' contentPath='plain.png' />");
    QTest::newRow("props: no pictures") << Writer::Props << Rows{} << props("");

    QTest::newRow("slides: active pictures")
        << Writer::Slides << mixed
        << slides("<image src=\"gallery\\12.jpg\" desc=\" \"/>"
                  "<image src=\"gallery\\15.gif\" desc=\" \"/>");
    QTest::newRow("slides: bare name whole, empty name kept")
        << Writer::Slides << Rows{"Picture|1|a<b>.jpg|", "Picture|1||"}
        << slides("<image src=\"gallery\\a<b>.jpg\" desc=\" \"/>"
                  "<image src=\"gallery\\\" desc=\" \"/>");
    QTest::newRow("slides: no pictures") << Writer::Slides << Rows{} << slides("");

    QTest::newRow("banners: active Flash items")
        << Writer::Banners << mixed
        << banners("<anuncio descricao=\" link=\">gallery\\14.swf</anuncio>\r\n");
    QTest::newRow("banners: bare name gives an empty name")
        << Writer::Banners << Rows{"Flash|1|14.swf|", "Flash|1|C:\\g\\15.swf|"}
        << banners("<anuncio descricao=\" link=\">gallery\\</anuncio>\r\n"
                   "<anuncio descricao=\" link=\">gallery\\15.swf</anuncio>\r\n");
    QTest::newRow("banners: none") << Writer::Banners << Rows{"Picture|1|/g/1.jpg|"} << banners("");
}

void TestMediaFiles::exactBytes() {
    QFETCH(Writer, writer);
    QFETCH(Rows, rows);
    QFETCH(QByteArray, expected);
    Fixture f;
    f.add(rows);
    const QString folder = f.env.dir() + QStringLiteral("/data");
    const QString path = pathOf(writer, folder);
    QVERIFY(writeEarlier(path));
    QString error;
    QVERIFY2(run(writer, f.store, folder, &error), qPrintable(error));
    QCOMPARE(readAll(path), expected);
}

void TestMediaFiles::unreadableItems_data() {
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("album") << Writer::Album << kEarlier;
    QTest::newRow("props") << Writer::Props << kEarlier;
    QTest::newRow("slides") << Writer::Slides << kEarlier;
    // The banner list is written regardless, without entries.
    QTest::newRow("banners") << Writer::Banners << banners("");
}

void TestMediaFiles::unreadableItems() {
    QFETCH(Writer, writer);
    QFETCH(QByteArray, expected);
    Fixture f;
    f.add({"Picture|1|/g/1.jpg|", "Flash|1|/g/2.swf|"});
    const QString folder = f.env.dir();
    const QString path = pathOf(writer, folder);
    QVERIFY(writeEarlier(path));
    f.db.exec(QStringLiteral("DROP TABLE tblVideo"));
    QString error;
    QVERIFY(!run(writer, f.store, folder, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path), expected);
}

void TestMediaFiles::unwritableFolderIsReported() {
    Fixture f;
    f.add({"Picture|1|/g/1.jpg|"});
    // A plain file where the gallery folder should be.
    const QString folder = f.env.dir();
    QFile blocker(folder + QStringLiteral("/gallery"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    QVERIFY(!createXML(f.store, folder, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!createTXT(f.store, folder, &error));
    QVERIFY(createTXT1(f.store, folder, &error));
}

QTEST_GUILESS_MAIN(TestMediaFiles)
#include "tst_mediafiles.moc"
