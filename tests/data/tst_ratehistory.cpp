#include "data/connectionworker.h"
#include "data/currencystore.h"
#include "data/ratehistory.h"
#include "data/remotecurrencystore.h"
#include "data/schema.h"
#include "data/settingsstore.h"
#include "rates/ratehistorymodel.h"
#include "testsupport.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;

namespace {

const QDateTime kNoon(QDate(2026, 5, 6), QTime(12, 0, 0));

struct Fixture {
    test::TestEnv env;
    Database db;
    CurrencyStore store{db};
    qint64 euro = 0;

    Fixture() {
        if (!env.makeDatabase(db))
            qFatal("no test database: %s", qPrintable(db.lastError()));
        CurrencyInput in;
        in.name = QStringLiteral("Euro");
        in.values = QStringList{QStringLiteral("1.1"), QStringLiteral("1.2"), {}, {}, {}};
        in.pos = QStringLiteral("1");
        in.active = true;
        store.add(in, ValueFormat{0, {}}, &euro);
        db.exec(QStringLiteral("delete from tblRateHistory")); // the set-up is no change
    }

    int historyRows() {
        return db.scalar(QStringLiteral("select count(*) from tblRateHistory")).toInt();
    }
    QString value(int column) {
        return db.scalar(QStringLiteral("select colum%1 from tblCurr where currAuto=?").arg(column),
                         {euro})
            .toString();
    }
    // Adds a history row as if it had been logged at the given time.
    void logAt(const QString& at, qint64 key, const QString& after) {
        HistoryWriter(db, {ChangeSource::Grid, {}, QDateTime::fromString(at, Qt::ISODate)})
            .log(key, QStringLiteral("C%1").arg(key), 0, QString(), after);
    }
};

enum class Change { GridSave, EntryChange, EntryAdd, Feed, Online };

// Applies a change of value column 1 of the euro to text; false when the store refused.
bool apply(Fixture& f, Change kind, const QString& text) {
    switch (kind) {
    case Change::GridSave:
        return f.store
            .saveValues({{f.euro, {text, QStringLiteral("1.2"), {}, {}, {}}}}, ValueFormat{0, {}},
                        kNoon, QStringLiteral("ADMIN"))
            .ok;
    case Change::EntryChange:
    case Change::EntryAdd: {
        CurrencyInput in;
        in.name = QStringLiteral("Euro");
        in.values = QStringList{text, QStringLiteral("1.2"), {}, {}, {}};
        in.active = true;
        if (kind == Change::EntryChange)
            return f.store.change(f.euro, in, ValueFormat{0, {}}, QStringLiteral("clerk")).ok;
        in.pos = QStringLiteral("2");
        return f.store.add(in, ValueFormat{0, {}}, nullptr, QStringLiteral("clerk")).ok;
    }
    case Change::Feed:
        return f.store.setColumnValues({{f.euro, 0, text}}, {ChangeSource::SheetFeed, {}, kNoon})
            .ok;
    case Change::Online: {
        const bool flags[5] = {true, false, false, false, false};
        QString error;
        applyOnlineValues(f.store, {{1, {text, {}, {}, {}, {}}}}, flags, &error);
        return error.isEmpty();
    }
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestRateHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyKindOfChangeIsLogged_data();
    void everyKindOfChangeIsLogged();
    void sameTextIsNotLogged_data();
    void sameTextIsNotLogged();
    void failedHistoryUndoesTheChange_data();
    void failedHistoryUndoesTheChange();
    void rollbackLeavesNoHistory();
    void olderDatabaseGetsTheTable();
    void csvQuoting_data();
    void csvQuoting();
    void exportWritesRowsOldestFirst();
    void filter_data();
    void filter();
    void pagesWalkEveryRowOnce();
    void modelFetchesAPageAtATime();
    void purgeKeepsRecentRows_data();
    void purgeKeepsRecentRows();
    void purgeAtMostOnceADay();
};

void TestRateHistory::everyKindOfChangeIsLogged_data() {
    QTest::addColumn<Change>("kind");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("who");
    QTest::newRow("grid") << Change::GridSave << "1.1"
                          << "grid"
                          << "ADMIN";
    QTest::newRow("entry window change") << Change::EntryChange << "1.1"
                                         << "entry window"
                                         << "clerk";
    QTest::newRow("entry window new currency") << Change::EntryAdd << ""
                                               << "entry window"
                                               << "clerk";
    QTest::newRow("spreadsheet feed") << Change::Feed << "1.1"
                                      << "spreadsheet feed"
                                      << "";
    QTest::newRow("online copy") << Change::Online << "1.1"
                                 << "online copy"
                                 << "";
}

void TestRateHistory::everyKindOfChangeIsLogged() {
    QFETCH(Change, kind);
    QFETCH(QString, before);
    QFETCH(QString, source);
    QFETCH(QString, who);
    Fixture f;
    QVERIFY(apply(f, kind, QStringLiteral("1.3")));
    const QVector<HistoryEntry> rows = HistoryReader(f.db).page({}, 10);
    // Only column 1 changed; column 2 was written with its own text.
    QCOMPARE(rows.size(), kind == Change::EntryAdd ? 2 : 1);
    const HistoryEntry& e = rows.last();
    QCOMPARE(e.currencyName, QStringLiteral("Euro"));
    QCOMPARE(e.column, 1);
    QCOMPARE(e.before, before);
    QCOMPARE(e.after, QStringLiteral("1.3"));
    QCOMPARE(e.source, source);
    QCOMPARE(e.operatorName, who);
    QVERIFY(!e.at.isEmpty());
}

void TestRateHistory::sameTextIsNotLogged_data() {
    QTest::addColumn<Change>("kind");
    QTest::newRow("grid") << Change::GridSave;
    QTest::newRow("entry window") << Change::EntryChange;
    QTest::newRow("spreadsheet feed") << Change::Feed;
    QTest::newRow("online copy") << Change::Online;
}

void TestRateHistory::sameTextIsNotLogged() {
    QFETCH(Change, kind);
    Fixture f;
    QVERIFY(apply(f, kind, QStringLiteral("1.1")));
    QCOMPARE(f.historyRows(), 0);
}

void TestRateHistory::failedHistoryUndoesTheChange_data() {
    sameTextIsNotLogged_data();
}

void TestRateHistory::failedHistoryUndoesTheChange() {
    QFETCH(Change, kind);
    Fixture f;
    f.db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblRateHistory BEGIN "
                             "SELECT RAISE(ABORT, 'disk full'); END"));
    QVERIFY(!apply(f, kind, QStringLiteral("9.9")));
    // A change that cannot be logged is not made.
    QCOMPARE(f.value(1), QStringLiteral("1.1"));
}

