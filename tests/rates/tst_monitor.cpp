#include "../rates/ratesfixture.h"
#include "data/formats.h"
#include "media/alarmplayer.h"
#include "rates/monitorsettingswindow.h"
#include "rates/ratemonitor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <cmath>

using namespace quoteria;

namespace {

// Stands in for the media player where only the decisions matter.
struct FakePlayer : AlarmPlayer {
    bool playing = false;
    QStringList played;
    int stops = 0;
    bool isPlaying() const override { return playing; }
    void play(const QString& path) override {
        played << path;
        playing = true;
    }
    void stop() override {
        ++stops;
        playing = false;
    }
};

void writeSetting(test::RatesFixture& f, const char* key, const QString& value) {
    f.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"), QLatin1String(key),
                     value);
}

QString state(test::RatesFixture& f, qint64 key) {
    return f.column(key, QStringLiteral("vstate"));
}

// A mono 16-bit WAV tone of the given length.
QString writeTone(const QString& path, double seconds) {
    const int rate = 8000;
    const int samples = int(rate * seconds);
    QByteArray data(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * 440 * i / rate)),
                                data.data() + 2 * i);
    QByteArray wav;
    auto u32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(36 + data.size());
    wav.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(data.size());
    wav.append(data);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(wav);
    return path;
}

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void boundaries_data();
    void boundaries();
    void checkPeriodText_data();
    void checkPeriodText();
    void period_data();
    void switchOnRunsTimer4();
    void period();
    void offMonitorDoesNothing();
    void watchedColumn_data();
    void watchedColumn();
    void sounds_data();
    void sounds();
    void clearingStopsSound();
    void realPlayback();
    void settingsWindowLoad();
    void settingsWindowSave_data();
    void settingsWindowSave();
    void settingsWindowBoxes();
    void settingsWindowRefusesPeriod();

private:
    QTemporaryDir* m_runtime = nullptr;
    bool m_startedSound = false;
};

void TestMonitor::initTestCase() {
    // Real playback needs a sound server; start a private one with a null sink
    // unless one already answers for this runtime folder.
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") &&
        QProcess::execute(QStringLiteral("pulseaudio"), {QStringLiteral("--check")}) == 0)
        return;
    m_runtime = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/quoteria-rt-XXXXXX"));
    QFile::setPermissions(m_runtime->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", m_runtime->path().toLocal8Bit());
    const int rc = QProcess::execute(QStringLiteral("pulseaudio"),
                                     {QStringLiteral("-D"), QStringLiteral("--exit-idle-time=-1"),
                                      QStringLiteral("-n"),
                                      QStringLiteral("--load=module-null-sink sink_name=nullsink"),
                                      QStringLiteral("--load=module-native-protocol-unix")});
    m_startedSound = rc == 0;
    if (!m_startedSound)
        qWarning("pulseaudio did not start (%d)", rc);
}

void TestMonitor::cleanupTestCase() {
    if (m_startedSound)
        QProcess::execute(QStringLiteral("pulseaudio"), {QStringLiteral("--kill")});
    delete m_runtime;
}

void TestMonitor::boundaries_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("expected");
    QTest::newRow("below low") << "3.5"
                               << "3.6"
                               << "3.8"
                               << "L";
    QTest::newRow("equal low") << "3.6"
                               << "3.6"
                               << "3.8"
                               << "N";
    QTest::newRow("above high") << "3.9"
                                << "3.6"
                                << "3.8"
                                << "H";
    QTest::newRow("equal high") << "3.8"
                                << "3.6"
                                << "3.8"
                                << "N";
    QTest::newRow("below low never high") << "5"
                                          << "6"
                                          << "4"
                                          << "L";
    QTest::newRow("value letters count 0") << "abc"
                                           << "0.0001"
                                           << "1000"
                                           << "L";
    QTest::newRow("value blank counts 0") << ""
                                          << "0"
                                          << "1000"
                                          << "N";
    QTest::newRow("low letters count 0") << "-1"
                                         << "x"
                                         << "10"
                                         << "L";
    QTest::newRow("high letters count 0") << "0.5"
                                          << "0"
                                          << "x"
                                          << "H";
    QTest::newRow("formatted value") << "1.20000"
                                     << "1.2"
                                     << "1.2"
                                     << "N";
}

