#include "data/connection.h"
#include "data/database.h"
#include "data/remotesource.h"
#include "data/userstore.h"
#include "testsupport.h"

#include <QSqlDatabase>
#include <QtTest>

using namespace quoteria;

class TestConnection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void engineFromDriver_data();
    void engineFromDriver();
    void splitHost_data();
    void splitHost();
    void odbcValue_data();
    void odbcValue();
    void odbcConnectionString();
    void remoteParams_data();
    void remoteParams();
    void missingDriverLeavesNothingBehind();
    void columnsFollowTheLiveTable();
    void ownTablesOnly();
    void reopenForgetsOldColumns();
    void twoConnectionsToOneFile();
    void secondConnectionNeverCreatesFile();
    void transactionOnPlainConnection();
    void storeRunsOnSecondConnection();
};

void TestConnection::engineFromDriver_data() {
    QTest::addColumn<QString>("driver");
    QTest::addColumn<int>("engine"); // -1: none
    QTest::newRow("QPSQL") << "QPSQL" << int(RemoteEngine::PostgreSql);
    QTest::newRow("lower qpsql") << "qpsql" << int(RemoteEngine::PostgreSql);
    QTest::newRow("QODBC") << "QODBC" << int(RemoteEngine::SqlServer);
    QTest::newRow("QSQLITE") << "QSQLITE" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("prefix") << "QPSQL7" << -1;
}

void TestConnection::engineFromDriver() {
    QFETCH(QString, driver);
    QFETCH(int, engine);
    const auto e = remote::engineFromDriver(driver);
    QCOMPARE(e.has_value() ? int(*e) : -1, engine);
    if (e)
        QCOMPARE(remote::driverOf(*e), driver.toUpper());
}

void TestConnection::splitHost_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("name") << "rates.example"
                          << "rates.example" << -1;
    QTest::newRow("colon port") << "rates.example:5433"
                                << "rates.example" << 5433;
    QTest::newRow("comma port") << "10.0.0.5,1433"
                                << "10.0.0.5" << 1433;
    QTest::newRow("blanks") << "  db , 1433 "
                            << "db" << 1433;
    QTest::newRow("instance") << "SERVER\\RATES"
                              << "SERVER\\RATES" << -1;
    QTest::newRow("ipv6 loopback") << "::1"
                                   << "::1" << -1;
    QTest::newRow("ipv6") << "fe80::2:1"
                          << "fe80::2:1" << -1;
    QTest::newRow("port out of range") << "db:70000"
                                       << "db:70000" << -1;
    QTest::newRow("port zero") << "db:0"
                               << "db:0" << -1;
    QTest::newRow("not a port") << "db:abc"
                                << "db:abc" << -1;
    QTest::newRow("empty") << ""
                           << "" << -1;
}

void TestConnection::splitHost() {
    QFETCH(QString, typed);
    QFETCH(QString, host);
    QFETCH(int, port);
    const remote::HostPort hp = remote::splitHost(typed);
    QCOMPARE(hp.host, host);
    QCOMPARE(hp.port, port);
}

void TestConnection::odbcValue_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("written");
    QTest::newRow("plain") << "s3cret"
                           << "s3cret";
    QTest::newRow("semicolon") << "a;DRIVER=x"
                               << "{a;DRIVER=x}";
    QTest::newRow("closing brace doubled") << "p}w;"
                                           << "{p}}w;}";
    QTest::newRow("opening brace") << "{pw"
                                   << "{{pw}";
    QTest::newRow("leading blank") << " pw"
                                   << "{ pw}";
    QTest::newRow("trailing blank") << "pw "
                                    << "{pw }";
    QTest::newRow("inner blank") << "my pw"
                                 << "my pw";
    QTest::newRow("quote") << "it's"
                           << "it's";
    QTest::newRow("empty") << ""
                           << "";
}

void TestConnection::odbcValue() {
    QFETCH(QString, value);
    QFETCH(QString, written);
    QCOMPARE(remote::odbcValue(value), written);
}

void TestConnection::odbcConnectionString() {
    OnlineSource s;
    s.host = QStringLiteral("hq.example,1433");
    s.dbname = QStringLiteral("Rates");
    s.dbuser = QStringLiteral("board");
    s.dbpass = QStringLiteral("x;UID=sa");
    QCOMPARE(remote::odbcConnectionString(s),
             QStringLiteral("DRIVER={FreeTDS};SERVER=hq.example;PORT=1433;DATABASE=Rates;"
                            "UID=board;PWD={x;UID=sa};"));
    s.host = QStringLiteral("hq");
    QVERIFY(!remote::odbcConnectionString(s).contains(QStringLiteral("PORT=")));
    // Another driver by its name as the driver manager lists it, blanks and all;
    // no name at all still means FreeTDS.
    QVERIFY(remote::odbcConnectionString(s, QStringLiteral("PostgreSQL Unicode"))
                .startsWith(QStringLiteral("DRIVER={PostgreSQL Unicode};SERVER=hq;")));
    QVERIFY(remote::odbcConnectionString(s, QStringLiteral(" "))
                .startsWith(QStringLiteral("DRIVER={FreeTDS};")));
    QVERIFY(remote::params(s, RemoteEngine::SqlServer, 5, QStringLiteral("PostgreSQL Unicode"))
                .databaseName.startsWith(QStringLiteral("DRIVER={PostgreSQL Unicode};")));
}

