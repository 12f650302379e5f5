// The head office's rate table through both engines (PostgreSQL directly and
// through its ODBC driver) against a real server, and the copy into the local rows.
#include "data/remotecurrencystore.h"
#include "pgserver.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;

Q_DECLARE_METATYPE(quoteria::RemoteEngine)

namespace {

const QString kOdbcDriver = QStringLiteral("PostgreSQL Unicode");
const QDateTime kNow(QDate(2026, 5, 6), QTime(7, 8, 9));

CurrencyRow localRow(const QString& name, const QStringList& values, const QString& pos) {
    CurrencyRow r;
    r.name = name;
    r.values = values;
    r.img = QStringLiteral("flags/") + name + QStringLiteral(".png");
    r.active = QStringLiteral("1");
    r.cells =
        QStringList{QStringLiteral("1,2"), QString(), QString(), QString(), QStringLiteral("3,4")};
    r.pos = pos;
    return r;
}

// What a list shows of a row, for comparing whole tables.
QStringList shown(const CurrencyRow& r) {
    return QStringList{r.name} + r.values + QStringList{r.img, r.active} + r.cells +
           QStringList{r.pos};
}

// Rows are added to every test's table once per engine.
QTestData& newRow(RemoteEngine e, const char* what) {
    const char* engine = e == RemoteEngine::PostgreSql ? "QPSQL" : "QODBC";
    return QTest::addRow("%s: %s", engine, what) << e;
}

} // namespace

class TestRemoteCurrencyStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void upload_data() { engines(); }
    void upload();
    void failedUploadChangesNothing_data();
    void failedUploadChangesNothing();
    void saveAll_data();
    void saveAll();
    void saveAllIsAllOrNothing_data() { engines(); }
    void saveAllIsAllOrNothing();
    void addChangeRemove_data() { engines(); }
    void addChangeRemove();
    void addRefusedWritesNothing_data() { engines(); }
    void addRefusedWritesNothing();
    void listActiveInBoardOrder_data() { engines(); }
    void listActiveInBoardOrder();
    void copyFlaggedColumns_data();
    void copyFlaggedColumns();

private:
    void engines() {
        QTest::addColumn<RemoteEngine>("engine");
        newRow(RemoteEngine::PostgreSql, "");
        newRow(RemoteEngine::SqlServer, "");
    }
    bool open(Connection& c, RemoteEngine e) {
        const bool ok = remote::open(c, m_server.source(), e, remote::maxLoginTimeout, kOdbcDriver);
        if (!ok)
            qWarning() << c.lastError();
        return ok;
    }
    // Adds a remote row the way the head office does.
    bool seed(Connection& c, const QString& name, const QString& value, int pos) {
        bool ok = false;
        c.exec(QStringLiteral("SELECT update_currency(?, ?, ?, ?, ?, ?, ?)"),
               {name, value, value, value, value, value, pos}, &ok);
        return ok;
    }
    test::PgServer m_server;
};

void TestRemoteCurrencyStore::initTestCase() {
    QVERIFY2(m_server.start(QStringLiteral(QUOTERIA_ONLINE_SCHEMA)),
             qPrintable(QStringLiteral("test PostgreSQL server did not start: ") + m_server.why()));
}

void TestRemoteCurrencyStore::cleanup() {
    Connection c;
    QVERIFY(open(c, RemoteEngine::PostgreSql));
    bool ok = false;
    c.exec(QStringLiteral("DELETE FROM tblCurr"), {}, &ok);
    QVERIFY2(ok, qPrintable(c.lastError()));
}

void TestRemoteCurrencyStore::upload() {
    QFETCH(RemoteEngine, engine);
    Connection c;
    QVERIFY(open(c, engine));
    QVERIFY(seed(c, QStringLiteral("OLD"), QStringLiteral("9"), 1));

    const QVector<CurrencyRow> local{
        localRow(QStringLiteral("USD"), {"3.67250", "3.6", "", "0.0001", "-2"}, "2"),
        localRow(QStringLiteral("EUR"), {"4.1", "4.2", "4.3", "4.4", "4.5"}, "1")};
    RemoteCurrencyStore store(c, engine);
    const CurrencyStore::Result r = store.upload(local, kNow);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.written, 2);

    bool ok = false;
    const QVector<CurrencyRow> rows = store.list(true, &ok);
    QVERIFY(ok);
    QCOMPARE(rows.size(), 2);
    // Board order, the old row gone, rates exact, an empty rate left without value.
    QCOMPARE(shown(rows[0]), shown(local[1]));
    QCOMPARE(shown(rows[1]), shown(local[0]));
    for (const CurrencyRow& row : rows)
        QCOMPARE(row.updateTime, CurrencyStore::timeText(kNow));
    QVERIFY(
        c.scalar(QStringLiteral("select col3 from tblCurr where currName=?"), {"USD"}).isNull());
}

