#include "data/dbpath.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "design/themearchive.h"
#include "testsupport.h"

#include <quazip.h>
#include <quazipfile.h>

#include <QBuffer>
#include <QDirIterator>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

using namespace quoteria;

class TestThemeArchive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTripRendersAlike_data();
    void roundTripRendersAlike();
    void exportLeavesOutUnreadablePictures();
    void damagedFilesAreRefused_data();
    void damagedFilesAreRefused();
    void mutatedArchivesNeverCrash();
};

namespace {
using Entries = QMap<QString, QByteArray>;

QByteArray zipOf(const Entries& entries) {
    QBuffer buffer;
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        QuaZipFile f(&zip);
        f.open(QIODevice::WriteOnly, QuaZipNewInfo(it.key()));
        f.write(it.value());
    }
    zip.close();
    return buffer.data();
}

QByteArray png(const QColor& colour) {
    QImage img(48, 32, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray out;
    QBuffer b(&out);
    b.open(QIODevice::WriteOnly);
    img.save(&b, "PNG");
    return out;
}

// A small theme naming one picture, with the columns in `extra` and the given files.
QByteArray archive(const QJsonObject& extra = {}, Entries files = {{"logo.png", png(Qt::red)}},
                   int version = 1) {
    QJsonObject theme{{"themename", "Branch"}, {"rows", 12}, {"logo", "logo.png"}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        theme.insert(it.key(), it.value());
    const QJsonObject root{{"format", "quoteria-theme"}, {"version", version}, {"theme", theme}};
    files.insert("theme.json", QJsonDocument(root).toJson());
    return zipOf(files);
}

QStringList filesUnder(const QString& dir) {
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

QList<int> rowCounts(Database& db) {
    QList<int> out;
    for (const char* t : ThemeRows::kTables)
        out << db.scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(t))).toInt();
    return out;
}

int runQuoteria(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("QUOTERIA_EXE"), args);
    const bool ran = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return ran ? p.exitCode() : -1;
}

QImage render(const QString& dbPath, const QString& theme, const QString& out) {
    QString e;
    writeUserDbPath(dbPath, &e);
    runQuoteria({"--render-board", theme, "--out", out, "--size", "683x384", "--ms", "0"});
    return QImage(out);
}
} // namespace

void TestThemeArchive::roundTripRendersAlike_data() {
    QTest::addColumn<bool>("sameDatabase");
    QTest::addColumn<QString>("importedName");
    QTest::newRow("into another counter") << false << "Share Test";
    QTest::newRow("into the same counter") << true << "Share Test (2)";
}

void TestThemeArchive::roundTripRendersAlike() {
    QFETCH(bool, sameDatabase);
    QFETCH(QString, importedName);
    test::TestEnv env;
    QDir(env.dir()).mkpath("office");
    QDir(env.dir()).mkpath("branch");
    Database office(QStringLiteral("office")), branch(QStringLiteral("branch"));
    QVERIFY(env.makeDatabase(office, true, "office/rates.db"));
    QVERIFY(env.makeDatabase(branch, true, "branch/rates.db"));

    // The demo layout, still (no clock, a plain title), with a different picture in
    // every picture column, kept where only the head office has them.
    ThemeStore themes(office, nullptr);
    ThemeRows rows = *themes.loadRows(themeKeyOf(office, demoThemeName()));
    QVariantMap& theme = *rows.part[ThemeRows::Theme];
    theme["themename"] = "Share Test";
    theme["displaytime"] = 0;
    theme["ttlname"] = "RATES";
    const QColor colours[] = {Qt::darkGreen, Qt::magenta, Qt::cyan,
                              Qt::yellow,    Qt::darkRed, Qt::gray};
    int i = 0;
    for (const auto& pc : ThemeArchive::kPictureColumns) {
        const QString path = env.dir() + "/pictures/" + pc.column + ".png";
        QDir().mkpath(env.dir() + "/pictures");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(png(colours[i++])) > 0);
        (*rows.part[pc.part])[pc.column] = path;
    }
    QString name;
    QVERIFY(themes.importRows(rows, {}, &name) > 0);

    const QString file = env.dir() + "/share.qtheme";
    QString e;
    QVERIFY(writeUserDbPath(office.path(), &e));
    QCOMPARE(runQuoteria({"--export-theme", "share test", file}), 0);
    Database& target = sameDatabase ? office : branch;
    QVERIFY(writeUserDbPath(target.path(), &e));
    QCOMPARE(runQuoteria({"--import-theme", file}), 0);

    // The copies sit in the target's data folder, not at the head office's paths.
    const auto copied = ThemeStore(target, nullptr).loadRows(themeKeyOf(target, importedName));
    QVERIFY(copied);
    const QString folder = dataFolderOf(target.path()) + "/themes/";
    for (const auto& pc : ThemeArchive::kPictureColumns) {
        const QString path = copied->part[pc.part]->value(pc.column).toString();
        QVERIFY2(path.startsWith(folder), qPrintable(path));
        QCOMPARE(QImage(path), QImage(rows.part[pc.part]->value(pc.column).toString()));
    }

    const QImage original = render(office.path(), "Share Test", env.dir() + "/original.png");
    const QImage imported = render(target.path(), importedName, env.dir() + "/imported.png");
    QVERIFY(!original.isNull());
    QCOMPARE(imported, original);
    // The board background picture shows in the corner, so the pictures took part.
    QCOMPARE(original.pixel(2, 2), QColor(Qt::darkRed).rgb());
}

