#include "data/settingsstore.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace quoteria;

class TestSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultsWhenMissing_data();
    void defaultsWhenMissing();
    void namesIgnoreCase_data();
    void namesIgnoreCase();
    void numericConversion_data();
    void numericConversion();
    void onePerApplicationInConfigFolder();
    void survivesGarbageFile();
    void positionsAsSingles();
    void typedFlags_data();
    void typedFlags();
};

void TestSettings::defaultsWhenMissing_data() {
    QTest::addColumn<QString>("app");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("def");
    QTest::newRow("theme name") << "Disp"
                                << "theme"
                                << "name"
                                << "";
    QTest::newRow("ratio") << "Disp"
                           << "theme"
                           << "mult"
                           << "2";
    QTest::newRow("motion") << "Display"
                            << "style"
                            << "type"
                            << "Scroll";
}

void TestSettings::defaultsWhenMissing() {
    QFETCH(QString, app);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, def);
    test::TestEnv env;
    SettingsStore s;
    QCOMPARE(s.read(app, section, key, def), def);
    QCOMPARE(s.readInt(QStringLiteral("Display"), QStringLiteral("Monitor"),
                       QStringLiteral("intervel"), 10),
             10);
}

void TestSettings::namesIgnoreCase_data() {
    QTest::addColumn<QStringList>("writeAt");
    QTest::addColumn<QStringList>("readAt");
    QTest::newRow("key") << QStringList{"Display", "Monitor", "highsound"}
                         << QStringList{"Display", "Monitor", "highSound"};
    QTest::newRow("app") << QStringList{"display", "sreen", "type"}
                         << QStringList{"Display", "sreen", "type"};
    QTest::newRow("section") << QStringList{"Display", "video", "VideoIn"}
                             << QStringList{"Display", "Video", "videoin"};
    QTest::newRow("all") << QStringList{"DISP", "THEME", "NAME"}
                         << QStringList{"disp", "theme", "name"};
}

void TestSettings::namesIgnoreCase() {
    QFETCH(QStringList, writeAt);
    QFETCH(QStringList, readAt);
    test::TestEnv env;
    SettingsStore s;
    QVERIFY(s.write(writeAt[0], writeAt[1], writeAt[2], QStringLiteral("C:\\sounds\\high.wav")));
    // A fresh store reads what the first wrote, whatever the letter case.
    SettingsStore other;
    QCOMPARE(other.read(readAt[0], readAt[1], readAt[2], QStringLiteral("missing")),
             QStringLiteral("C:\\sounds\\high.wav"));
}

void TestSettings::numericConversion_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("asInt");
    QTest::newRow("plain") << "42" << 42;
    QTest::newRow("leading number") << "12abc" << 12;
    QTest::newRow("text") << "abc" << 0;
    QTest::newRow("negative position") << "-32000" << -32000;
    QTest::newRow("single") << "1234.5" << 1235;
    QTest::newRow("blank") << "" << 0;
}

void TestSettings::numericConversion() {
    QFETCH(QString, stored);
    QFETCH(int, asInt);
    test::TestEnv env;
    SettingsStore s;
    s.write(QStringLiteral("display"), QStringLiteral("mainsec"), QStringLiteral("left"), stored);
    QCOMPARE(
        s.readInt(QStringLiteral("Display"), QStringLiteral("MainSec"), QStringLiteral("Left"), 7),
        asInt);
}

void TestSettings::onePerApplicationInConfigFolder() {
    test::TestEnv env;
    SettingsStore s;
    s.write(QStringLiteral("Display"), QStringLiteral("a"), QStringLiteral("b"),
            QStringLiteral("1"));
    s.write(QStringLiteral("Disp"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("2"));
    s.write(QStringLiteral("Quoteria"), QStringLiteral("Online"), QStringLiteral("Auto"),
            QStringLiteral("1"));
    s.write(QStringLiteral("display"), QStringLiteral("c"), QStringLiteral("d"),
            QStringLiteral("3"));
    const QStringList files =
        QDir(env.configDir() + QStringLiteral("/quoteria")).entryList({QStringLiteral("*.ini")});
    QCOMPARE(files.size(), 3);
    QCOMPARE(s.read(QStringLiteral("Disp"), QStringLiteral("a"), QStringLiteral("b")),
             QStringLiteral("2"));
    QCOMPARE(s.read(QStringLiteral("Display"), QStringLiteral("a"), QStringLiteral("b")),
             QStringLiteral("1"));
}

void TestSettings::survivesGarbageFile() {
    test::TestEnv env;
    SettingsStore s;
    QDir().mkpath(s.folder());
    QFile f(s.fileFor(QStringLiteral("Display")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\x00\xff[[[=\n==\nrandom", 16);
    f.close();
    QCOMPARE(s.read(QStringLiteral("Display"), QStringLiteral("style"), QStringLiteral("type"),
                    QStringLiteral("Scroll")),
             QStringLiteral("Scroll"));
    QVERIFY(s.write(QStringLiteral("Display"), QStringLiteral("style"), QStringLiteral("type"),
                    QStringLiteral("Page")));
    QCOMPARE(SettingsStore().read(QStringLiteral("Display"), QStringLiteral("style"),
                                  QStringLiteral("type")),
             QStringLiteral("Page"));
}

void TestSettings::positionsAsSingles() {
    test::TestEnv env;
    SettingsStore s;
    s.write(QStringLiteral("display"), QStringLiteral("mainsec"), QStringLiteral("left"), 1234.5);
    QCOMPARE(s.read(QStringLiteral("display"), QStringLiteral("mainsec"), QStringLiteral("left")),
             QStringLiteral("1234.5"));
    QCOMPARE(s.readNumber(QStringLiteral("display"), QStringLiteral("mainsec"),
                          QStringLiteral("left"), 0),
             1234.5);
}

// The two flag kinds differ: check boxes are numbers, the media switches the text "1".
void TestSettings::typedFlags_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("numberFlag");
    QTest::addColumn<bool>("textFlag");
    QTest::newRow("one") << "1" << true << true;
    QTest::newRow("zero") << "0" << false << false;
    QTest::newRow("other number") << "2" << true << false;
    QTest::newRow("one with decimals") << "1.0" << true << false;
    QTest::newRow("text") << "yes" << false << false;
}

void TestSettings::typedFlags() {
    QFETCH(QString, stored);
    QFETCH(bool, numberFlag);
    QFETCH(bool, textFlag);
    test::TestEnv env;
    SettingsStore s;
    // Written with other letter case than the definitions use.
    s.write(QStringLiteral("DISPLAY"), QStringLiteral("monitor"), QStringLiteral("SOUND"), stored);
    s.write(QStringLiteral("display"), QStringLiteral("html"), QStringLiteral("enable"), stored);
    QCOMPARE(s.get(settings::MonitorSound), numberFlag);
    QCOMPARE(s.get(settings::HtmlOn), textFlag);
    QVERIFY(s.set(settings::HtmlOn, !textFlag));
    QCOMPARE(s.read(QStringLiteral("Display"), QStringLiteral("HTML"), QStringLiteral("Enable")),
             textFlag ? QStringLiteral("0") : QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
