#include "board/boardengine.h"
#include "board/boardloader.h"
#include "board/boardtimers.h"
#include "board/clockface.h"
#include "board/opaqueblit.h"
#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/dataevents.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/settingsstore.h"
#include "testsupport.h"

#include <QFontDatabase>
#include <QPainter>
#include <QtTest>
#include <memory>

using namespace quoteria;

class TestBoardEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void title_data();
    void title();
    void textClock_data();
    void textClock();
    void clockChoice_data();
    void clockChoice();
    void alarmColours();
    void pageMode();
    void keptRowsOfShortLastPageRefresh_data();
    void keptRowsOfShortLastPageRefresh();
    void scrollsOnlyWhenOverflowing_data();
    void scrollsOnlyWhenOverflowing();
    void marqueeSpeed();
    void tickerSpeedAndTrains();
    void savedRateShowsAtOnce();
    void previewProfile();
    void previewTable_data();
    void previewTable();
    void previewPicture();
    void inMemorySource();
    void pixels();
    void backgroundPicture();
    void cellPictures();
    void logo_data();
    void logo();
    void fontFallback_data();
    void fontFallback();
    void badInput_data();
    void badInput();
    void fittedZones_data();
    void fittedZones();
    void fittedTextIsSharp();
    void rowCacheFollowsTheScroll();
    void changedZonesRepaintTheWholeBoard_data();
    void changedZonesRepaintTheWholeBoard();
    void opaqueBlitMatchesThePainter_data();
    void opaqueBlitMatchesThePainter();
};

namespace {

const QDateTime kNow(QDate(2026, 3, 5), QTime(7, 4, 9));

// Windows colour value.
qint64 bgr(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

struct Board {
    test::TestEnv env;
    Database db;
    SettingsStore settings;
    DataEvents events;
    std::unique_ptr<AppContext> ctx;
    SimulatedTimers timers;
    std::unique_ptr<BoardLoader> loader;
    std::unique_ptr<BoardEngine> engine;
    qint64 key = 0;
    // What the panel would choose; the monitor box as the board asks it.
    BoardChoices choices;
    bool monitorOn = false;

    Board() {
        if (!env.makeDatabase(db, true))
            qFatal("no database");
        ctx.reset(new AppContext(db, settings, events, Session{}, env.dir(),
                                 QStringLiteral(QUOTERIA_SOURCE_DIR)));
        key = themeKeyOf(db, demoThemeName());
        ctx->session.currentThemeKey = key;
        choices.themeKey = key;
        choices.monitorOn = [this] { return monitorOn; };
    }
    void theme(const QVariantMap& values) {
        QVERIFY(db.update(QStringLiteral("tbltheme"), QStringLiteral("themeauto"), key, values));
    }
    BoardEngine& fresh() {
        engine.reset();
        loader.reset(new BoardLoader(*ctx));
        engine.reset(new BoardEngine(timers));
        loader->drive(*engine);
        engine->setClock([this] { return kNow.addMSecs(timers.now()); });
        return *engine;
    }
    BoardEngine& start(const QSize& size = QSize(1366, 768),
                       const BoardProfile& surface = BoardProfile::board()) {
        fresh().load(loader->load(choices, surface), size);
        return *engine;
    }
    BoardEngine& place(const QSize& screen, bool fit, int rotation) {
        const BoardInputs in = BoardLoader(*ctx).load(choices);
        fresh().load(in, BoardPlacement::of(in, screen, fit, rotation));
        return *engine;
    }
    QImage render() {
        QImage img(engine->frameSize(), QImage::Format_ARGB32_Premultiplied);
        QPainter p(&img);
        engine->paint(p, img.rect());
        return img;
    }
    QString file(const QString& name) const { return env.dir() + QLatin1Char('/') + name; }
    QString picture(const QString& name, const QColor& c, const QSize& size = QSize(40, 30)) const {
        QImage img(size, QImage::Format_RGB32);
        img.fill(c);
        img.save(file(name));
        return file(name);
    }
};

QRgb rgb(const QColor& c) {
    return c.rgb();
}

} // namespace

void TestBoardEngine::title_data() {
    QTest::addColumn<QString>("ttlname");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("expected"); // %D stands for the date
    QTest::newRow("plain") << "RATES TODAY" << true << "RATES TODAY";
    QTest::newRow("hash at end") << "RATES #" << true << "RATES  %D";
    QTest::newRow("hash inside, twice") << "A#B#C" << true << "ABC %D";
    QTest::newRow("empty hides") << "" << false << "";
}

void TestBoardEngine::title() {
    QFETCH(QString, ttlname);
    QFETCH(bool, visible);
    QFETCH(QString, expected);
    Board b;
    b.theme({{QStringLiteral("ttlname"), ttlname}});
    BoardEngine& e = b.start();
    QCOMPARE(e.titleVisible(), visible);
    expected.replace(QLatin1String("%D"),
                     QLocale::system().toString(kNow.date(), QLocale::ShortFormat));
    QCOMPARE(e.titleText(), expected);
}

void TestBoardEngine::textClock_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("showsMinutes");
    QTest::newRow("default") << "dd-MMM-yyyy HH:mm"
                             << "05-Mar-2026 07:04" << true;
    QTest::newRow("seconds") << "hh:mm:ss"
                             << "07:04:09" << true;
    QTest::newRow("12 hour") << "h:nn AM/PM"
                             << "7:04 AM" << true;
    QTest::newRow("long names") << "dddd d mmmm yy"
                                << "Thursday 5 March 26" << false;
}

void TestBoardEngine::textClock() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QFETCH(bool, showsMinutes);
    Board b;
    b.theme({{QStringLiteral("tformat"), format},
             {QStringLiteral("displaytime"), 1},
             {QStringLiteral("clockfile"), QString()}});
    BoardEngine& e = b.start();
    QVERIFY(e.textClock());
    QVERIFY(b.timers.isActive(3));
    QCOMPARE(b.timers.interval(3), 100);
    QCOMPARE(e.clockText(), expected);
    // One minute later the clock follows on its next tick.
    b.timers.advance(e, 60000);
    QCOMPARE(e.clockText() != expected, showsMinutes);
}

void TestBoardEngine::clockChoice_data() {
    QTest::addColumn<int>("displaytime");
    QTest::addColumn<QString>("clockfile");
    QTest::addColumn<bool>("face");
    QTest::addColumn<bool>("text");
    QTest::newRow("svg face") << 1 << "classic.svg" << true << false;
    QTest::newRow("flash name, svg beside") << 1 << "modern.swf" << true << false;
    QTest::newRow("missing file: empty zone") << 1 << "nosuch.svg" << false << false;
    QTest::newRow("missing flash movie") << 1 << "nosuch.swf" << false << false;
    QTest::newRow("no file: text clock") << 1 << "" << false << true;
    QTest::newRow("clock off") << 0 << "night.svg" << false << false;
}