void TestThemeArchive::exportLeavesOutUnreadablePictures() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    const QString gone = env.dir() + "/gone.png", text = env.dir() + "/notes.png";
    QFile f(text);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("not a picture") > 0 && f.flush());
    QVERIFY(QImage(1, 1, QImage::Format_RGB32).save(env.dir() + "/img1.png"));
    ThemeRecord rec = *ThemeStore(db, nullptr).loadRecord(themeKeyOf(db, demoThemeName()));
    rec.values.insert({{"logo", gone}, {"NBGimg", text}, {"img1", env.dir() + "/img1.png"}});
    QVERIFY(ThemeStore(db, nullptr).saveRecord(rec) == rec.key);

    QStringList leftOut;
    const QString file = env.dir() + "/out/share.qtheme";
    QVERIFY(!exportTheme(db, demoThemeName(), file, &leftOut)); // no such folder
    QVERIFY(!exportTheme(db, "No Such Theme", env.dir() + "/x.qtheme"));
    QVERIFY(QDir(env.dir()).mkpath("out"));
    env.recorder.clear();
    QVERIFY(exportTheme(db, demoThemeName(), file, &leftOut));
    QCOMPARE(leftOut, QStringList({gone, text}));
    QVERIFY(env.recorder.texts().join('\n').contains(gone + "\" (logo) is left out"));
    QCOMPARE(QDir(env.dir()).entryList({"*.qtheme"}), QStringList());
    QCOMPARE(QDir(env.dir() + "/out").entryList(QDir::Files), QStringList({"share.qtheme"}));

    const auto read = ThemeArchive::read(file, nullptr);
    QVERIFY(read);
    QCOMPARE(read->rows.part[ThemeRows::Theme]->value("logo"), QVariant(QString()));
    QCOMPARE(read->rows.part[ThemeRows::Theme]->value("img1"), QVariant("img1.png"));
    QCOMPARE(read->pictures.keys(), QStringList({"img1.png"}));
}

void TestThemeArchive::damagedFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    const QByteArray good = archive();
    QTest::newRow("not a zip") << QByteArray("PK\x03\x04 hello") << "not a zip";
    QTest::newRow("truncated zip") << good.left(good.size() - 30) << "not a zip";
    QTest::newRow("bad JSON") << zipOf({{"theme.json", "{\"format\": "}}) << "not a JSON";
    QTest::newRow("unknown version") << archive({}, {{"logo.png", png(Qt::red)}}, 2) << "version 2";
    QTest::newRow("no theme part")
        << zipOf({{"theme.json", R"({"format": "quoteria-theme", "version": 1})"}})
        << "no theme part";
    QTest::newRow("entry outside the folder")
        << archive({{"logo", "../x.png"}}, {{"../x.png", png(Qt::red)}}) << "not a plain file name";
    QTest::newRow("unknown column") << archive({{"nosuch", 1}}) << "unknown column \"nosuch\"";
    QTest::newRow("key column") << archive({{"themeauto", 1}}) << "unknown column \"themeauto\"";
    QTest::newRow("value of a wrong kind")
        << archive({{"rows", QJsonArray{1, 2}}}) << "no plain value";
    QTest::newRow("picture that does not decode")
        << archive({}, {{"logo.png", "\x89PNG junk"}}) << "picture \"logo.png\"";
    QTest::newRow("picture not in the file") << archive({}, {}) << "is not in it";
    QTest::newRow("picture beyond the size bound")
        << archive({}, {{"logo.png", QByteArray(33 << 20, '\0')}}) << "too large";
    // A sound file whose pictures cannot be put in place: the rows go too.
    QTest::newRow("no room for the pictures") << good << "themes cannot be made";
}

void TestThemeArchive::damagedFilesAreRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    test::TestEnv env;
    QDir(env.dir()).mkpath("office");
    Database db;
    QVERIFY(env.makeDatabase(db, true, "office/rates.db"));
    const QString file = env.dir() + "/damaged.qtheme";
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();
    if (why.contains("themes")) // a file where the pictures' folder would go
        QVERIFY(QFile(env.dir() + "/office/themes").open(QIODevice::WriteOnly));
    const QList<int> counts = rowCounts(db);
    const QStringList files = filesUnder(env.dir() + "/office");

    ThemeStore themes(db, nullptr);
    QCOMPARE(importTheme(themes, env.dir() + "/office", file).key, 0);
    QCOMPARE(env.recorder.entries.size(), 1);
    QVERIFY2(env.recorder.last().contains(why), qPrintable(env.recorder.last()));
    QCOMPARE(rowCounts(db), counts);
    QCOMPARE(filesUnder(env.dir() + "/office"), files);
}

void TestThemeArchive::mutatedArchivesNeverCrash() {
    const QByteArray good = archive();
    QRandomGenerator random(20261209);
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes = good;
        for (int k = 1 + int(random.bounded(4)); k > 0; --k)
            bytes[int(random.bounded(bytes.size()))] = char(random.bounded(256));
        if (random.bounded(4) == 0)
            bytes.truncate(int(random.bounded(bytes.size())));
        QBuffer buffer(&bytes);
        QString error;
        const auto read = ThemeArchive::read(&buffer, &error);
        QVERIFY(read || !error.isEmpty());
        // Whatever gets through holds only pictures that decode.
        for (const QByteArray& picture : read ? read->pictures : Entries())
            QCOMPARE(ThemeArchive::pictureFault(picture), QString());
    }
}

QTEST_GUILESS_MAIN(TestThemeArchive)
#include "tst_themearchive.moc"