void TestConnection::remoteParams_data() {
    QTest::addColumn<int>("engine");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<QString>("options");
    const int pg = int(RemoteEngine::PostgreSql), ms = int(RemoteEngine::SqlServer);
    QTest::newRow("pg default") << pg << 5 << "QPSQL"
                                << "connect_timeout=5";
    QTest::newRow("pg capped") << pg << 60 << "QPSQL"
                               << "connect_timeout=5";
    QTest::newRow("pg floor") << pg << 0 << "QPSQL"
                              << "connect_timeout=2";
    QTest::newRow("odbc default") << ms << 5 << "QODBC"
                                  << "SQL_ATTR_LOGIN_TIMEOUT=5;SQL_ATTR_CONNECTION_TIMEOUT=5";
    QTest::newRow("odbc capped") << ms << 600 << "QODBC"
                                 << "SQL_ATTR_LOGIN_TIMEOUT=5;SQL_ATTR_CONNECTION_TIMEOUT=5";
    QTest::newRow("odbc short") << ms << 3 << "QODBC"
                                << "SQL_ATTR_LOGIN_TIMEOUT=3;SQL_ATTR_CONNECTION_TIMEOUT=3";
}

void TestConnection::remoteParams() {
    QFETCH(int, engine);
    QFETCH(int, timeout);
    QFETCH(QString, driver);
    QFETCH(QString, options);
    OnlineSource s;
    s.host = QStringLiteral("hq.example:6543");
    s.dbname = QStringLiteral("rates");
    s.dbuser = QStringLiteral("board");
    s.dbpass = QStringLiteral("pw");
    const ConnectionParams p = remote::params(s, RemoteEngine(engine), timeout);
    QCOMPARE(p.driver, driver);
    QCOMPARE(p.connectOptions, options);
    if (RemoteEngine(engine) == RemoteEngine::PostgreSql) {
        QCOMPARE(p.host, QStringLiteral("hq.example"));
        QCOMPARE(p.port, 6543);
        QCOMPARE(p.databaseName, s.dbname);
        QCOMPARE(p.user, s.dbuser);
        QCOMPARE(p.password, s.dbpass);
    } else {
        // The driver manager reads only the string; nothing may travel beside it.
        QCOMPARE(p.databaseName, remote::odbcConnectionString(s));
        QVERIFY(p.host.isEmpty() && p.user.isEmpty() && p.password.isEmpty());
        QCOMPARE(p.port, -1);
    }
}

void TestConnection::missingDriverLeavesNothingBehind() {
    Connection c;
    ConnectionParams p;
    p.driver = QStringLiteral("QNOSUCHDRIVER");
    QVERIFY(!c.openWith(p));
    QVERIFY2(c.lastError().contains(QStringLiteral("QNOSUCHDRIVER")), qPrintable(c.lastError()));
    QVERIFY(!c.isOpen());
    QVERIFY(!QSqlDatabase::contains(c.name()));
}

// A server that spells our tables its own way: upper case, columns in another
// order, one of ours missing.
static bool makeForeignCopy(test::TestEnv& env, Connection& c, const QString& file) {
    if (!c.openWith(sqlite::params(env.dir() + QLatin1Char('/') + file)))
        return false;
    bool ok = false;
    c.exec(QStringLiteral("CREATE TABLE TBLCURR (POS INTEGER UNIQUE, CURRAUTO INTEGER PRIMARY "
                          "KEY, CURRNAME TEXT, COLUM1 TEXT)"),
           {}, &ok);
    return ok;
}

void TestConnection::columnsFollowTheLiveTable() {
    test::TestEnv env;
    Connection c;
    QVERIFY2(makeForeignCopy(env, c, QStringLiteral("foreign.db")), qPrintable(c.lastError()));
    const qint64 k = c.insert(QStringLiteral("tblCurr"), {{QStringLiteral("currName"), "USD"},
                                                          {QStringLiteral("colum1"), "1.25"},
                                                          {QStringLiteral("pos"), 7}});
    QVERIFY2(k > 0, qPrintable(c.lastError()));
    QVERIFY(c.update(QStringLiteral("tblcurr"), QStringLiteral("CurrAuto"), k,
                     {{QStringLiteral("colum1"), "1.30"}}));
    const auto row = c.fetchOne(QStringLiteral("select * from TBLCURR where CURRAUTO=?"), {k});
    QVERIFY(row.has_value());
    QCOMPARE(row->value(QStringLiteral("COLUM1")).toString(), QStringLiteral("1.30"));
    QCOMPARE(row->value(QStringLiteral("POS")).toInt(), 7);
    // Ours, but not on this server.
    QCOMPARE(c.insert(QStringLiteral("tblCurr"), {{QStringLiteral("colum2"), "x"}}), qint64(-1));
    QVERIFY2(c.lastError().contains(QStringLiteral("colum2")), qPrintable(c.lastError()));
    QVERIFY(c.removeWhere(QStringLiteral("TblCurr"), QStringLiteral("pos"), 7));
    QCOMPARE(c.scalar(QStringLiteral("select count(*) from TBLCURR")).toInt(), 0);
}

