#include "data/database.h"
#include "data/mediastore.h"
#include "media/mediagallery.h"
#include "testsupport.h"

#include <QFile>
#include <QtTest>

using namespace quoteria;

namespace {

struct Fixture {
    test::TestEnv env;
    Database db;
    MediaStore store{db};
    QString data;   // the data folder
    QString chosen; // where the operator's files are
    Fixture() {
        if (!env.makeDatabase(db))
            qFatal("no database: %s", qPrintable(db.lastError()));
        data = env.dir() + QStringLiteral("/data");
        chosen = env.dir() + QStringLiteral("/chosen/");
        QDir().mkpath(chosen);
    }
    QString file(const QString& name, const QByteArray& bytes) {
        QFile f(chosen + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(name));
        return f.fileName();
    }
};

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// How the item stands before the save.
enum class Before {
    None,         // a new item
    AddedVideo,   // a video added as new: points at the chosen file, copy made
    AddedNoCopy,  // as AddedVideo, but its gallery copy is gone
    SavedPicture, // a picture pointing at its gallery copy
    Deleted,      // the item was deleted meanwhile
};

} // namespace

Q_DECLARE_METATYPE(Before)

class TestMediaGallery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void names_data();
    void names();
    void pictureFiles_data();
    void pictureFiles();
    void save_data();
    void save();
    void largeFileCopiedWhole();
    void stagedCopyIsPlaced();
};

void TestMediaGallery::names_data() {
    QTest::addColumn<qint64>("key");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("name");
    QTest::newRow("three-letter extension") << qint64(12) << "C:\\x\\a.jpg"
                                            << "12.jpg";
    QTest::newRow("four-letter extension loses its dot") << qint64(13) << "/x/a.jpeg"
                                                         << "13jpeg";
    QTest::newRow("unix path") << qint64(14) << "/home/op/a.jpg"
                               << "14.jpg";
    QTest::newRow("short path whole") << qint64(5) << "ab"
                                      << "5ab";
}

void TestMediaGallery::names() {
    QFETCH(qint64, key);
    QFETCH(QString, chosen);
    QFETCH(QString, name);
    QCOMPARE(galleryName(key, chosen), name);
    QCOMPARE(galleryPath(QStringLiteral("/d"), key, chosen), QStringLiteral("/d/gallery/") + name);
}

void TestMediaGallery::pictureFiles_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("picture");
    QTest::newRow("jpg") << "/x/a.jpg" << true;
    QTest::newRow("upper-case JPG") << "/x/A.JPG" << true;
    QTest::newRow("png") << "a.png" << true;
    QTest::newRow("bmp") << "a.Bmp" << true;
    QTest::newRow("gif") << "a.gif" << true;
    QTest::newRow("jpeg is not") << "a.jpeg" << false;
    QTest::newRow("video") << "a.avi" << false;
    QTest::newRow("flash") << "a.swf" << false;
    QTest::newRow("empty") << "" << false;
}

void TestMediaGallery::pictureFiles() {
    QFETCH(QString, path);
    QFETCH(bool, picture);
    QCOMPARE(isPictureFile(path), picture);
}

void TestMediaGallery::save_data() {
    QTest::addColumn<Before>("before");
    QTest::addColumn<QString>("type");
    // The file in the editor: "same" (as loaded), "new" (another, readable file),
    // "missing" (a file that is not there).
    QTest::addColumn<QString>("choice");
    QTest::addColumn<bool>("saved");
    // Where the row points afterwards: "gallery", "chosen", "as before", "none".
    QTest::addColumn<QString>("points");
    // The gallery copy afterwards: "new" (the chosen bytes), "old" (untouched), "none".
    QTest::addColumn<QString>("copy");

    QTest::newRow("new picture") << Before::None << "Picture"
                                 << "new" << true << "gallery"
                                 << "new";
    QTest::newRow("new Flash item") << Before::None << "Flash"
                                    << "new" << true << "gallery"
                                    << "new";
    QTest::newRow("new video keeps its place, copy made") << Before::None << "Video"
                                                          << "new" << true << "chosen"
                                                          << "new";
    QTest::newRow("new item, unreadable file: nothing stored") << Before::None << "Picture"
                                                               << "missing" << false << "none"
                                                               << "none";
    QTest::newRow("picture saved again: not copied") << Before::SavedPicture << "Picture"
                                                     << "same" << true << "gallery"
                                                     << "old";
    QTest::newRow("picture with another file: copied over") << Before::SavedPicture << "Picture"
                                                            << "new" << true << "gallery"
                                                            << "new";
    QTest::newRow("picture with an unreadable file: row kept") << Before::SavedPicture << "Picture"
                                                               << "missing" << false << "as before"
                                                               << "old";
    QTest::newRow("video saved again: points at its copy") << Before::AddedVideo << "Video"
                                                           << "same" << true << "gallery"
                                                           << "old";
    QTest::newRow("video saved again without a copy: copied") << Before::AddedNoCopy << "Video"
                                                              << "same" << true << "gallery"
                                                              << "new";
    QTest::newRow("video without a copy, file gone: row kept") << Before::AddedNoCopy << "Video"
                                                               << "missing" << false << "as before"
                                                               << "none";
    QTest::newRow("item deleted meanwhile") << Before::Deleted << "Picture"
                                            << "new" << false << "none"
                                            << "old";
}