void TestBoardEngine::clockChoice() {
    QFETCH(int, displaytime);
    QFETCH(QString, clockfile);
    QFETCH(bool, face);
    QFETCH(bool, text);
    Board b;
    b.theme(
        {{QStringLiteral("displaytime"), displaytime}, {QStringLiteral("clockfile"), clockfile}});
    BoardEngine& e = b.start();
    QCOMPARE(e.faceClock(), face);
    QCOMPARE(e.textClock(), text);
    QCOMPARE(b.timers.isActive(3), text);
    QCOMPARE(b.timers.isActive(8), face);
    // A face clock draws something in its zone; an empty zone shows the background.
    const QImage img = b.render();
    const QRect zone = e.zonePx(BoardEngine::ZoneClock);
    const QRgb centre = img.pixel(zone.center());
    const QRgb bg = rgb(e.theme().bgcolor);
    if (face)
        QVERIFY(centre != bg);
    else if (!text)
        QCOMPARE(centre, bg);
}

void TestBoardEngine::alarmColours() {
    Board b;
    const QColor high(255, 0, 0), low(0, 0, 255);
    b.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"), QStringLiteral("color"),
                     1);
    b.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"),
                     QStringLiteral("highColor"), QString::number(bgr(255, 0, 0)));
    b.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"),
                     QStringLiteral("lowColor"), QString::number(bgr(0, 0, 255)));
    b.db.exec(QStringLiteral("update tblCurr set vstate='H' where pos=1"));
    b.db.exec(QStringLiteral("update tblCurr set vstate='L' where pos=2"));
    b.db.exec(QStringLiteral("update tblCurr set vstate='' where pos=3"));
    b.monitorOn = true;
    BoardEngine& e = b.start();
    const QColor theme = e.theme().rowbgcolor;
    QCOMPARE(e.rowColor(0), high);
    QCOMPARE(e.rowColor(1), low);
    QCOMPARE(e.rowColor(2), low); // any state but N or H
    QCOMPARE(e.rowColor(3), theme);

    // Box ticked but colouring off in the settings: colours stay as they are.
    b.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"), QStringLiteral("color"),
                     0);
    b.db.exec(QStringLiteral("update tblCurr set vstate='N'"));
    e.refreshCurrencies();
    QCOMPARE(e.rowColor(0), high);
    QCOMPARE(e.rowColor(1), low);

    // Box not ticked: every row takes the theme's row colour.
    b.monitorOn = false;
    b.db.exec(QStringLiteral("update tblCurr set vstate='H'"));
    e.refreshCurrencies();
    QCOMPARE(e.rowColor(0), theme);
    QCOMPARE(e.rowColor(1), theme);

    // The colour reaches the picture: the right end of row 1's name cell.
    b.monitorOn = true;
    b.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"), QStringLiteral("color"),
                     1);
    b.timers.advance(e, 3000);
    b.timers.advance(e, 30);
    const QImage img = b.render();
    const TableGeometry& g = e.table();
    const PixelMap& pm = e.pixels();
    const int x = pm.px(qint64(g.fg.left()) + g.cellLeft[1] + g.cellWidth[1]) - 3;
    const int y = pm.px(qint64(g.fg.top()) + e.scroll().top(5) + g.rowHeight / 2);
    QCOMPARE(img.pixel(x, y), high.rgb());
}

void TestBoardEngine::pageMode() {
    Board b;
    b.theme({{QStringLiteral("rows"), 7}});
    b.choices.motion = QStringLiteral("Page");
    b.choices.pageIntervalMs = 4000;
    BoardEngine& e = b.start();
    QCOMPARE(e.rowCount(), 7); // laid out for rows, not for the 20 currencies
    QVERIFY(b.timers.isActive(1));
    QCOMPARE(b.timers.interval(1), 4000);
    QVERIFY(!b.timers.isActive(6));
    QVERIFY(!b.timers.isActive(7));
    QCOMPARE(e.page().currentPage, 1);
    QCOMPARE(e.page().pageCount, 3);
    QCOMPARE(e.rowText(0, 0), QStringLiteral("US DOLLAR"));
    QCOMPARE(e.rowText(6, 0), QStringLiteral("AUSTRALIAN DOLLAR"));

    b.timers.advance(e, 4000);
    QCOMPARE(e.page().currentPage, 2);
    QCOMPARE(e.rowText(0, 0), QStringLiteral("NEW ZEALAND DOLLAR"));
    QCOMPARE(e.rowText(6, 0), QStringLiteral("TURKISH LIRA"));
    // Page 3 holds 6 currencies: the last row keeps page 2's text.
    b.timers.advance(e, 4000);
    QCOMPARE(e.page().currentPage, 3);
    QCOMPARE(e.rowText(0, 0), QStringLiteral("CHINESE YUAN"));
    QCOMPARE(e.rowText(5, 0), QStringLiteral("SOUTH AFRICAN RAND"));
    QCOMPARE(e.rowText(6, 0), QStringLiteral("TURKISH LIRA"));
    b.timers.advance(e, 4000);
    QCOMPARE(e.page().currentPage, 1);
    QCOMPARE(e.rowText(0, 0), QStringLiteral("US DOLLAR"));
    // Pausing stops the paging.
    b.timers.setActive(1, false);
    b.timers.advance(e, 20000);
    QCOMPARE(e.page().currentPage, 1);
}

void TestBoardEngine::keptRowsOfShortLastPageRefresh_data() {
    QTest::addColumn<bool>("deactivated");
    QTest::newRow("still active") << false;
    QTest::newRow("deactivated meanwhile") << true;
}

void TestBoardEngine::keptRowsOfShortLastPageRefresh() {
    QFETCH(bool, deactivated);
    Board b;
    b.theme({{QStringLiteral("rows"), 7}});
    b.choices.motion = QStringLiteral("Page");
    b.choices.pageIntervalMs = 4000;
    BoardEngine& e = b.start();
    b.timers.advance(e, 8000);
    QCOMPARE(e.page().currentPage, 3);
    // Row 6 is kept from page 2.
    QCOMPARE(e.rowText(6, 0), QStringLiteral("TURKISH LIRA"));
    QVERIFY(e.rowText(6, 1) != QLatin1String("9.9999"));
    b.db.exec(QStringLiteral("update tblCurr set colum1=?, active=? where currName=?"),
              {QStringLiteral("9.9999"), deactivated ? 0 : 1, QStringLiteral("TURKISH LIRA")});
    e.refreshCurrencies();
    QCOMPARE(e.page().currentPage, 3);
    QCOMPARE(e.rowText(6, 0), QStringLiteral("TURKISH LIRA"));
    QCOMPARE(e.rowText(6, 1), QStringLiteral("9.9999"));
}