void TestRemoteCurrencyStore::failedUploadChangesNothing_data() {
    QTest::addColumn<RemoteEngine>("engine");
    QTest::addColumn<QVector<CurrencyRow>>("local");
    const QStringList v{"1", "2", "3", "4", "5"};
    for (RemoteEngine e : {RemoteEngine::PostgreSql, RemoteEngine::SqlServer}) {
        newRow(e, "duplicate pos")
            << QVector<CurrencyRow>{localRow("USD", v, "1"), localRow("EUR", v, "1")};
        newRow(e, "duplicate name")
            << QVector<CurrencyRow>{localRow("USD", v, "1"), localRow("USD", v, "2")};
        // The last row is refused: every earlier one must go back out too.
        newRow(e, "rate not a number")
            << QVector<CurrencyRow>{localRow("USD", v, "1"), localRow("EUR", v, "2"),
                                    localRow("GBP", {"1", "x.5", "", "", ""}, "3")};
    }
}

void TestRemoteCurrencyStore::failedUploadChangesNothing() {
    QFETCH(RemoteEngine, engine);
    QFETCH(QVector<CurrencyRow>, local);
    Connection c;
    QVERIFY(open(c, engine));
    QVERIFY(seed(c, QStringLiteral("CHF"), QStringLiteral("1.5"), 7));
    QVERIFY(seed(c, QStringLiteral("JPY"), QStringLiteral("0.025"), 8));
    RemoteCurrencyStore store(c, engine);
    // Both readings through one driver: drivers differ in how they round the
    // fraction of a second of a timestamp.
    Connection other;
    QVERIFY(open(other, RemoteEngine::PostgreSql));
    const QVector<CurrencyRow> before =
        RemoteCurrencyStore(other, RemoteEngine::PostgreSql).list(true);
    QCOMPARE(before.size(), 2);

    const CurrencyStore::Result r = store.upload(local, kNow);
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(r.written, 0);

    // Seen from another connection: nothing of the upload was committed.
    const QVector<CurrencyRow> after =
        RemoteCurrencyStore(other, RemoteEngine::PostgreSql).list(true);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        QCOMPARE(shown(after[i]), shown(before[i]));
        QCOMPARE(after[i].updateTime, before[i].updateTime);
    }
    // The connection is usable again after the rollback.
    QVERIFY(store.upload({localRow("USD", {"1", "", "", "", ""}, "1")}, kNow).ok);
}

void TestRemoteCurrencyStore::saveAll_data() {
    QTest::addColumn<RemoteEngine>("engine");
    QTest::addColumn<int>("keep");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    for (RemoteEngine e : {RemoteEngine::PostgreSql, RemoteEngine::SqlServer}) {
        newRow(e, "cut to 6") << 6 << "1.23456789"
                              << "1.2345";
        newRow(e, "short kept") << 6 << "3.5"
                                << "3.5";
        // Cutting into the integer part would send a wrong rate to every branch.
        newRow(e, "integer part kept") << 3 << "1234.5"
                                       << "1234";
        newRow(e, "keep 0 sends whole") << 0 << "1.23456789"
                                        << "1.23456789";
    }
}

void TestRemoteCurrencyStore::saveAll() {
    QFETCH(RemoteEngine, engine);
    QFETCH(int, keep);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Connection c;
    QVERIFY(open(c, engine));
    QVERIFY(seed(c, QStringLiteral("US Dollar cash"), QStringLiteral("9"), 1));
    RemoteCurrencyStore store(c, engine);
    // The name is longer than any kept length and goes whole; the second row is new.
    const QVector<RemoteCurrencyStore::SaveRow> grid{
        {QStringLiteral("US Dollar cash"), {typed, typed, typed, typed, typed}, "2"},
        {QStringLiteral("Euro"), {typed, "", "", "", ""}, "1"}};
    const CurrencyStore::Result r = store.saveAll(grid, keep);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.written, 2);

    const QVector<CurrencyRow> rows = store.list(true);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].name, QStringLiteral("Euro"));
    QCOMPARE(rows[0].values, (QStringList{stored, "", "", "", ""}));
    QCOMPARE(rows[1].name, QStringLiteral("US Dollar cash"));
    QCOMPARE(rows[1].pos, QStringLiteral("2"));
    QCOMPARE(rows[1].values, (QStringList{stored, stored, stored, stored, stored}));
}

