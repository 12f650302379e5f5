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

QTEST_GUILESS_MAIN(TestUserStore)
#include "tst_userstore.moc"
