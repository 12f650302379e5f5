#include "data/dbpath.h"
#include "feeds/sheetfeed.h"
#include "sheetlines.h"
#include "testsupport.h"

#include <QProcess>
#include <QSemaphore>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>

using namespace quoteria;

namespace {

const QDateTime kStamped(QDate(2024, 3, 1), QTime(9, 30));

struct Fixture : test::AppFixture {
    QString book = env.dir() + QStringLiteral("/rates.xlsx");
    qint64 usd = 0, gbp = 0, inr = 0;
    Fixture() {
        QVERIFY(ready);
        // USD reads two cells and names three that give nothing; GBP names none.
        usd = add("USD", {"1,1", "1,2", "x,2", "9,9", {}});
        gbp = add("GBP", {});
        inr = add("INR", {"2,1"});
        QVector<CurrencyStore::Edit> old;
        for (qint64 k : {usd, gbp, inr})
            old.append({k, {"1", "2", "3", "4", "5"}});
        QVERIFY(currencies.saveValues(old, ValueFormat{0, {}}, kStamped).ok);
        QVERIFY(test::writeFile(book, "1,1=3.6725\n1,2=1234.5\n2,1=123.45\n"));
    }
    qint64 add(const char* name, QStringList cells) {
        cells.resize(5);
        CurrencyInput in{QLatin1String(name), {}, {}, true, {}, true, cells, {}, {}};
        qint64 key = 0;
        currencies.add(in, ValueFormat{0, {}}, &key);
        return key;
    }
    QStringList values(qint64 key) { return currencies.find(key).value_or(CurrencyRow()).values; }
};

} // namespace

class TestSheetFeed : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keptValue_data();
    void keptValue();
    void settingsEntries_data();
    void settingsEntries();
    void onlyValueColumnsChange();
    void failedReadChangesNothing_data();
    void failedReadChangesNothing();
    void readIsNeverDoubled();
    void savedWorkbookArrives_data();
    void savedWorkbookArrives();
    void feedOnceCommand_data();
    void feedOnceCommand();
};

void TestSheetFeed::keptValue_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("keep");
    QTest::addColumn<QString>("stored");
    QTest::newRow("decimals dropped") << "3.6725" << 6 << "3.6725";
    QTest::newRow("integer part kept, no bare point") << "123.45" << 2 << "123";
    QTest::newRow("sign and integer kept") << "-2.5" << 3 << "-2";
    QTest::newRow("padded to the format") << "0.1" << 6 << "0.1000";
    QTest::newRow("length 0: four decimals") << "123.45" << 0 << "123.4500";
    QTest::newRow("empty cell") << "" << 6 << "";
}

void TestSheetFeed::keptValue() {
    QFETCH(QString, cell);
    QFETCH(int, keep);
    QFETCH(QString, stored);
    QCOMPARE(feedValue(cell, ValueFormat{keep, QStringLiteral("0.00000")}), stored);
}

void TestSheetFeed::settingsEntries_data() {
    // period, digits as typed; period, digits and value format as saved
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("period over 5000") << QStringList{"6000", "2", "60", "2", "0.000"};
    QTest::newRow("not numbers") << QStringList{"abc", "six", "3", "5", "0.000000"};
    QTest::newRow("huge digits") << QStringList{"9", "1e9", "9", "1e9", "0." + QString(30, '0')};
}

void TestSheetFeed::settingsEntries() {
    QFETCH(QStringList, entries);
    const FeedEntries e = correctedEntries(entries.at(0), entries.at(1));
    QCOMPARE(QStringList({e.period, e.digits, e.format}), entries.mid(2));
}

void TestSheetFeed::onlyValueColumnsChange() {
    Fixture f;
    const auto before = f.currencies.list(true);
    QSignalSpy announced(&f.events, &DataEvents::currenciesChanged);
    SheetFeed feed(f.currencies, [&](const QString& path, const QVector<CellRef>&, QString* e) {
        return test::readLines(path, e);
    });
    QSignalSpy applied(&feed, &SheetFeed::applied);
    feed.configure(f.book, false, ValueFormat{6, QStringLiteral("0.00000")});
    feed.readNow();
    QTRY_COMPARE(applied.count(), 1);
    QCOMPARE(announced.count(), 1);
    QCOMPARE(f.values(f.usd), QStringList({"3.6725", "1234.5", "3", "4",
                                           "5"})); // bad and missing cells: as they were
    QCOMPARE(f.values(f.gbp), QStringList({"1", "2", "3", "4", "5"}));
    QCOMPARE(f.values(f.inr), QStringList({"123.45", "2", "3", "4", "5"}));
    const auto after = f.currencies.list(true);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        QCOMPARE(after[i].key, before[i].key);
        QCOMPARE(after[i].updateTime, CurrencyStore::timeText(kStamped));
        QCOMPARE(after[i].cells, before[i].cells);
    }

    // The same workbook again: nothing to write, nothing announced.
    feed.readNow();
    QTRY_COMPARE(applied.count(), 2);
    QCOMPARE(announced.count(), 1);
}

void TestSheetFeed::failedReadChangesNothing_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("retriedAtNextTick");
    QTest::newRow("missing file") << "missing" << false;
    QTest::newRow("unreadable workbook") << "unreadable" << false;
    QTest::newRow("saved during the read") << "saving" << true;
}

