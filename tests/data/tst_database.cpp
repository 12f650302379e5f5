#include "data/database.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/schema.h"
#include "testsupport.h"

#include <QFile>
#include <QSqlField>
#include <QtTest>

using namespace quoteria;

class TestDatabase : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsInOrdinalOrder_data();
    void columnsInOrdinalOrder();
    void namesIgnoreCase_data();
    void namesIgnoreCase();
    void flagsCompareWithQuotedOne();
    void userNameAndPasswordIgnoreCase();
    void injectionIsJustAValue();
    void nextKeyKnownBeforeInsertAndNeverReused();
    void positionsAreUnique();
    void paging_data();
    void paging();
    void newerDatabaseRefused();
    void neverCreatesImplicitly();
    void createRefusesExistingFile();
    void notADatabaseRefused();
    void walJournal();
    void transactionRollsBack();
    void unknownColumnRejected();
    void demoData();
};

void TestDatabase::columnsInOrdinalOrder_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("ordinal");
    QTest::addColumn<QString>("column");
    QTest::newRow("curr key") << "tblCurr" << 0 << "currAuto";
    QTest::newRow("curr img") << "tblCurr" << 7 << "img";
    QTest::newRow("curr active") << "tblCurr" << 8 << "active";
    QTest::newRow("curr cell5") << "tblCurr" << 13 << "cell5";
    QTest::newRow("curr pos") << "tblCurr" << 14 << "pos";
    QTest::newRow("theme ttlname") << "tbltheme" << 35 << "ttlname";
    QTest::newRow("theme ttlsize") << "tbltheme" << 38 << "ttlsize";
    QTest::newRow("theme vgap") << "tbltheme" << 30 << "vgap";
    QTest::newRow("theme bgcolor") << "tbltheme" << 29 << "bgcolor";
    QTest::newRow("pos tblleft") << "tblpos" << 10 << "tblleft";
    QTest::newRow("pos videoheight") << "tblpos" << 17 << "videoheight";
    QTest::newRow("pos mewidth") << "tblpos" << 20 << "mewidth";
    QTest::newRow("pos newsheight") << "tblpos" << 29 << "newsheight";
    QTest::newRow("header theme") << "tblheader" << 0 << "themeauto";
    QTest::newRow("header head7") << "tblheader" << 7 << "head7";
    QTest::newRow("scroll direction") << "tblscroll" << 10 << "direction";
    QTest::newRow("video fullscreen") << "tblVideo" << 5 << "fullscreen";
    QTest::newRow("ss sdirection") << "tblss" << 8 << "sdirection";
    QTest::newRow("user type") << "tbluser" << 3 << "usertype";
    QTest::newRow("database autoupdate") << "tblDatabase" << 10 << "autoupdate";
    QTest::newRow("database interval") << "tblDatabase" << 11 << "interval";
    QTest::newRow("database colum5flag") << "tblDatabase" << 9 << "colum5flag";
}

void TestDatabase::columnsInOrdinalOrder() {
    QFETCH(QString, table);
    QFETCH(int, ordinal);
    QFETCH(QString, column);
    test::TestEnv env;
    Database db;
    QVERIFY2(env.makeDatabase(db), qPrintable(db.lastError()));
    // Read the real table, not our own definition of it.
    QSqlQuery q = db.exec(QStringLiteral("select * from %1").arg(table));
    const QSqlRecord rec = q.record();
    QVERIFY(ordinal < rec.count());
    QCOMPARE(rec.fieldName(ordinal).toLower(), column.toLower());
}

void TestDatabase::namesIgnoreCase_data() {
    QTest::addColumn<QString>("sqlA");
    QTest::addColumn<QString>("sqlB");
    QTest::newRow("tblCurr") << "select currAuto from tblCurr"
                             << "select currauto from tblcurr";
    QTest::newRow("scrollAuto") << "select scrollAuto from tblScroll"
                                << "select scrollauto from tblscroll";
    QTest::newRow("vidAuto") << "select vidAuto from tblVideo"
                             << "select vidauto from tblvideo";
    QTest::newRow("ttlName") << "select ttlName from tbltheme"
                             << "select ttlname from TBLTHEME";
    QTest::newRow("ttlBG") << "select ttlBG, ttlBGEnable from tbltheme"
                           << "select ttlbg, ttlbgEnable from tbltheme";
    QTest::newRow("BGimage") << "select BGimage from tbltheme"
                             << "select bgimage from tbltheme";
}