void TestBoardEngine::scrollsOnlyWhenOverflowing_data() {
    QTest::addColumn<int>("active");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("20 rows overflow") << 20 << true;
    QTest::newRow("5 rows fit") << 5 << false;
    QTest::newRow("no rows") << 0 << false;
}

void TestBoardEngine::scrollsOnlyWhenOverflowing() {
    QFETCH(int, active);
    QFETCH(bool, scrolls);
    Board b;
    b.db.exec(QStringLiteral("update tblCurr set active=0 where pos>?"), {active});
    BoardEngine& e = b.start();
    QCOMPARE(e.rowCount(), active);
    QCOMPARE(b.timers.isActive(7), scrolls);
    QVERIFY(b.timers.isActive(6));
    QVERIFY(b.timers.isActive(1));
    QCOMPARE(b.timers.interval(1), 3000);
    const int before = active ? e.scroll().top(0) : 0;
    b.timers.advance(e, 300); // ten Timer7 ticks
    if (active)
        QCOMPARE(e.scroll().top(0), scrolls ? before - 10 * e.rowStep() : before);
    // Pausing stops the motion, values keep refreshing.
    if (scrolls) {
        b.timers.setActive(7, false);
        const int paused = e.scroll().top(0);
        b.db.exec(QStringLiteral("update tblCurr set colum1='9.9999' where pos=1"));
        b.timers.advance(e, 3000);
        QCOMPARE(e.scroll().top(0), paused);
        QCOMPARE(e.rowText(0, 1), QStringLiteral("9.9999"));
    }
    // The header still shows with no rows.
    const QImage img = b.render();
    const QRect h = e.pixels().rect(e.table().header[0]);
    QCOMPARE(img.pixel(h.right() - 2, h.bottom() - 2), e.theme().hdclrbg.rgb());
}

void TestBoardEngine::marqueeSpeed() {
    Board b;
    b.theme({{QStringLiteral("scroll"), 1}});
    BoardEngine& e = b.start();
    QVERIFY(b.timers.isActive(2));
    QCOMPARE(b.timers.interval(2), 10);
    QVERIFY(e.titleWidthTwips() > 3000);
    b.timers.advance(e, 1000);
    QCOMPARE(e.marquee().xpos, qint64(-3000)); // 3000 twips a second at speed 30
    // The pause does not stop the marquee.
    b.timers.setActive(7, false);
    b.timers.advance(e, 1000);
    QCOMPARE(e.marquee().xpos, qint64(-6000));
}

void TestBoardEngine::tickerSpeedAndTrains() {
    Board b;
    BoardEngine& e = b.start();
    QCOMPARE(e.scrollPictureCount(), 1);
    e.getSnews();
    b.timers.setActive(4, true);
    QCOMPARE(e.scrollPictureCount(), 3); // two left-running messages
    QCOMPARE(e.tickerMessage(1),
             QStringLiteral("Welcome to our exchange counter - open every day from 9:00 to 21:00"));
    const int stripWidth = e.ticker().stripWidth();
    QCOMPARE(e.ticker().element(1).left, stripWidth + 15 + 100);
    QCOMPARE(e.ticker().element(2).left,
             e.ticker().element(1).left + e.ticker().element(1).width + 100);
    const int x0 = e.pixels().px(e.ticker().element(1).left);
    b.timers.advance(e, 1000);
    // 80 pixels a second at 15 twips per pixel.
    QCOMPARE(e.pixels().px(e.ticker().element(1).left), x0 - 80);
    // Run until the right train shows.
    for (int i = 0; i < 200 && e.ticker().train() == TickerMotion::LeftTrain; ++i)
        b.timers.advance(e, 1000);
    QCOMPARE(e.ticker().train(), TickerMotion::RightTrain);
    QVERIFY(b.timers.isActive(5));
    QVERIFY(!b.timers.isActive(4));
    QCOMPARE(e.tickerMessage(1), QStringLiteral("No commission on US dollar and euro cash"));
    e.unloadScrollPictures();
    QCOMPARE(e.scrollPictureCount(), 1);
}

void TestBoardEngine::savedRateShowsAtOnce() {
    Board b;
    BoardEngine& e = b.start();
    QCOMPARE(e.rowText(0, 1), QStringLiteral("3.6650"));
    b.db.exec(QStringLiteral("update tblCurr set colum1='3.7000' where pos=1"));
    emit b.events.currenciesChanged();
    emit b.events.currenciesChanged(); // coalesced
    QCOMPARE(e.rowText(0, 1), QStringLiteral("3.6650"));
    QTRY_COMPARE(e.rowText(0, 1), QStringLiteral("3.7000"));
    // The next composition tick repaints the table.
    QRect dirty[BoardEngine::ZoneCount];
    e.takeDirty(dirty, BoardEngine::ZoneCount);
    e.tick(6);
    const int n = e.takeDirty(dirty, BoardEngine::ZoneCount);
    QCOMPARE(n, 1);
    QCOMPARE(dirty[0], e.zonePx(BoardEngine::ZoneTable));
}

void TestBoardEngine::previewProfile() {
    Board b;
    b.theme({{QStringLiteral("scroll"), 1}});
    BoardEngine& e = b.start(QSize(683, 384), BoardProfile::preview());
    QCOMPARE(e.tickerSpeed(), 15.0);
    QCOMPARE(e.rowStep(), 2.5);
    // Zones as stored: the demo title zone is 1520, 230, 6320 x 560 twips.
    QCOMPARE(e.zonePx(BoardEngine::ZoneTitle), QRect(101, 15, 422, 38));
    b.timers.advance(e, 1000);
    QCOMPARE(e.marquee().xpos, -1500.0);
    const double top = e.scroll().top(0);
    b.timers.advance(e, 300);
    if (b.timers.isActive(7))
        QCOMPARE(e.scroll().top(0), top - 25.0);
    // The preview's ticker step is the panel's: half, halves to even.
    b.choices.tickerSpeed = 25;
    QCOMPARE(b.start(QSize(683, 384), BoardProfile::preview()).tickerSpeed(), 12.0);
}

