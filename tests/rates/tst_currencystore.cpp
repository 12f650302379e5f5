#include "data/currencystore.h"
#include "ratesfixture.h"

#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace quoteria;

class TestCurrencyStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listValue_data();
    void listValue();
    void entryValue_data();
    void entryValue();
    void cellCheck_data();
    void cellCheck();
    void limitsListedInDigits_data();
    void limitsListedInDigits();
    void listOrderAndActive();
    void saveValuesSkipsMissingRows();
    void saveValuesIsAllOrNothing();
    void lockedDatabase();
    void addPositionRule_data();
    void addPositionRule();
    void duplicatePositionWritesNothing();
    void changeKeepsOrReplacesFlag();
    void changeOfDeletedRow();
    void headerCaptions();
    void announcesCommittedWrites_data();
    void announcesCommittedWrites();
    void alarmRows_data();
    void alarmRows();
    void alarmStatesInOneGo();
    void lastUpdateTime();
    void ownStoreAnnouncesThroughEvents();
};

void TestCurrencyStore::listValue_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("formatted, not cut") << 6 << "1.2"
                                        << "1.20000";
    QTest::newRow("long value kept whole") << 6 << "1234.56789"
                                           << "1234.56789";
    QTest::newRow("rounded") << 6 << "1.234567"
                             << "1.23457";
    QTest::newRow("length 0 as typed") << 0 << "1.2"
                                       << "1.2";
    QTest::newRow("letters kept") << 6 << "abc"
                                  << "abc";
    QTest::newRow("blank") << 6 << ""
                           << "";
    QTest::newRow("quotes and sql") << 6 << "1'; drop table tblcurr; --"
                                    << "1'; drop table tblcurr; --";
}

void TestCurrencyStore::listValue() {
    QFETCH(int, length);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    test::RatesFixture f;
    const qint64 k = f.addCurrency(QStringLiteral("Euro"), QStringLiteral("9"), 1);
    const ValueFormat format{length, QStringLiteral("0.00000")};
    const auto res =
        CurrencyStore(f.db).saveValues({{k, {typed, typed, QString(), QString(), QString()}}},
                                       format, QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    QVERIFY2(res.ok, qPrintable(res.error));
    QCOMPARE(res.written, 1);
    QCOMPARE(f.column(k, QStringLiteral("colum1")), stored);
    QCOMPARE(f.column(k, QStringLiteral("colum2")), stored);
    QCOMPARE(f.column(k, QStringLiteral("updateTime")), QStringLiteral("2026-03-04 05:06:07"));
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 1);
}

void TestCurrencyStore::entryValue_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("cut to length") << 6 << "1.23456789"
                                   << "1.2345";
    QTest::newRow("short value formatted") << 6 << "2"
                                           << "2.0000";
    QTest::newRow("length 0 as typed") << 0 << "1.23456789"
                                       << "1.23456789";
    QTest::newRow("letters cut") << 6 << "abcdefghij"
                                 << "abcdef";
    QTest::newRow("length 9") << 9 << "12.5"
                              << "12.50000";
    QTest::newRow("integer part never cut") << 2 << "123.45"
                                            << "123";
}

void TestCurrencyStore::entryValue() {
    QFETCH(int, length);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(CurrencyStore::entryValue(typed, {length, QStringLiteral("0.00000")}), stored);
}

void TestCurrencyStore::cellCheck_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("bad");
    QTest::newRow("all empty") << QStringList{"", "", "", "", ""} << -1;
    QTest::newRow("3,4") << QStringList{"3,4", "", "", "", ""} << -1;
    QTest::newRow("3;4") << QStringList{"3;4", "", "", "", ""} << 0;
    QTest::newRow("3,4,5") << QStringList{"", "3,4,5", "", "", ""} << 1;
    QTest::newRow("C,4") << QStringList{"1,1", "2,2", "C,4", "", ""} << 2;
    QTest::newRow("first failing wins") << QStringList{"1,1", "x", "", "y", ""} << 1;
    QTest::newRow("blank part") << QStringList{"", "", "", "", "3,"} << 4;
}