void TestDatabase::namesIgnoreCase() {
    QFETCH(QString, sqlA);
    QFETCH(QString, sqlB);
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    bool okA = false, okB = false;
    const auto a = db.fetchAll(sqlA, {}, &okA);
    const auto b = db.fetchAll(sqlB, {}, &okB);
    QVERIFY2(okA && okB, qPrintable(db.lastError()));
    QCOMPARE(a.size(), b.size());
    for (int i = 0; i < a.size(); ++i)
        QCOMPARE(a[i].value(0), b[i].value(0));
}

void TestDatabase::flagsCompareWithQuotedOne() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    // Flags arrive as numbers, check-box texts and booleans.
    const QVariantList flags{1, QStringLiteral("1"), true, 0, QStringLiteral("0"), false};
    int pos = 1;
    for (const QVariant& f : flags)
        QVERIFY(db.insert(QStringLiteral("tblCurr"),
                          {{QStringLiteral("currName"), QStringLiteral("C%1").arg(pos)},
                           {QStringLiteral("active"), f},
                           {QStringLiteral("pos"), pos++}}) > 0);
    const auto rows =
        db.fetchAll(QStringLiteral("select * from tblcurr where active='1' order by pos asc"));
    QCOMPARE(rows.size(), 3);
    for (const QSqlRecord& r : rows)
        QCOMPARE(r.value(QStringLiteral("active")).toString(), QStringLiteral("1"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from tblCurr where active=?"),
                       {QStringLiteral("1")})
                 .toInt(),
             3);
}

void TestDatabase::userNameAndPasswordIgnoreCase() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    const QString sql = QStringLiteral("select * from tbluser where username=? and userpass=?");
    QVERIFY(db.fetchOne(sql, {QStringLiteral("admin"), QStringLiteral("SECRET")}).has_value());
    QVERIFY(db.fetchOne(sql, {QStringLiteral("Admin"), QStringLiteral("secret")}).has_value());
    QVERIFY(!db.fetchOne(sql, {QStringLiteral("admin"), QStringLiteral("secrets")}).has_value());
}

void TestDatabase::injectionIsJustAValue() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    const QString sql = QStringLiteral("select * from tbluser where username=? and userpass=?");
    for (const QString& evil : {QStringLiteral("' or '1'='1"), QStringLiteral("admin'--"),
                                QStringLiteral("x'; delete from tbluser; --")})
        QVERIFY(!db.fetchOne(sql, {evil, evil}).has_value());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from tbluser")).toInt(), 1);
    // And a quote is stored as it was typed.
    const qint64 k = db.insert(QStringLiteral("tblCurr"),
                               {{QStringLiteral("currName"), QStringLiteral("O'Brien \"x\"")}});
    QVERIFY(k > 0);
    QCOMPARE(
        db.scalar(QStringLiteral("select currName from tblCurr where currAuto=?"), {k}).toString(),
        QStringLiteral("O'Brien \"x\""));
}

void TestDatabase::nextKeyKnownBeforeInsertAndNeverReused() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    const QString t = QStringLiteral("tblVideo");
    const qint64 expected = db.nextKey(t);
    const qint64 k1 = db.insert(t, {{QStringLiteral("filename"), QStringLiteral("a")}});
    QCOMPARE(k1, expected);
    QCOMPARE(db.nextKey(t), k1 + 1);
    // Deleting the newest row must not hand its key out again.
    QVERIFY(db.removeWhere(t, QStringLiteral("vidauto"), k1));
    QCOMPARE(db.nextKey(t), k1 + 1);
    QCOMPARE(db.insert(t, {{QStringLiteral("filename"), QStringLiteral("b")}}), k1 + 1);
}

void TestDatabase::positionsAreUnique() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    QVERIFY(db.insert(QStringLiteral("tblCurr"), {{QStringLiteral("currName"), QStringLiteral("A")},
                                                  {QStringLiteral("pos"), 5}}) > 0);
    QCOMPARE(
        db.insert(QStringLiteral("tblCurr"),
                  {{QStringLiteral("currName"), QStringLiteral("B")}, {QStringLiteral("pos"), 5}}),
        qint64(-1));
    QVERIFY(!db.lastError().isEmpty());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 1);
}

void TestDatabase::paging_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QList<int>>("positions");
    QTest::newRow("first of three")
        << 25 << 10 << 1 << 3 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("last partial") << 25 << 10 << 3 << 3 << QList<int>{21, 22, 23, 24, 25};
    QTest::newRow("exact fit") << 20 << 10 << 2 << 2
                               << QList<int>{11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    QTest::newRow("past the end") << 5 << 10 << 2 << 1 << QList<int>{};
    QTest::newRow("empty table") << 0 << 12 << 1 << 0 << QList<int>{};
}