void TestMonitor::boundaries() {
    QFETCH(QString, value);
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(QString, expected);
    QCOMPARE(alarmState(value, low, high), expected);

    // The same through the table, limits stored as the entry window stores them.
    test::RatesFixture f;
    const qint64 k = f.addCurrency(QStringLiteral("X"), value, 1);
    f.db.exec(QStringLiteral("update tblcurr set low=?, high=? where currAuto=?"),
              {isNumeric(low) ? QVariant(low.toDouble()) : QVariant(low),
               isNumeric(high) ? QVariant(high.toDouble()) : QVariant(high), k});
    RateMonitor m(f.ctx);
    QVERIFY(m.check());
    QCOMPARE(state(f, k), expected);
}

void TestMonitor::period_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("checkTick"); // the tick that runs the first check
    QTest::newRow("default 10: 11th tick") << "" << 11;
    QTest::newRow("0: every tick") << "0" << 1;
    QTest::newRow("3: 4th tick") << "3" << 4;
    // A stored text that is no period reads as the default, not as a rounded or
    // overflowed number.
    QTest::newRow("letters: default") << "abc" << 11;
    QTest::newRow("exponent: default") << "1e10" << 11;
    QTest::newRow("fraction: default") << "2.5" << 11;
    QTest::newRow("negative: default") << "-3" << 11;
}

void TestMonitor::checkPeriodText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds"); // -1: refused
    QTest::newRow("plain") << "10" << 10;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("one day") << "86400" << 86400;
    QTest::newRow("blanks around") << " 25 " << 25;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("over a day") << "86401" << -1;
    QTest::newRow("overflows int") << "99999999999" << -1;
    QTest::newRow("exponent") << "1e10" << -1;
    QTest::newRow("fraction") << "2.5" << -1;
    QTest::newRow("whole fraction") << "10.0" << -1;
    QTest::newRow("negative") << "-5" << -1;
    QTest::newRow("plus sign") << "+5" << -1;
    QTest::newRow("inner blank") << "1 0" << -1;
    QTest::newRow("letters") << "ten" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("other digits") << QString::fromUtf8("\u0661\u0660") << -1;
}

void TestMonitor::checkPeriodText() {
    QFETCH(QString, text);
    QFETCH(int, seconds);
    const std::optional<int> p = checkPeriodOf(text);
    QCOMPARE(p.has_value(), seconds >= 0);
    if (p)
        QCOMPARE(*p, seconds);
}

void TestMonitor::switchOnRunsTimer4() {
    test::RatesFixture f;
    RateMonitor m(f.ctx);
    QTimer* t = m.ticker();
    QCOMPARE(t->objectName(), QStringLiteral("Timer4"));
    QCOMPARE(t->interval(), 1000);
    QVERIFY(!t->isActive());
    m.switchOn(true);
    QVERIFY(t->isActive());
    QVERIFY(m.isEnabled());
    QVERIFY(QMetaObject::invokeMethod(t, "timeout"));
    QCOMPARE(m.counter(), 1);
    m.switchOn(false);
    QVERIFY(!t->isActive());
    QVERIFY(!m.isEnabled());
    // A tick already queued counts nothing once off.
    QVERIFY(QMetaObject::invokeMethod(t, "timeout"));
    QCOMPARE(m.counter(), 1);
}

void TestMonitor::period() {
    QFETCH(QString, setting);
    QFETCH(int, checkTick);
    test::RatesFixture f;
    if (!setting.isEmpty())
        writeSetting(f, "intervel", setting);
    const qint64 k = f.addCurrency(QStringLiteral("X"), QStringLiteral("5000"), 1);
    RateMonitor m(f.ctx);
    m.setEnabled(true);
    QVERIFY(m.isEnabled());
    QSignalSpy changed(&f.events, &DataEvents::currenciesChanged);
    for (int round = 0; round < 2; ++round) {
        f.db.exec(QStringLiteral("update tblcurr set vstate='N' where currAuto=?"), {k});
        for (int i = 1; i < checkTick; ++i)
            m.tick();
        QCOMPARE(state(f, k), QStringLiteral("N"));
        m.tick();
        QCOMPARE(state(f, k), QStringLiteral("H"));
        QCOMPARE(m.counter(), 0);
    }
    QCOMPARE(changed.count(), 2);
    // Nothing to change: no redraw asked.
    for (int i = 0; i < checkTick; ++i)
        m.tick();
    QCOMPARE(changed.count(), 2);
}

void TestMonitor::offMonitorDoesNothing() {
    test::RatesFixture f;
    writeSetting(f, "intervel", QStringLiteral("2"));
    const qint64 k = f.addCurrency(QStringLiteral("X"), QStringLiteral("5000"), 1);
    RateMonitor m(f.ctx);
    for (int i = 0; i < 10; ++i)
        m.tick();
    QCOMPARE(m.counter(), 0);
    QCOMPARE(state(f, k), QStringLiteral("N"));
    // Switched on, off and on again: counting goes on from where it stood.
    m.setEnabled(true);
    m.tick();
    m.tick();
    m.setEnabled(false);
    QVERIFY(!m.isEnabled());
    m.tick();
    QCOMPARE(m.counter(), 2);
    m.setEnabled(true);
    m.tick();
    QCOMPARE(state(f, k), QStringLiteral("H"));
}

