#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/newsstore.h"
#include "data/settingsstore.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quoteria;

namespace {

struct Fixture {
    test::TestEnv env;
    Database db;
    DataEvents events;
    NewsStore store{db, &events};
    QSignalSpy messages{&store, &NewsStore::messagesChanged};
    QSignalSpy settings{&store, &NewsStore::scrollSettingsChanged};
    QSignalSpy news{&events, &DataEvents::newsChanged};
    QSignalSpy themes{&events, &DataEvents::themesChanged};

    Fixture() {
        if (!env.makeDatabase(db))
            qFatal("no database: %s", qPrintable(db.lastError()));
    }
    void clearSpies() {
        for (QSignalSpy* s : {&messages, &settings, &news, &themes})
            s->clear();
    }
    // Makes every write to the table fail, as a database that refuses the write does.
    void refuseWrites(const QString& table) {
        for (const char* op : {"UPDATE", "INSERT", "DELETE"})
            db.exec(QStringLiteral("CREATE TRIGGER refuse_%1_%2 BEFORE %1 ON %2 BEGIN "
                                   "SELECT RAISE(ABORT, 'disk is write-protected'); END")
                        .arg(QLatin1String(op), table));
    }
};

NewsMessage message(const QString& text) {
    NewsMessage m;
    m.message = text;
    return m;
}

enum class Write { Add, Overwrite, Remove, FirstSettings, SettingsAgain };

} // namespace

class TestNewsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsAreTheSchemas_data();
    void columnsAreTheSchemas();
    void messageRoundTrip();
    void scrollSettingsRoundTrip();
    void activeMessagesOfDirection_data();
    void activeMessagesOfDirection();
    void activeMessageFieldsAreLenient();
    void writeAnnouncesOnce_data();
    void writeAnnouncesOnce();
    void failedWriteIsSilent_data();
    void failedWriteIsSilent();
    void jobContextAnnouncesThroughEvents();
};

void TestNewsStore::columnsAreTheSchemas_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    using S = NewsStore::Scroll;
    for (const QString& c : {S::key, S::message, S::rtf, S::html, S::active, S::fontName,
                             S::fontSize, S::fontColor, S::bold, S::italic, S::direction})
        QTest::newRow(qPrintable(S::table + QLatin1Char('.') + c)) << S::table << c;
    using T = NewsStore::Ticker;
    for (const QString& c : {T::themeKey, T::backColor, T::gradColor, T::gradient, T::speed,
                             T::gradType, T::bullet, T::direction})
        QTest::newRow(qPrintable(T::table + QLatin1Char('.') + c)) << T::table << c;
}

