#include "feeds/onlinerates.h"
#include "feeds/sheetfeed.h"
#include "media/alarmplayer.h"
#include "media/othersettingswindow.h"
#include "panel/controlpanel.h"
#include "rates/feedscheduler.h"
#include "rates/ratemonitor.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace quoteria;

namespace {
void type(QWidget* w, const char* name, const QString& text) {
    auto* box = w->findChild<QLineEdit*>(QLatin1String(name));
    box->clear();
    QTest::keyClicks(box, text);
}
QCheckBox* box(QWidget* w, const char* name) {
    return w->findChild<QCheckBox*>(QLatin1String(name));
}
} // namespace

class TestFeedSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refusalsKeepStoredSettings_data();
    void refusalsKeepStoredSettings();
    void panelAppliesFeedAtOnce();
};

void TestFeedSettings::refusalsKeepStoredSettings_data() {
    QTest::addColumn<bool>("video");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("message");
    QTest::newRow("HTML without a file") << false << "" << OtherSettingsWindow::kNoHtmlFile;
    QTest::newRow("both inputs") << true << "/srv/page.html" << OtherSettingsWindow::kBothInputs;
    QTest::newRow("both, no file: the file first")
        << true << "" << OtherSettingsWindow::kNoHtmlFile;
}

void TestFeedSettings::refusalsKeepStoredSettings() {
    QFETCH(bool, video);
    QFETCH(QString, page);
    test::AppFixture f;
    f.settings.set(settings::ExcelSource, QStringLiteral("/srv/old.xlsx"));
    OtherSettingsWindow w(f.ctx);
    w.show();
    QSignalSpy saved(&w, &OtherSettingsWindow::saved);
    box(&w, "chkEnable")->setChecked(video);
    box(&w, "chkHTML")->setChecked(true);
    type(&w, "txtHTML", page);
    type(&w, "txtPath", QStringLiteral("/srv/new.xlsx"));
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QTEST(f.env.recorder.last(), "message");
    QCOMPARE(f.env.recorder.entries.size(), 1);
    QCOMPARE(saved.count(), 0);
    QVERIFY(w.isVisible());
    QCOMPARE(f.settings.get(settings::ExcelSource), QStringLiteral("/srv/old.xlsx"));
    QVERIFY(!f.settings.get(settings::HtmlOn));
}

void TestFeedSettings::panelAppliesFeedAtOnce() {
    test::AppFixture f(true);
    f.ctx.session.userType = QStringLiteral("Admin");
    RateMonitor monitor{f.ctx};
    MediaAlarmPlayer mp;
    FeedScheduler feeds;
    OnlineRates online(f.ctx);
    ControlPanel panel(f.ctx, {monitor, mp, feeds, online});
    QTimer* timer2 = panel.panelTimer(QStringLiteral("Timer2"));
    QVERIFY(!timer2->isActive());

    panel.menuItem(QStringLiteral("inpvideo"))->trigger();
    auto* w = panel.findChild<OtherSettingsWindow*>(QStringLiteral("frmSettings"));
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->findChild<QLineEdit*>(QStringLiteral("txtInt"))->text(), QStringLiteral("60"));
    const QString book = f.env.dir() + QStringLiteral("/rates.xlsx");
    type(w, "txtPath", book);
    box(w, "chkAuto")->setChecked(true);
    // Live input without an HTML page saves normally; the numbers are corrected.
    box(w, "chkEnable")->setChecked(true);
    type(w, "txtInt", QStringLiteral("6000"));
    type(w, "txtFormat", QStringLiteral("2"));
    QVERIFY(w->save());
    QVERIFY(!w->isVisible());
    QCOMPARE(f.settings.get(settings::ExcelPeriod), 60);
    QCOMPARE(f.settings.get(settings::ValueFormat), QStringLiteral("0.000"));
    QCOMPARE(f.settings.get(settings::VideoInSource), -1);
    QVERIFY(timer2->isActive());
    QCOMPARE(panel.excelFeed().keep, 2);
    QCOMPARE(panel.sheetFeed()->path(), book);

    // One window, loaded again; switching the feed off stops Timer2 at once.
    panel.menuItem(QStringLiteral("inpvideo"))->trigger();
    QCOMPARE(panel.findChildren<OtherSettingsWindow*>().size(), 1);
    QVERIFY(box(w, "chkAuto")->isChecked());
    box(w, "chkAuto")->setChecked(false);
    QVERIFY(w->save());
    QVERIFY(!timer2->isActive());
}

QTEST_MAIN(TestFeedSettings)
#include "tst_feedsettings.moc"
