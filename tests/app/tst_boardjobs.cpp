#include "data/database.h"
#include "data/dbpath.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "testclips.h"
#include "testsupport.h"

#include <QImage>
#include <QProcess>
#include <QtTest>

using namespace quoteria;

class TestBoardJobs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void renderRefusals_data();
    void renderRefusals();
    void renderWritesPicture();
    void renderShowsTheVideosFirstFrame();
    void renderThemeInAnyCase_data();
    void renderThemeInAnyCase();
    void renderPreviewSize();
    void benchReportsFigures();
    void renderPlacement_data();
    void renderPlacement();
};

namespace {
struct Run {
    int code = -1;
    QByteArray out, err;
};

Run quoteriaRun(const QStringList& args, const QString& configDir) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("QUOTERIA_EXE"), args);
    p.waitForFinished(120000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// The demo database, made the program's database for the runs.
bool programDemo(test::TestEnv& env, Database& db) {
    QString e;
    return env.makeDatabase(db, true) && writeUserDbPath(db.path(), &e);
}
} // namespace

void TestBoardJobs::renderRefusals_data() {
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("remove"); // table whose row of the demo theme is deleted
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("unknown theme")
        << "No Such Theme" << QString() << QByteArray("Please Define the position and try again");
    QTest::newRow("no layout") << "Demo Board"
                               << "tblpos"
                               << QByteArray("Please Define the position and try again");
    QTest::newRow("no header") << "Demo Board"
                               << "tblheader" << QByteArray("Please Define the header details \n");
}

void TestBoardJobs::renderRefusals() {
    QFETCH(QString, theme);
    QFETCH(QString, remove);
    QFETCH(QByteArray, message);
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    if (!remove.isEmpty())
        QVERIFY(
            db.removeWhere(remove, QStringLiteral("themeauto"), themeKeyOf(db, demoThemeName())));
    QString e;
    QVERIFY(writeUserDbPath(db.path(), &e));
    const QString out = env.dir() + QStringLiteral("/board.png");
    const Run r = quoteriaRun(
        {QStringLiteral("--render-board"), theme, QStringLiteral("--out"), out}, env.configDir());
    QVERIFY(r.code != 0);
    QVERIFY2(r.err.contains(message), r.err.constData());
    QVERIFY(!QFile::exists(out));
}

void TestBoardJobs::renderWritesPicture() {
    test::TestEnv env;
    Database db;
    QVERIFY(programDemo(env, db));
    const QString out = env.dir() + QStringLiteral("/pictures/board.png");
    Run r = quoteriaRun({QStringLiteral("--render-board"), demoThemeName(), QStringLiteral("--out"),
                         out, QStringLiteral("--ms"), QStringLiteral("1500")},
                        env.configDir());
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains(out.toUtf8()));
    // The theme's design size by default; the ticker on: its colour along the bottom.
    QImage img(out);
    QCOMPARE(img.size(), QSize(1366, 768));
    QCOMPARE(img.pixel(2, 760), qRgb(200, 150, 30));

    r = quoteriaRun({QStringLiteral("--render-board"), demoThemeName(), QStringLiteral("--out"),
                     out, QStringLiteral("--size"), QStringLiteral("800x450"),
                     QStringLiteral("--ms"), QStringLiteral("0")},
                    env.configDir());
    QCOMPARE(r.code, 0);
    QCOMPARE(QImage(out).size(), QSize(800, 450));

    r = quoteriaRun({QStringLiteral("--render-board"), demoThemeName(), QStringLiteral("--out"),
                     out, QStringLiteral("--size"), QStringLiteral("huge")},
                    env.configDir());
    QCOMPARE(r.code, 2);
}

void TestBoardJobs::renderShowsTheVideosFirstFrame() {
    test::TestEnv env;
    Database db;
    QVERIFY(programDemo(env, db));
    const QString clip = env.dir() + QStringLiteral("/red.webm");
    QVERIFY(test::makeClip(clip, 10, 320, 180, QStringLiteral("red")));
    bool ok = false;
    db.exec(QStringLiteral("update tbltheme set media=?"), {QStringLiteral("Video")}, &ok);
    QVERIFY(ok);
    db.exec(QStringLiteral("insert into tblVideo (filename, active, type, fullscreen) "
                           "values (?, 1, 'Video', 0)"),
            {clip}, &ok);
    QVERIFY(ok);
    const QString out = env.dir() + QStringLiteral("/board.png");
    const Run r = quoteriaRun({QStringLiteral("--render-board"), demoThemeName(),
                               QStringLiteral("--out"), out, QStringLiteral("--ms"),
                               QStringLiteral("0")},
                              env.configDir());
    QCOMPARE(r.code, 0);
    // The middle of the media zone shows the clip, not the board's background.
    const QColor middle = QImage(out).pixelColor(1116, 420);
    QVERIFY2(middle.red() > 200 && middle.green() < 60 && middle.blue() < 60,
             qPrintable(middle.name()));
}