void TestConnection::ownTablesOnly() {
    test::TestEnv env;
    Connection c;
    QVERIFY(makeForeignCopy(env, c, QStringLiteral("foreign.db")));
    bool ok = false;
    c.exec(QStringLiteral("CREATE TABLE secrets (name TEXT)"), {}, &ok);
    QVERIFY(ok);
    // Present on the server, but not one of ours.
    QCOMPARE(c.insert(QStringLiteral("secrets"), {{QStringLiteral("name"), "x"}}), qint64(-1));
    QVERIFY(c.lastError().contains(QStringLiteral("Unknown table")));
    // Ours, but absent from the server.
    QVERIFY(!c.removeWhere(QStringLiteral("tbluser"), QStringLiteral("username"), "x"));
    QVERIFY(c.lastError().contains(QStringLiteral("Unknown table")));
    QCOMPARE(c.insert(QStringLiteral("sqlite_sequence"), {}), qint64(-1));
}

void TestConnection::reopenForgetsOldColumns() {
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    Connection c;
    QVERIFY(makeForeignCopy(env, c, QStringLiteral("foreign.db")));
    QCOMPARE(c.insert(QStringLiteral("tblCurr"), {{QStringLiteral("img"), "a.png"}}), qint64(-1));
    // The same object on a database whose tblCurr has every column.
    QVERIFY(sqlite::openExisting(c, local.path()));
    QVERIFY2(c.insert(QStringLiteral("tblCurr"), {{QStringLiteral("img"), "a.png"}}) > 0,
             qPrintable(c.lastError()));
}

void TestConnection::twoConnectionsToOneFile() {
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    Connection a, b;
    QVERIFY(a.name() != b.name());
    QVERIFY(a.name() != local.name());
    QVERIFY2(sqlite::openExisting(a, local.path()), qPrintable(a.lastError()));
    QVERIFY(sqlite::openExisting(b, local.path()));
    QVERIFY(a.insert(QStringLiteral("tblscroll"), {{QStringLiteral("message"), "hello"}}) > 0);
    QCOMPARE(b.scalar(QStringLiteral("select message from tblscroll")).toString(),
             QStringLiteral("hello"));
    QCOMPARE(local.scalar(QStringLiteral("select count(*) from tblscroll")).toInt(), 1);
    // The second connection shares the file's journal mode.
    QCOMPARE(b.scalar(QStringLiteral("PRAGMA journal_mode")).toString().toLower(),
             QStringLiteral("wal"));
    a.close();
    QVERIFY(!QSqlDatabase::contains(a.name()));
    QVERIFY(b.isOpen() && local.isOpen());
}

void TestConnection::secondConnectionNeverCreatesFile() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/absent.db");
    Connection c;
    QVERIFY(!sqlite::openExisting(c, path));
    QVERIFY(!c.lastError().isEmpty());
    QVERIFY(!QFile::exists(path));
    QVERIFY(!c.isOpen());
}

void TestConnection::transactionOnPlainConnection() {
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    Connection c;
    QVERIFY(sqlite::openExisting(c, local.path()));
    {
        Connection::Transaction tx(c);
        QVERIFY(tx.active());
        QVERIFY(c.insert(QStringLiteral("tblVideo"), {{QStringLiteral("filename"), "a"}}) > 0);
    }
    QCOMPARE(local.scalar(QStringLiteral("select count(*) from tblVideo")).toInt(), 0);
    {
        Connection::Transaction tx(c);
        QVERIFY(c.insert(QStringLiteral("tblVideo"), {{QStringLiteral("filename"), "b"}}) > 0);
        QVERIFY(tx.commit());
    }
    QCOMPARE(local.scalar(QStringLiteral("select filename from tblVideo")).toString(),
             QStringLiteral("b"));
}

void TestConnection::storeRunsOnSecondConnection() {
    test::TestEnv env;
    Database local;
    QVERIFY(env.makeDatabase(local));
    Connection c;
    QVERIFY(sqlite::openExisting(c, local.path()));
    UserStore onSecond(c);
    UserStore onLocal(local);
    QCOMPARE(onSecond.add(QStringLiteral("clerk"), QStringLiteral("pw"), QStringLiteral("User")),
             UserStore::AddResult::Added);
    QCOMPARE(onLocal.checkLogin(QStringLiteral("CLERK"), QStringLiteral("PW")),
             std::optional<QString>(QStringLiteral("User")));
    OnlineSource src;
    QVERIFY(onSecond.loadOnlineSource(src));
    QCOMPARE(src.interval, 30);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