void TestRateHistory::rollbackLeavesNoHistory() {
    Fixture f;
    CurrencyInput in;
    in.name = QStringLiteral("Dollar");
    in.values = QStringList{QStringLiteral("2")};
    in.pos = QStringLiteral("2");
    qint64 dollar = 0;
    QVERIFY(f.store.add(in, ValueFormat{0, {}}, &dollar).ok);
    f.db.exec(QStringLiteral("delete from tblRateHistory"));
    // The second row's write fails after the first row's history was logged.
    f.db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON tblCurr WHEN NEW.colum1='bad' "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    QVERIFY(!f.store
                 .saveValues({{f.euro, {QStringLiteral("5")}}, {dollar, {QStringLiteral("bad")}}},
                             ValueFormat{0, {}}, kNoon)
                 .ok);
    QVERIFY(!f.store
                 .setColumnValues({{f.euro, 1, QStringLiteral("7")}, {dollar, 0, QStringLiteral("bad")}},
                                  {ChangeSource::SheetFeed, {}, kNoon})
                 .ok);
    QCOMPARE(f.historyRows(), 0);
    QCOMPARE(f.value(1), QStringLiteral("1.1"));
    QCOMPARE(f.value(2), QStringLiteral("1.2"));
}

void TestRateHistory::olderDatabaseGetsTheTable() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/old.db");
    {
        Database db;
        QVERIFY(db.create(path));
        // As a database of the first schema left it.
        db.exec(QStringLiteral("drop table tblRateHistory"));
        db.exec(QStringLiteral("PRAGMA user_version = 1"));
    }
    Database db;
    QVERIFY2(db.open(path), qPrintable(db.lastError()));
    QCOMPARE(db.schemaVersion(), schema::currentVersion);
    QStringList indexes;
    for (const QSqlRecord& r :
         db.fetchAll(QStringLiteral("select name from sqlite_master where type='index' and "
                                    "tbl_name='tblRateHistory' order by name")))
        indexes << r.value(0).toString();
    QCOMPARE(indexes, QStringList({QStringLiteral("idx_tblRateHistory_curr"),
                                   QStringLiteral("idx_tblRateHistory_time")}));
    CurrencyStore store(db);
    qint64 key = 0;
    CurrencyInput in;
    in.name = QStringLiteral("Yen");
    in.values = QStringList{QStringLiteral("0.006")};
    QVERIFY(store.add(in, ValueFormat{0, {}}, &key).ok);
    QCOMPARE(HistoryReader(db).count({}), qint64(1));
}

