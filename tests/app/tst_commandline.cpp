#include "data/database.h"
#include "data/dbpath.h"
#include "data/demodata.h"
#include "data/ratehistory.h"
#include "data/settingsstore.h"
#include "testsupport.h"

#include <QProcess>
#include <QtTest>

using namespace quoteria;

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initDbCreatesDemoAndPathFile();
    void initDbCreatesMissingFolder();
    void initDbRefusesExistingFile();
    void initDbAsksPassword();
    void noDisplayIsOneLine();
    void exportHistoryRefusesBadInput_data();
    void exportHistoryRefusesBadInput();
    void exportHistoryWritesTheDays();
};

namespace {
QProcess* run(const QStringList& args, const QByteArray& input = QByteArray(),
              const QString& configDir = QString()) {
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!configDir.isEmpty())
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    p->setProcessEnvironment(env);
    p->start(qEnvironmentVariable("QUOTERIA_EXE"), args);
    p->waitForStarted();
    if (!input.isEmpty())
        p->write(input);
    p->closeWriteChannel();
    p->waitForFinished(60000);
    return p;
}
} // namespace

void TestCommandLine::initDbCreatesDemoAndPathFile() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/rates.db");
    QScopedPointer<QProcess> p(
        run({QStringLiteral("--init-db"), path, QStringLiteral("--admin-password"),
             QStringLiteral("pw"), QStringLiteral("--demo")},
            {}, env.configDir()));
    QCOMPARE(p->exitCode(), 0);
    QVERIFY(p->readAllStandardOutput().contains("ADMIN"));
    QCOMPARE(readDbPath().path, path);
    // The demo theme is the panel's choice, so Start Display works at once.
    QCOMPARE(SettingsStore().read(QStringLiteral("Disp"), QStringLiteral("theme"),
                                  QStringLiteral("name")),
             demoThemeName());
    Database db;
    QVERIFY(db.open(path));
    QVERIFY(db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt() >= 15);
    QCOMPARE(
        db.scalar(QStringLiteral("select userpass from tbluser where username='ADMIN'")).toString(),
        QStringLiteral("pw"));
    // The demo theme's media zone plays a video made beside the database.
    QCOMPARE(db.scalar(QStringLiteral("select media from tbltheme")).toString(),
             QStringLiteral("Video"));
    const QString video =
        db.scalar(QStringLiteral("select filename from tblVideo where type='Video'")).toString();
    QVERIFY2(video.startsWith(env.dir()) && QFileInfo(video).size() > 0, qPrintable(video));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from tblVideo where type='Picture'")).toInt(),
             3);
}

void TestCommandLine::initDbCreatesMissingFolder() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/new/demo/rates.db");
    QScopedPointer<QProcess> p(run({QStringLiteral("--init-db"), path,
                                    QStringLiteral("--admin-password"), QStringLiteral("pw")},
                                   {}, env.configDir()));
    QCOMPARE(p->exitCode(), 0);
    QVERIFY(QFileInfo::exists(path));
    QCOMPARE(readDbPath().path, path);
}

void TestCommandLine::initDbRefusesExistingFile() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/rates.db");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("mine");
    f.close();
    QScopedPointer<QProcess> p(run({QStringLiteral("--init-db"), path,
                                    QStringLiteral("--admin-password"), QStringLiteral("pw")},
                                   {}, env.configDir()));
    QVERIFY(p->exitCode() != 0);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("mine"));
    QVERIFY(readDbPath().path.isEmpty());
}

void TestCommandLine::initDbAsksPassword() {
    test::TestEnv env;
    const QString path = env.dir() + QStringLiteral("/rates.db");
    QScopedPointer<QProcess> p(
        run({QStringLiteral("--init-db"), path}, "typed-pw\n", env.configDir()));
    QCOMPARE(p->exitCode(), 0);
    Database db;
    QVERIFY(db.open(path));
    QCOMPARE(db.scalar(QStringLiteral("select userpass from tbluser")).toString(),
             QStringLiteral("typed-pw"));
}

void TestCommandLine::noDisplayIsOneLine() {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("QUOTERIA_EXE"), {});
    QVERIFY(p.waitForFinished(30000));
    QVERIFY(p.exitCode() != 0);
    const QByteArray err = p.readAllStandardError().trimmed();
    QCOMPARE(err.count('\n'), 0);
    QVERIFY(err.contains("display"));
}

void TestCommandLine::exportHistoryRefusesBadInput_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("said");
    QTest::newRow("nothing") << QStringList{} << QByteArray("usage");
    QTest::newRow("no file") << QStringList{"2026-01-01", "2026-01-02"} << QByteArray("usage");
    QTest::newRow("month 13") << QStringList{"2026-13-01", "2026-12-31", "out.csv"}
                              << QByteArray("2026-13-01");
    QTest::newRow("not a date") << QStringList{"2026-01-01", "today", "out.csv"}
                                << QByteArray("today");
    QTest::newRow("other order") << QStringList{"01/02/2026", "2026-01-03", "out.csv"}
                                 << QByteArray("01/02/2026");
    QTest::newRow("from after to") << QStringList{"2026-01-03", "2026-01-02", "out.csv"}
                                   << QByteArray("after");
}

void TestCommandLine::exportHistoryRefusesBadInput() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, said);
    test::TestEnv env;
    QScopedPointer<QProcess> p(
        run(QStringList{QStringLiteral("--export-history")} + args, {}, env.configDir()));
    QCOMPARE(p->exitCode(), 2);
    QVERIFY(p->readAllStandardError().contains(said));
    QVERIFY(!QFileInfo::exists(QStringLiteral("out.csv")));
}

void TestCommandLine::exportHistoryWritesTheDays() {
    test::TestEnv env;
    Database db;
    QVERIFY(env.makeDatabase(db));
    QString error;
    QVERIFY2(writeUserDbPath(db.path(), &error), qPrintable(error));
    for (const char* at : {"2026-01-01T23:59:59", "2026-01-02T00:00:00", "2026-01-03T23:59:59",
                           "2026-01-04T00:00:00"})
        QVERIFY(HistoryWriter(db, {ChangeSource::SheetFeed, {},
                                   QDateTime::fromString(QLatin1String(at), Qt::ISODate)})
                    .log(1, QStringLiteral("Euro"), 0, QStringLiteral("1"), QLatin1String(at)));
    const QString file = env.dir() + QStringLiteral("/history.csv");
    QScopedPointer<QProcess> p(run({QStringLiteral("--export-history"), QStringLiteral("2026-01-02"),
                                    QStringLiteral("2026-01-03"), file},
                                   {}, env.configDir()));
    QCOMPARE(p->exitCode(), 0);
    QFile csv(file);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    QCOMPARE(lines.size(), 4); // header, two days, and the empty rest after the last CRLF
    QVERIFY(lines.at(1).contains("2026-01-02T00:00:00"));
    QVERIFY(lines.at(2).contains("2026-01-03T23:59:59"));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
