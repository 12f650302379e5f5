#include "data/demodata.h"
#include "data/helpers.h"
#include "data/themedrafts.h"
#include "data/themestore.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;

class TestThemeStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsTheDemoTheme();
    void byNameAndList();
    void namesInTableOrder();
    void layoutAndHeaderPresence_data();
    void layoutAndHeaderPresence();
    void savesAndReadsBack_data();
    void savesAndReadsBack();
    void failedWriteLeavesThemeAsItWas_data();
    void failedWriteLeavesThemeAsItWas();
    void draftsApply_data();
    void draftsApply();
};

namespace {
// A theme with every kind of value changed from the demo's.
BoardTheme edited(BoardTheme t) {
    t.themeName = QStringLiteral("Edited");
    t.rows = 9;
    t.colwidth = QStringLiteral("500;2000;1000;1000;0;0;0");
    t.displaytime = 1;
    t.scroll = 1;
    t.clrtime = QColor(1, 2, 3);
    t.rowbgcolor = QColor(40, 50, 60);
    t.ttlBGEnable = QStringLiteral("0");
    t.swidth = 1920;
    t.zone[BoardTheme::News][1] = 5000;
    t.zone[BoardTheme::Video][2] = 1234.5;
    t.head[0] = QStringLiteral("NAME");
    t.head[5] = QStringLiteral("LAST/COLUMN");
    return t;
}

void compareSaved(const BoardTheme& got, const BoardTheme& want) {
    QVERIFY(got.found && got.hasPosition && got.hasHeader);
    QCOMPARE(got.themeName, want.themeName);
    QCOMPARE(got.rows, want.rows);
    QCOMPARE(got.colwidth, want.colwidth);
    QCOMPARE(got.displaytime, want.displaytime);
    QCOMPARE(got.scroll, want.scroll);
    QCOMPARE(got.clrtime, want.clrtime);
    QCOMPARE(got.rowbgcolor, want.rowbgcolor);
    QCOMPARE(got.ttlBGEnable, want.ttlBGEnable);
    QCOMPARE(got.swidth, want.swidth);
    for (int z = 0; z < BoardTheme::ZoneCount; ++z)
        for (int e = 0; e < 4; ++e)
            QCOMPARE(got.zone[z][e], want.zone[z][e]);
    for (int k = 0; k < 6; ++k)
        QCOMPARE(got.head[k], want.head[k]);
}
} // namespace

void TestThemeStore::readsTheDemoTheme() {
    test::AppFixture f(true);
    QVERIFY(f.ready);
    ThemeStore store(f.db, &f.events);
    const qint64 key = themeKeyOf(f.db, demoThemeName());
    const BoardTheme t = store.load(key);
    QVERIFY(t.found && t.hasPosition && t.hasHeader);
    QCOMPARE(t.key, key);
    QCOMPARE(t.head[1], QStringLiteral("WE BUY"));
    QCOMPARE(t.hdclrbg, QColor(200, 150, 30));
    QCOMPARE(t.zone[BoardTheme::Title][2], 6320.0);
    const BoardTheme none = store.load(key + 100);
    QVERIFY(!none.found && !none.hasPosition && !none.hasHeader);
}

void TestThemeStore::byNameAndList() {
    test::AppFixture f(true);
    ThemeStore store(f.db, nullptr);
    BoardTheme second = store.loadByName(demoThemeName());
    QVERIFY(second.found);
    second.key = 0;
    second.themeName = QStringLiteral("Another");
    const qint64 key = store.save(second);
    QVERIFY(key > 0);
    QCOMPARE(store.loadByName(QStringLiteral("Another")).key, key);
    QVERIFY(!store.loadByName(QStringLiteral("x' or '1'='1")).found);
    bool ok = false;
    const QVector<ThemeEntry> all = store.list(&ok);
    QVERIFY(ok);
    QCOMPARE(all.size(), 2);
    QCOMPARE(all[0].name, QStringLiteral("Another")); // by name
    QCOMPARE(all[0].key, key);
}