void TestCurrencyStore::cellCheck() {
    QFETCH(QStringList, cells);
    QFETCH(int, bad);
    QCOMPARE(CurrencyStore::firstBadCell(cells), bad);
}

void TestCurrencyStore::limitsListedInDigits_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("listed");
    QTest::newRow("small number") << QVariant(0.0001) << "0.0001";
    QTest::newRow("smaller") << QVariant(0.00001) << "0.00001";
    QTest::newRow("large number") << QVariant(1000.0) << "1000";
    QTest::newRow("big") << QVariant(1.5e7) << "15000000";
    QTest::newRow("fraction") << QVariant(2.25) << "2.25";
    QTest::newRow("whole") << QVariant(qlonglong(7)) << "7";
    QTest::newRow("text kept") << QVariant(QStringLiteral("abc")) << "abc";
}

void TestCurrencyStore::limitsListedInDigits() {
    QFETCH(QVariant, stored);
    QFETCH(QString, listed);
    test::RatesFixture f;
    const qint64 k = f.addCurrency(QStringLiteral("Euro"), QStringLiteral("9"), 1);
    bool ok = false;
    f.db.exec(QStringLiteral("update tblcurr set low=?, high=? where currAuto=?"),
              {stored, stored, k}, &ok);
    QVERIFY(ok);
    const auto rows = CurrencyStore(f.db).list(true);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].low, listed);
    QCOMPARE(rows[0].high, listed);
}

void TestCurrencyStore::listOrderAndActive() {
    test::RatesFixture f;
    f.addCurrency(QStringLiteral("C"), QStringLiteral("3"), 30);
    f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 10);
    f.addCurrency(QStringLiteral("B"), QStringLiteral("2"), 20, false);
    CurrencyStore store(f.db);
    QStringList names;
    for (const auto& r : store.list(false))
        names << r.name;
    QCOMPARE(names, (QStringList{"A", "C"}));
    names.clear();
    for (const auto& r : store.list(true))
        names << r.name;
    QCOMPARE(names, (QStringList{"A", "B", "C"}));
}

void TestCurrencyStore::saveValuesSkipsMissingRows() {
    test::RatesFixture f;
    const qint64 a = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1);
    const qint64 b = f.addCurrency(QStringLiteral("B"), QStringLiteral("2"), 2);
    f.db.removeWhere(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), a);
    const auto res = CurrencyStore(f.db).saveValues(
        {{a, {"5", "", "", "", ""}}, {b, {"6", "", "", "", ""}}}, {6, QStringLiteral("0.00000")});
    QVERIFY(res.ok);
    QCOMPARE(res.written, 1);
    QCOMPARE(res.missing, 1);
    QCOMPARE(f.column(b, QStringLiteral("colum1")), QStringLiteral("6.00000"));
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 1);
}

void TestCurrencyStore::saveValuesIsAllOrNothing() {
    test::RatesFixture f;
    const qint64 a = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1);
    const qint64 b = f.addCurrency(QStringLiteral("B"), QStringLiteral("2"), 2);
    // The second row's update fails: the first must not stay written.
    f.db.exec(
        QStringLiteral("CREATE TRIGGER refuse_b BEFORE UPDATE ON tblCurr WHEN old.currName='B' "
                       "BEGIN SELECT RAISE(ABORT, 'row is locked'); END"));
    const auto res = CurrencyStore(f.db).saveValues(
        {{a, {"5", "", "", "", ""}}, {b, {"6", "", "", "", ""}}}, {6, QStringLiteral("0.00000")});
    QVERIFY(!res.ok);
    QVERIFY2(res.error.contains(QLatin1String("row is locked")), qPrintable(res.error));
    QCOMPARE(f.column(a, QStringLiteral("colum1")), QStringLiteral("1"));
    QCOMPARE(f.column(b, QStringLiteral("colum1")), QStringLiteral("2"));
}

