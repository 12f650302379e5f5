#include "data/database.h"
#include "data/userstore.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;

namespace {

struct Fixture {
    test::TestEnv env;
    Database db;
    UserStore store{db};
    QSignalSpy changed{&store, &UserStore::usersChanged};

    Fixture() {
        if (!env.makeDatabase(db))
            qFatal("no database: %s", qPrintable(db.lastError()));
    }
};

enum class Write { Add, Update };

} // namespace

class TestUserStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsAreTheSchemas_data();
    void columnsAreTheSchemas();
    void writeAnnouncesOnlyWhatItWrote_data();
    void writeAnnouncesOnlyWhatItWrote();
    void onlineSourceRoundTrip();
    void onlineSourceWithoutRow();
    void saveOnlineSource_data();
    void saveOnlineSource();
    void onlineInterval_data();
    void onlineInterval();
};

void TestUserStore::columnsAreTheSchemas_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    using U = UserStore::Users;
    for (const QString& c : {U::key, U::name, U::pass, U::type})
        QTest::newRow(qPrintable(U::table + QLatin1Char('.') + c)) << U::table << c;
    using O = UserStore::Online;
    QStringList online{O::key,    O::host,       O::dbname,  O::dbuser,
                       O::dbpass, O::autoUpdate, O::interval};
    for (int c = 1; c <= 5; ++c)
        online << O::flag(c);
    for (const QString& c : online)
        QTest::newRow(qPrintable(O::table + QLatin1Char('.') + c)) << O::table << c;
}