void TestMonitor::watchedColumn_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected");
    QTest::newRow("default Colum1") << "" << true << "H";
    QTest::newRow("Colum2") << "Colum2" << true << "L";
    QTest::newRow("lower case") << "colum2" << true << "L";
    QTest::newRow("not a value column") << "currName" << false << "N";
    QTest::newRow("sql") << "colum1 from tblcurr; delete from tblcurr; --" << false << "N";
}

void TestMonitor::watchedColumn() {
    QFETCH(QString, column);
    QFETCH(bool, ok);
    QFETCH(QString, expected);
    test::RatesFixture f;
    if (!column.isEmpty())
        writeSetting(f, "Column", column);
    const qint64 k = f.addCurrency(QStringLiteral("X"), QStringLiteral("5000"), 1);
    const qint64 inactive = f.addCurrency(QStringLiteral("Y"), QStringLiteral("5000"), 2, false);
    f.db.exec(QStringLiteral("update tblcurr set colum2='0'"));
    RateMonitor m(f.ctx);
    QCOMPARE(m.check(), ok);
    QCOMPARE(state(f, k), expected);
    QCOMPARE(state(f, inactive), QStringLiteral("N"));
    QCOMPARE(f.db.scalar(QStringLiteral("select count(*) from tblcurr")).toInt(), 2);
}

void TestMonitor::sounds_data() {
    QTest::addColumn<QString>("sound");
    QTest::addColumn<QString>("lowSound");
    QTest::addColumn<QString>("highSound");
    QTest::addColumn<bool>("alreadyPlaying");
    QTest::addColumn<QStringList>("played");
    QTest::newRow("sound off") << "0"
                               << "low.wav"
                               << "high.wav" << false << QStringList{};
    QTest::newRow("low first, then silent") << "1"
                                            << "low.wav"
                                            << "high.wav" << false << QStringList{"low.wav"};
    QTest::newRow("no low sound: high plays") << "1"
                                              << ""
                                              << "high.wav" << false << QStringList{"high.wav"};
    QTest::newRow("no sounds") << "1"
                               << ""
                               << "" << false << QStringList{};
    QTest::newRow("player busy") << "1"
                                 << "low.wav"
                                 << "high.wav" << true << QStringList{};
}

void TestMonitor::sounds() {
    QFETCH(QString, sound);
    QFETCH(QString, lowSound);
    QFETCH(QString, highSound);
    QFETCH(bool, alreadyPlaying);
    QFETCH(QStringList, played);
    test::RatesFixture f;
    writeSetting(f, "sound", sound);
    writeSetting(f, "lowSound", lowSound);
    writeSetting(f, "highsound", highSound); // as the settings window writes it
    const qint64 low = f.addCurrency(QStringLiteral("L"), QStringLiteral("0.00001"), 1);
    const qint64 high = f.addCurrency(QStringLiteral("H"), QStringLiteral("2000"), 2);
    const qint64 normal = f.addCurrency(QStringLiteral("N"), QStringLiteral("5"), 3);
    FakePlayer player;
    player.playing = alreadyPlaying;
    RateMonitor m(f.ctx);
    m.setPlayer(&player);
    QVERIFY(m.check());
    QCOMPARE(player.played, played);
    // Rows are marked whatever the sound did.
    QCOMPARE(state(f, low), QStringLiteral("L"));
    QCOMPARE(state(f, high), QStringLiteral("H"));
    QCOMPARE(state(f, normal), QStringLiteral("N"));
}

void TestMonitor::clearingStopsSound() {
    test::RatesFixture f;
    FakePlayer player;
    RateMonitor m(f.ctx);
    m.setPlayer(&player);
    m.setEnabled(true);
    player.playing = true;
    m.setEnabled(false);
    QVERIFY(!player.playing);
    QCOMPARE(player.stops, 1);
}