void TestThemeStore::namesInTableOrder() {
    test::AppFixture f(true);
    ThemeStore store(f.db, nullptr);
    f.db.insert(QStringLiteral("tbltheme"),
                {{QLatin1String(ThemeStore::kName), QStringLiteral("Aardvark")}});
    // Not sorted: the boxes list themes as they were added.
    QCOMPARE(store.names(), QStringList({demoThemeName(), QStringLiteral("Aardvark")}));
}

void TestThemeStore::layoutAndHeaderPresence_data() {
    QTest::addColumn<bool>("layout");
    QTest::addColumn<bool>("header");
    QTest::newRow("neither") << false << false;
    QTest::newRow("layout only") << true << false;
    QTest::newRow("header only") << false << true;
    QTest::newRow("both") << true << true;
}

void TestThemeStore::layoutAndHeaderPresence() {
    QFETCH(bool, layout);
    QFETCH(bool, header);
    test::AppFixture f(true);
    ThemeStore store(f.db, nullptr);
    const QString keyColumn = QLatin1String(ThemeStore::kKey);
    const qint64 key = f.db.insert(QStringLiteral("tbltheme"),
                                   {{QLatin1String(ThemeStore::kName), QStringLiteral("Bare")}});
    if (layout)
        f.db.insert(QStringLiteral("tblpos"), {{keyColumn, key}});
    if (header)
        f.db.insert(QStringLiteral("tblheader"), {{keyColumn, key}});
    QCOMPARE(store.hasLayout(key), layout);
    QCOMPARE(store.hasHeader(key), header);
    // Another theme's rows do not count.
    const qint64 demo = themeKeyOf(f.db, demoThemeName());
    QVERIFY(store.hasLayout(demo) && store.hasHeader(demo));
    QVERIFY(!store.hasLayout(key + 1000) && !store.hasHeader(key + 1000));
}

void TestThemeStore::savesAndReadsBack_data() {
    QTest::addColumn<bool>("asNew");
    QTest::newRow("existing theme") << false;
    QTest::newRow("new theme") << true;
}

void TestThemeStore::savesAndReadsBack() {
    QFETCH(bool, asNew);
    test::AppFixture f(true);
    ThemeStore store(f.db, &f.events);
    QSignalSpy changed(&f.events, &DataEvents::themesChanged);
    BoardTheme t = edited(store.loadByName(demoThemeName()));
    const qint64 demoKey = t.key;
    if (asNew)
        t.key = 0;
    QString error;
    const qint64 key = store.save(t, &error);
    QVERIFY2(key > 0, qPrintable(error));
    QCOMPARE(key != demoKey, asNew);
    QCOMPARE(changed.count(), 1);
    compareSaved(store.load(key), t);
    // One layout and one header row per theme, whichever way it was saved.
    QCOMPARE(
        f.db.scalar(QStringLiteral("select count(*) from tblpos where themeauto=?"), {key}).toInt(),
        1);
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblheader where themeauto=?"), {key})
                 .toInt(),
             1);
}

void TestThemeStore::failedWriteLeavesThemeAsItWas_data() {
    QTest::addColumn<QString>("trigger");
    QTest::newRow("header update refused")
        << "create trigger refuse before update on tblheader begin select raise(abort, 'no'); end";
    QTest::newRow("layout update refused")
        << "create trigger refuse before update on tblpos begin select raise(abort, 'no'); end";
}

void TestThemeStore::failedWriteLeavesThemeAsItWas() {
    QFETCH(QString, trigger);
    test::AppFixture f(true);
    ThemeStore store(f.db, &f.events);
    const BoardTheme before = store.loadByName(demoThemeName());
    bool ok = false;
    f.db.exec(trigger, {}, &ok);
    QVERIFY(ok);
    QSignalSpy changed(&f.events, &DataEvents::themesChanged);
    QString error;
    QCOMPARE(store.save(edited(before), &error), qint64(0));
    QVERIFY(!error.isEmpty());
    QCOMPARE(changed.count(), 0);
    // The theme row was written first in the same transaction: rolled back too.
    compareSaved(store.load(before.key), before);

    // A new theme that fails leaves no row behind.
    BoardTheme fresh = edited(before);
    fresh.key = 0;
    f.db.exec(QStringLiteral("delete from tblheader"));
    f.db.exec(QStringLiteral("delete from tblpos"));
    f.db.exec(QStringLiteral("create trigger refuse2 before insert on tblheader begin "
                             "select raise(abort, 'no'); end"));
    QCOMPARE(store.save(fresh), qint64(0));
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tbltheme")).toInt(), 1);
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblpos")).toInt(), 0);
}