void TestMediaGallery::save() {
    QFETCH(Before, before);
    QFETCH(QString, type);
    QFETCH(QString, choice);
    QFETCH(bool, saved);
    QFETCH(QString, points);
    QFETCH(QString, copy);
    Fixture f;
    const QString original = f.file(QStringLiteral("first.jpg"), "first bytes");
    const QString other = f.file(QStringLiteral("second.jpg"), "second bytes");

    MediaEdit e;
    e.type = type;
    e.description = QStringLiteral("desc");
    e.active = true;
    qint64 key = 0;
    QString loaded;
    if (before != Before::None) {
        MediaEdit first = e;
        first.chosenPath = original;
        key = saveMediaItem(f.store, f.data, first);
        QVERIFY(key > 0);
        const QString gallery = galleryPath(f.data, key, original);
        // The copy as it stands before the save, told apart from a fresh one.
        QFile::remove(gallery);
        if (before != Before::AddedNoCopy) {
            QFile g(gallery);
            QVERIFY(g.open(QIODevice::WriteOnly));
            g.write("old copy");
        }
        if (before == Before::SavedPicture) {
            MediaItem m = *f.store.load(key);
            m.fileName = gallery;
            QVERIFY(f.store.update(m));
        }
        loaded = f.store.load(key)->fileName;
        if (before == Before::Deleted)
            QVERIFY(f.store.remove(key));
    }
    e.key = key;
    e.loadedPath = loaded;
    e.description = QStringLiteral("changed");
    e.chosenPath = choice == QLatin1String("same")  ? loaded
                   : choice == QLatin1String("new") ? other
                                                    : f.chosen + QStringLiteral("gone.jpg");
    if (choice == QLatin1String("missing") && before == Before::AddedNoCopy) {
        // The video's own file is gone as well.
        QVERIFY(QFile::remove(original));
        e.chosenPath = loaded;
    }

    QString error;
    const qint64 got = saveMediaItem(f.store, f.data, e, &error);
    QCOMPARE(got > 0, saved);
    QCOMPARE(error.isEmpty(), saved);
    if (key > 0 && saved)
        QCOMPARE(got, key);
    const qint64 itemKey = got > 0 ? got : key;

    const QVector<MediaItem> rows = f.store.all();
    if (points == QLatin1String("none")) {
        QVERIFY(rows.isEmpty());
    } else {
        QCOMPARE(rows.size(), 1);
        const MediaItem& m = rows.first();
        const QString expected = points == QLatin1String("gallery")
                                     ? galleryPath(f.data, itemKey, e.chosenPath)
                                 : points == QLatin1String("chosen") ? e.chosenPath
                                                                     : loaded;
        QCOMPARE(m.fileName, expected);
        QCOMPARE(m.description, saved ? QStringLiteral("changed") : QStringLiteral("desc"));
        QCOMPARE(m.type, type);
    }
    const QString gallery = galleryPath(f.data, itemKey > 0 ? itemKey : 1, e.chosenPath);
    const QByteArray expectedCopy = copy == QLatin1String("new")   ? bytesOf(e.chosenPath)
                                    : copy == QLatin1String("old") ? QByteArray("old copy")
                                                                   : QByteArray("(missing)");
    QCOMPARE(bytesOf(gallery), expectedCopy);
}

void TestMediaGallery::largeFileCopiedWhole() {
    Fixture f;
    // Several copy blocks and a ragged end.
    QByteArray big(3 * (1 << 20) + 12345, Qt::Uninitialized);
    for (int i = 0; i < big.size(); ++i)
        big[i] = char(i * 7 % 251);
    const QString from = f.file(QStringLiteral("big.avi"), big);
    const QString to = f.data + QStringLiteral("/gallery/1.avi");
    QString error;
    QVERIFY2(copyFileOver(from, to, &error), qPrintable(error));
    QCOMPARE(bytesOf(to), big);
}

void TestMediaGallery::stagedCopyIsPlaced() {
    Fixture f;
    f.store.add(MediaItem{}); // the new item is not the first key
    const QString from = f.file(QStringLiteral("a.png"), "picture");
    QString error;
    const QString staged = stageCopy(from, galleryFolder(f.data), &error);
    QVERIFY2(!staged.isEmpty(), qPrintable(error));
    MediaEdit e;
    e.chosenPath = from;
    e.type = MediaStore::kPicture;
    const qint64 key = saveMediaItem(f.store, f.data, e, &error, staged);
    QCOMPARE(key, 2);
    QCOMPARE(bytesOf(galleryPath(f.data, key, from)), QByteArray("picture"));
    QVERIFY(!QFile::exists(staged));
    QCOMPARE(QDir(galleryFolder(f.data)).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

QTEST_GUILESS_MAIN(TestMediaGallery)
#include "tst_mediagallery.moc"