void TestCurrencyStore::lockedDatabase() {
    test::RatesFixture f;
    const qint64 a = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1);
    {
        // Another program holds the write lock for longer than we wait.
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(f.db.path());
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(lock.exec(QStringLiteral("update tblcurr set currName='other' where currAuto=1")));
        const auto res = CurrencyStore(f.db).saveValues({{a, {"5", "", "", "", ""}}},
                                                        {6, QStringLiteral("0.00000")});
        QVERIFY(!res.ok);
        QVERIFY2(res.error.contains(QLatin1String("locked"), Qt::CaseInsensitive),
                 qPrintable(res.error));
        QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QCOMPARE(f.column(a, QStringLiteral("colum1")), QStringLiteral("1"));
    // Once released, the same save goes through.
    QVERIFY(CurrencyStore(f.db)
                .saveValues({{a, {"5", "", "", "", ""}}}, {6, QStringLiteral("0.00000")})
                .ok);
    QCOMPARE(f.column(a, QStringLiteral("colum1")), QStringLiteral("5.00000"));
}

void TestCurrencyStore::addPositionRule_data() {
    QTest::addColumn<QString>("pos");
    QTest::addColumn<bool>("ownKey");
    QTest::addColumn<int>("stored");
    QTest::newRow("empty") << "" << true << 0;
    QTest::newRow("blanks") << "   " << true << 0;
    QTest::newRow("letters") << "abc" << true << 0;
    QTest::newRow("sql") << "1; delete from tblcurr" << true << 0;
    QTest::newRow("number") << "42" << false << 42;
    QTest::newRow("number with blanks") << " 7 " << false << 7;
}

void TestCurrencyStore::addPositionRule() {
    QFETCH(QString, pos);
    QFETCH(bool, ownKey);
    QFETCH(int, stored);
    test::RatesFixture f;
    f.addCurrency(QStringLiteral("Other"), QStringLiteral("1"), 500);
    CurrencyInput in;
    in.name = QStringLiteral("New 'one'");
    in.values = QStringList{"1.23456789", "", "", "", ""};
    in.pos = pos;
    in.active = true;
    in.cells = QStringList{"", "", "", "", ""};
    in.low = QStringLiteral("abc");
    in.high = QStringLiteral("10");
    qint64 key = 0;
    const auto res = CurrencyStore(f.db).add(in, {6, QStringLiteral("0.00000")}, &key);
    QVERIFY2(res.ok, qPrintable(res.error));
    QVERIFY(key > 0);
    QCOMPARE(f.column(key, QStringLiteral("pos")).toLongLong(), ownKey ? key : stored);
    QCOMPARE(f.column(key, QStringLiteral("currName")), QStringLiteral("New 'one'"));
    QCOMPARE(f.column(key, QStringLiteral("colum1")), QStringLiteral("1.2345"));
    QCOMPARE(f.column(key, QStringLiteral("vstate")), QStringLiteral("N"));
    QCOMPARE(f.column(key, QStringLiteral("active")), QStringLiteral("1"));
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 2);
}

void TestCurrencyStore::duplicatePositionWritesNothing() {
    test::RatesFixture f;
    const qint64 a = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1);
    const qint64 b = f.addCurrency(QStringLiteral("B"), QStringLiteral("2"), 2);
    CurrencyInput in;
    in.name = QStringLiteral("B changed");
    in.values = QStringList{"9", "", "", "", ""};
    in.pos = QStringLiteral("1");
    in.cells = QStringList{"", "", "", "", ""};
    const auto res = CurrencyStore(f.db).change(b, in, {6, QStringLiteral("0.00000")});
    QVERIFY(!res.ok);
    QVERIFY(res.duplicatePosition);
    QCOMPARE(f.column(b, QStringLiteral("currName")), QStringLiteral("B"));
    QCOMPARE(f.column(b, QStringLiteral("pos")), QStringLiteral("2"));
    const auto added = CurrencyStore(f.db).add(in, {6, QStringLiteral("0.00000")});
    QVERIFY(!added.ok);
    QVERIFY(added.duplicatePosition);
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 2);
    QCOMPARE(f.column(a, QStringLiteral("pos")), QStringLiteral("1"));
}