namespace {
// Parts of a draft, as bits.
enum Part { Row = 1, Layout = 2, Header = 4, All = 7 };
} // namespace

void TestThemeStore::draftsApply_data() {
    QTest::addColumn<int>("set");     // parts published
    QTest::addColumn<int>("cleared"); // parts withdrawn again
    QTest::addColumn<bool>("stored"); // the stored theme has its layout and header rows
    QTest::newRow("theme row keeps stored layout and header") << int(Row) << 0 << true;
    QTest::newRow("all three") << int(All) << 0 << true;
    QTest::newRow("row withdrawn, layout stays") << (Row | Layout) << int(Row) << true;
    QTest::newRow("all withdrawn") << int(All) << int(All) << true;
    QTest::newRow("layout and header give rows the store lacks") << (Layout | Header) << 0 << false;
    QTest::newRow("theme row gives no rows the store lacks") << int(Row) << 0 << false;
}

void TestThemeStore::draftsApply() {
    QFETCH(int, set);
    QFETCH(int, cleared);
    QFETCH(bool, stored);
    ThemeDrafts drafts;
    QSignalSpy changed(&drafts, &ThemeDrafts::changed);
    BoardTheme base;
    base.key = 7;
    base.found = true;
    base.hasPosition = base.hasHeader = stored;
    base.ttlname = base.head[0] = QStringLiteral("STORED");
    base.zone[BoardTheme::Table][2] = 6420;
    // The theme editor's row carries a layout and header of its own: never shown.
    BoardTheme edit = base;
    edit.key = 99;
    edit.found = edit.hasPosition = edit.hasHeader = false;
    edit.ttlname = edit.head[0] = QStringLiteral("EDITED");
    edit.zone[BoardTheme::Table][2] = 1;
    double zone[BoardTheme::ZoneCount][4] = {};
    zone[BoardTheme::Table][2] = 3000;
    const QString head[6] = {QStringLiteral("DRAFT")};

    if (set & Row)
        drafts.setThemeRow(7, edit);
    if (set & Layout)
        drafts.setLayout(7, zone);
    if (set & Header)
        drafts.setHeader(7, head);
    drafts.setThemeRow(8, edit); // another theme's
    const ThemeDrafts::Part parts[] = {ThemeDrafts::ThemeRow, ThemeDrafts::Layout,
                                       ThemeDrafts::Header};
    for (int i = 0; i < 3; ++i)
        if (cleared & (1 << i))
            drafts.clear(7, parts[i]);

    const int shown = set & ~cleared;
    QCOMPARE(changed.size(),
             qPopulationCount(quint32(set)) + 1 + qPopulationCount(quint32(cleared)));
    QCOMPARE(drafts.has(7), shown != 0);
    const BoardTheme out = drafts.apply(base);
    QCOMPARE(out.key, 7);
    QVERIFY(out.found);
    QCOMPARE(out.ttlname, QString((shown & Row) ? "EDITED" : "STORED"));
    QCOMPARE(out.zone[BoardTheme::Table][2], (shown & Layout) ? 3000.0 : 6420.0);
    QCOMPARE(out.head[0], QString((shown & Header) ? "DRAFT" : "STORED"));
    QCOMPARE(out.hasPosition, stored || (shown & Layout));
    QCOMPARE(out.hasHeader, stored || (shown & Header));
}

QTEST_GUILESS_MAIN(TestThemeStore)
#include "tst_themestore.moc"