void TestBoardEngine::previewTable_data() {
    QTest::addColumn<QString>("motion");
    QTest::addColumn<int>("rows"); // the theme's `rows`; the demo has 20 currencies
    QTest::addColumn<bool>("scrolls");
    // Rows stand 240 twips apart in a zone of 4230 - 495 twips.
    QTest::newRow("Page choice ignored, 12 rows fit") << "Page" << 12 << false;
    QTest::newRow("Page choice ignored, 16 rows overflow") << "Page" << 16 << true;
    QTest::newRow("scroll, more rows than currencies") << "Scroll" << 25 << true;
    QTest::newRow("other motion still scrolls") << "Still" << 18 << true;
    QTest::newRow("no rows") << "Scroll" << 0 << false;
}

void TestBoardEngine::previewTable() {
    QFETCH(QString, motion);
    QFETCH(int, rows);
    QFETCH(bool, scrolls);
    Board b;
    b.theme({{QStringLiteral("rows"), rows}});
    b.choices.motion = motion;
    b.choices.pageIntervalMs = 2000;
    // Alarm states are never shown by the preview.
    b.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"), QStringLiteral("color"),
                     1);
    b.db.exec(QStringLiteral("update tblCurr set vstate='H'"));
    b.monitorOn = true;
    BoardEngine& e = b.start(QSize(683, 384), BoardProfile::preview());
    const QVector<CurrencyRow> active = b.ctx->currencies.list(false);
    QCOMPARE(active.size(), 20);
    QCOMPARE(e.rowCount(), rows);
    for (int v = 0; v < rows; ++v) {
        QCOMPARE(e.rowText(v, 0), v < active.size() ? active[v].name : QString());
        QCOMPARE(e.rowColor(v), e.theme().rowbgcolor);
    }
    QCOMPARE(e.rowText(rows, 0), QString());
    QCOMPARE(b.timers.isActive(7), scrolls);
    QVERIFY(b.timers.isActive(6));
    QVERIFY(b.timers.isActive(1));
    QCOMPARE(b.timers.interval(1), 2000);
    QCOMPARE(e.page().currentPage, 1);
    // Every page interval redraws the rows and counts on without wrapping.
    b.db.exec(QStringLiteral("update tblCurr set colum1='7.7777' where pos=1"));
    b.timers.advance(e, 5 * 2000);
    QCOMPARE(e.page().currentPage, 6);
    if (rows > 0)
        QCOMPARE(e.rowText(0, 1), QStringLiteral("7.7777"));
}

void TestBoardEngine::previewPicture() {
    Board b;
    // BGimage is the preview's background at its natural size; NBGimg is not used.
    b.theme({{QStringLiteral("BGimage"),
              b.picture(QStringLiteral("bg.png"), QColor(200, 0, 0), QSize(150, 64))},
             {QStringLiteral("NBGimg"), b.picture(QStringLiteral("n.png"), QColor(0, 200, 0))},
             {QStringLiteral("scroll"), 0},
             {QStringLiteral("ttlname"), QStringLiteral("X")}});
    BoardEngine& e = b.start(QSize(683, 384), BoardProfile::preview());
    e.setTickerVisible(true);
    QImage img = b.render();
    QCOMPARE(img.pixel(120, 60), qRgb(200, 0, 0));
    QCOMPARE(img.pixel(200, 60), qRgb(0, 0, 0)); // the window's own colour
    // The strip has neither the picture nor SBG.
    const QRect strip = e.zonePx(BoardEngine::ZoneTicker);
    QCOMPARE(img.pixel(strip.center()), qRgb(240, 240, 240));

    // The placeholder fills the media zone, as a picture of several colours.
    const QRect media = e.zonePx(BoardEngine::ZoneMedia);
    QSet<QRgb> colours;
    for (int y = media.top(); y <= media.bottom(); y += 7)
        for (int x = media.left(); x <= media.right(); x += 7)
            colours.insert(img.pixel(x, y));
    QVERIFY(colours.size() > 8);

    // A still title starts at the zone's left edge, not in its middle.
    const QRect title = e.zonePx(BoardEngine::ZoneTitle);
    int ink = title.width();
    for (int y = title.top(); y <= title.bottom(); ++y)
        for (int x = title.left(); x < title.left() + ink; ++x)
            if (img.pixel(x, y) != e.theme().ttlBG.rgb())
                ink = x - title.left();
    QVERIFY2(ink < title.width() / 8, qPrintable(QString::number(ink)));
}

namespace {
// Rows and news from memory, as a preview of an unsaved theme has them.
struct MemorySource : BoardSource {
    BoardRows current;
    QVector<NewsLine> trains[2];
    int reads = 0;
    BoardRows rows() override {
        ++reads;
        return current;
    }
    QVector<NewsLine> news(TickerMotion::Train t) override { return trains[t]; }
    std::optional<RateRow> rate(qint64) override { return std::nullopt; }
};

RateRow rate(const QString& name, const QString& buy, const QString& state = QStringLiteral("N")) {
    RateRow r;
    r.text[0] = name;
    r.text[1] = buy;
    r.vstate = state;
    return r;
}
} // namespace

void TestBoardEngine::inMemorySource() {
    Board b;
    BoardInputs in = BoardLoader(*b.ctx).load(b.choices);
    in.rows.rates = {rate(QStringLiteral("ALPHA"), QStringLiteral("1.0")),
                     rate(QStringLiteral("BETA"), QStringLiteral("2.0"), QStringLiteral("H"))};
    NewsLine line;
    line.text = QStringLiteral("from memory");
    line.fontName = QStringLiteral("Liberation Sans");
    line.fontSize = 12;
    in.news[TickerMotion::LeftTrain] = {line};
    // The database's rows and news must not show: empty them.
    b.db.exec(QStringLiteral("delete from tblCurr"));
    b.db.exec(QStringLiteral("delete from tblscroll"));

    SimulatedTimers timers;
    BoardEngine e(timers);
    e.load(in, QSize(1366, 768));
    QCOMPARE(e.rowCount(), 2);
    QCOMPARE(e.rowText(1, 0), QStringLiteral("BETA"));
    // Without a source the refresh shows the inputs again.
    timers.advance(e, 3000);
    QCOMPARE(e.rowText(0, 1), QStringLiteral("1.0"));
    e.getSnews();
    QCOMPARE(e.scrollPictureCount(), 2);
    QCOMPARE(e.tickerMessage(1), QStringLiteral("from memory"));

    MemorySource src;
    src.current = in.rows;
    src.current.rates[0].text[1] = QStringLiteral("1.5");
    src.current.colouring.monitor = true;
    src.current.colouring.alarms = true;
    src.current.colouring.high = QColor(255, 0, 0);
    line.text = QStringLiteral("from the source");
    src.trains[TickerMotion::LeftTrain] = {line, line};
    e.setSource(&src);
    timers.advance(e, 3000);
    QCOMPARE(src.reads, 1); // one read per refresh tick
    QCOMPARE(e.rowText(0, 1), QStringLiteral("1.5"));
    QCOMPARE(e.rowColor(0), e.theme().rowbgcolor);
    QCOMPARE(e.rowColor(1), QColor(255, 0, 0));
    e.getSnews();
    QCOMPARE(e.scrollPictureCount(), 3);
    QCOMPARE(e.tickerMessage(2), QStringLiteral("from the source"));
}

