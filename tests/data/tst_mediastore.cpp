#include "data/database.h"
#include "data/dataevents.h"
#include "data/mediastore.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;

namespace {

struct Fixture {
    test::TestEnv env;
    Database db;
    DataEvents events;
    MediaStore store{db, &events};
    QSignalSpy changed{&store, &MediaStore::mediaChanged};
    QSignalSpy announced{&events, &DataEvents::mediaChanged};

    Fixture() {
        if (!env.makeDatabase(db))
            qFatal("no database: %s", qPrintable(db.lastError()));
    }
    qint64 add(const QString& file, const QString& type, bool active = true) {
        MediaItem m;
        m.fileName = file;
        m.type = type;
        m.active = active;
        return store.add(m);
    }
    void refuseWrites() {
        for (const char* op : {"UPDATE", "INSERT", "DELETE"})
            db.exec(QStringLiteral("CREATE TRIGGER refuse_%1 BEFORE %1 ON tblVideo BEGIN "
                                   "SELECT RAISE(ABORT, 'disk is write-protected'); END")
                        .arg(QLatin1String(op)));
    }
};

QStringList files(const QVector<MediaItem>& items) {
    QStringList out;
    for (const MediaItem& m : items)
        out << m.fileName;
    return out;
}

enum class Write { Add, AddFinished, Update, Remove };

} // namespace

class TestMediaStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsAreTheSchemas();
    void roundTrip();
    void activeOfType_data();
    void activeOfType();
    void listOrderIsTypeThenKey();
    void finishSeesTheNewKey();
    void refusedFinishKeepsNothing();
    void writeAnnouncesOnce_data();
    void writeAnnouncesOnce();
    void failedWriteIsSilent_data();
    void failedWriteIsSilent();
};

void TestMediaStore::columnsAreTheSchemas() {
    Fixture f;
    using V = MediaStore::Video;
    for (const QString& c :
         {V::key, V::fileName, V::description, V::active, V::type, V::fullScreen}) {
        const QString error = test::columnError(f.db, V::table, c);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
}

void TestMediaStore::roundTrip() {
    Fixture f;
    MediaItem m;
    m.fileName = QStringLiteral("/srv/media/intro.mpg");
    m.description = QStringLiteral("Intro & offers");
    m.active = false;
    m.type = MediaStore::kVideo;
    m.fullScreen = true;
    const qint64 key = f.store.add(m);
    QVERIFY(key > 0);
    auto back = f.store.load(key);
    QVERIFY(back);
    QCOMPARE(back->key, key);
    QCOMPARE(back->fileName, m.fileName);
    QCOMPARE(back->description, m.description);
    QCOMPARE(back->active, false);
    QCOMPARE(back->type, m.type);
    QCOMPARE(back->fullScreen, true);

    back->active = true;
    back->fullScreen = false;
    back->description = QStringLiteral("changed");
    QVERIFY(f.store.update(*back));
    const auto again = f.store.load(key);
    QCOMPARE(again->active, true);
    QCOMPARE(again->fullScreen, false);
    QCOMPARE(again->description, QStringLiteral("changed"));
    QVERIFY(!f.store.load(key + 1));
}

void TestMediaStore::activeOfType_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("videos") << "Video" << QStringList{"v1", "v3", "v4", "v5"};
    QTest::newRow("type in any letter case") << "VIDEO" << QStringList{"v1", "v3", "v4", "v5"};
    QTest::newRow("pictures") << "Picture" << QStringList{"p1"};
    QTest::newRow("banners") << "Flash" << QStringList{"f1"};
    QTest::newRow("unknown type") << "Sound" << QStringList{};
}

void TestMediaStore::activeOfType() {
    QFETCH(QString, type);
    QFETCH(QStringList, expected);
    Fixture f;
    f.add("v1", "Video");
    f.add("p1", "Picture");
    f.add("v2", "Video", false);
    f.add("f1", "Flash");
    f.add("v3", "Video");
    f.add("p2", "Picture", false);
    // A flag written by hand as text still counts.
    using V = MediaStore::Video;
    QVERIFY(f.db.insert(V::table, {{V::fileName, "v4"}, {V::active, "1"}, {V::type, "Video"}}) > 0);
    QVERIFY(f.db.insert(V::table, {{V::fileName, "v5"}, {V::active, 1}, {V::type, "video"}}) > 0);
    bool ok = false;
    QCOMPARE(files(f.store.active(type, &ok)), expected);
    QVERIFY(ok);
}