void TestMonitor::realPlayback() {
    test::RatesFixture f;
    const QString low = writeTone(f.env.dir() + QStringLiteral("/low.wav"), 4.0);
    const QString high = writeTone(f.env.dir() + QStringLiteral("/high.wav"), 4.0);
    QVERIFY(!low.isEmpty() && !high.isEmpty());
    writeSetting(f, "sound", QStringLiteral("1"));
    writeSetting(f, "lowSound", low);
    writeSetting(f, "highsound", high);
    writeSetting(f, "intervel", QStringLiteral("0"));
    const qint64 k = f.addCurrency(QStringLiteral("L"), QStringLiteral("0.00001"), 1);

    MediaAlarmPlayer player;
    QCOMPARE(player.mediaPlayer()->objectName(), QStringLiteral("mp"));
    RateMonitor m(f.ctx);
    m.setPlayer(&player);
    m.setEnabled(true);
    m.tick();
    QCOMPARE(state(f, k), QStringLiteral("L"));
    QCOMPARE(player.source(), low);
    QTRY_VERIFY_WITH_TIMEOUT(player.isPlaying(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(player.mediaPlayer()->position() > 0, 5000);
    QCOMPARE(player.mediaPlayer()->error(), QMediaPlayer::NoError);

    // While it plays, a new alarm starts nothing.
    f.db.exec(QStringLiteral("update tblcurr set colum1='5000' where currAuto=?"), {k});
    m.tick();
    QCOMPARE(state(f, k), QStringLiteral("H"));
    QCOMPARE(player.source(), low);

    // Clearing the box silences it.
    m.setEnabled(false);
    QTRY_COMPARE(player.mediaPlayer()->playbackState(), QMediaPlayer::StoppedState);

    // A missing file: nothing reported, nothing playing, the row still marked.
    writeSetting(f, "highsound", f.env.dir() + QStringLiteral("/missing.wav"));
    f.db.exec(QStringLiteral("update tblcurr set vstate='N'"));
    m.setEnabled(true);
    m.tick();
    QCOMPARE(state(f, k), QStringLiteral("H"));
    QTRY_VERIFY(!player.isPlaying());
    QVERIFY(f.env.recorder.entries.isEmpty());
    // ... and it does not hold the next alarm back.
    writeSetting(f, "highsound", high);
    m.tick();
    QCOMPARE(player.source(), high);
    QTRY_VERIFY_WITH_TIMEOUT(player.isPlaying(), 5000);
    m.setEnabled(false);
}

void TestMonitor::settingsWindowLoad() {
    test::RatesFixture f;
    MonitorSettingsWindow w(f.ctx, nullptr);
    QCOMPARE(w.windowTitle(), QStringLiteral("Auto Monitor Rate"));
    QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbClm"))->currentText(),
             QStringLiteral("Colum1"));
    QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbClm"))->count(), 5);
    QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtTime"))->text(), QStringLiteral("10"));
    QVERIFY(!w.findChild<QCheckBox*>(QStringLiteral("chkSnd"))->isChecked());

    writeSetting(f, "Column", QStringLiteral("Colum3"));
    writeSetting(f, "highSound", QStringLiteral("/s/high.wav"));
    writeSetting(f, "lowColor", QStringLiteral("255"));
    writeSetting(f, "intervel", QStringLiteral("25"));
    w.loadSettings();
    QCOMPARE(w.findChild<QComboBox*>(QStringLiteral("cmbClm"))->currentText(),
             QStringLiteral("Colum3"));
    QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtHigh"))->text(),
             QStringLiteral("/s/high.wav"));
    QCOMPARE(w.findChild<QLineEdit*>(QStringLiteral("txtTime"))->text(), QStringLiteral("25"));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblLow"))->palette().color(QPalette::Window),
             QColor(255, 0, 0));
}

void TestMonitor::settingsWindowSave_data() {
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<bool>("saved");
    QTest::newRow("sound with both files") << true << "/s/l.wav"
                                           << "/s/h.mp3" << true;
    QTest::newRow("sound with low only") << true << "/s/l.wav"
                                         << "" << false;
    QTest::newRow("sound with high only") << true << ""
                                          << "/s/h.wav" << false;
    QTest::newRow("no sound, no files") << false << ""
                                        << "" << true;
}