void TestBoardEngine::pixels() {
    Board b;
    BoardEngine& e = b.start();
    const QImage img = b.render();
    const BoardTheme& t = e.theme();
    const PixelMap& pm = e.pixels();
    const TableGeometry& g = e.table();
    // Header background at the header rectangle (bottom right, away from the caption).
    for (int k : {0, 1, 2}) {
        const QRect h = pm.rect(g.header[k]);
        QCOMPARE(img.pixel(h.right() - 2, h.bottom() - 2), t.hdclrbg.rgb());
    }
    // Hidden value columns leave the grid colour where their header would be.
    QCOMPARE(img.pixel(pm.rect(g.header[3]).left() + 3, pm.rect(g.header[3]).top() + 3),
             t.linecolor.rgb());
    // Row colour in a value cell of row 1, grid colour in the gap under the header.
    const int rowY = pm.px(qint64(g.fg.top()) + g.rowTop(0) + g.rowHeight - 30);
    const int valueRight = pm.px(qint64(g.fg.left()) + g.cellLeft[2] + g.cellWidth[2]) - 2;
    QCOMPARE(img.pixel(valueRight, rowY), t.rowbgcolor.rgb());
    QCOMPARE(img.pixel(valueRight, pm.px(qint64(g.fg.top()) + g.headerHeight + 20)),
             t.linecolor.rgb());
    // Title: its own background, text centred on its top line.
    const QRect title = e.zonePx(BoardEngine::ZoneTitle);
    QCOMPARE(img.pixel(title.left() + 1, title.bottom() - 1), t.ttlBG.rgb());
    int left = title.right(), right = title.left(), bottom = title.top();
    for (int y = title.top(); y <= title.bottom(); ++y)
        for (int x = title.left(); x <= title.right(); ++x)
            if (img.pixel(x, y) != t.ttlBG.rgb()) {
                left = qMin(left, x);
                right = qMax(right, x);
                bottom = qMax(bottom, y);
            }
    QVERIFY(right > left);
    QVERIFY(qAbs((left + right) / 2 - title.center().x()) <= 3);
    QVERIFY(bottom < title.top() + title.height() / 2);
    // The window's background colour outside every zone.
    QCOMPARE(img.pixel(title.left() - 20, 2), t.bgcolor.rgb());
}

void TestBoardEngine::backgroundPicture() {
    Board b;
    const QString pic = b.picture(QStringLiteral("bg.png"), QColor(10, 200, 30));
    b.theme({{QStringLiteral("NBGimg"), pic}, {QStringLiteral("ttlBGEnable"), 0}});
    BoardEngine& e = b.start();
    QImage img = b.render();
    QCOMPARE(img.pixel(1000, 5), qRgb(10, 200, 30));
    // The title without its own colour shows the picture through.
    const QRect title = e.zonePx(BoardEngine::ZoneTitle);
    QCOMPARE(img.pixel(title.left() + 1, title.bottom() - 1), qRgb(10, 200, 30));

    b.theme({{QStringLiteral("NBGimg"), b.file(QStringLiteral("missing.png"))}});
    b.start();
    img = b.render();
    QCOMPARE(img.pixel(1000, 5), qRgb(0, 0, 0));
}

void TestBoardEngine::cellPictures() {
    Board b;
    const QString header = b.picture(QStringLiteral("h.png"), QColor(0, 160, 0));
    const QString row = b.picture(QStringLiteral("r.png"), QColor(0, 0, 170));
    const QString flag = b.picture(QStringLiteral("f.png"), QColor(170, 0, 0));
    b.theme({{QStringLiteral("img1"), header}, {QStringLiteral("img2"), row}});
    b.db.exec(QStringLiteral("update tblCurr set img=? where pos=1"), {flag});
    b.db.exec(QStringLiteral("update tblCurr set img=? where pos=2"),
              {b.file(QStringLiteral("none.png"))});
    BoardEngine& e = b.start();
    const QImage img = b.render();
    const PixelMap& pm = e.pixels();
    const TableGeometry& g = e.table();
    const QRect h1 = pm.rect(g.header[0]);
    QCOMPARE(img.pixel(h1.right() - 2, h1.bottom() - 2), qRgb(0, 160, 0));
    auto cell = [&](int row, int c) {
        return QPoint(pm.px(qint64(g.fg.left()) + g.cellLeft[c] + g.cellWidth[c]) - 3,
                      pm.px(qint64(g.fg.top()) + g.rowTop(row) + g.rowHeight) - 3);
    };
    // The row picture covers the name and value cells, not the flag.
    QCOMPARE(img.pixel(cell(0, 1)), qRgb(0, 0, 170));
    QCOMPARE(img.pixel(cell(0, 3)), qRgb(0, 0, 170));
    QCOMPARE(img.pixel(cell(0, 0)), qRgb(170, 0, 0));
    // A missing flag leaves its cell blank in the row colour.
    QCOMPARE(img.pixel(cell(1, 0)), e.theme().rowbgcolor.rgb());
}

void TestBoardEngine::logo_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("shown");
    QTest::newRow("png") << "png" << true;
    QTest::newRow("svg") << "svg" << true;
    QTest::newRow("animated gif") << "gif" << true;
    QTest::newRow("flash movie") << "swf" << false;
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("not a picture") << "text" << false;
}

