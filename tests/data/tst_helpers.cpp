#include "data/dbpath.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "panel/startupcheck.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QtTest>

using namespace quoteria;

namespace {
void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}
} // namespace

class TestHelpers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countOccurrences_data();
    void countOccurrences();
    void pathParts_data();
    void pathParts();
    void fileExistsCases();
    void themeKey();
    void themeKeyAnyCase_data();
    void themeKeyAnyCase();
    void sameIgnoringCaseCases_data();
    void sameIgnoringCaseCases();
    void lastPathItem_data();
    void lastPathItem();
    void pathFileInConfigFolder();
    void startupCheckOpensDatabase();
    void startupCheckFailures_data();
    void startupCheckFailures();
    void secondInstanceRefused();
};

void TestHelpers::countOccurrences_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<int>("count");
    QTest::newRow("three blanks") << "   "
                                  << " " << false << 3;
    QTest::newRow("overlaps") << "aaa"
                              << "aa" << false << 2;
    QTest::newRow("empty text") << ""
                                << "a" << false << 0;
    QTest::newRow("pattern longer") << "ab"
                                    << "abc" << false << 0;
    QTest::newRow("case binary") << "aAa"
                                 << "a" << false << 2;
    QTest::newRow("case text") << "aAa"
                               << "a" << true << 3;
    QTest::newRow("slashes") << "Buy/Sell/Rate"
                             << "/" << false << 2;
}

void TestHelpers::countOccurrences() {
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, ignoreCase);
    QFETCH(int, count);
    QCOMPARE(quoteria::countOccurrences(text, pattern, ignoreCase), count);
}

void TestHelpers::pathParts_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("windows") << "C:\\flags\\us.gif"
                             << "C:\\flags\\"
                             << "us.gif";
    QTest::newRow("unix") << "/usr/share/flags/us.png"
                          << "/usr/share/flags/"
                          << "us.png";
    QTest::newRow("bare name") << "us.gif"
                               << ""
                               << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("leading separator only") << "\\us.gif"
                                            << ""
                                            << "us.gif";
    QTest::newRow("trailing separator") << "C:\\flags\\"
                                        << "C:\\flags\\"
                                        << "";
}

void TestHelpers::pathParts() {
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QCOMPARE(folderOf(path), folder);
    QCOMPARE(fileNameOf(path), name);
}

void TestHelpers::fileExistsCases() {
    test::TestEnv env;
    const QString empty = env.dir() + QStringLiteral("/empty.bin");
    writeFile(empty, QByteArray());
    QVERIFY(fileExists(empty));
    QVERIFY(!fileExists(env.dir() + QStringLiteral("/none.bin")));
    QVERIFY(!fileExists(QString()));
    QVERIFY(!fileExists(env.dir())); // a folder has no length to read
}

void TestHelpers::themeKey() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    QVERIFY(themeKeyOf(db, demoThemeName()) > 0);
    QCOMPARE(themeKeyOf(db, QStringLiteral("No such theme")), qint64(0));
    QCOMPARE(themeKeyOf(db, QString()), qint64(0));
    QCOMPARE(themeKeyOf(db, QStringLiteral("x' or '1'='1")), qint64(0));
}

void TestHelpers::themeKeyAnyCase_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("theme"); // index into the themes below, -1: none
    QTest::newRow("ascii lower") << "demo board" << 0;
    QTest::newRow("ascii upper") << "DEMO BOARD" << 0;
    QTest::newRow("accented") << QString::fromUtf8("KURSTAFEL ZÜRICH") << 1;
    QTest::newRow("greek") << QString::fromUtf8("ΑΘΉΝΑ ΚΈΝΤΡΟ") << 2;
    QTest::newRow("cyrillic") << QString::fromUtf8("москва") << 3;
    QTest::newRow("mixed") << QString::fromUtf8("éCRAN ΣΤΟΆ мИр") << 4;
    QTest::newRow("exact before other case") << "NIGHT" << 6;
    QTest::newRow("other case: first one") << "night" << 5;
    QTest::newRow("accent differs") << QString::fromUtf8("Kurstafel Zurich") << -1;
    QTest::newRow("quote") << "demo board' or '1'='1" << -1;
    QTest::newRow("like pattern") << "%" << -1;
}

void TestHelpers::themeKeyAnyCase() {
    QFETCH(QString, typed);
    QFETCH(int, theme);
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    QVector<qint64> keys{themeKeyOf(db, demoThemeName())};
    for (const char* name : {"Kurstafel Zürich", "Αθήνα Κέντρο", "Москва", "Écran στοά Мир",
                             "Night", "NIGHT"}) {
        QVariantMap row;
        row[QStringLiteral("themename")] = QString::fromUtf8(name);
        keys << db.insert(QStringLiteral("tbltheme"), row);
        QVERIFY(keys.last() > 0);
    }
    QCOMPARE(themeKeyOf(db, typed), theme < 0 ? qint64(0) : keys.at(theme));
}