void TestMonitor::settingsWindowSave() {
    QFETCH(bool, sound);
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(bool, saved);
    test::RatesFixture f;
    RateMonitor monitor(f.ctx);
    MonitorSettingsWindow w(f.ctx, &monitor);
    w.show();
    w.findChild<QComboBox*>(QStringLiteral("cmbClm"))->setCurrentText(QStringLiteral("Colum4"));
    w.findChild<QLineEdit*>(QStringLiteral("txtTime"))->setText(QStringLiteral("30"));
    w.findChild<QCheckBox*>(QStringLiteral("chkSnd"))->setChecked(sound);
    w.findChild<QCheckBox*>(QStringLiteral("chkClr"))->setChecked(true);
    w.findChild<QLineEdit*>(QStringLiteral("txtLow"))->setText(low);
    w.findChild<QLineEdit*>(QStringLiteral("txtHigh"))->setText(high);
    f.dialogs.colors << QColor(0, 128, 255);
    QTest::mouseClick(w.findChild<QLabel*>(QStringLiteral("lblHigh")), Qt::LeftButton);
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QCOMPARE(f.env.recorder.last(),
             saved ? QString() : QStringLiteral("Select a sound for low and high value"));
    QCOMPARE(w.isVisible(), !saved);
    QCOMPARE(monitor.period(), saved ? 30 : 10);
    const MonitorSettings s = RateMonitor::readSettings(f.ctx);
    if (!saved) {
        QCOMPARE(s.column, QStringLiteral("Colum1"));
        QVERIFY(f.settings.read("Display", "Monitor", "intervel").isEmpty());
        return;
    }
    QCOMPARE(s.column, QStringLiteral("Colum4"));
    QCOMPARE(s.period, 30);
    QCOMPARE(s.sound, sound);
    QCOMPARE(s.lowSound, low);
    QCOMPARE(s.highSound, high); // written as "highsound", read as "highSound"
    QVERIFY(s.color);
    QCOMPARE(s.highColor, 0xff8000u); // red in the low byte
    QCOMPARE(s.lowColor, 0u);
}

void TestMonitor::settingsWindowBoxes() {
    test::RatesFixture f;
    MonitorSettingsWindow w(f.ctx, nullptr);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* low = w.findChild<QLineEdit*>(QStringLiteral("txtLow"));
    auto* time = w.findChild<QLineEdit*>(QStringLiteral("txtTime"));

    // Browse: a chosen file fills the box; cancelling leaves it.
    f.dialogs.files << QStringLiteral("/sounds/alarm low.wav");
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdLow")), Qt::LeftButton);
    QCOMPARE(low->text(), QStringLiteral("/sounds/alarm low.wav"));
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("cmdLow")), Qt::LeftButton);
    QCOMPARE(low->text(), QStringLiteral("/sounds/alarm low.wav"));

    // Delete or Backspace clears the whole path.
    low->setFocus();
    low->setCursorPosition(3);
    QTest::keyClick(low, Qt::Key_Backspace);
    QCOMPARE(low->text(), QString());
    auto* high = w.findChild<QLineEdit*>(QStringLiteral("txtHigh"));
    high->setText(QStringLiteral("/x.wav"));
    high->setFocus();
    QTest::keyClick(high, Qt::Key_Delete);
    QCOMPARE(high->text(), QString());

    // A cancelled colour dialog changes nothing.
    const QColor before =
        w.findChild<QLabel*>(QStringLiteral("lblLow"))->palette().color(QPalette::Window);
    QTest::mouseClick(w.findChild<QLabel*>(QStringLiteral("lblLow")), Qt::LeftButton);
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblLow"))->palette().color(QPalette::Window),
             before);

    // A period that is not a number goes back to 10 when left.
    time->setFocus();
    time->selectAll();
    QTest::keyClicks(time, "1'0; x");
    low->setFocus();
    QCOMPARE(time->text(), QStringLiteral("10"));
}

void TestMonitor::settingsWindowRefusesPeriod() {
    test::RatesFixture f;
    writeSetting(f, "intervel", QStringLiteral("25"));
    writeSetting(f, "Column", QStringLiteral("Colum2"));
    RateMonitor monitor(f.ctx);
    MonitorSettingsWindow w(f.ctx, &monitor);
    w.show();
    auto* time = w.findChild<QLineEdit*>(QStringLiteral("txtTime"));
    w.findChild<QComboBox*>(QStringLiteral("cmbClm"))->setCurrentText(QStringLiteral("Colum5"));
    time->setText(QStringLiteral("1e10"));
    QVERIFY(!w.save());
    QCOMPARE(f.env.recorder.texts(), QStringList{MonitorSettingsWindow::kBadPeriod});
    QVERIFY(w.isVisible());
    QCOMPARE(time->text(), QStringLiteral("1e10"));
    QCOMPARE(monitor.period(), 25);
    // Nothing at all is stored.
    QCOMPARE(f.settings.read("Display", "Monitor", "intervel"), QStringLiteral("25"));
    QCOMPARE(f.settings.read("Display", "Monitor", "Column"), QStringLiteral("Colum2"));

    time->setText(QStringLiteral(" 40 "));
    QVERIFY(w.save());
    QCOMPARE(monitor.period(), 40);
    QCOMPARE(f.settings.read("Display", "Monitor", "intervel"), QStringLiteral("40"));
}

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"