void TestDatabase::paging() {
    QFETCH(int, rows);
    QFETCH(int, pageSize);
    QFETCH(int, page);
    QFETCH(int, pages);
    QFETCH(QList<int>, positions);
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    // Inserted out of order: the page follows pos, not the key.
    for (int i = rows; i >= 1; --i)
        QVERIFY(
            db.insert(QStringLiteral("tblCurr"), {{QStringLiteral("currName"), QString::number(i)},
                                                  {QStringLiteral("active"), 1},
                                                  {QStringLiteral("pos"), i}}) > 0);
    const QString sql = QStringLiteral("select * from tblcurr where active='1' order by pos asc");
    const int total =
        db.scalar(QStringLiteral("select count(*) from tblcurr where active='1'")).toInt();
    QCOMPARE(Database::pageCount(total, pageSize), pages);
    bool ok = false;
    const auto got = db.fetchPage(sql, {}, pageSize, page, &ok);
    QVERIFY(ok);
    QList<int> seen;
    for (const QSqlRecord& r : got)
        seen << r.value(QStringLiteral("pos")).toInt();
    QCOMPARE(seen, positions);
}

void TestDatabase::newerDatabaseRefused() {
    test::TestEnv env;
    QString path;
    {
        Database db;
        QVERIFY(env.makeDatabase(db));
        path = db.path();
        db.exec(QStringLiteral("PRAGMA user_version = %1").arg(schema::currentVersion + 1));
    }
    Database db;
    QVERIFY(!db.open(path));
    QVERIFY2(db.lastError().contains(QStringLiteral("newer version")), qPrintable(db.lastError()));
    QVERIFY(!db.isOpen());
}

void TestDatabase::neverCreatesImplicitly() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/missing.db");
    Database db;
    QVERIFY(!db.open(path));
    QVERIFY(!QFile::exists(path));
}

void TestDatabase::createRefusesExistingFile() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/precious.db");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("keep me");
    f.close();
    Database db;
    QVERIFY(!db.create(path));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep me"));
}

void TestDatabase::notADatabaseRefused() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/text.db");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Database db;
    QVERIFY(!db.open(path));
    QVERIFY(!db.lastError().isEmpty());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray(4096, 'x'));
}

void TestDatabase::walJournal() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString().toLower(),
             QStringLiteral("wal"));
    QCOMPARE(db.schemaVersion(), schema::currentVersion);
}

void TestDatabase::transactionRollsBack() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    {
        Database::Transaction tx(db);
        QVERIFY(tx.active());
        QVERIFY(db.insert(QStringLiteral("tblCurr"),
                          {{QStringLiteral("currName"), QStringLiteral("X")}}) > 0);
        // no commit
    }
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from tblCurr")).toInt(), 0);
}

void TestDatabase::unknownColumnRejected() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    QCOMPARE(db.insert(QStringLiteral("tblCurr"), {{QStringLiteral("currName\" ,x) --"), 1}}),
             qint64(-1));
    QVERIFY(!db.update(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), 1,
                       {{QStringLiteral("nope"), 1}}));
    QCOMPARE(db.insert(QStringLiteral("sqlite_master"), {}), qint64(-1));
}

void TestDatabase::demoData() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    const qint64 theme = themeKeyOf(db, demoThemeName());
    QVERIFY(theme > 0);
    QVERIFY(
        db.fetchOne(QStringLiteral("select * from tblpos where themeauto=?"), {theme}).has_value());
    QVERIFY(db.fetchOne(QStringLiteral("select * from tblheader where themeauto=?"), {theme})
                .has_value());
    QVERIFY(db.scalar(QStringLiteral("select count(*) from tblcurr where active='1'")).toInt() >=
            15);
    QCOMPARE(db.scalar(QStringLiteral(
                           "select count(*) from tblscroll where active='1' and direction='Left'"))
                 .toInt(),
             2);
    QCOMPARE(db.scalar(QStringLiteral(
                           "select count(*) from tblscroll where active='1' and direction='Right'"))
                 .toInt(),
             2);
    const auto dbrow = db.fetchOne(QStringLiteral("select * from tblDatabase where dataID=1"));
    QVERIFY(dbrow.has_value());
    QCOMPARE(dbrow->value(11).toInt(), 30);
    const auto admin = db.fetchOne(QStringLiteral("select * from tbluser"));
    QCOMPARE(admin->value(1).toString(), QStringLiteral("ADMIN"));
    QCOMPARE(admin->value(3).toString(), QStringLiteral("Admin"));
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