void TestHelpers::sameIgnoringCaseCases_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("ascii") << "Clerk" << "cLERK" << true;
    QTest::newRow("accented") << QString::fromUtf8("jürgen") << QString::fromUtf8("JÜRGEN")
                              << true;
    QTest::newRow("sharp s expands") << QString::fromUtf8("straße") << "STRASSE" << true;
    QTest::newRow("greek final sigma") << QString::fromUtf8("όλγας") << QString::fromUtf8("ΌΛΓΑΣ")
                                       << true;
    QTest::newRow("cyrillic") << QString::fromUtf8("Пароль") << QString::fromUtf8("пАРОЛЬ")
                              << true;
    QTest::newRow("accent differs") << QString::fromUtf8("Müller") << "MULLER" << false;
    QTest::newRow("longer") << "ab" << "ABC" << false;
    QTest::newRow("empty and null") << "" << QString() << true;
}

void TestHelpers::sameIgnoringCaseCases() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(sameIgnoringCase(a, b), same);
    QCOMPARE(sameIgnoringCase(b, a), same);
}

void TestHelpers::lastPathItem_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("path");
    QTest::newRow("one line") << "/data/rates.db\n"
                              << "/data/rates.db";
    QTest::newRow("last comma item") << "/old/rates.db,/new/rates.db"
                                     << "/new/rates.db";
    QTest::newRow("last line") << "/a/rates.db\r\n/b/rates.db\r\n\r\n"
                               << "/b/rates.db";
    QTest::newRow("quoted with comma") << "\"/a,b/rates.db\""
                                       << "/a,b/rates.db";
    QTest::newRow("empty") << ""
                           << "";
}

void TestHelpers::lastPathItem() {
    QFETCH(QString, content);
    QFETCH(QString, path);
    QCOMPARE(quoteria::lastPathItem(content), path);
}

void TestHelpers::pathFileInConfigFolder() {
    test::TestEnv env;
    const QString db = env.dir() + QStringLiteral("/some folder/rates.db");
    QString err;
    QVERIFY(writeUserDbPath(db, &err));
    const DbLocation loc = readDbPath();
    QCOMPARE(loc.path, db);
    QCOMPARE(loc.dataFolder, env.dir() + QStringLiteral("/some folder"));
    // The data folder is the file's folder whatever the file name's length.
    QCOMPARE(dataFolderOf(QStringLiteral("/x/y/a-much-longer-name.sqlite")),
             QStringLiteral("/x/y"));
}

void TestHelpers::startupCheckOpensDatabase() {
    test::TestEnv env;
    QString path;
    {
        Database db(QStringLiteral("maker"));
        QVERIFY(env.makeDatabase(db));
        path = db.path();
    }
    QVERIFY(writeUserDbPath(path, nullptr));
    Database db;
    const DatabaseCheck c = startupDatabaseCheck(db);
    QVERIFY(c.ok);
    QVERIFY(db.isOpen());
    QCOMPARE(c.dataFolder, env.dir());
    QVERIFY(env.recorder.entries.isEmpty());
    // A second open of the same file keeps the connection.
    const QSqlDatabase before = db.connection();
    QVERIFY(db.open(path));
    QCOMPARE(db.connection().connectionName(), before.connectionName());
}

void TestHelpers::startupCheckFailures_data() {
    QTest::addColumn<QString>("pathTxt"); // empty: no path.txt at all
    QTest::addColumn<int>("messages");
    QTest::newRow("no path.txt") << "" << 2;
    QTest::newRow("missing database") << "%1/nowhere/rates.db" << 1;
    QTest::newRow("not a database") << "%1/garbage.db" << 1;
}

void TestHelpers::startupCheckFailures() {
    QFETCH(QString, pathTxt);
    QFETCH(int, messages);
    test::TestEnv env;
    writeFile(env.dir() + QStringLiteral("/garbage.db"), QByteArray(2048, 'g'));
    if (!pathTxt.isEmpty())
        writeFile(env.configDir() + QStringLiteral("/quoteria/path.txt"),
                  pathTxt.arg(env.dir()).toUtf8());
    Database db;
    const DatabaseCheck c = startupDatabaseCheck(db);
    QVERIFY(!c.ok);
    QVERIFY(!db.isOpen());
    QCOMPARE(env.recorder.entries.size(), messages);
    const auto last = env.recorder.entries.last();
    QCOMPARE(last.text,
             QStringLiteral("Database Error ...Cannot continue.            \nCheck path.txt file"));
    QCOMPARE(last.icon, MsgIcon::Critical);
    QVERIFY(!QFile::exists(env.dir() + QStringLiteral("/nowhere/rates.db")));
}

void TestHelpers::secondInstanceRefused() {
    test::TestEnv env;
    const QString lockPath = env.dir() + QStringLiteral("/instance.lock");
    auto first = acquireInstanceLock(lockPath);
    QVERIFY(first);
    QVERIFY(!acquireInstanceLock(lockPath));
    QCOMPARE(kAlreadyRunning,
             QStringLiteral("Application already running.") + QString(17, QLatin1Char(' ')));
    first.reset();
    QVERIFY(acquireInstanceLock(lockPath));
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