void TestNewsStore::columnsAreTheSchemas() {
    QFETCH(QString, table);
    QFETCH(QString, column);
    Fixture f;
    const QString error = test::columnError(f.db, table, column);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestNewsStore::messageRoundTrip() {
    Fixture f;
    NewsMessage m;
    m.message = QStringLiteral("Rates today");
    m.rtf = QStringLiteral("{\\rtf1 Rates today}");
    m.html = QStringLiteral("<b>Rates</b> today");
    m.active = false;
    m.fontName = QStringLiteral("Liberation Serif");
    m.fontSize = QStringLiteral("24");
    m.fontColor = 0x123456;
    m.bold = false;
    m.italic = true;
    m.direction = QStringLiteral("Right");
    const qint64 key = f.store.save(m);
    QVERIFY(key > 0);
    const auto back = f.store.load(key);
    QVERIFY(back);
    QCOMPARE(back->key, key);
    QCOMPARE(back->message, m.message);
    QCOMPARE(back->rtf, m.rtf);
    QCOMPARE(back->html, m.html);
    QCOMPARE(back->active, false);
    QCOMPARE(back->fontName, m.fontName);
    QCOMPARE(back->fontSize, m.fontSize);
    QCOMPARE(back->fontColor, m.fontColor);
    QCOMPARE(back->bold, false);
    QCOMPARE(back->italic, true);
    QCOMPARE(back->direction, m.direction);
}

void TestNewsStore::activeMessagesOfDirection_data() {
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("left") << "Left" << QStringList{"a", "d"};
    QTest::newRow("right") << "Right" << QStringList{"c", "e"};
    QTest::newRow("case ignored") << "LEFT" << QStringList{"a", "d"};
    QTest::newRow("unknown") << "Up" << QStringList{};
}

void TestNewsStore::activeMessagesOfDirection() {
    QFETCH(QString, direction);
    QFETCH(QStringList, texts);
    Fixture f;
    const struct {
        const char* text;
        const char* direction;
        bool active;
    } rows[] = {{"a", "Left", true}, {"b", "Left", false}, {"c", "Right", true},
                {"d", "left", true}, {"e", "right", true}, {"f", "Right", false}};
    for (const auto& r : rows) {
        NewsMessage m = message(QLatin1String(r.text));
        m.direction = QLatin1String(r.direction);
        m.active = r.active;
        QVERIFY(f.store.save(m) > 0);
    }
    bool ok = false;
    QStringList got;
    for (const TickerMessage& t : f.store.activeMessages(direction, &ok))
        got << t.text;
    QVERIFY(ok);
    QCOMPARE(got, texts);
}

void TestNewsStore::activeMessageFieldsAreLenient() {
    Fixture f;
    using S = NewsStore::Scroll;
    // As a hand-edited row may hold them: numbers as text, some unusable.
    QVERIFY(f.db.insert(S::table, {{S::message, "x"},
                                   {S::active, 1},
                                   {S::direction, "Left"},
                                   {S::fontName, "Liberation Sans"},
                                   {S::fontSize, "18.5"},
                                   {S::bold, "1"},
                                   {S::italic, "no"},
                                   {S::fontColor, "255"}}) > 0);
    const QVector<TickerMessage> got = f.store.activeMessages(QStringLiteral("Left"));
    QCOMPARE(got.size(), 1);
    QCOMPARE(got[0].fontName, QStringLiteral("Liberation Sans"));
    QCOMPARE(got[0].fontSize, 18.5);
    QCOMPARE(got[0].bold, true);
    QCOMPARE(got[0].italic, false);
    QCOMPARE(got[0].fontColor, 255);
}

void TestNewsStore::scrollSettingsRoundTrip() {
    Fixture f;
    ScrollSettings s;
    s.themeKey = 9;
    s.backColor = 0x0000FF;
    s.gradColor = 0xFF0000;
    s.gradient = true;
    s.speed = QStringLiteral("45");
    s.gradType = QStringLiteral("Right");
    s.bullet = QStringLiteral("/pics/dot.gif");
    s.direction = QStringLiteral("Left");
    QVERIFY(f.store.saveScrollSettings(s));
    const auto back = f.store.loadScrollSettings(9);
    QVERIFY(back);
    QCOMPARE(back->themeKey, 9);
    QCOMPARE(back->backColor, s.backColor);
    QCOMPARE(back->gradColor, s.gradColor);
    QVERIFY(back->gradient);
    QCOMPARE(back->speed, s.speed);
    QCOMPARE(back->gradType, s.gradType);
    QCOMPARE(back->bullet, s.bullet);
    QCOMPARE(back->direction, s.direction);
    QVERIFY(!f.store.loadScrollSettings(10));
}

void TestNewsStore::writeAnnouncesOnce_data() {
    QTest::addColumn<Write>("write");
    QTest::addColumn<int>("messages");
    QTest::addColumn<int>("settings");
    QTest::newRow("add") << Write::Add << 1 << 0;
    QTest::newRow("overwrite") << Write::Overwrite << 1 << 0;
    QTest::newRow("remove") << Write::Remove << 1 << 0;
    QTest::newRow("first settings of a theme") << Write::FirstSettings << 0 << 1;
    QTest::newRow("settings again") << Write::SettingsAgain << 0 << 1;
}

void TestNewsStore::writeAnnouncesOnce() {
    QFETCH(Write, write);
    QFETCH(int, messages);
    QFETCH(int, settings);
    Fixture f;
    const qint64 key = f.store.save(message(QStringLiteral("first")));
    ScrollSettings s;
    s.themeKey = 4;
    QVERIFY(f.store.saveScrollSettings(s));
    f.clearSpies();

    NewsMessage m = message(QStringLiteral("second"));
    switch (write) {
    case Write::Add:
        QVERIFY(f.store.save(m) > key);
        break;
    case Write::Overwrite:
        m.key = key;
        QCOMPARE(f.store.save(m), key);
        break;
    case Write::Remove:
        QVERIFY(f.store.remove(key));
        break;
    case Write::FirstSettings:
        s.themeKey = 5;
        QVERIFY(f.store.saveScrollSettings(s));
        break;
    case Write::SettingsAgain:
        s.speed = QStringLiteral("60");
        QVERIFY(f.store.saveScrollSettings(s));
        break;
    }
    QCOMPARE(f.messages.count(), messages);
    QCOMPARE(f.news.count(), messages);
    QCOMPARE(f.settings.count(), settings);
    QCOMPARE(f.themes.count(), settings);
    if (settings)
        QCOMPARE(f.settings.first().at(0).toLongLong(), s.themeKey);
}

void TestNewsStore::failedWriteIsSilent_data() {
    QTest::addColumn<Write>("write");
    QTest::addColumn<QString>("refusingTable");
    QTest::newRow("add refused") << Write::Add << NewsStore::Scroll::table;
    QTest::newRow("overwrite of a deleted message") << Write::Overwrite << QString();
    QTest::newRow("overwrite refused") << Write::Overwrite << NewsStore::Scroll::table;
    QTest::newRow("remove refused") << Write::Remove << NewsStore::Scroll::table;
    QTest::newRow("settings refused") << Write::FirstSettings << NewsStore::Ticker::table;
}

void TestNewsStore::failedWriteIsSilent() {
    QFETCH(Write, write);
    QFETCH(QString, refusingTable);
    Fixture f;
    const qint64 key = f.store.save(message(QStringLiteral("first")));
    if (refusingTable.isEmpty())
        QVERIFY(f.store.remove(key));
    else
        f.refuseWrites(refusingTable);
    f.clearSpies();

    QString error;
    NewsMessage m = message(QStringLiteral("second"));
    switch (write) {
    case Write::Add:
        QCOMPARE(f.store.save(m, &error), -1);
        break;
    case Write::Overwrite:
        m.key = key;
        QCOMPARE(f.store.save(m, &error), -1);
        break;
    case Write::Remove:
        QVERIFY(!f.store.remove(key));
        error = f.db.lastError();
        break;
    case Write::FirstSettings:
    case Write::SettingsAgain:
        QVERIFY(!f.store.saveScrollSettings(ScrollSettings{}, &error));
        break;
    }
    QVERIFY(!error.isEmpty());
    for (QSignalSpy* s : {&f.messages, &f.settings, &f.news, &f.themes})
        QCOMPARE(s->count(), 0);
}

void TestNewsStore::jobContextAnnouncesThroughEvents() {
    // A context built without stores (a command-line job) makes its own over its database.
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    SettingsStore settings;
    DataEvents events;
    QSignalSpy news(&events, &DataEvents::newsChanged);
    AppContext ctx(db, settings, events);
    QVERIFY(ctx.news.save(message(QStringLiteral("from a job"))) > 0);
    QCOMPARE(news.count(), 1);
    QCOMPARE(ctx.news.all().size(), 1);
    QCOMPARE(ctx.users.names(), QStringList{QStringLiteral("ADMIN")});
}

QTEST_GUILESS_MAIN(TestNewsStore)
#include "tst_newsstore.moc"