void TestRateHistory::csvQuoting_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "1.2345"
                           << "1.2345";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("comma") << "1,5"
                           << "\"1,5\"";
    QTest::newRow("quote doubled") << "say \"hi\""
                                   << "\"say \"\"hi\"\"\"";
    QTest::newRow("line feed") << "a\nb"
                               << "\"a\nb\"";
    QTest::newRow("carriage return") << "a\rb"
                                     << "\"a\rb\"";
    QTest::newRow("spaces kept bare") << " x "
                                      << " x ";
    QTest::newRow("non-latin") << "ريال"
                               << "ريال";
}

void TestRateHistory::csvQuoting() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(csvField(text), field);
}

void TestRateHistory::exportWritesRowsOldestFirst() {
    Fixture f;
    HistoryWriter w(f.db, {ChangeSource::OnlineCopy, QStringLiteral("Zoë"), kNoon});
    QVERIFY(w.log(7, QStringLiteral("Pound, \"sterling\""), 2, QStringLiteral("1.5"),
                  QStringLiteral("1.6\r\n")));
    f.logAt(QStringLiteral("2026-05-05T09:00:00"), 8, QStringLiteral("€"));
    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QString error;
    QCOMPARE(exportHistoryCsv(f.db, {}, out, &error), 2);
    QCOMPARE(QString::fromUtf8(out.data()),
             QStringLiteral("Time,Currency,Column,Old,New,Source,Operator\r\n"
                            "2026-05-05 09:00:00,C8,1,,€,grid,\r\n"
                            "2026-05-06 12:00:00,\"Pound, \"\"sterling\"\"\",3,1.5,\"1.6\r\n\","
                            "online copy,Zoë\r\n"));
}

void TestRateHistory::filter_data() {
    QTest::addColumn<qint64>("currency");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("values"); // newest first
    QTest::newRow("all") << qint64(0) << QDate() << QDate()
                         << QStringList{"e", "d", "c", "b", "a"};
    QTest::newRow("one currency") << qint64(2) << QDate() << QDate() << QStringList{"d", "b"};
    QTest::newRow("one day, both ends inclusive")
        << qint64(0) << QDate(2026, 1, 2) << QDate(2026, 1, 2) << QStringList{"c", "b"};
    QTest::newRow("from only") << qint64(0) << QDate(2026, 1, 3) << QDate()
                               << QStringList{"e", "d"};
    QTest::newRow("to only") << qint64(0) << QDate() << QDate(2026, 1, 1) << QStringList{"a"};
    QTest::newRow("currency and range")
        << qint64(1) << QDate(2026, 1, 2) << QDate(2026, 1, 3) << QStringList{"c"};
    QTest::newRow("empty range") << qint64(0) << QDate(2026, 2, 1) << QDate(2026, 2, 9)
                                 << QStringList{};
}

void TestRateHistory::filter() {
    QFETCH(qint64, currency);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, values);
    Fixture f;
    f.logAt(QStringLiteral("2026-01-01T23:59:59"), 1, QStringLiteral("a"));
    f.logAt(QStringLiteral("2026-01-02T00:00:00"), 2, QStringLiteral("b"));
    f.logAt(QStringLiteral("2026-01-02T23:59:59"), 1, QStringLiteral("c"));
    f.logAt(QStringLiteral("2026-01-03T00:00:00"), 2, QStringLiteral("d"));
    f.logAt(QStringLiteral("2026-01-04T10:00:00"), 3, QStringLiteral("e"));
    const HistoryFilter filter{currency, from, to};
    QStringList got;
    for (const HistoryEntry& e : HistoryReader(f.db).page(filter, 100))
        got << e.after;
    QCOMPARE(got, values);
    QCOMPARE(HistoryReader(f.db).count(filter), qint64(values.size()));
}

void TestRateHistory::pagesWalkEveryRowOnce() {
    Fixture f;
    // Several rows share a second, so the cursor must tell them apart by key.
    for (int i = 0; i < 23; ++i)
        f.logAt(QStringLiteral("2026-03-01T10:00:%1").arg(i / 4, 2, 10, QLatin1Char('0')), 1,
                QString::number(i));
    HistoryReader reader(f.db);
    QStringList walked;
    std::optional<HistoryCursor> after;
    int pages = 0;
    for (;;) {
        bool ok = false;
        const QVector<HistoryEntry> page = reader.page({}, 5, after, &ok);
        QVERIFY(ok);
        if (page.isEmpty())
            break;
        ++pages;
        for (const HistoryEntry& e : page)
            walked << e.after;
        after = HistoryCursor{page.last().at, page.last().id};
    }
    QCOMPARE(pages, 5);
    QStringList expected;
    for (int i = 22; i >= 0; --i)
        expected << QString::number(i);
    QCOMPARE(walked, expected);
}