void TestRemoteCurrencyStore::saveAllIsAllOrNothing() {
    QFETCH(RemoteEngine, engine);
    Connection c;
    QVERIFY(open(c, engine));
    QVERIFY(seed(c, QStringLiteral("USD"), QStringLiteral("1"), 1));
    RemoteCurrencyStore store(c, engine);
    const QVector<RemoteCurrencyStore::SaveRow> grid{
        {QStringLiteral("USD"), {"2", "2", "2", "2", "2"}, "1"},
        {QStringLiteral("EUR"), {"3", "3", "3", "3", "3"}, "2"},
        {QStringLiteral("  "), {"4", "4", "4", "4", "4"}, "3"}}; // refused by the server
    const CurrencyStore::Result r = store.saveAll(grid, 6);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QStringLiteral("name is empty")), qPrintable(r.error));
    const QVector<CurrencyRow> rows = store.list(true);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].values, (QStringList{"1", "1", "1", "1", "1"}));
}

void TestRemoteCurrencyStore::addChangeRemove() {
    QFETCH(RemoteEngine, engine);
    Connection c;
    QVERIFY(open(c, engine));
    RemoteCurrencyStore store(c, engine);

    CurrencyInput in;
    in.name = QStringLiteral("Pound");
    in.values = QStringList{"5.1", "", "5.30", "", "0.00001"};
    in.pos = QStringLiteral("4");
    in.active = true;
    in.img = QStringLiteral("gbp.png");
    in.cells = QStringList{"1,1", "", "", "", "2,2"};
    qint64 typedKey = 0;
    CurrencyStore::Result r = store.add(in, &typedKey);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.written, 1);

    // Not a number: the row's own key becomes its position.
    CurrencyInput second = in;
    second.name = QStringLiteral("Yen");
    second.pos = QStringLiteral("top");
    second.active = false;
    qint64 ownKey = 0;
    r = store.add(second, &ownKey);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(ownKey > 0 && ownKey != typedKey);

    auto row = store.find(typedKey);
    QVERIFY(row.has_value());
    // Values exactly as typed, never formatted.
    QCOMPARE(row->values, in.values);
    QCOMPARE(row->pos, QStringLiteral("4"));
    QCOMPARE(row->img, in.img);
    QCOMPARE(row->active, QStringLiteral("1"));
    QCOMPARE(row->cells, in.cells);
    row = store.find(ownKey);
    QVERIFY(row.has_value());
    QCOMPARE(row->pos, QString::number(ownKey));
    QCOMPARE(row->active, QStringLiteral("0"));

    // The alarm limits and state belong to the head office: a change leaves them.
    bool ok = false;
    c.exec(QStringLiteral("update tblCurr set low=?, high=?, vstate=? where currAuto=?"),
           {"2.5", "7", "H", typedKey}, &ok);
    QVERIFY2(ok, qPrintable(c.lastError()));
    CurrencyInput edit = in;
    edit.values = QStringList{"6", "6.5", "", "", ""};
    edit.pos = QString();
    edit.img = QStringLiteral("other.png");
    edit.writeImg = false;
    r = store.change(typedKey, edit);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.written, 1);
    row = store.find(typedKey);
    QVERIFY(row.has_value());
    QCOMPARE(row->values, edit.values);
    QCOMPARE(row->pos, QString::number(typedKey));
    QCOMPARE(row->img, in.img);
    QCOMPARE(row->low, QStringLiteral("2.5"));
    QCOMPARE(row->high, QStringLiteral("7"));
    QCOMPARE(row->vstate, QStringLiteral("H"));

    QString error;
    QVERIFY2(store.remove(typedKey, &error), qPrintable(error));
    QVERIFY(!store.find(typedKey).has_value());
    r = store.change(typedKey, edit);
    QVERIFY(r.ok);
    QCOMPARE(r.missing, 1);
    QCOMPARE(r.written, 0);
    QCOMPARE(store.list(true).size(), 1);
}

void TestRemoteCurrencyStore::addRefusedWritesNothing() {
    QFETCH(RemoteEngine, engine);
    Connection c;
    QVERIFY(open(c, engine));
    QVERIFY(seed(c, QStringLiteral("USD"), QStringLiteral("1"), 3));
    RemoteCurrencyStore store(c, engine);
    CurrencyInput in;
    in.name = QStringLiteral("EUR");
    in.values = QStringList{"1", "", "", "", ""};
    in.pos = QStringLiteral("3"); // taken
    CurrencyStore::Result r = store.add(in);
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    in.pos = QStringLiteral("99999999999"); // beyond the column
    r = store.add(in);
    QVERIFY(!r.ok);
    QCOMPARE(store.list(true).size(), 1);
}

