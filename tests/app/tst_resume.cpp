// The program itself, started and killed as a power cut would: the board comes
// back only when it was running and resuming is on.
#include "board/runningmark.h"
#include "data/database.h"
#include "data/dbpath.h"
#include "data/demodata.h"
#include "data/settingsstore.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace quoteria;

class TestResume : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void comesBackAfterKill();
    void noBoardAfterCleanStop_data();
    void noBoardAfterCleanStop();
    void autostartEntry();
};

namespace {

// The program on a private database, settings and runtime folder, with its log.
struct Program {
    test::TestEnv env;
    QTemporaryDir runtime;
    QProcess proc;
    QByteArray log;

    Program() {
        Database db;
        QString error;
        if (!env.makeDatabase(db, true) || !writeUserDbPath(db.path(), &error))
            qFatal("no database");
        SettingsStore s;
        s.set(settings::ThemeName, demoThemeName());
        s.set(settings::ResumeBoard, true);
    }
    QString markPath() const { return runningMarkPath(SettingsStore().folder()); }
    void start() {
        log.clear();
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), env.configDir());
        // Its own instance lock, apart from other runs on this machine.
        e.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        proc.setProcessEnvironment(e);
        proc.start(qEnvironmentVariable("QUOTERIA_EXE"), {});
        QVERIFY(proc.waitForStarted());
    }
    // Waits for a log line containing text; false when the program ends or after
    // a minute without it.
    bool waitFor(const QByteArray& text) {
        QElapsedTimer t;
        t.start();
        while (!log.contains(text) && t.elapsed() < 60000 && proc.state() == QProcess::Running) {
            proc.waitForReadyRead(200);
            log += proc.readAllStandardError();
        }
        log += proc.readAllStandardError();
        return log.contains(text);
    }
    void kill() {
        proc.kill(); // SIGKILL: nothing of the program runs after it
        proc.waitForFinished(10000);
    }
    ~Program() {
        if (proc.state() != QProcess::NotRunning)
            kill();
    }
};

RunningMark demoMark() {
    RunningMark m;
    m.theme = demoThemeName();
    m.motion = QStringLiteral("Scroll");
    m.screen = QStringLiteral("Single");
    m.ticker = true;
    return m;
}

} // namespace

void TestResume::comesBackAfterKill() {
    Program p;
    QVERIFY(writeRunningMark(p.markPath(), demoMark()));
    for (int run = 1; run <= 2; ++run) {
        QElapsedTimer t;
        t.start();
        p.start();
        QVERIFY2(p.waitFor("board: resumed"), p.log.constData());
        qInfo("run %d: board back %lld ms after the start", run, t.elapsed());
        QVERIFY2(p.log.contains("board: resumed \"" + demoThemeName().toUtf8() +
                                "\" (Scroll, Single, ticker on)"),
                 p.log.constData());
        p.kill();
        // Killed with the board up: the mark stays for the next start.
        const auto mark = readRunningMark(p.markPath());
        QVERIFY(mark && *mark == demoMark());
    }
}

void TestResume::noBoardAfterCleanStop_data() {
    QTest::addColumn<QByteArray>("file"); // the mark's file; empty: none
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("stopped cleanly") << QByteArray() << QByteArray("board: no board to resume");
    QTest::newRow("garbage") << QByteArray("\x01\x02garbage\n") << QByteArray("is damaged");
    QTest::newRow("cut off") << demoMark().toText().left(40) << QByteArray("is damaged");
}

void TestResume::noBoardAfterCleanStop() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, line);
    Program p;
    if (!file.isEmpty()) {
        QFile f(p.markPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    p.start();
    QVERIFY2(p.waitFor(line), p.log.constData());
    p.kill();
    QVERIFY2(!p.log.contains("board: resumed"), p.log.constData());
    // One line says why; nothing else about the mark.
    QCOMPARE(p.log.count("board: "), 1);
}

void TestResume::autostartEntry() {
    test::TestEnv env;
    const QString entry = env.configDir() + QStringLiteral("/autostart/quoteria.desktop");
    auto run = [&](const QString& flag) {
        QProcess proc;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), env.configDir());
        proc.setProcessEnvironment(e);
        proc.start(qEnvironmentVariable("QUOTERIA_EXE"), {flag});
        proc.waitForFinished(30000);
        return std::make_pair(proc.exitCode(),
                              QString::fromLocal8Bit(proc.readAllStandardOutput()));
    };
    auto [rc, out] = run(QStringLiteral("--install-autostart"));
    QCOMPARE(rc, 0);
    QVERIFY2(out.contains(entry), qPrintable(out));
    QFile f(entry);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));
    // Starts this very program.
    const QString exe = QFileInfo(qEnvironmentVariable("QUOTERIA_EXE")).canonicalFilePath();
    QVERIFY2(text.contains(QStringLiteral("\nExec=") + exe + QLatin1Char('\n')) ||
                 text.contains(QStringLiteral("\nExec=\"") + exe + QStringLiteral("\"\n")),
             qPrintable(text));
    std::tie(rc, out) = run(QStringLiteral("--remove-autostart"));
    QCOMPARE(rc, 0);
    QVERIFY(!QFile::exists(entry));
    QVERIFY2(out.contains(QStringLiteral("removed")), qPrintable(out));
    // Removing again is no error, and says there was none.
    std::tie(rc, out) = run(QStringLiteral("--remove-autostart"));
    QCOMPARE(rc, 0);
    QVERIFY2(out.contains(QStringLiteral("no autostart entry")), qPrintable(out));
}

QTEST_GUILESS_MAIN(TestResume)
#include "tst_resume.moc"