void TestSheetFeed::failedReadChangesNothing() {
    QFETCH(QString, failure);
    QFETCH(bool, retriedAtNextTick);
    Fixture f;
    const QString path = failure == QLatin1String("missing") ? f.book + ".gone" : f.book;
    int reads = 0;
    SheetFeed feed(f.currencies, [&](const QString& p, const QVector<CellRef>&, QString* e) {
        ++reads;
        if (failure == QLatin1String("unreadable")) {
            *e = QStringLiteral("not a workbook");
            return std::optional<CellTexts>();
        }
        auto cells = test::readLines(p, e);
        // The dealer's save lands in the middle of the first read.
        if (failure == QLatin1String("saving") && reads == 1)
            test::writeFile(p, "1,1=9.99\n1,2=8.88\n2,1=7.77\n");
        return cells;
    });
    QSignalSpy failed(&feed, &SheetFeed::readFailed);
    QSignalSpy announced(&f.events, &DataEvents::currenciesChanged);
    feed.configure(path, false, ValueFormat{});
    feed.readNow();
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(announced.count(), 0);
    QCOMPARE(f.values(f.usd), QStringList({"1", "2", "3", "4", "5"}));
    QCOMPARE(f.values(f.inr), QStringList({"1", "2", "3", "4", "5"}));

    const int readsBefore = reads;
    feed.tick(false);
    QTRY_VERIFY(!feed.isReading());
    QCOMPARE(reads > readsBefore, retriedAtNextTick);
    if (retriedAtNextTick) {
        QCOMPARE(f.values(f.usd), QStringList({"9.9900", "8.8800", "3", "4", "5"}));
        QCOMPARE(announced.count(), 1);
    }
    // The file back, as after an editor's rename: read at the next tick.
    if (failure == QLatin1String("missing")) {
        QVERIFY(test::writeFile(path, "1,1=2.5\n"));
        feed.tick(false);
        QTRY_COMPARE(f.values(f.usd).value(0), QStringLiteral("2.5000"));
    }
}

void TestSheetFeed::readIsNeverDoubled() {
    Fixture f;
    QSemaphore gate;
    std::atomic<int> running{0}, most{0}, reads{0};
    SheetFeed feed(f.currencies, [&](const QString& p, const QVector<CellRef>&, QString* e) {
        most = qMax(most.load(), ++running);
        ++reads;
        gate.acquire();
        --running;
        return test::readLines(p, e);
    });
    QSignalSpy applied(&feed, &SheetFeed::applied);
    feed.configure(f.book, false, ValueFormat{});
    feed.readNow();
    QTRY_COMPARE(reads.load(), 1);
    // Ticks while the slow read runs start no second one; one read follows it.
    for (int i = 0; i < 5; ++i)
        feed.tick(true);
    QVERIFY(feed.isReading());
    gate.release(10);
    QTRY_COMPARE(applied.count(), 2);
    QVERIFY(!feed.isReading());
    QCOMPARE(reads.load(), 2);
    QCOMPARE(most.load(), 1);
}

void TestSheetFeed::savedWorkbookArrives_data() {
    QTest::addColumn<bool>("byRename");
    QTest::newRow("written in place") << false;
    QTest::newRow("new file renamed over it") << true;
}

void TestSheetFeed::savedWorkbookArrives() {
    QFETCH(bool, byRename);
    Fixture f;
    SheetFeed feed(f.currencies, [](const QString& p, const QVector<CellRef>&, QString* e) {
        return test::readLines(p, e);
    });
    feed.configure(f.book, true, ValueFormat{});
    // No tick at all: only the watcher can bring the values in. Two saves in a
    // row, so the watch must survive the first.
    const std::pair<const char*, const char*> saves[] = {{"4.5", "4.5000"}, {"5.25", "5.2500"}};
    for (const auto& [rate, stored] : saves) {
        const QByteArray data = QByteArray("1,1=") + rate + "\n";
        if (byRename) {
            const QString tmp = f.env.dir() + QStringLiteral("/~rates.tmp");
            QVERIFY(test::writeFile(tmp, data));
            QVERIFY(QFile::remove(f.book));
            QVERIFY(QFile::rename(tmp, f.book));
        } else {
            QVERIFY(test::writeFile(f.book, data));
        }
        QTRY_COMPARE(f.values(f.usd).value(0), QString::fromLatin1(stored));
    }
}

void TestSheetFeed::feedOnceCommand_data() {
    QTest::addColumn<QString>("workbook"); // as set in the settings
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<QString>("error");
    QTest::newRow("none set") << "" << 1 << QStringList() << "No workbook is set";
    QTest::newRow("missing") << "gone.csv" << 1 << QStringList() << "Cannot read the workbook";
    QTest::newRow("read") << "rates.csv" << 0
                          << QStringList{QStringLiteral("USD\tcolum1\t1 \u2192 3.6725"),
                                         QStringLiteral("USD\tcolum2\t2 \u2192 1234.5"),
                                         QStringLiteral("INR\tcolum1\t1 \u2192 123.45")}
                          << "3 value(s) changed";
}

void TestSheetFeed::feedOnceCommand() {
    QFETCH(QString, workbook);
    QFETCH(QStringList, printed);
    Fixture f;
    QString why;
    QVERIFY(writeUserDbPath(f.db.path(), &why));
    QVERIFY(test::writeFile(f.env.dir() + QStringLiteral("/rates.csv"), "3.6725,1234.5\n123.45\n"));
    if (!workbook.isEmpty())
        f.settings.set(settings::ExcelSource, f.env.dir() + QLatin1Char('/') + workbook);
    QProcess p;
    p.start(qEnvironmentVariable("QUOTERIA_EXE"), {QStringLiteral("--feed-once")});
    QVERIFY(p.waitForFinished(60000));
    QTEST(p.exitCode(), "exitCode");
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), printed);
    QFETCH(QString, error);
    const QString said = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(said.contains(error), qPrintable(said));
    // A failed run leaves the values as they were.
    QCOMPARE(f.values(f.usd).value(0), printed.isEmpty() ? "1" : "3.6725");
}

QTEST_GUILESS_MAIN(TestSheetFeed)
#include "tst_sheetfeed.moc"
