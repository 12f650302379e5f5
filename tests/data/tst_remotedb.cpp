// The head office schema and the remote open against a real PostgreSQL server.
#include "data/connection.h"
#include "data/remotesource.h"
#include "pgserver.h"

#include <QSignalSpy>
#include <QSqlDriver>
#include <QtTest>

using namespace quoteria;

namespace {

const QString kUpdate = QStringLiteral("SELECT update_currency(?, ?, ?, ?, ?, ?, ?)");

QVariantList args(const QString& name, const QStringList& values, const QVariant& pos) {
    QVariantList a{name};
    for (const QString& v : values)
        a << v;
    a << pos;
    return a;
}

} // namespace

class TestRemoteDb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void opensThroughTheSocket();
    void wrongDatabaseFails();
    void columnOrderMatchesTheUpload();
    void updateCurrency_data();
    void updateCurrency();
    void positionTakenOverIsFreed();
    void emptyNameRefused();
    void changeIsNotified();

private:
    bool openRemote(Connection& c) {
        const bool ok = remote::open(c, m_server.source(), RemoteEngine::PostgreSql);
        if (!ok)
            qWarning() << c.lastError();
        return ok;
    }
    test::PgServer m_server;
};

void TestRemoteDb::initTestCase() {
    // No skip: the test script installs the server, so a missing one is a fault.
    QVERIFY2(m_server.start(QStringLiteral(QUOTERIA_ONLINE_SCHEMA)),
             qPrintable(QStringLiteral("test PostgreSQL server did not start: ") + m_server.why()));
}

void TestRemoteDb::cleanup() {
    Connection c;
    QVERIFY(openRemote(c));
    bool ok = false;
    c.exec(QStringLiteral("DELETE FROM tblCurr"), {}, &ok);
    QVERIFY2(ok, qPrintable(c.lastError()));
}

void TestRemoteDb::opensThroughTheSocket() {
    Connection c;
    QVERIFY(openRemote(c));
    QVERIFY(c.isOpen());
    QCOMPARE(c.scalar(QStringLiteral("SELECT current_database()")).toString(),
             QStringLiteral("rates"));
}

void TestRemoteDb::wrongDatabaseFails() {
    OnlineSource s = m_server.source();
    s.dbname = QStringLiteral("no_such_db");
    Connection c;
    QVERIFY(!remote::open(c, s, RemoteEngine::PostgreSql));
    QVERIFY(!c.isOpen());
    QVERIFY(c.lastError().contains(QStringLiteral("no_such_db")));
}