void TestRemoteCurrencyStore::listActiveInBoardOrder() {
    QFETCH(RemoteEngine, engine);
    Connection c;
    QVERIFY(open(c, engine));
    RemoteCurrencyStore store(c, engine);
    QVERIFY(
        store.upload({localRow("A", {}, "3"), localRow("B", {}, "1"), localRow("C", {}, "2")}, kNow)
            .ok);
    bool ok = false;
    c.exec(QStringLiteral("update tblCurr set active=0 where currName=?"), {"C"}, &ok);
    QVERIFY(ok);
    const auto names = [](const QVector<CurrencyRow>& rows) {
        QStringList n;
        for (const CurrencyRow& r : rows)
            n << r.name;
        return n;
    };
    QCOMPARE(names(store.list(true, &ok)), (QStringList{"B", "C", "A"}));
    QVERIFY(ok);
    QCOMPARE(names(store.list(false, &ok)), (QStringList{"B", "A"}));
    QVERIFY(ok);
}

void TestRemoteCurrencyStore::copyFlaggedColumns_data() {
    QTest::addColumn<RemoteEngine>("engine");
    QTest::addColumn<QVector<bool>>("flags");
    QTest::addColumn<QStringList>("expected"); // the local row at pos 1 afterwards
    QTest::addColumn<int>("changed");
    for (RemoteEngine e : {RemoteEngine::PostgreSql, RemoteEngine::SqlServer}) {
        newRow(e, "every column") << QVector<bool>{true, true, true, true, true}
                                  << QStringList{"1.10", "1.20", "", "1.40", "1.50"} << 2;
        newRow(e, "columns 2 and 4") << QVector<bool>{false, true, false, true, false}
                                     << QStringList{"a", "1.20", "c", "1.40", "e"} << 2;
        newRow(e, "no column") << QVector<bool>{false, false, false, false, false}
                               << QStringList{"a", "b", "c", "d", "e"} << 0;
    }
}

void TestRemoteCurrencyStore::copyFlaggedColumns() {
    QFETCH(RemoteEngine, engine);
    QFETCH(QVector<bool>, flags);
    QFETCH(QStringList, expected);
    QFETCH(int, changed);
    test::AppFixture fx;
    QVERIFY(fx.ready);
    const QStringList old{"a", "b", "c", "d", "e"};
    const auto addLocal = [&](const QString& name, const QString& pos) {
        CurrencyInput in;
        in.name = name;
        in.values = old;
        in.pos = pos;
        qint64 key = 0;
        const auto r = fx.currencies.add(in, ValueFormat{0, {}}, &key);
        return r.ok ? key : 0;
    };
    const qint64 first = addLocal("Local one", "1");
    const qint64 second = addLocal("Local two", "2");
    const qint64 lonely = addLocal("No remote", "3");
    QVERIFY(first && second && lonely);
    bool stamped = false;
    fx.db.exec(QStringLiteral("update tblCurr set updateTime=?"), {"2020-01-02 03:04:05"},
               &stamped);
    QVERIFY(stamped);
    const QVector<CurrencyRow> before = fx.currencies.list(true);

    Connection c;
    QVERIFY(open(c, engine));
    // Matched by pos, whatever the names; pos 4 has no local row, one has no pos.
    RemoteCurrencyStore store(c, engine);
    const QVector<RemoteCurrencyStore::SaveRow> remoteRows{
        {"Remote one", {"1.10", "1.20", "", "1.40", "1.50"}, "1"},
        {"Remote two", {"2.10", "2.20", "2.30", "2.40", "2.50"}, "2"},
        {"Remote four", {"4", "4", "4", "4", "4"}, "4"},
        {"Remote none", {"5", "5", "5", "5", "5"}, ""}};
    QVERIFY(store.saveAll(remoteRows, 0).ok);
    bool ok = false;
    const QVector<RemoteCurrencyStore::PosValues> values = store.values(&ok);
    QVERIFY(ok);
    QCOMPARE(values.size(), 3);

    bool f[5];
    for (int i = 0; i < 5; ++i)
        f[i] = flags[i];
    QSignalSpy announced(&fx.currencies, &CurrencyStore::changed);
    QString error;
    QCOMPARE(applyOnlineValues(fx.currencies, values, f, &error), changed);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(announced.count(), changed ? 1 : 0);

    QCOMPARE(fx.currencies.find(first)->values, expected);
    const QVector<CurrencyRow> after = fx.currencies.list(true);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        QCOMPARE(after[i].updateTime, before[i].updateTime);
        QCOMPARE(after[i].name, before[i].name);
    }
    QCOMPARE(fx.currencies.find(lonely)->values, old);

    // The same values again change nothing and announce nothing.
    QCOMPARE(applyOnlineValues(fx.currencies, values, f), 0);
    QCOMPARE(announced.count(), changed ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestRemoteCurrencyStore)
#include "tst_remotecurrencystore.moc"