void TestCurrencyStore::changeKeepsOrReplacesFlag() {
    test::RatesFixture f;
    const qint64 k = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1, true, "0.0001",
                                   "1000", QStringLiteral("/flags/a.png"));
    f.db.exec(QStringLiteral("update tblcurr set vstate='H' where currAuto=?"), {k});
    CurrencyInput in;
    in.name = QStringLiteral("A");
    in.values = QStringList{"1", "", "", "", ""};
    in.pos = QStringLiteral("1");
    in.cells = QStringList{"", "", "", "", ""};
    in.img = QStringLiteral("/typed/elsewhere.png");
    in.writeImg = false;
    QVERIFY(CurrencyStore(f.db).change(k, in, {6, QStringLiteral("0.00000")}).ok);
    QCOMPARE(f.column(k, QStringLiteral("img")), QStringLiteral("/flags/a.png"));
    QCOMPARE(f.column(k, QStringLiteral("vstate")), QStringLiteral("N"));
    in.img.clear();
    in.writeImg = true;
    QVERIFY(CurrencyStore(f.db).change(k, in, {6, QStringLiteral("0.00000")}).ok);
    QCOMPARE(f.column(k, QStringLiteral("img")), QString());
}

void TestCurrencyStore::changeOfDeletedRow() {
    test::RatesFixture f;
    const qint64 k = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1);
    f.db.removeWhere(QStringLiteral("tblCurr"), QStringLiteral("currAuto"), k);
    CurrencyInput in;
    in.name = QStringLiteral("A");
    in.pos = QString();
    const auto res = CurrencyStore(f.db).change(k, in, {6, QStringLiteral("0.00000")});
    QVERIFY(res.ok);
    QCOMPARE(res.missing, 1);
    QCOMPARE(res.written, 0);
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 0);
}

void TestCurrencyStore::headerCaptions() {
    test::RatesFixture f;
    const qint64 t =
        f.addThemeWithHeader(QStringLiteral("T"), {"Currency", "Buy", "Sell", "", "", ""});
    const qint64 bare = f.db.insert(QStringLiteral("tbltheme"),
                                    {{QStringLiteral("themename"), QStringLiteral("Bare")}});
    CurrencyStore store(f.db);
    QCOMPARE(store.headerCaptions(t).value(), (QStringList{"Currency", "Buy", "Sell", "", "", ""}));
    QVERIFY(!store.headerCaptions(bare).has_value());
}

void TestCurrencyStore::announcesCommittedWrites_data() {
    QTest::addColumn<QString>("write");
    QTest::addColumn<bool>("refused");
    const QStringList writes{"save values", "add", "change", "remove", "alarm states"};
    for (const QString& w : writes) {
        QTest::newRow(qPrintable(w)) << w << false;
        if (w != QLatin1String("alarm states"))
            QTest::newRow(qPrintable(w + QStringLiteral(", refused"))) << w << true;
    }
}

void TestCurrencyStore::announcesCommittedWrites() {
    QFETCH(QString, write);
    QFETCH(bool, refused);
    test::RatesFixture f;
    const qint64 k = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1);
    if (refused)
        f.refuseWrites();
    CurrencyStore& store = f.ctx.currencies;
    QSignalSpy own(&store, &CurrencyStore::changed);
    QSignalSpy shared(&f.events, &DataEvents::currenciesChanged);
    CurrencyInput in;
    in.name = QStringLiteral("B");
    const ValueFormat format{6, QStringLiteral("0.00000")};
    bool ok = false;
    if (write == QLatin1String("save values"))
        ok = store.saveValues({{k, {"5", "", "", "", ""}}}, format).ok;
    else if (write == QLatin1String("add"))
        ok = store.add(in, format).ok;
    else if (write == QLatin1String("change"))
        ok = store.change(k, in, format).ok;
    else if (write == QLatin1String("remove"))
        ok = store.remove(k);
    else
        ok = store.setAlarmStates({{k, QStringLiteral("H")}});
    QCOMPARE(ok, !refused);
    QCOMPARE(own.count(), refused ? 0 : 1);
    QCOMPARE(shared.count(), refused ? 0 : 1);
    // A store made on the side tells no other window.
    CurrencyStore aside(f.db);
    QSignalSpy asideOwn(&aside, &CurrencyStore::changed);
    const bool asideOk = aside.saveValues({}, format).ok;
    QCOMPARE(asideOwn.count(), asideOk ? 1 : 0);
    QCOMPARE(shared.count(), refused ? 0 : 1);
}