void TestRemoteDb::columnOrderMatchesTheUpload() {
    Connection c;
    QVERIFY(openRemote(c));
    bool ok = false;
    QSqlQuery q = c.exec(QStringLiteral("select * from tblCurr"), {}, &ok);
    QVERIFY2(ok, qPrintable(c.lastError()));
    const QSqlRecord r = q.record();
    // Ordinals 1 to 14 are copied by position from the local table.
    const QStringList expected{"currauto", "currname", "col1", "col2",  "col3",
                               "col4",      "col5",     "img",  "active", "cell1",
                               "cell2",     "cell3",    "cell4", "cell5", "pos"};
    QVERIFY(r.count() >= expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(r.fieldName(i), expected.at(i));
}

void TestRemoteDb::updateCurrency_data() {
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("secondName");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("rows");

    const QStringList exact{"1.234567890123456789", "0.0001", "1000", "3.5", "-2"};
    QTest::newRow("added") << QString() << "USD" << exact << 1;
    QTest::newRow("updated by name") << "USD" << "USD" << exact << 1;
    QTest::newRow("name without case") << "usd" << "USD" << exact << 1;
    QTest::newRow("another currency") << "EUR" << "USD" << exact << 2;
}

void TestRemoteDb::updateCurrency() {
    QFETCH(QString, firstName);
    QFETCH(QString, secondName);
    QFETCH(QStringList, values);
    QFETCH(int, rows);

    Connection c;
    QVERIFY(openRemote(c));
    if (!firstName.isEmpty())
        QVERIFY2(c.scalar(kUpdate, args(firstName, {"9", "9", "9", "9", "9"}, 7)).isValid(),
                 qPrintable(c.lastError()));
    QVERIFY2(c.scalar(kUpdate, args(secondName, values, 3)).isValid(), qPrintable(c.lastError()));

    bool ok = false;
    const QVector<QSqlRecord> all = c.fetchAll(QStringLiteral("select * from tblCurr"), {}, &ok);
    QVERIFY2(ok, qPrintable(c.lastError()));
    QCOMPARE(all.size(), rows);
    const auto it = std::find_if(all.cbegin(), all.cend(), [&](const QSqlRecord& r) {
        return r.value(QStringLiteral("pos")).toInt() == 3;
    });
    QVERIFY(it != all.cend());
    for (int i = 0; i < 5; ++i)
        QCOMPARE(it->value(QStringLiteral("col%1").arg(i + 1)).toString(), values.at(i));
    QVERIFY(!it->value(QStringLiteral("updatetime")).isNull());
}

void TestRemoteDb::positionTakenOverIsFreed() {
    Connection c;
    QVERIFY(openRemote(c));
    const QStringList v{"1", "2", "3", "4", "5"};
    QVERIFY(c.scalar(kUpdate, args(QStringLiteral("USD"), v, 1)).isValid());
    // pos is unique: the newcomer takes the place, the other keeps its rates.
    QVERIFY2(c.scalar(kUpdate, args(QStringLiteral("GBP"), v, 1)).isValid(),
             qPrintable(c.lastError()));
    QCOMPARE(c.scalar(QStringLiteral("SELECT currName FROM tblCurr WHERE pos = ?"), {1}).toString(),
             QStringLiteral("GBP"));
    const auto usd = c.fetchOne(QStringLiteral("SELECT pos, col5 FROM tblCurr WHERE currName = ?"),
                                {QStringLiteral("USD")});
    QVERIFY(usd.has_value());
    QVERIFY(usd->value(0).isNull());
    QCOMPARE(usd->value(1).toString(), QStringLiteral("5"));
}

void TestRemoteDb::emptyNameRefused() {
    Connection c;
    QVERIFY(openRemote(c));
    bool ok = true;
    c.exec(kUpdate, args(QStringLiteral("  "), {"1", "2", "3", "4", "5"}, 1), &ok);
    QVERIFY(!ok);
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM tblCurr")).toInt(), 0);
}

void TestRemoteDb::changeIsNotified() {
    Connection listener;
    QVERIFY(openRemote(listener));
    QSqlDriver* driver = listener.connection().driver();
    const QString channel = QStringLiteral("tblcurr_changed");
    QVERIFY(driver->subscribeToNotification(channel));
    QSignalSpy spy(driver, &QSqlDriver::notification);

    Connection writer;
    QVERIFY(openRemote(writer));
    QVERIFY2(writer.scalar(kUpdate, args(QStringLiteral("CHF"), {"1", "2", "3", "4", "5"}, 4))
                 .isValid(),
             qPrintable(writer.lastError()));
    QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 1, 10000);
    const QList<QVariant> first = spy.first();
    QCOMPARE(first.at(0).toString(), channel);
    QCOMPARE(first.at(1).value<QSqlDriver::NotificationSource>(), QSqlDriver::OtherSource);
    // One notification per change: the board re-reads once.
    QCOMPARE(first.at(2).toString(), QStringLiteral("INSERT"));

    QVERIFY(writer.scalar(kUpdate, args(QStringLiteral("chf"), {"6", "7", "8", "9", "10"}, 4))
                .isValid());
    QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 2, 10000);
    QCOMPARE(spy.at(1).at(2).toString(), QStringLiteral("UPDATE"));
    QVERIFY(driver->unsubscribeFromNotification(channel));
}

QTEST_GUILESS_MAIN(TestRemoteDb)
#include "tst_remotedb.moc"