void TestUserStore::columnsAreTheSchemas() {
    QFETCH(QString, table);
    QFETCH(QString, column);
    Fixture f;
    const QString error = test::columnError(f.db, table, column);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestUserStore::writeAnnouncesOnlyWhatItWrote_data() {
    QTest::addColumn<Write>("write");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("refuse"); // the database refuses writes
    QTest::addColumn<int>("announced");
    QTest::newRow("add") << Write::Add << "teller"
                         << "User" << false << 1;
    QTest::newRow("add without type") << Write::Add << "teller"
                                      << "" << false << 0;
    QTest::newRow("add existing, other case") << Write::Add << "Clerk"
                                              << "User" << false << 0;
    QTest::newRow("add refused") << Write::Add << "teller"
                                 << "User" << true << 0;
    QTest::newRow("update") << Write::Update << "CLERK"
                            << "Admin" << false << 1;
    QTest::newRow("update admin to user") << Write::Update << "Admin"
                                          << "User" << false << 0;
    QTest::newRow("update refused") << Write::Update << "CLERK"
                                    << "Admin" << true << 0;
}

void TestUserStore::writeAnnouncesOnlyWhatItWrote() {
    QFETCH(Write, write);
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(bool, refuse);
    QFETCH(int, announced);
    Fixture f;
    QCOMPARE(f.store.add(QStringLiteral("clerk"), QStringLiteral("pw"), QStringLiteral("User")),
             UserStore::AddResult::Added);
    const qint64 key = f.store.findByName(QStringLiteral("CLERK"))->key;
    f.changed.clear();
    if (refuse) {
        bool ok = false;
        f.db.exec(QStringLiteral("PRAGMA query_only=ON"), {}, &ok);
        QVERIFY(ok);
    }
    QString error;
    if (write == Write::Add) {
        const auto result = f.store.add(name, QStringLiteral("pw"), type, &error);
        QCOMPARE(result == UserStore::AddResult::Added, announced == 1);
    } else {
        const auto result = f.store.update(key, name, QStringLiteral("pw"), type, &error);
        QCOMPARE(result == UserStore::UpdateResult::Updated, announced == 1);
    }
    QCOMPARE(error.isEmpty(), !refuse);
    QCOMPARE(f.changed.count(), announced);
}

void TestUserStore::onlineSourceRoundTrip() {
    Fixture f;
    QVERIFY(f.db.removeWhere(UserStore::Online::table, UserStore::Online::key, 1));
    OnlineSource s;
    s.host = QStringLiteral("head-office");
    s.dbname = QStringLiteral("fx");
    s.dbuser = QStringLiteral("feed");
    s.dbpass = QStringLiteral("p'w");
    s.columnFlags[1] = true;
    s.columnFlags[4] = true;
    s.autoUpdate = true;
    s.interval = 45;
    QVERIFY(f.store.createOnlineSource(s));
    OnlineSource back;
    QVERIFY(f.store.loadOnlineSource(back));
    QCOMPARE(back.host, s.host);
    QCOMPARE(back.dbname, s.dbname);
    QCOMPARE(back.dbuser, s.dbuser);
    QCOMPARE(back.dbpass, s.dbpass);
    for (int c = 0; c < 5; ++c)
        QCOMPARE(back.columnFlags[c], s.columnFlags[c]);
    QVERIFY(back.autoUpdate);
    QCOMPARE(back.interval, 45);
    // There is one such row.
    QVERIFY(!f.store.createOnlineSource(s));
}

void TestUserStore::onlineSourceWithoutRow() {
    Fixture f;
    QVERIFY(f.db.removeWhere(UserStore::Online::table, UserStore::Online::key, 1));
    OnlineSource kept;
    kept.host = QStringLiteral("unchanged");
    QVERIFY(!f.store.loadOnlineSource(kept));
    QCOMPARE(kept.host, QStringLiteral("unchanged"));
    QCOMPARE(kept.interval, 30);
}

void TestUserStore::saveOnlineSource_data() {
    QTest::addColumn<bool>("rowThere");
    QTest::newRow("row 1 there: overwritten") << true;
    QTest::newRow("row 1 missing: nothing written") << false;
}

void TestUserStore::saveOnlineSource() {
    QFETCH(bool, rowThere);
    Fixture f;
    using O = UserStore::Online;
    QVERIFY(f.db.removeWhere(O::table, O::key, 1));
    OnlineSource other;
    other.host = QStringLiteral("other-row");
    QVERIFY(f.db.insert(O::table, {{O::key, 2}, {O::host, other.host}}) >= 0);
    if (rowThere)
        QVERIFY(f.store.createOnlineSource(OnlineSource{}));

    OnlineSource s;
    s.host = QStringLiteral("hq:5433");
    s.dbname = QStringLiteral("fx");
    s.dbuser = QStringLiteral("o'neil");
    s.dbpass = QStringLiteral("a;b");
    s.columnFlags[0] = true;
    s.columnFlags[3] = true;
    s.autoUpdate = true;
    s.interval = 7;
    QString error;
    const auto result = f.store.saveOnlineSource(s, &error);
    QCOMPARE(result, rowThere ? UserStore::SaveResult::Saved : UserStore::SaveResult::NoRow);
    QVERIFY(error.isEmpty());

    OnlineSource back;
    QCOMPARE(f.store.loadOnlineSource(back), rowThere);
    if (rowThere) {
        QCOMPARE(back.host, s.host);
        QCOMPARE(back.dbuser, s.dbuser);
        QCOMPARE(back.dbpass, s.dbpass);
        for (int c = 0; c < 5; ++c)
            QCOMPARE(back.columnFlags[c], s.columnFlags[c]);
        QVERIFY(back.autoUpdate);
        QCOMPARE(back.interval, 7);
    }
    // Only row 1 is the program's.
    QCOMPARE(f.db.scalar(QStringLiteral("select host from tblDatabase where dataID=2")).toString(),
             other.host);
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblDatabase")).toInt(),
             rowThere ? 2 : 1);
}

void TestUserStore::onlineInterval_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("seconds"); // 0: refused
    QTest::newRow("30") << "30" << 30;
    QTest::newRow("lowest") << "1" << 1;
    QTest::newRow("highest") << "99" << 99;
    QTest::newRow("blanks around") << " 12 " << 12;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("100") << "100" << 0;
    QTest::newRow("negative") << "-5" << 0;
    QTest::newRow("fraction") << "2.5" << 0;
    QTest::newRow("text") << "ten" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestUserStore::onlineInterval() {
    QFETCH(QString, typed);
    QFETCH(int, seconds);
    const auto got = UserStore::onlineInterval(typed);
    QCOMPARE(got.value_or(0), seconds);
}

QTEST_GUILESS_MAIN(TestUserStore)
#include "tst_userstore.moc"