void TestMediaStore::listOrderIsTypeThenKey() {
    Fixture f;
    f.add("v1", "Video");
    f.add("p1", "Picture");
    f.add("f1", "Flash", false);
    f.add("p2", "Picture");
    f.add("v2", "video");
    f.add("f2", "flash");
    QCOMPARE(files(f.store.all()), (QStringList{"f1", "f2", "p1", "p2", "v1", "v2"}));
}

void TestMediaStore::finishSeesTheNewKey() {
    Fixture f;
    f.add("first", "Picture");
    MediaItem m;
    m.fileName = QStringLiteral("/home/x/a.jpg");
    qint64 seen = 0;
    const qint64 key = f.store.add(m, [&](MediaItem& item, QString*) {
        seen = item.key;
        item.fileName = QStringLiteral("/data/gallery/%1.jpg").arg(item.key);
        return true;
    });
    QVERIFY(key > 0);
    QCOMPARE(seen, key);
    QCOMPARE(f.store.load(key)->fileName, QStringLiteral("/data/gallery/%1.jpg").arg(key));
}

void TestMediaStore::refusedFinishKeepsNothing() {
    Fixture f;
    f.changed.clear();
    QString error;
    const qint64 key = f.store.add(
        MediaItem{},
        [](MediaItem&, QString* e) {
            *e = QStringLiteral("copy failed");
            return false;
        },
        &error);
    QCOMPARE(key, -1);
    QCOMPARE(error, QStringLiteral("copy failed"));
    QVERIFY(f.store.all().isEmpty());
    QCOMPARE(f.changed.count(), 0);
}

void TestMediaStore::writeAnnouncesOnce_data() {
    QTest::addColumn<Write>("write");
    QTest::newRow("add") << Write::Add;
    QTest::newRow("add with a finish") << Write::AddFinished;
    QTest::newRow("update") << Write::Update;
    QTest::newRow("remove") << Write::Remove;
}

void TestMediaStore::writeAnnouncesOnce() {
    QFETCH(Write, write);
    Fixture f;
    const qint64 key = f.add("a", "Video");
    f.changed.clear();
    f.announced.clear();
    MediaItem m;
    switch (write) {
    case Write::Add:
        QVERIFY(f.store.add(m) > key);
        break;
    case Write::AddFinished:
        QVERIFY(f.store.add(m, [](MediaItem&, QString*) { return true; }) > key);
        break;
    case Write::Update:
        m.key = key;
        QVERIFY(f.store.update(m));
        break;
    case Write::Remove:
        QVERIFY(f.store.remove(key));
        break;
    }
    QCOMPARE(f.changed.count(), 1);
    QCOMPARE(f.announced.count(), 1);
}

void TestMediaStore::failedWriteIsSilent_data() {
    QTest::addColumn<Write>("write");
    QTest::addColumn<bool>("refuse");
    QTest::newRow("add refused") << Write::Add << true;
    QTest::newRow("update refused") << Write::Update << true;
    QTest::newRow("update of a deleted item") << Write::Update << false;
    QTest::newRow("remove refused") << Write::Remove << true;
}

void TestMediaStore::failedWriteIsSilent() {
    QFETCH(Write, write);
    QFETCH(bool, refuse);
    Fixture f;
    const qint64 key = f.add("a", "Video");
    if (refuse)
        f.refuseWrites();
    f.changed.clear();
    MediaItem m;
    m.fileName = QStringLiteral("b");
    QString error;
    switch (write) {
    case Write::Add:
    case Write::AddFinished:
        QCOMPARE(f.store.add(m, {}, &error), -1);
        break;
    case Write::Update:
        m.key = refuse ? key : key + 1;
        QVERIFY(!f.store.update(m, &error));
        break;
    case Write::Remove:
        QVERIFY(!f.store.remove(key));
        break;
    }
    if (write != Write::Remove)
        QVERIFY(!error.isEmpty());
    QCOMPARE(f.changed.count(), 0);
    QCOMPARE(files(f.store.all()), QStringList{"a"});
}

QTEST_GUILESS_MAIN(TestMediaStore)
#include "tst_mediastore.moc"