void TestBoardEngine::logo() {
    QFETCH(QString, kind);
    QFETCH(bool, shown);
    Board b;
    QString path;
    if (kind == QLatin1String("png")) {
        path = b.picture(QStringLiteral("logo.png"), QColor(250, 0, 250), QSize(100, 100));
    } else if (kind == QLatin1String("svg")) {
        path = b.file(QStringLiteral("logo.svg"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
                "<rect width='10' height='10' fill='#fa00fa'/></svg>");
    } else if (kind == QLatin1String("gif")) {
        // Two 1x1 frames, magenta then blue, looping.
        path = b.file(QStringLiteral("logo.gif"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray frame1 =
            QByteArray::fromHex("21f90400 0a000000 2c00000000010001000002024401 00");
        const QByteArray frame2 =
            QByteArray::fromHex("21f90400 0a000000 2c00000000010001000002024c01 00");
        f.write(QByteArray("GIF89a") + QByteArray::fromHex("0100010080 0000 fa00fa0000ff") +
                QByteArray::fromHex("21ff0b") + QByteArray("NETSCAPE2.0") +
                QByteArray::fromHex("03010000 00") + frame1 + frame2 + QByteArray::fromHex("3b"));
    } else if (kind == QLatin1String("swf")) {
        path = b.file(QStringLiteral("logo.swf"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("FWS");
    } else if (kind == QLatin1String("text")) {
        path = b.file(QStringLiteral("logo.png"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture at all");
    } else {
        path = b.file(QStringLiteral("nothing.png"));
    }
    b.theme({{QStringLiteral("logo"), path}});
    BoardEngine& e = b.start();
    QCOMPARE(e.hasLogo(), shown);
    const QImage img = b.render();
    const QRgb centre = img.pixel(e.zonePx(BoardEngine::ZoneLogo).center());
    // The animation may already show its second frame (blue).
    const bool logoColour =
        centre == qRgb(250, 0, 250) || (kind == QLatin1String("gif") && centre == qRgb(0, 0, 255));
    QCOMPARE(logoColour, shown);
}

void TestBoardEngine::fontFallback_data() {
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("family");
    QTest::newRow("installed") << "DejaVu Sans"
                               << "DejaVu Sans";
    QTest::newRow("Arial") << "Arial"
                           << "Liberation Sans";
    QTest::newRow("Times New Roman") << "Times New Roman"
                                     << "Liberation Serif";
    QTest::newRow("Courier New") << "Courier New"
                                 << "Liberation Mono";
    QTest::newRow("unknown") << "Nowhere Grotesk"
                             << "Liberation Sans";
    QTest::newRow("empty") << ""
                           << "Liberation Sans";
}

void TestBoardEngine::fontFallback() {
    QFETCH(QString, wanted);
    QFETCH(QString, family);
    if (!QFontDatabase::hasFamily(family))
        QSKIP("the fallback face is not installed");
    if (QFontDatabase::hasFamily(wanted) && wanted != family)
        QSKIP("the wanted face is installed here");
    QCOMPARE(installedFamily(wanted), family);
}

void TestBoardEngine::badInput_data() {
    QTest::addColumn<QVariantMap>("theme");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("speed");
    QTest::newRow("non-numeric sizes")
        << QVariantMap{{QStringLiteral("rowheight"), QStringLiteral("tall")},
                       {QStringLiteral("sizecrr"), QStringLiteral("big")},
                       {QStringLiteral("hdfntsize"), QString()},
                       {QStringLiteral("vgap"), QStringLiteral("x")}}
        << "Scroll" << 30;
    QTest::newRow("few widths") << QVariantMap{{QStringLiteral("colwidth"), QStringLiteral("600")}}
                                << "Scroll" << 30;
    QTest::newRow("negative") << QVariantMap{{QStringLiteral("rowheight"), -200},
                                             {QStringLiteral("colwidth"),
                                              QStringLiteral("-600;-100;5;5;5;5;5")},
                                             {QStringLiteral("hgap"), -50},
                                             {QStringLiteral("sizeval"), -20}}
                              << "Scroll" << 30;
    QTest::newRow("huge") << QVariantMap{{QStringLiteral("rowheight"), 1e12},
                                         {QStringLiteral("colwidth"),
                                          QStringLiteral("1e9;1e9;1e9;1e9;1e9;1e9;1e9")},
                                         {QStringLiteral("ttlsize"), 1e9},
                                         {QStringLiteral("rows"), 1e9}}
                          << "Page" << 30;
    QTest::newRow("huge, scrolling, huge speed")
        << QVariantMap{{QStringLiteral("rowheight"), 1e12}, {QStringLiteral("scroll"), 1}}
        << "Scroll" << 2000000000;
    QTest::newRow("zero rows per page") << QVariantMap{{QStringLiteral("rows"), 0}} << "Page" << 30;
    QTest::newRow("unknown fonts, missing pictures")
        << QVariantMap{{QStringLiteral("fntcrr"), QStringLiteral("No Such Font 42")},
                       {QStringLiteral("hdfont"), QStringLiteral("Arial")},
                       {QStringLiteral("img1"), QStringLiteral("/nonexistent/h.png")},
                       {QStringLiteral("img2"), QStringLiteral("/nonexistent/r.png")},
                       {QStringLiteral("BGimage"), QStringLiteral("/nonexistent/s.png")},
                       {QStringLiteral("NBGimg"), QStringLiteral("/nonexistent/b.png")},
                       {QStringLiteral("scroll"), 1}}
        << "Scroll" << 30;
    QTest::newRow("odd mode") << QVariantMap{} << "Sideways" << 30;
}

void TestBoardEngine::badInput() {
    QFETCH(QVariantMap, theme);
    QFETCH(QString, mode);
    QFETCH(int, speed);
    Board b;
    b.theme(theme);
    b.db.exec(QStringLiteral("update tblpos set tblheight=-5, newswidth='wide' where themeauto=?"),
              {b.key});
    b.db.exec(QStringLiteral("update tblCurr set img='/nonexistent/flag.png' where pos=2"));
    b.choices.motion = mode;
    b.choices.tickerSpeed = speed;
    BoardEngine& e = b.start();
    e.getSnews();
    b.timers.setActive(4, true);
    b.timers.advance(e, 12000);
    const QImage img = b.render();
    QVERIFY(!img.isNull());
    if (mode == QLatin1String("Sideways"))
        QVERIFY(!b.timers.isActive(7)); // any other mode never scrolls
}

namespace {
// Sum of squared steps between horizontal neighbours in grey: a sharp edge
// concentrates its step in one pixel, a blurred one spreads it out.
double edgeEnergy(const QImage& img) {
    const QImage g = img.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int y = 0; y < g.height(); ++y) {
        const uchar* line = g.constScanLine(y);
        for (int x = 1; x < g.width(); ++x) {
            const double d = double(line[x]) - line[x - 1];
            sum += d * d;
        }
    }
    return sum;
}
} // namespace

void TestBoardEngine::fittedZones_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QPoint>("origin");
    // The demonstration theme is drawn for 1366 x 768.
    QTest::newRow("off: today's zones on a larger screen")
        << QSize(1920, 1080) << false << 0 << 1 << QPoint(0, 0);
    QTest::newRow("twice") << QSize(2732, 1536) << true << 0 << 2 << QPoint(0, 0);
    QTest::newRow("twice, centred across") << QSize(2932, 1536) << true << 0 << 2 << QPoint(100, 0);
    QTest::newRow("twice, centred down") << QSize(2732, 1736) << true << 0 << 2 << QPoint(0, 100);
    QTest::newRow("twice, turned") << QSize(1536, 2732) << true << 90 << 2 << QPoint(0, 0);
    QTest::newRow("turned, unfitted") << QSize(768, 1366) << false << 270 << 1 << QPoint(0, 0);
}

void TestBoardEngine::fittedZones() {
    QFETCH(QSize, screen);
    QFETCH(bool, fit);
    QFETCH(int, rotation);
    QFETCH(int, scale);
    QFETCH(QPoint, origin);
    Board b;
    QRect design[BoardEngine::ZoneCount];
    BoardEngine& e = b.start();
    for (int z = BoardEngine::ZoneTable; z < BoardEngine::ZoneCount; ++z)
        design[z] = e.zonePx(BoardEngine::Zone(z));
    const int rows = e.rowCount();
    BoardEngine& f = b.place(screen, fit, rotation);
    QCOMPARE(f.frameSize(), rotation % 180 ? screen.transposed() : screen);
    QCOMPARE(f.rowCount(), rows);
    // Every zone scaled about the design's corner and moved with it; edges are
    // rounded once from twips, so within a pixel of the scaled design pixels.
    for (int z = BoardEngine::ZoneTable; z < BoardEngine::ZoneCount; ++z) {
        const QRect want(origin + design[z].topLeft() * scale, design[z].size() * scale);
        const QRect got = f.zonePx(BoardEngine::Zone(z));
        const int slack = scale - 1;
        QVERIFY2(qAbs(got.left() - want.left()) <= slack && qAbs(got.top() - want.top()) <= slack &&
                     qAbs(got.right() - want.right()) <= slack &&
                     qAbs(got.bottom() - want.bottom()) <= slack,
                 qPrintable(QStringLiteral("zone %1: %2,%3 %4x%5, want %6,%7 %8x%9")
                                .arg(z)
                                .arg(got.x())
                                .arg(got.y())
                                .arg(got.width())
                                .arg(got.height())
                                .arg(want.x())
                                .arg(want.y())
                                .arg(want.width())
                                .arg(want.height())));
    }
    // Rows and fonts follow the scale.
    QVERIFY(qAbs(f.rowImage(0).height() - scale * b.start().rowImage(0).height()) <= 1);
}

void TestBoardEngine::fittedTextIsSharp() {
    Board b;
    const QImage small = b.start().rowImage(0);
    const QImage large = b.place(QSize(2732, 1536), true, 0).rowImage(0);
    QVERIFY(!small.isNull() && !large.isNull());
    QVERIFY(qAbs(large.width() - 2 * small.width()) <= 1);
    const QImage upscaled =
        small.scaled(large.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Drawn at the screen's size, not stretched from the design's.
    QVERIFY(large != upscaled);
    const double sharp = edgeEnergy(large), blurred = edgeEnergy(upscaled);
    QVERIFY2(sharp > 2.0 * blurred,
             qPrintable(QStringLiteral("edge energy %1 against %2").arg(sharp).arg(blurred)));
}

void TestBoardEngine::rowCacheFollowsTheScroll() {
    Board b;
    QVERIFY(setDemoCurrencyCount(b.db, 1000));
    BoardEngine& e = b.start();
    QCOMPARE(e.rowCount(), 1000);
    QVERIFY(b.timers.isActive(7));
    const TableGeometry& g = e.table();
    const int onTable = g.fg.height() / g.rowStep + 2;
    // A row's picture as a board holding only that currency draws it.
    const auto alone = [&](int v) {
        BoardInputs in = BoardLoader(*b.ctx).load(b.choices);
        in.rows.rates = {in.rows.rates[v]};
        SimulatedTimers timers;
        BoardEngine one(timers);
        one.load(in, QSize(1366, 768));
        return one.rowImage(0);
    };
    // A currency changed while its row is far off the table shows the change.
    const int changed = 500;
    bool ok = false;
    b.db.exec(QStringLiteral("update tblCurr set colum3=? where pos=?"),
              {QStringLiteral("77.7777"), changed + 1}, &ok);
    QVERIFY(ok);
    e.refreshCurrencies();
    QVERIFY(e.rowImage(changed).isNull());

    const auto visible = [&](int v) {
        const double top = e.scroll().tops()[v];
        return top + g.rowHeight > 0 && top < g.fg.height();
    };
    QVector<bool> was(1000);
    for (int v = 0; v < 1000; ++v)
        was[v] = visible(v);
    QSet<int> entered, checked;
    // Past the last row and round again to the first.
    const int ticks = int((1000.0 + 2 * onTable) * g.rowStep / qAbs(e.rowStep()));
    int maxCached = 0;
    for (int i = 0; i < ticks; ++i) {
        e.tick(7);
        maxCached = qMax(maxCached, e.cachedRowCount());
        for (int v = 0; v < 1000; ++v) {
            const bool now = visible(v);
            if (now && !was[v]) {
                entered.insert(v);
                // Drawn before it shows, and drawn right.
                QVERIFY2(!e.rowImage(v).isNull(), qPrintable(QString::number(v)));
                if (v % 97 == 0 || v == changed || v < 3) {
                    QCOMPARE(e.rowImage(v), alone(v));
                    checked.insert(v);
                }
            }
            was[v] = now;
        }
    }
    QVERIFY(entered.size() >= 1000 - onTable);
    QVERIFY(checked.contains(changed) && checked.contains(0));
    QCOMPARE(e.rowText(changed, 3), QStringLiteral("77.7777"));
    QVERIFY(checked.size() >= 12);
    QVERIFY2(maxCached <= onTable + 6, qPrintable(QString::number(maxCached)));
}

void TestBoardEngine::changedZonesRepaintTheWholeBoard_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<int>("headerAlpha");
    QTest::newRow("design size") << QSize(1366, 768) << false << 0 << 255;
    QTest::newRow("fitted, twice") << QSize(2732, 1536) << true << 0 << 255;
    QTest::newRow("fitted, centred") << QSize(1600, 768) << true << 0 << 255;
    QTest::newRow("turned") << QSize(768, 1366) << false << 90 << 255;
    QTest::newRow("see-through headers") << QSize(1366, 768) << false << 0 << 128;
}

void TestBoardEngine::changedZonesRepaintTheWholeBoard() {
    QFETCH(QSize, screen);
    QFETCH(bool, fit);
    QFETCH(int, rotation);
    QFETCH(int, headerAlpha);
    // Rows enough to scroll, the title running, the ticker moving.
    Board b;
    QVERIFY(setDemoCurrencyCount(b.db, 60));
    b.theme({{QStringLiteral("scroll"), 1}});
    const BoardInputs in = BoardLoader(*b.ctx).load(b.choices);
    BoardInputs inputs = in;
    QColor header = inputs.theme.hdclrbg;
    header.setAlpha(headerAlpha);
    inputs.theme.hdclrbg = header;
    const BoardPlacement placement = BoardPlacement::of(inputs, screen, fit, rotation);
    BoardEngine& e = b.fresh();
    e.load(inputs, placement);
    e.setTickerVisible(true);
    e.getSnews();
    b.timers.setActive(4, true);
    QVERIFY(b.timers.isActive(7));

    // The reference goes all through the painter: the engine's own copies into the
    // picture do not take a target in another byte order.
    const auto whole = [&](QImage::Format format) {
        QImage img(screen, format);
        QPainter p(&img);
        p.setTransform(placement.toScreen());
        e.paint(p, QRect(QPoint(0, 0), placement.frame()));
        p.end();
        return img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    QImage kept = whole(QImage::Format_ARGB32_Premultiplied);
    QRect dirty[BoardEngine::ZoneCount];
    e.takeDirty(dirty, BoardEngine::ZoneCount);
    // Rows leave and enter, a shown rate changes, the marquee and the ticker move:
    // after each step only the changed zones are painted over the last picture.
    for (int step = 0; step < 12; ++step) {
        if (step == 5) {
            b.db.exec(QStringLiteral("update tblCurr set colum1='9.8765'"));
            e.refreshCurrencies();
        }
        b.timers.advance(e, 170);
        const int n = e.takeDirty(dirty, BoardEngine::ZoneCount);
        QVERIFY(n > 0);
        {
            QPainter p(&kept);
            p.setTransform(placement.toScreen());
            for (int i = 0; i < n; ++i)
                e.paint(p, dirty[i]);
        }
        if (step % 4 == 3)
            QVERIFY2(kept == whole(QImage::Format_RGBA8888_Premultiplied),
                     qPrintable(QStringLiteral("step %1").arg(step)));
    }
}

void TestBoardEngine::opaqueBlitMatchesThePainter_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<QTransform>("transform");
    QTest::addColumn<QRect>("clip");
    QTest::addColumn<QRect>("part");
    QTest::addColumn<bool>("direct");
    const int argb = QImage::Format_ARGB32_Premultiplied;
    const QRect inside(10, 5, 90, 60);
    QTest::newRow("plain") << argb << QTransform() << inside << QRect() << true;
    QTest::newRow("part of the picture")
        << argb << QTransform() << inside << QRect(30, 12, 17, 9) << true;
    QTest::newRow("shifted") << argb << QTransform::fromTranslate(-7, 4) << inside << QRect()
                             << true;
    QTest::newRow("clip past the target")
        << argb << QTransform::fromTranslate(50, 30) << QRect(-20, -20, 400, 400) << QRect()
        << true;
    QTest::newRow("RGB32 target")
        << int(QImage::Format_RGB32) << QTransform() << inside << QRect() << true;
    QTest::newRow("24-bit target")
        << int(QImage::Format_RGB888) << QTransform() << inside << QRect() << false;
    QTest::newRow("half a pixel") << argb << QTransform::fromTranslate(0.5, 0) << inside
                                  << QRect() << false;
    QTest::newRow("quarter turn") << argb << QTransform().translate(120, 0).rotate(90) << inside
                                  << QRect(30, 12, 17, 9) << true;
    QTest::newRow("half turn") << argb << QTransform().translate(110, 70).rotate(180) << inside
                               << QRect() << true;
    QTest::newRow("three quarters, shifted")
        << argb << QTransform().translate(-3, 100).rotate(270) << QRect(-40, -40, 300, 300)
        << QRect() << true;
    QTest::newRow("mirrored") << argb << QTransform(-1, 0, 0, 1, 100, 0) << inside << QRect()
                              << true;
    QTest::newRow("small turn") << argb << QTransform().rotate(10) << inside << QRect()
                                << false;
    QTest::newRow("scaled") << argb << QTransform::fromScale(2, 2) << inside << QRect()
                            << false;
}

void TestBoardEngine::opaqueBlitMatchesThePainter() {
    QFETCH(int, format);
    QFETCH(QTransform, transform);
    QFETCH(QRect, clip);
    QFETCH(QRect, part);
    QFETCH(bool, direct);
    // A picture with a different colour in each pixel, at an odd place and width.
    QImage src(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            src.setPixel(x, y, qRgb(x * 7, y * 11, (x + y) * 3));
    const QPoint at(21, 9);
    const QRect bar(3, 40, 70, 3);
    enum How { Painter, Blit, KeptTurn };
    const auto drawn = [&](How how) {
        QImage target(123, 77, QImage::Format(format));
        target.fill(QColor(200, 10, 90));
        QPainter p(&target);
        p.setTransform(transform);
        p.setClipRect(clip);
        if (how == Painter) {
            const QRect placed =
                part.isNull() ? QRect(at, src.size()) : QRect(at, src.size()) & part;
            p.drawImage(placed.topLeft(), src, placed.translated(-at));
            p.fillRect(bar, QColor(20, 30, 240));
            p.fillRect(bar.translated(0, 5), QColor(20, 240, 30, 100));
            return target;
        }
        OpaqueBlit b(p, clip);
        if (b.direct() != direct)
            return QImage();
        // Through a copy kept as the device stands: built, then reused.
        QImage turned;
        for (int round = how == KeptTurn ? 2 : 1; round > 0; --round)
            b.draw(at, src, part, how == KeptTurn ? &turned : nullptr);
        b.fill(bar, QColor(20, 30, 240));
        b.fill(bar.translated(0, 5), QColor(20, 240, 30, 100));
        return target;
    };
    const QImage want = drawn(Painter);
    for (How how : {Blit, KeptTurn}) {
        const QImage got = drawn(how);
        QVERIFY2(!got.isNull(), "took the other path");
        QCOMPARE(got, want);
    }
}

QTEST_MAIN(TestBoardEngine)
#include "tst_boardengine.moc"