void TestRateHistory::modelFetchesAPageAtATime() {
    Fixture f;
    for (int i = 0; i < 10; ++i)
        f.logAt(QStringLiteral("2026-03-%1T08:00:00").arg(i + 1, 2, 10, QLatin1Char('0')),
                i % 2 + 1, QString::number(i));
    RateHistoryModel model(f.db, 4);
    model.setFilter({1, {}, {}});
    QCOMPARE(model.totalCount(), qint64(5));
    QCOMPARE(model.rowCount(), 4);
    QVERIFY(model.canFetchMore());
    model.fetchMore();
    QCOMPARE(model.rowCount(), 5);
    QVERIFY(!model.canFetchMore());
    QStringList values;
    for (int r = 0; r < model.rowCount(); ++r)
        values << model.data(model.index(r, 4)).toString();
    QCOMPARE(values, QStringList({"8", "6", "4", "2", "0"}));
    // A new filter starts over from its own first page.
    model.setFilter({});
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.data(model.index(0, 4)).toString(), QStringLiteral("9"));
}

void TestRateHistory::purgeKeepsRecentRows_data() {
    QTest::addColumn<int>("days");
    QTest::addColumn<QStringList>("kept");
    // Today is 2026-06-10; rows on 06-09, 06-08 (late) and 05-31.
    QTest::newRow("keep 1 day") << 1 << QStringList{"new"};
    QTest::newRow("keep 2 days: the whole cutoff day stays") << 2 << QStringList{"new", "late"};
    QTest::newRow("keep 10 days") << 10 << QStringList{"new", "late", "old"};
    QTest::newRow("keep 9 days") << 9 << QStringList{"new", "late"};
}

void TestRateHistory::purgeKeepsRecentRows() {
    QFETCH(int, days);
    QFETCH(QStringList, kept);
    Fixture f;
    f.logAt(QStringLiteral("2026-05-31T12:00:00"), 1, QStringLiteral("old"));
    f.logAt(QStringLiteral("2026-06-08T23:59:59"), 1, QStringLiteral("late"));
    f.logAt(QStringLiteral("2026-06-09T00:00:00"), 1, QStringLiteral("new"));
    QCOMPARE(purgeHistory(f.db, days, QDate(2026, 6, 10)), 3 - int(kept.size()));
    QStringList left;
    for (const HistoryEntry& e : HistoryReader(f.db).page({}, 10))
        left << e.after;
    QCOMPARE(left, kept);
}

void TestRateHistory::purgeAtMostOnceADay() {
    Fixture f;
    SettingsStore settings;
    settings.set(settings::HistoryDays, 5);
    ConnectionWorker worker;
    HistoryPurger purger(settings, worker);
    const QString path = f.db.path();
    worker.open([path](Connection& c) { return sqlite::openExisting(c, path); }, &purger,
                [](const JobResult&) {});
    QSignalSpy done(&purger, &HistoryPurger::purged);

    f.logAt(QStringLiteral("2026-01-01T00:00:00"), 1, QStringLiteral("a"));
    QVERIFY(purger.purgeIfDue(QDate(2026, 3, 1)));
    QVERIFY(done.wait(10000));
    QCOMPARE(done.takeFirst().at(0).toInt(), 1);
    QCOMPARE(settings.get(settings::HistoryPurged), QStringLiteral("2026-03-01"));

    // Later the same day nothing runs, even for a row that is due.
    f.logAt(QStringLiteral("2026-01-02T00:00:00"), 1, QStringLiteral("b"));
    QVERIFY(!purger.purgeIfDue(QDate(2026, 3, 1)));
    // Also not after a restart: the day is kept in the settings.
    HistoryPurger again(settings, worker);
    QVERIFY(!again.purgeIfDue(QDate(2026, 3, 1)));
    QCOMPARE(f.historyRows(), 1);

    QVERIFY(purger.purgeIfDue(QDate(2026, 3, 2)));
    QVERIFY(done.wait(10000));
    QCOMPARE(done.takeFirst().at(0).toInt(), 1);
    QCOMPARE(f.historyRows(), 0);
    worker.shutdown();
}

QTEST_GUILESS_MAIN(TestRateHistory)
#include "tst_ratehistory.moc"