void TestCurrencyStore::alarmRows_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("value"); // of the active row
    QTest::newRow("first") << 0 << true << "1.25";
    QTest::newRow("last") << 4 << true << "5.5";
    QTest::newRow("below range") << -1 << false << "";
    QTest::newRow("beyond range") << 5 << false << "";
}

void TestCurrencyStore::alarmRows() {
    QFETCH(int, column);
    QFETCH(bool, ok);
    QFETCH(QString, value);
    test::RatesFixture f;
    const qint64 k = f.addCurrency(QStringLiteral("A"), QStringLiteral("1.25"), 1, true,
                                   QStringLiteral("0.5"), QStringLiteral("2"));
    f.addCurrency(QStringLiteral("Off"), QStringLiteral("9"), 2, false);
    f.db.exec(QStringLiteral("update tblcurr set colum5='5.5', vstate='H' where currAuto=?"), {k});
    bool good = !ok;
    const auto rows = f.ctx.currencies.alarmRows(column, &good);
    QCOMPARE(good, ok);
    if (!ok) {
        QVERIFY(rows.isEmpty());
        return;
    }
    QCOMPARE(rows.size(), 1); // active rows only
    QCOMPARE(rows[0].key, k);
    QCOMPARE(rows[0].value, value);
    QCOMPARE(rows[0].low.toDouble(), 0.5);
    QCOMPARE(rows[0].high.toDouble(), 2.0);
    QCOMPARE(rows[0].state, QStringLiteral("H"));
}

void TestCurrencyStore::alarmStatesInOneGo() {
    test::RatesFixture f;
    const qint64 a = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1);
    const qint64 b = f.addCurrency(QStringLiteral("B"), QStringLiteral("2"), 2);
    const qint64 c = f.addCurrency(QStringLiteral("C"), QStringLiteral("3"), 3);
    QVERIFY(f.ctx.currencies.setAlarmStates({{a, QStringLiteral("L")}, {c, QStringLiteral("H")}}));
    QCOMPARE(f.column(a, QStringLiteral("vstate")), QStringLiteral("L"));
    QCOMPARE(f.column(b, QStringLiteral("vstate")), QStringLiteral("N"));
    QCOMPARE(f.column(c, QStringLiteral("vstate")), QStringLiteral("H"));
}

void TestCurrencyStore::lastUpdateTime() {
    test::RatesFixture f;
    QVERIFY(!f.ctx.currencies.lastUpdateTime().has_value());
    const qint64 a = f.addCurrency(QStringLiteral("A"), QStringLiteral("1"), 1);
    const qint64 b = f.addCurrency(QStringLiteral("B"), QStringLiteral("2"), 2);
    const ValueFormat format{0, QString()};
    QVERIFY(f.ctx.currencies
                .saveValues({{b, {"2", "", "", "", ""}}}, format,
                            QDateTime(QDate(2026, 3, 1), QTime(9, 15)))
                .ok);
    QVERIFY(f.ctx.currencies
                .saveValues({{a, {"1", "", "", "", ""}}}, format,
                            QDateTime(QDate(2026, 2, 28), QTime(23, 59)))
                .ok);
    QCOMPARE(f.ctx.currencies.lastUpdateTime().value(), QStringLiteral("2026-03-01 09:15:00"));
}

void TestCurrencyStore::ownStoreAnnouncesThroughEvents() {
    test::RatesFixture f;
    DataEvents events;
    AppContext own(f.db, f.settings, events);
    QVERIFY(&own.currencies != &f.ctx.currencies);
    QCOMPARE(&own.currencies.connection(), static_cast<Connection*>(&f.db));
    // It tells the windows of its own context, and only those.
    QSignalSpy shared(&events, &DataEvents::currenciesChanged);
    QSignalSpy other(&f.events, &DataEvents::currenciesChanged);
    QVERIFY(own.currencies.remove(99));
    QCOMPARE(shared.count(), 1);
    QCOMPARE(other.count(), 0);
}

QTEST_GUILESS_MAIN(TestCurrencyStore)
#include "tst_currencystore.moc"