void TestBoardJobs::renderThemeInAnyCase_data() {
    QTest::addColumn<QString>("stored"); // the demo theme renamed to this
    QTest::addColumn<QString>("typed");
    QTest::newRow("ascii") << QString() << "demo board";
    QTest::newRow("accented") << QString::fromUtf8("Kurstafel Zürich")
                              << QString::fromUtf8("KURSTAFEL ZÜRICH");
    QTest::newRow("cyrillic and greek")
        << QString::fromUtf8("Курсы Δείκτης") << QString::fromUtf8("кУРСЫ δΕΊΚΤΗΣ");
}

void TestBoardJobs::renderThemeInAnyCase() {
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    if (!stored.isEmpty())
        QVERIFY(db.update(QStringLiteral("tbltheme"), QStringLiteral("themeauto"),
                          themeKeyOf(db, demoThemeName()),
                          {{QStringLiteral("themename"), stored}}));
    QString e;
    QVERIFY(writeUserDbPath(db.path(), &e));
    const QString out = env.dir() + QStringLiteral("/board.png");
    const Run r = quoteriaRun({QStringLiteral("--render-board"), typed, QStringLiteral("--out"),
                               out, QStringLiteral("--size"), QStringLiteral("320x180"),
                               QStringLiteral("--ms"), QStringLiteral("0")},
                              env.configDir());
    QVERIFY2(r.code == 0, r.err.constData());
    QCOMPARE(QImage(out).size(), QSize(320, 180));
}

void TestBoardJobs::renderPreviewSize() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db, true));
    // The design surface, 9000 x 4500 twips, makes the picture's size.
    QVERIFY(db.update(QStringLiteral("tblpos"), QStringLiteral("themeauto"),
                      themeKeyOf(db, demoThemeName()),
                      {{QStringLiteral("mewidth"), 9000}, {QStringLiteral("meheight"), 4500}}));
    QString e;
    QVERIFY(writeUserDbPath(db.path(), &e));
    const QString out = env.dir() + QStringLiteral("/preview.png");
    const Run r = quoteriaRun(
        {QStringLiteral("--render-preview"), demoThemeName(), QStringLiteral("--out"), out},
        env.configDir());
    QVERIFY2(r.code == 0, r.err.constData());
    const QImage img(out);
    QCOMPARE(img.size(), QSize(600, 300));
    // The media zone (6560, 1040 as stored) holds the placeholder, not the background.
    QVERIFY(img.pixel(6560 / 15 + 40, 1040 / 15 + 40) != qRgb(6, 20, 44));
}

void TestBoardJobs::benchReportsFigures() {
    test::TestEnv env;
    const Run r =
        quoteriaRun({QStringLiteral("--bench-board"), QStringLiteral("--frames"),
                     QStringLiteral("60"), QStringLiteral("--size"), QStringLiteral("640x360")},
                    env.configDir());
    QCOMPARE(r.code, 0);
    for (const char* line :
         {"median", "99th percentile", "frames per second", "peak resident memory"})
        QVERIFY2(r.out.contains(line), r.out.constData());
}

void TestBoardJobs::renderPlacement_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QPoint>("ticker"); // a pixel of the news strip's colour; (-1, -1): none
    const QStringList size{QStringLiteral("--size"), QStringLiteral("1366x768")};
    // The demonstration theme's strip runs along the bottom of its 1366 x 768.
    QTest::newRow("fitted to twice the size: the strip reaches the far corner")
        << QStringList{QStringLiteral("--size"), QStringLiteral("2732x1536"), QStringLiteral("--fit")}
        << 0 << QPoint(2720, 1530);
    QTest::newRow("turned 90: the strip down the left side")
        << QStringList{QStringLiteral("--size"), QStringLiteral("768x1366"), QStringLiteral("--rotate"),
                       QStringLiteral("90")}
        << 0 << QPoint(20, 1360);
    QTest::newRow("turned 180: the strip along the top")
        << (size + QStringList{QStringLiteral("--rotate"), QStringLiteral("180")}) << 0
        << QPoint(1360, 20);
    for (const char* bad : {"45", "-90", "360", "ninety", ""})
        QTest::newRow(qPrintable(QStringLiteral("refused: \"%1\"").arg(QLatin1String(bad))))
            << (size + QStringList{QStringLiteral("--rotate"), QLatin1String(bad)}) << 2
            << QPoint(-1, -1);
}

void TestBoardJobs::renderPlacement() {
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QPoint, ticker);
    test::TestEnv env;
    Database db;
    QVERIFY(programDemo(env, db));
    const QString out = env.dir() + QStringLiteral("/board.png");
    const Run r = quoteriaRun(QStringList{QStringLiteral("--render-board"), demoThemeName(),
                                          QStringLiteral("--out"), out, QStringLiteral("--ms"),
                                          QStringLiteral("0")} +
                                  options,
                              env.configDir());
    QVERIFY2(r.code == code, r.err.constData());
    if (code != 0) {
        QVERIFY(r.err.contains("--rotate"));
        QVERIFY(!QFile::exists(out));
        return;
    }
    const QImage img(out);
    QCOMPARE(img.size().width(), options.at(options.indexOf(QStringLiteral("--size")) + 1)
                                     .section(QLatin1Char('x'), 0, 0)
                                     .toInt());
    QCOMPARE(img.pixel(ticker), qRgb(200, 150, 30));
}

QTEST_GUILESS_MAIN(TestBoardJobs)
#include "tst_boardjobs.moc"
