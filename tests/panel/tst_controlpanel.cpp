#include "board/boardview.h"
#include "board/previewwindow.h"
#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/demodata.h"
#include "data/helpers.h"
#include "data/settingsstore.h"
#include "design/headereditor.h"
#include "design/layoutdesigner.h"
#include "design/themeeditor.h"
#include "design/themelistwindow.h"
#include "fakeboard.h"
#include "panelservices.h"
#include "gui/unsavedwork.h"
#include "media/alarmplayer.h"
#include "media/medialistwindow.h"
#include "panel/controlpanel.h"
#include "feeds/onlinerates.h"
#include "rates/feedscheduler.h"
#include "rates/ratemonitor.h"
#include "testsupport.h"
#include "users/userlistwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlError>
#include <QTableWidget>
#include <QtTest>

using namespace quoteria;

namespace {

const QString kDisp = QStringLiteral("Disp");
const QString kTheme = QStringLiteral("theme");

// A demo database, a private settings folder and a context; the demo theme is
// chosen unless the test says otherwise.
struct Fixture : test::AppFixture, test::PanelServiceSet {
    test::FakeBoards boards;
    explicit Fixture(bool chooseDemo = true) : AppFixture(true), PanelServiceSet(ctx) {
        QVERIFY(ready);
        ctx.session.userType = QStringLiteral("Admin");
        if (chooseDemo)
            settings.write(kDisp, kTheme, QStringLiteral("name"), demoThemeName());
    }
    std::unique_ptr<ControlPanel> panel() {
        auto p = std::make_unique<ControlPanel>(ctx, services());
        p->setBoardFactory(boards.factory());
        return p;
    }
    qint64 addTheme(const QString& name, bool layout, bool header) {
        const qint64 key =
            db.insert(QStringLiteral("tbltheme"), {{QStringLiteral("themename"), name}});
        if (layout)
            db.insert(QStringLiteral("tblpos"), {{QStringLiteral("themeauto"), key}});
        if (header)
            db.insert(QStringLiteral("tblheader"), {{QStringLiteral("themeauto"), key}});
        return key;
    }
};

template <typename T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

QString caption(ControlPanel& f, const char* item) {
    return f.menuItem(QLatin1String(item))->text();
}

QColor background(ControlPanel& f) {
    return f.centralWidget()->palette().color(QPalette::Window);
}

void leave(QWidget* box) {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(box, &out);
}

void trigger(ControlPanel& f, const char* item) {
    f.menuItem(QLatin1String(item))->trigger();
}

// Every item opens its window: enabled from the start.
const char* const kWiredItems[] = {"entry", "scroll",   "addscroll", "pos",    "clock",    "theme",
                                   "prv",   "inpvideo", "vidLst",    "online", "curUpdate",
                                   "history"};

} // namespace

class TestControlPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freshMachineDefaults();
    void menus_data();
    void menus();
    void storedSettingsLoaded();
    void storedBoxesOutOfRange_data();
    void storedBoxesOutOfRange();
    void storedPosition_data();
    void storedPosition();
    void intervalBox_data();
    void intervalBox();
    void ratioBox_data();
    void ratioBox();
    void combosStoreOnClick();
    void unwritableSettingsReported();
    void rights_data();
    void rights();
    void userListOpensOnce();
    void openersEnableTheirItems();
    void positionOpensDesignerForCurrentTheme_data();
    void positionOpensDesignerForCurrentTheme();
    void previewChecks_data();
    void previewChecks();
    void themeListOpensSharedWindows();
    void startRefused_data();
    void startRefused();
    void startAndStop_data();
    void startAndStop();
    void stopDespiteThemeLosingLayout_data();
    void stopDespiteThemeLosingLayout();
    void pauseAndResume_data();
    void pauseAndResume();
    void tickerItem_data();
    void tickerItem();
    void newsBox();
    void ctrlDOnBoardStops();
    void shortcutsOnPanel();
    void exitWhileRunning();
    void exitConfirmed_data();
    void exitConfirmed();
    void closeStoresPosition();
    void closeWhileRunningRefused();
    void boardWindowClosedStops();
    void mediaRefreshReachesTheBoard();
    void unsavedWorkSettledFirst_data();
    void unsavedWorkSettledFirst();
    void lastUpdated();
    void monitorBoxDrivesTimer4();
    void feedTimersAtLoad_data();
    void feedTimersAtLoad();
};

void TestControlPanel::freshMachineDefaults() {
    Fixture fx(false);
    auto p = fx.panel();
    QCOMPARE(p->objectName(), QStringLiteral("Form1"));
    QCOMPARE(p->windowTitle(), QStringLiteral("Quoteria"));
    QCOMPARE(child<QLabel>(p.get(), "lblStatus")->text(), QStringLiteral("Stopped"));
    QCOMPARE(child<QComboBox>(p.get(), "cmbTheme")->currentText(), QString());
    QCOMPARE(child<QComboBox>(p.get(), "cmbTheme")->count(), 1);
    QCOMPARE(child<QComboBox>(p.get(), "cmbType")->currentText(), QStringLiteral("Scroll"));
    QCOMPARE(child<QComboBox>(p.get(), "cmbDisplay")->currentText(), QStringLiteral("Single"));
    QCOMPARE(child<QLineEdit>(p.get(), "txtInt")->text(), QStringLiteral("3"));
    QCOMPARE(child<QLineEdit>(p.get(), "txtMult")->text(), QStringLiteral("2"));
    QCOMPARE(child<QCheckBox>(p.get(), "chkStart")->text(), QStringLiteral("Start Scroll News"));
    QCOMPARE(child<QCheckBox>(p.get(), "chkMonitor")->text(), QStringLiteral("Start Monitor"));
    QVERIFY(!child<QCheckBox>(p.get(), "chkStart")->isChecked());
    QCOMPARE(p->pos(), QPoint(0, 0));
    QCOMPARE(p->monitorPeriod(), 10);
    QCOMPARE(fx.ctx.session.currentThemeKey, 0);
    QCOMPARE(p->boardChoices().pageIntervalMs, 3000);
    QCOMPARE(p->boardChoices().motion, QStringLiteral("Scroll"));
    QVERIFY(!p->board());
    QVERIFY(!p->menuItem(QStringLiteral("Pause"))->isEnabled());
    QVERIFY(p->panelTimer(QStringLiteral("Timer5"))->isActive());
    QCOMPARE(p->panelTimer(QStringLiteral("Timer5"))->interval(), 10000);
    QVERIFY(!p->panelTimer(QStringLiteral("Timer4"))->isActive());
}

void TestControlPanel::menus_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("Control")
        << "file" << QStringList{"display", "Pause", "prv",   "scrollstart", "clock",    "scroll",
                                 "theme",   "pos",   "entry", "addscroll",   "inpvideo", "monitor",
                                 "history"}
        << QStringList{"Start Display",   "Pause Display",   "Preview",        "Start Scroll",
                       "Select Clock",    "Scroll Settings", "Template List",  "Position",
                       "Update Currency", "Add Scroll News", "Live  Settings", "Currency Monitor",
                       "Rate History"};
    QTest::newRow("Online") << "onl" << QStringList{"online",   "curUpdate", "vidLst",
                                                    "userlist", "deloped",   "exit"}
                            << QStringList{"Online Settings", "Currency Update", "Manage Media",
                                           "User List",       "Developed By",    "Exit"};
}

void TestControlPanel::menus() {
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QFETCH(QStringList, captions);
    Fixture fx;
    auto p = fx.panel();
    QMenu* m = p->menuBar()->findChild<QMenu*>(menu);
    QVERIFY(m);
    QCOMPARE(m->title(),
             menu == QLatin1String("file") ? QStringLiteral("Control") : QStringLiteral("Online "));
    QStringList names, texts;
    for (QAction* a : m->actions())
        if (!a->isSeparator()) {
            names << a->objectName();
            texts << a->text();
        }
    QCOMPARE(names, items);
    QCOMPARE(texts, captions);
    QCOMPARE(p->menuItem(QStringLiteral("display"))->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+D")));
    QCOMPARE(p->menuItem(QStringLiteral("Pause"))->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+P")));
    QCOMPARE(p->menuItem(QStringLiteral("scrollstart"))->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+S")));
}

void TestControlPanel::storedSettingsLoaded() {
    Fixture fx;
    fx.settings.write(kDisp, kTheme, QStringLiteral("mult"), QStringLiteral("7"));
    fx.settings.write(kDisp, kTheme, QStringLiteral("int"), QStringLiteral("10"));
    fx.settings.write(kDisp, kTheme, QStringLiteral("scroll"), 1);
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("style"), QStringLiteral("type"),
                      QStringLiteral("Page"));
    fx.settings.write(QStringLiteral("display"), QStringLiteral("sreen"), QStringLiteral("type"),
                      QStringLiteral("Dual"));
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"),
                      QStringLiteral("intervel"), 25);
    auto p = fx.panel();
    QCOMPARE(child<QComboBox>(p.get(), "cmbTheme")->currentText(), demoThemeName());
    QCOMPARE(child<QComboBox>(p.get(), "cmbType")->currentText(), QStringLiteral("Page"));
    QCOMPARE(child<QComboBox>(p.get(), "cmbDisplay")->currentText(), QStringLiteral("Dual"));
    QCOMPARE(child<QLineEdit>(p.get(), "txtInt")->text(), QStringLiteral("10"));
    QCOMPARE(child<QLineEdit>(p.get(), "txtMult")->text(), QStringLiteral("7"));
    QVERIFY(child<QCheckBox>(p.get(), "chkStart")->isChecked());
    QCOMPARE(p->monitorPeriod(), 25);
    QCOMPARE(p->boardChoices().pageIntervalMs, 10000);
    QCOMPARE(p->boardChoices().motion, QStringLiteral("Page"));
    QCOMPARE(fx.ctx.session.currentThemeKey, themeKeyOf(fx.db, demoThemeName()));
    QVERIFY(fx.ctx.session.currentThemeKey > 0);
}

void TestControlPanel::storedBoxesOutOfRange_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("zero") << "0";
    QTest::newRow("negative") << "-2";
    QTest::newRow("too large") << "11";
    QTest::newRow("text") << "abc";
}

void TestControlPanel::storedBoxesOutOfRange() {
    QFETCH(QString, stored);
    Fixture fx;
    fx.settings.write(kDisp, kTheme, QStringLiteral("int"), stored);
    fx.settings.write(kDisp, kTheme, QStringLiteral("mult"),
                      stored == QLatin1String("11") ? stored : QStringLiteral("x"));
    auto p = fx.panel();
    QCOMPARE(child<QLineEdit>(p.get(), "txtInt")->text(), QStringLiteral("3"));
    QCOMPARE(p->boardChoices().pageIntervalMs, 3000);
    QCOMPARE(child<QLineEdit>(p.get(), "txtMult")->text(), QStringLiteral("2"));
}

void TestControlPanel::storedPosition_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QPoint>("pos");
    QTest::newRow("minimised") << "-32000"
                               << "-32000" << QPoint(0, 0);
    QTest::newRow("left minimised") << "-32000"
                                    << "750" << QPoint(0, 50);
    QTest::newRow("placed") << "1500"
                            << "3000" << QPoint(100, 200);
}

void TestControlPanel::storedPosition() {
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QPoint, pos);
    Fixture fx;
    fx.settings.write(QStringLiteral("display"), QStringLiteral("mainsec"), QStringLiteral("left"),
                      left);
    fx.settings.write(QStringLiteral("display"), QStringLiteral("mainsec"), QStringLiteral("top"),
                      top);
    auto p = fx.panel();
    QCOMPARE(p->pos(), pos);
}

void TestControlPanel::intervalBox_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("interval");
    QTest::newRow("ten") << "10"
                         << "10"
                         << "10" << 10000;
    QTest::newRow("eleven") << "11"
                            << "3"
                            << "" << 3000;
    QTest::newRow("one") << "1"
                         << "1"
                         << "1" << 1000;
    QTest::newRow("fraction") << "2.5"
                              << "2.5"
                              << "2.5" << 2500;
    QTest::newRow("zero") << "0"
                          << "3"
                          << "" << 3000;
    QTest::newRow("negative") << "-4"
                              << "3"
                              << "" << 3000;
    QTest::newRow("below one second") << "0.5"
                                      << "3"
                                      << "" << 3000;
    QTest::newRow("text") << "abc"
                          << "3"
                          << "" << 3000;
    QTest::newRow("number then text") << "5x"
                                      << "3"
                                      << "" << 3000;
    QTest::newRow("empty") << ""
                           << "3"
                           << "" << 3000;
    QTest::newRow("sql") << "1; drop table tbltheme"
                         << "3"
                         << "" << 3000;
}

void TestControlPanel::intervalBox() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    QFETCH(int, interval);
    Fixture fx;
    auto p = fx.panel();
    auto* box = child<QLineEdit>(p.get(), "txtInt");
    box->clear();
    QTest::keyClicks(box, typed);
    leave(box);
    QCOMPARE(box->text(), shown);
    QCOMPARE(fx.settings.read(kDisp, kTheme, QStringLiteral("int")), stored);
    QCOMPARE(p->boardChoices().pageIntervalMs, interval);
    QVERIFY(fx.env.recorder.entries.isEmpty());
}

void TestControlPanel::ratioBox_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("ten") << "10"
                         << "10"
                         << "10";
    QTest::newRow("eleven") << "11"
                            << "2"
                            << "";
    QTest::newRow("five") << "5"
                          << "5"
                          << "5";
    QTest::newRow("text") << "x'--"
                          << "2"
                          << "";
    QTest::newRow("empty") << ""
                           << "2"
                           << "";
}

void TestControlPanel::ratioBox() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    Fixture fx;
    auto p = fx.panel();
    auto* box = child<QLineEdit>(p.get(), "txtMult");
    box->clear();
    QTest::keyClicks(box, typed);
    leave(box);
    QCOMPARE(box->text(), shown);
    QCOMPARE(fx.settings.read(kDisp, kTheme, QStringLiteral("mult")), stored);
}

void TestControlPanel::combosStoreOnClick() {
    Fixture fx(false);
    auto p = fx.panel();
    QCOMPARE(child<QComboBox>(p.get(), "cmbTheme")->count(), 1);
    const qint64 other = fx.addTheme(QStringLiteral("Second"), true, true);
    // A theme saved elsewhere shows up in the box.
    emit fx.events.themesChanged();
    auto* theme = child<QComboBox>(p.get(), "cmbTheme");
    QCOMPARE(theme->count(), 2);
    theme->setCurrentIndex(0);
    QTest::keyClick(theme, Qt::Key_Down);
    QCOMPARE(fx.settings.read(kDisp, kTheme, QStringLiteral("name")), QStringLiteral("Second"));
    QCOMPARE(fx.ctx.session.currentThemeKey, other);

    QTest::keyClick(child<QComboBox>(p.get(), "cmbType"), Qt::Key_Down);
    QCOMPARE(fx.settings.read(QStringLiteral("Display"), QStringLiteral("style"),
                              QStringLiteral("type")),
             QStringLiteral("Page"));
    QCOMPARE(p->boardChoices().motion, QStringLiteral("Page"));

    QTest::keyClick(child<QComboBox>(p.get(), "cmbDisplay"), Qt::Key_Down);
    QCOMPARE(fx.settings.read(QStringLiteral("display"), QStringLiteral("sreen"),
                              QStringLiteral("type")),
             QStringLiteral("Dual"));
}

void TestControlPanel::unwritableSettingsReported() {
    Fixture fx;
    auto p = fx.panel();
    // A folder where the settings file should be: every write fails.
    const QString file = fx.settings.fileFor(kDisp);
    QFile::remove(file);
    QVERIFY(QDir().mkpath(file));
    auto* box = child<QLineEdit>(p.get(), "txtInt");
    box->setText(QStringLiteral("7"));
    leave(box);
    QCOMPARE(fx.env.recorder.entries.size(), 1);
    QVERIFY(fx.env.recorder.last().contains(file));
    QCOMPARE(box->text(), QStringLiteral("7"));
    QCOMPARE(p->boardChoices().pageIntervalMs, 7000);
}

void TestControlPanel::rights_data() {
    QTest::addColumn<QString>("userType");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("refusal");
    for (const char* type : {"User", "admin", "ADMIN"}) {
        const QString t = QLatin1String(type);
        QTest::addRow("%s theme", type) << t << "theme"
                                        << "Sorry no access permission";
        QTest::addRow("%s online", type) << t << "online"
                                         << "Sorry no access permission";
        QTest::addRow("%s rate history", type) << t << "history"
                                               << "Sorry no access permission";
        QTest::addRow("%s entry", type) << t << "entry"
                                        << "Permission Denied";
        QTest::addRow("%s userlist", type) << t << "userlist"
                                           << "Permission Denied ";
    }
    QTest::newRow("User scroll settings") << "User"
                                          << "scroll"
                                          << "";
    QTest::newRow("User media") << "User"
                                << "vidLst"
                                << "";
    QTest::newRow("Admin theme") << "Admin"
                                 << "theme"
                                 << "";
    QTest::newRow("Admin entry") << "Admin"
                                 << "entry"
                                 << "";
    QTest::newRow("Admin online") << "Admin"
                                  << "online"
                                  << "";
    QTest::newRow("Admin rate history") << "Admin"
                                        << "history"
                                        << "";
}

void TestControlPanel::rights() {
    QFETCH(QString, userType);
    QFETCH(QString, item);
    QFETCH(QString, refusal);
    Fixture fx;
    fx.ctx.session.userType = userType;
    auto p = fx.panel();
    int opened = 0;
    if (item != QLatin1String("userlist"))
        p->setOpener(item, [&] { ++opened; });
    p->menuItem(item)->trigger();
    const bool userList = p->findChild<UserListWindow*>() != nullptr;
    if (refusal.isEmpty()) {
        QVERIFY(fx.env.recorder.entries.isEmpty());
        QCOMPARE(opened, 1);
    } else {
        QCOMPARE(fx.env.recorder.texts(), QStringList{refusal});
        QCOMPARE(opened, 0);
        QVERIFY(!userList);
    }
}

void TestControlPanel::userListOpensOnce() {
    Fixture fx;
    auto p = fx.panel();
    trigger(*p, "userlist");
    trigger(*p, "userlist");
    const auto lists = p->findChildren<UserListWindow*>();
    QCOMPARE(lists.size(), 1);
    QVERIFY(lists.first()->isVisible());
    QVERIFY(lists.first()->isWindow());
    lists.first()->close();
    trigger(*p, "userlist");
    QCOMPARE(p->findChildren<UserListWindow*>().size(), 1);
    QVERIFY(lists.first()->isVisible());

    trigger(*p, "monitor");
    trigger(*p, "monitor");
    QCOMPARE(p->findChildren<QWidget*>(QStringLiteral("frmMonitor")).size(), 1);
    QVERIFY(p->findChild<QWidget*>(QStringLiteral("frmMonitor"))->isVisible());

    trigger(*p, "deloped");
    trigger(*p, "deloped");
    QCOMPARE(p->findChildren<QWidget*>(QStringLiteral("frmAbout")).size(), 1);

    // Both news items lead to the one news list.
    trigger(*p, "scroll");
    trigger(*p, "addscroll");
    QCOMPARE(p->findChildren<QWidget*>(QStringLiteral("frmSheduler")).size(), 1);
    QVERIFY(p->findChild<QWidget*>(QStringLiteral("frmSheduler"))->isVisible());

    // The preview opens once, with the panel's theme and news box.
    child<QCheckBox>(p.get(), "chkStart")->setChecked(true);
    trigger(*p, "prv");
    trigger(*p, "prv");
    const auto previews = p->findChildren<PreviewWindow*>(QStringLiteral("frmPrv"));
    QCOMPARE(previews.size(), 1);
    QCOMPARE(previews.first()->themeKey(), themeKeyOf(fx.db, demoThemeName()));
    QVERIFY(previews.first()->view()->leftTrainRunning());

    fx.ctx.session.userType = QStringLiteral("Admin");
    trigger(*p, "entry");
    trigger(*p, "entry");
    QCOMPARE(p->findChildren<QWidget*>(QStringLiteral("frmCurLst")).size(), 1);
    QVERIFY(p->findChild<QWidget*>(QStringLiteral("frmCurLst"))->isWindow());

    // The clock item uses the theme editor's picker: one list, one editor, one picker.
    trigger(*p, "clock");
    trigger(*p, "theme");
    trigger(*p, "theme");
    trigger(*p, "clock");
    for (const char* name : {"frmThLst", "frmTheme", "frmclklst"})
        QCOMPARE(p->findChildren<QWidget*>(QLatin1String(name)).size(), 1);
    QVERIFY(p->findChild<QWidget*>(QStringLiteral("frmThLst"))->isVisible());
    QVERIFY(p->findChild<QWidget*>(QStringLiteral("frmclklst"))->isVisible());
    QVERIFY(!p->findChild<QWidget*>(QStringLiteral("frmTheme"))->isVisible());

    // "Manage Media" and the theme editor's "Video List" share one media list.
    trigger(*p, "vidLst");
    child<QPushButton>(p->themeList()->editor(), "cmdVideoList")->click();
    QCOMPARE(p->findChildren<QWidget*>(QStringLiteral("frmVideoLst")).size(), 1);
    QVERIFY(p->findChild<QWidget*>(QStringLiteral("frmVideoLst"))->isVisible());
}

void TestControlPanel::openersEnableTheirItems() {
    Fixture fx;
    auto p = fx.panel();
    for (const char* name : kWiredItems)
        QVERIFY2(p->menuItem(QLatin1String(name))->isEnabled(), name);
    // An opener set later replaces the item's window.
    QStringList opened;
    for (const char* name : kWiredItems)
        p->setOpener(QLatin1String(name), [&opened, name] { opened << QLatin1String(name); });
    for (const char* name : kWiredItems)
        trigger(*p, name);
    QCOMPARE(opened.size(), int(std::size(kWiredItems)));
}

void TestControlPanel::positionOpensDesignerForCurrentTheme_data() {
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<QSize>("surface");
    QTest::newRow("theme designed for 1920x1080") << true << QSize(960, 540);
    // No theme: the last design resolution, and nothing to save into.
    QTest::newRow("no theme") << false << QSize(683, 384);
}

void TestControlPanel::positionOpensDesignerForCurrentTheme() {
    QFETCH(bool, chosen);
    QFETCH(QSize, surface);
    Fixture fx(false);
    const qint64 key = fx.addTheme(QStringLiteral("Wide"), false, false);
    fx.db.update(QStringLiteral("tbltheme"), QStringLiteral("themeauto"), key,
                 {{QStringLiteral("SWidth"), 1920}, {QStringLiteral("SHeight"), 1080}});
    if (chosen)
        fx.settings.write(kDisp, kTheme, QStringLiteral("name"), QStringLiteral("Wide"));
    auto p = fx.panel();
    trigger(*p, "pos");
    trigger(*p, "pos");
    QCOMPARE(p->findChildren<LayoutDesigner*>().size(), 1);
    auto* designer = p->findChild<LayoutDesigner*>(QStringLiteral("frmPos"));
    QCOMPARE(designer->themeKey(), chosen ? key : 0);
    QCOMPARE(designer->size(), surface);
}

void TestControlPanel::previewChecks_data() {
    QTest::addColumn<QString>("theme");
    QTest::addColumn<int>("speed");
    QTest::addColumn<QString>("message");
    QTest::newRow("demo") << "Demo" << 35 << "";
    QTest::newRow("demo default speed") << "Demo" << -1 << "";
    QTest::newRow("no theme") << "" << 30 << "Please Define the position and try again";
    QTest::newRow("no layout") << "Bare" << 30 << "Please Define the position and try again";
    QTest::newRow("no header") << "NoHeader" << 30 << "Please Define the header details ";
}

void TestControlPanel::previewChecks() {
    QFETCH(QString, theme);
    QFETCH(int, speed);
    QFETCH(QString, message);
    Fixture fx;
    fx.addTheme(QStringLiteral("Bare"), false, false);
    fx.addTheme(QStringLiteral("NoHeader"), true, false);
    const QString name = theme == QLatin1String("Demo") ? demoThemeName() : theme;
    fx.settings.write(kDisp, kTheme, QStringLiteral("name"), name);
    if (speed > 0)
        fx.settings.write(QStringLiteral("display"), QStringLiteral("scroll"),
                          QStringLiteral("speed"), speed);
    auto p = fx.panel();
    int opened = 0;
    p->setOpener(QStringLiteral("prv"), [&] { ++opened; });
    trigger(*p, "prv");
    QCOMPARE(fx.ctx.session.previewThemeKey, themeKeyOf(fx.db, name));
    QCOMPARE(p->previewTickerSpeed(), speed == 35 ? 18 : 15);
    if (message.isEmpty()) {
        QCOMPARE(opened, 1);
        QVERIFY(fx.env.recorder.entries.isEmpty());
    } else {
        QCOMPARE(opened, 0);
        QCOMPARE(fx.env.recorder.texts(), QStringList{message});
    }
    // The panel's own state is not touched by the preview.
    QCOMPARE(caption(*p, "display"), QStringLiteral("Start Display"));
    QCOMPARE(fx.boards.made, 0);
}

// The list's Preview, Position and Header reach the same single windows as the
// panel's own items.
void TestControlPanel::themeListOpensSharedWindows() {
    Fixture fx;
    const qint64 key = themeKeyOf(fx.db, demoThemeName());
    fx.settings.write(kDisp, kTheme, QStringLiteral("name"), demoThemeName());
    auto p = fx.panel();
    trigger(*p, "theme");
    auto* list = p->findChild<ThemeListWindow*>(QStringLiteral("frmThLst"));
    QVERIFY(list && list->isVisible());
    auto* grid = list->findChild<QTableWidget*>(QStringLiteral("FG"));
    QCOMPARE(grid->rowCount(), 1);
    grid->setCurrentCell(0, 1);
    list->preview();
    trigger(*p, "prv");
    const auto previews = p->findChildren<PreviewWindow*>();
    QCOMPARE(previews.size(), 1);
    QCOMPARE(fx.ctx.session.previewThemeKey, key);

    list->editSelected();
    ThemeEditor* editor = list->editor();
    editor->findChild<QPushButton*>(QStringLiteral("cmdPosition"))->click();
    trigger(*p, "pos");
    QCOMPARE(p->findChildren<LayoutDesigner*>().size(), 1);
    editor->findChild<QPushButton*>(QStringLiteral("cmdHeader"))->click();
    auto* header = editor->findChild<HeaderEditor*>(QStringLiteral("frmHeader"));
    QVERIFY(header && header->isVisible());
    QVERIFY(fx.env.recorder.entries.isEmpty());
}

void TestControlPanel::startRefused_data() {
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("message");
    QTest::newRow("no theme chosen") << ""
                                     << "Please Define the position and try again";
    QTest::newRow("unknown theme") << "Gone"
                                   << "Please Define the position and try again";
    QTest::newRow("no layout") << "Bare"
                               << "Please Define the position and try again";
    QTest::newRow("no header") << "NoHeader"
                               << "Please Define the header details ";
    QTest::newRow("quoted name") << "x' or '1'='1"
                                 << "Please Define the position and try again";
}

void TestControlPanel::startRefused() {
    QFETCH(QString, theme);
    QFETCH(QString, message);
    Fixture fx;
    fx.addTheme(QStringLiteral("Bare"), false, false);
    fx.addTheme(QStringLiteral("NoHeader"), true, false);
    fx.settings.write(kDisp, kTheme, QStringLiteral("name"), theme);
    auto p = fx.panel();
    const QColor before = background(*p);
    trigger(*p, "display");
    QCOMPARE(fx.env.recorder.texts(), QStringList{message});
    QCOMPARE(fx.boards.made, 0);
    QCOMPARE(caption(*p, "display"), QStringLiteral("Start Display"));
    QCOMPARE(p->windowTitle(), QStringLiteral("Quoteria"));
    QCOMPARE(child<QLabel>(p.get(), "lblStatus")->text(), QStringLiteral("Stopped"));
    QCOMPARE(background(*p), before);
    QVERIFY(!p->menuItem(QStringLiteral("Pause"))->isEnabled());
    QVERIFY(!p->board());
    QCOMPARE(fx.ctx.session.currentThemeKey, themeKeyOf(fx.db, theme));
}

void TestControlPanel::startAndStop_data() {
    QTest::addColumn<QString>("motion");
    QTest::addColumn<bool>("news");
    QTest::newRow("scroll with news") << "Scroll" << true;
    QTest::newRow("scroll without news") << "Scroll" << false;
    QTest::newRow("page with news") << "Page" << true;
    QTest::newRow("page without news") << "Page" << false;
}

void TestControlPanel::mediaRefreshReachesTheBoard() {
    Fixture fx;
    fx.ctx.dataFolder = fx.env.dir(); // where the album is written
    auto p = fx.panel();
    // The list opened before the board: the refresh goes to the board of the moment.
    MediaListWindow* list = p->showMediaList();
    list->refresh();
    trigger(*p, "display");
    QVERIFY(fx.boards.last);
    list->refresh();
    QCOMPARE(fx.boards.last->galleryReloads, 1);
    trigger(*p, "display");
    trigger(*p, "display");
    QCOMPARE(fx.boards.made, 2);
    list->refresh();
    QCOMPARE(fx.boards.last->galleryReloads, 1);
    QVERIFY(fx.env.recorder.entries.isEmpty());
}

void TestControlPanel::startAndStop() {
    QFETCH(QString, motion);
    QFETCH(bool, news);
    Fixture fx;
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("style"), QStringLiteral("type"),
                      motion);
    fx.settings.write(kDisp, kTheme, QStringLiteral("scroll"), news ? 1 : 0);
    fx.settings.write(QStringLiteral("display"), QStringLiteral("scroll"), QStringLiteral("speed"),
                      40);
    auto p = fx.panel();
    // The session's theme key is taken afresh at start.
    fx.ctx.session.currentThemeKey = 0;

    trigger(*p, "display");
    QVERIFY(fx.env.recorder.entries.isEmpty());
    QCOMPARE(fx.boards.made, 1);
    test::FakeBoard* b = fx.boards.last;
    QVERIFY(b);
    QCOMPARE(p->board(), b);
    QCOMPARE(b->choices.themeKey, themeKeyOf(fx.db, demoThemeName()));
    QCOMPARE(b->choices.motion, motion);
    QCOMPARE(b->choices.tickerSpeed, 40);
    QVERIFY(b->win.isVisible());
    QVERIFY(p->board());
    QCOMPARE(p->windowTitle(), QStringLiteral("Running"));
    QCOMPARE(child<QLabel>(p.get(), "lblStatus")->text(), QStringLiteral("Running"));
    QCOMPARE(background(*p), QColor(255, 0, 0));
    QCOMPARE(caption(*p, "display"), QStringLiteral("Stop Display"));
    QVERIFY(p->menuItem(QStringLiteral("Pause"))->isEnabled());
    QCOMPARE(caption(*p, "Pause"), QStringLiteral("Pause Display"));
    QVERIFY(!child<QComboBox>(p.get(), "cmbTheme")->isEnabled());
    QVERIFY(!child<QComboBox>(p.get(), "cmbType")->isEnabled());
    QVERIFY(p->isRunning());
    QCOMPARE(b->snews, news ? 1 : 0);
    QCOMPARE(b->area->isVisibleTo(&b->win), news);
    QCOMPARE(b->isRunning(BoardView::Timer::LeftTrain), news);
    QVERIFY(!b->isRunning(BoardView::Timer::RightTrain));

    trigger(*p, "display");
    QVERIFY(fx.env.recorder.entries.isEmpty());
    QVERIFY(!p->board());
    QVERIFY(!fx.boards.last);
    QVERIFY(!p->board());
    QCOMPARE(p->windowTitle(), QStringLiteral("Stopped"));
    QCOMPARE(child<QLabel>(p.get(), "lblStatus")->text(), QStringLiteral("Stopped"));
    QCOMPARE(background(*p), QColor(0, 128, 192));
    QCOMPARE(caption(*p, "display"), QStringLiteral("Start Display"));
    QVERIFY(!p->menuItem(QStringLiteral("Pause"))->isEnabled());
    QVERIFY(child<QComboBox>(p.get(), "cmbTheme")->isEnabled());
    QVERIFY(child<QComboBox>(p.get(), "cmbType")->isEnabled());

    // And again: a fresh board each time.
    trigger(*p, "display");
    QCOMPARE(fx.boards.made, 2);
    QVERIFY(p->isRunning());
}

void TestControlPanel::stopDespiteThemeLosingLayout_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("message");
    QTest::newRow("layout") << "tblpos"
                            << "Please Define the position and try again";
    QTest::newRow("header") << "tblheader"
                            << "Please Define the header details ";
}

void TestControlPanel::stopDespiteThemeLosingLayout() {
    QFETCH(QString, table);
    QFETCH(QString, message);
    Fixture fx;
    auto p = fx.panel();
    trigger(*p, "display");
    QVERIFY(p->isRunning());
    QVERIFY(
        fx.db.removeWhere(table, QStringLiteral("themeauto"), themeKeyOf(fx.db, demoThemeName())));
    trigger(*p, "display");
    QVERIFY(fx.env.recorder.entries.isEmpty());
    QVERIFY(!p->isRunning());
    QVERIFY(!fx.boards.last);
    QVERIFY(!p->board());
    QCOMPARE(child<QLabel>(p.get(), "lblStatus")->text(), QStringLiteral("Stopped"));
    // Starting again is what the checks are for.
    trigger(*p, "display");
    QCOMPARE(fx.env.recorder.texts(), QStringList{message});
    QCOMPARE(fx.boards.made, 1);
    QVERIFY(!p->isRunning());
}

void TestControlPanel::pauseAndResume_data() {
    QTest::addColumn<QString>("motion");
    QTest::addColumn<int>("pausedTimer");
    QTest::addColumn<int>("untouchedTimer");
    QTest::newRow("scroll") << "Scroll" << int(BoardView::Timer::TableScroll)
                            << int(BoardView::Timer::Rows);
    QTest::newRow("page") << "Page" << int(BoardView::Timer::Rows)
                          << int(BoardView::Timer::TableScroll);
}

void TestControlPanel::pauseAndResume() {
    QFETCH(QString, motion);
    QFETCH(int, pausedTimer);
    QFETCH(int, untouchedTimer);
    const auto paused = BoardView::Timer(pausedTimer);
    const auto untouched = BoardView::Timer(untouchedTimer);
    Fixture fx;
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("style"), QStringLiteral("type"),
                      motion);
    auto p = fx.panel();
    trigger(*p, "display");
    test::FakeBoard* b = fx.boards.last;
    QVERIFY(b->isRunning(paused));

    trigger(*p, "Pause");
    QVERIFY(!b->isRunning(paused));
    QVERIFY(b->isRunning(untouched));
    QCOMPARE(caption(*p, "Pause"), QStringLiteral("Resume Pause"));
    QCOMPARE(p->windowTitle(), QStringLiteral("Running"));
    QCOMPARE(background(*p), QColor(255, 0, 0));

    trigger(*p, "Pause");
    QVERIFY(b->isRunning(paused));
    QCOMPARE(caption(*p, "Pause"), QStringLiteral("Pause Display"));

    // Stopped while paused: the next start runs unpaused with the caption reset.
    trigger(*p, "Pause");
    trigger(*p, "display");
    QVERIFY(!p->menuItem(QStringLiteral("Pause"))->isEnabled());
    trigger(*p, "display");
    QCOMPARE(caption(*p, "Pause"), QStringLiteral("Pause Display"));
    QVERIFY(fx.boards.last->isRunning(paused));
}

void TestControlPanel::tickerItem_data() {
    QTest::addColumn<bool>("newsAtStart");
    QTest::addColumn<bool>("rightTrain");
    QTest::newRow("news off, left train") << false << false;
    QTest::newRow("news off, right train") << false << true;
    QTest::newRow("news on, left train") << true << false;
    QTest::newRow("news on, right train") << true << true;
}

void TestControlPanel::tickerItem() {
    QFETCH(bool, newsAtStart);
    QFETCH(bool, rightTrain);
    Fixture fx;
    fx.settings.write(kDisp, kTheme, QStringLiteral("scroll"), newsAtStart ? 1 : 0);
    auto p = fx.panel();
    // No board: nothing to start, and the item says so.
    trigger(*p, "scrollstart");
    QCOMPARE(caption(*p, "scrollstart"), QStringLiteral("Start Scroll"));

    trigger(*p, "display");
    test::FakeBoard* b = fx.boards.last;
    QCOMPARE(caption(*p, "scrollstart"),
             newsAtStart ? QStringLiteral("Stop Scroll") : QStringLiteral("Start Scroll"));
    if (!newsAtStart) {
        trigger(*p, "scrollstart");
        QCOMPARE(b->snews, 1);
        QVERIFY(b->area->isVisibleTo(&b->win));
    }
    QCOMPARE(caption(*p, "scrollstart"), QStringLiteral("Stop Scroll"));
    QVERIFY(b->isRunning(BoardView::Timer::LeftTrain));
    QVERIFY(!b->isRunning(BoardView::Timer::RightTrain));
    if (rightTrain) {
        b->setRunning(BoardView::Timer::LeftTrain, false);
        b->setRunning(BoardView::Timer::RightTrain, true);
    }

    trigger(*p, "scrollstart");
    QCOMPARE(caption(*p, "scrollstart"), QStringLiteral("Start Scroll"));
    QVERIFY(!b->isRunning(BoardView::Timer::LeftTrain));
    QVERIFY(!b->isRunning(BoardView::Timer::RightTrain));
    QCOMPARE(b->snews, 1);
    QCOMPARE(b->unloads, 0);

    // Started again: the left-running train afresh, never both timers.
    trigger(*p, "scrollstart");
    QCOMPARE(caption(*p, "scrollstart"), QStringLiteral("Stop Scroll"));
    QCOMPARE(b->snews, 2);
    QVERIFY(b->isRunning(BoardView::Timer::LeftTrain));
    QVERIFY(!b->isRunning(BoardView::Timer::RightTrain));

    // The news box switches the ticker, and the item follows.
    auto* box = child<QCheckBox>(p.get(), "chkStart");
    if (!newsAtStart)
        box->click();
    box->click();
    QCOMPARE(caption(*p, "scrollstart"), QStringLiteral("Start Scroll"));
    box->click();
    QCOMPARE(caption(*p, "scrollstart"), QStringLiteral("Stop Scroll"));

    trigger(*p, "display");
    QCOMPARE(caption(*p, "scrollstart"), QStringLiteral("Start Scroll"));
}

void TestControlPanel::newsBox() {
    Fixture fx;
    auto p = fx.panel();
    auto* box = child<QCheckBox>(p.get(), "chkStart");
    // Stopped: only the setting changes.
    box->click();
    QCOMPARE(fx.settings.read(kDisp, kTheme, QStringLiteral("scroll")), QStringLiteral("1"));
    box->click();
    QCOMPARE(fx.settings.read(kDisp, kTheme, QStringLiteral("scroll")), QStringLiteral("0"));

    trigger(*p, "display");
    test::FakeBoard* b = fx.boards.last;
    QCOMPARE(b->snews, 0);
    box->click();
    QCOMPARE(b->snews, 1);
    QVERIFY(b->isRunning(BoardView::Timer::LeftTrain));
    QCOMPARE(b->unloads, 0);
    b->setRunning(BoardView::Timer::LeftTrain, false);
    b->setRunning(BoardView::Timer::RightTrain, true);
    box->click();
    QVERIFY(!b->isRunning(BoardView::Timer::LeftTrain));
    QVERIFY(!b->isRunning(BoardView::Timer::RightTrain));
    QCOMPARE(b->unloads, 1);
    QCOMPARE(b->scrollPictureCount(), 1);
    QCOMPARE(fx.settings.read(kDisp, kTheme, QStringLiteral("scroll")), QStringLiteral("0"));
}

void TestControlPanel::ctrlDOnBoardStops() {
    Fixture fx;
    auto p = fx.panel();
    trigger(*p, "display");
    QPointer<test::FakeBoard> b = fx.boards.last;
    emit b->stopRequested();
    QTRY_VERIFY(!b);
    QVERIFY(!p->isRunning());
    QCOMPARE(caption(*p, "display"), QStringLiteral("Start Display"));
}

void TestControlPanel::shortcutsOnPanel() {
    Fixture fx;
    auto p = fx.panel();
    p->show();
    QVERIFY(QTest::qWaitForWindowActive(p.get()));
    QTest::keyClick(p.get(), Qt::Key_D, Qt::ControlModifier);
    QVERIFY(p->isRunning());
    // The board took the focus; the operator comes back to the panel.
    p->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.get()));
    QTest::keyClick(p.get(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(caption(*p, "Pause"), QStringLiteral("Resume Pause"));
    QTest::keyClick(p.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(caption(*p, "scrollstart"), QStringLiteral("Stop Scroll"));
    QTest::keyClick(p.get(), Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!p->isRunning());
}

void TestControlPanel::exitWhileRunning() {
    Fixture fx;
    auto p = fx.panel();
    trigger(*p, "display");
    QSignalSpy spy(p.get(), &ControlPanel::exitRequested);
    fx.env.recorder.answers << MsgAnswer::Yes;
    trigger(*p, "exit");
    QCOMPARE(fx.env.recorder.texts(),
             QStringList{QStringLiteral("First stop the display and try again")});
    QVERIFY(!fx.env.recorder.entries.first().question);
    QCOMPARE(spy.count(), 0);
    QVERIFY(p->isRunning());
    QCOMPARE(fx.settings.read(QStringLiteral("display"), QStringLiteral("mainsec"),
                              QStringLiteral("widh")),
             QString());
    QCOMPARE(fx.settings.read(QStringLiteral("display"), QStringLiteral("mainsec"),
                              QStringLiteral("left")),
             QString());
}

void TestControlPanel::exitConfirmed_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestControlPanel::exitConfirmed() {
    QFETCH(bool, yes);
    Fixture fx;
    fx.ctx.session.twipsPerPixel = 15;
    auto p = fx.panel();
    p->move(20, 10);
    p->resize(400, 300);
    QSignalSpy spy(p.get(), &ControlPanel::exitRequested);
    fx.env.recorder.answers << (yes ? MsgAnswer::Yes : MsgAnswer::No);
    trigger(*p, "exit");
    QCOMPARE(fx.env.recorder.texts(), QStringList{QStringLiteral("Do you want to exit")});
    QVERIFY(fx.env.recorder.entries.first().question);
    QCOMPARE(spy.count(), yes ? 1 : 0);
    const auto stored = [&](const char* key) {
        return fx.settings.read(QStringLiteral("display"), QStringLiteral("mainsec"),
                                QLatin1String(key));
    };
    if (yes) {
        QCOMPARE(stored("left").toDouble(), p->x() * 15.0);
        QCOMPARE(stored("top").toDouble(), p->y() * 15.0);
        QCOMPARE(stored("widh").toDouble(), p->width() * 15.0);
        QCOMPARE(stored("height").toDouble(), p->height() * 15.0);
        QCOMPARE(stored("left").toDouble(), 300.0);
    } else {
        QVERIFY(stored("left").isEmpty());
        QVERIFY(stored("widh").isEmpty());
    }
}

void TestControlPanel::closeStoresPosition() {
    Fixture fx;
    fx.ctx.session.twipsPerPixel = 15;
    auto p = fx.panel();
    p->move(100, 50);
    p->show();
    p->move(100, 50);
    QVERIFY(p->close());
    const auto stored = [&](const char* key) {
        return fx.settings.read(QStringLiteral("display"), QStringLiteral("mainsec"),
                                QLatin1String(key));
    };
    QCOMPARE(stored("left").toDouble(), p->x() * 15.0);
    QCOMPARE(stored("top").toDouble(), p->y() * 15.0);
    QVERIFY(stored("widh").isEmpty());
    // Opened again at the stored place.
    auto again = fx.panel();
    QCOMPARE(again->pos(), p->pos());
}

void TestControlPanel::closeWhileRunningRefused() {
    Fixture fx;
    fx.ctx.session.twipsPerPixel = 15;
    auto p = fx.panel();
    p->show();
    trigger(*p, "display");
    QVERIFY(!p->close());
    QCOMPARE(fx.env.recorder.texts(),
             QStringList{QStringLiteral("First stop the display and try again")});
    QVERIFY(p->isVisible());
    QVERIFY(p->isRunning());
    QVERIFY(fx.boards.last);
    QVERIFY(fx.settings
                .read(QStringLiteral("display"), QStringLiteral("mainsec"), QStringLiteral("left"))
                .isEmpty());
    // Once stopped it closes.
    trigger(*p, "display");
    QVERIFY(p->close());
}

void TestControlPanel::boardWindowClosedStops() {
    Fixture fx;
    auto p = fx.panel();
    trigger(*p, "display");
    QPointer<test::FakeBoard> b = fx.boards.last;
    QVERIFY(b->win.close());
    QTRY_VERIFY(!b);
    QVERIFY(!p->isRunning());
    QVERIFY(!p->board());
    QCOMPARE(child<QLabel>(p.get(), "lblStatus")->text(), QStringLiteral("Stopped"));
    QCOMPARE(background(*p), QColor(0, 128, 192));
    QSignalSpy spy(p.get(), &ControlPanel::exitRequested);
    fx.env.recorder.answers << MsgAnswer::Yes;
    trigger(*p, "exit");
    QCOMPARE(fx.env.recorder.texts(), QStringList{QStringLiteral("Do you want to exit")});
    QCOMPARE(spy.count(), 1);
    // A stop that had come first leaves nothing for the close to do.
    trigger(*p, "display");
    b = fx.boards.last;
    b->win.close();
    trigger(*p, "display");
    QCoreApplication::processEvents();
    QVERIFY(!p->isRunning());
    QCOMPARE(fx.boards.made, 2);
}

namespace {
// A window with typing not saved yet.
class Typing : public QWidget, public UnsavedWork {
public:
    bool typed = true;
    bool settles = true;
    int asked = 0;
    bool hasUnsavedWork() const override { return typed; }
    bool settleUnsavedWork() override {
        ++asked;
        if (settles)
            typed = false;
        return settles;
    }
};
} // namespace

void TestControlPanel::unsavedWorkSettledFirst_data() {
    QTest::addColumn<bool>("viaExit");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("settles");
    QTest::addColumn<bool>("ends");
    for (const bool viaExit : {true, false}) {
        const char* how = viaExit ? "exit, " : "close, ";
        QTest::addRow("%snothing typed", how) << viaExit << false << true << true;
        QTest::addRow("%ssettled", how) << viaExit << true << true << true;
        QTest::addRow("%scancelled", how) << viaExit << true << false << false;
    }
}

void TestControlPanel::unsavedWorkSettledFirst() {
    QFETCH(bool, viaExit);
    QFETCH(bool, typed);
    QFETCH(bool, settles);
    QFETCH(bool, ends);
    Fixture fx;
    auto p = fx.panel();
    p->show();
    Typing editor;
    editor.typed = typed;
    editor.settles = settles;
    editor.show();
    Typing idle;
    idle.typed = false;
    idle.show();
    QSignalSpy spy(p.get(), &ControlPanel::exitRequested);
    bool closed = false;
    if (viaExit) {
        fx.env.recorder.answers << MsgAnswer::Yes;
        trigger(*p, "exit");
        closed = spy.count() == 1;
    } else {
        closed = p->close();
        QCOMPARE(spy.count(), 0);
    }
    QCOMPARE(closed, ends);
    QCOMPARE(editor.asked, typed ? 1 : 0);
    QCOMPARE(idle.asked, 0);
    QCOMPARE(fx.settings
                 .read(QStringLiteral("display"), QStringLiteral("mainsec"), QStringLiteral("left"))
                 .isEmpty(),
             !ends);
    if (!ends)
        QVERIFY(p->isVisible());
}

void TestControlPanel::lastUpdated() {
    Fixture fx;
    auto p = fx.panel();
    auto* label = child<QLabel>(p.get(), "Label6");
    QVERIFY(fx.db.exec(QStringLiteral("delete from tblCurr")).lastError().type() ==
            QSqlError::NoError);
    const QString vendor = label->text();
    p->Timer5_Timer();
    QCOMPARE(label->text(), vendor);
    for (const char* when : {"2026-01-05 10:00:00", "2026-03-01 09:15:00", "2025-12-31 23:59:59"})
        QVERIFY(fx.db.insert(QStringLiteral("tblCurr"),
                             {{QStringLiteral("currName"), QStringLiteral("X")},
                              {QStringLiteral("updateTime"), QLatin1String(when)}}) > 0);
    p->Timer5_Timer();
    QCOMPARE(label->text(), QStringLiteral("Last updated : 2026-03-01 09:15:00"));
}

void TestControlPanel::monitorBoxDrivesTimer4() {
    Fixture fx;
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("Monitor"),
                      QStringLiteral("intervel"), 1);
    auto p = fx.panel();
    QCOMPARE(p->monitorPeriod(), 1);
    QVERIFY(p->mp());
    QCOMPARE(p->rateMonitor()->player(), p->mp());
    // The first currency rises above its high limit.
    const QString first = QStringLiteral("(select min(pos) from tblCurr)");
    fx.db.exec(QStringLiteral("update tblCurr set high=0.00001 where pos=") + first);
    const auto state = [&] {
        return fx.db.scalar(QStringLiteral("select vstate from tblCurr where pos=") + first)
            .toString();
    };
    QTimer* t4 = p->panelTimer(QStringLiteral("Timer4"));
    QCOMPARE(t4->interval(), 1000);
    QVERIFY(!p->boardChoices().monitorOn());
    // Ticks while the box is clear check nothing.
    for (int i = 0; i < 3; ++i)
        QVERIFY(QMetaObject::invokeMethod(t4, "timeout"));
    QCOMPARE(state(), QStringLiteral("N"));

    auto* box = child<QCheckBox>(p.get(), "chkMonitor");
    box->click();
    QVERIFY(t4->isActive());
    QVERIFY(p->boardChoices().monitorOn());
    QVERIFY(p->rateMonitor()->isEnabled());
    for (int i = 0; i < 2; ++i)
        QVERIFY(QMetaObject::invokeMethod(t4, "timeout"));
    QCOMPARE(state(), QStringLiteral("H"));

    box->click();
    QVERIFY(!t4->isActive());
    QVERIFY(!p->boardChoices().monitorOn());
    QVERIFY(!p->rateMonitor()->isEnabled());
}

void TestControlPanel::feedTimersAtLoad_data() {
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("enabled");
    QTest::addColumn<bool>("onlineAuto");
    QTest::addColumn<bool>("timer2");
    QTest::newRow("nothing") << "" << 0 << false << false;
    QTest::newRow("workbook on") << "/tmp/rates.xlsx" << 1 << false << true;
    QTest::newRow("workbook off") << "/tmp/rates.xlsx" << 0 << true << false;
    QTest::newRow("enabled without workbook") << "" << 1 << true << false;
}

void TestControlPanel::feedTimersAtLoad() {
    QFETCH(QString, source);
    QFETCH(int, enabled);
    QFETCH(bool, onlineAuto);
    QFETCH(bool, timer2);
    Fixture fx;
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("excel"), QStringLiteral("Source"),
                      source);
    fx.settings.write(QStringLiteral("Display"), QStringLiteral("auto"), QStringLiteral("value"),
                      enabled);
    fx.ctx.online.autoUpdate = onlineAuto;
    auto p = fx.panel();
    QCOMPARE(p->panelTimer(QStringLiteral("Timer2"))->isActive(), timer2);
    QCOMPARE(p->panelTimer(QStringLiteral("Timer3"))->isActive(), onlineAuto);
    QCOMPARE(p->excelFeed().source, source);
    QCOMPARE(p->excelFeed().enabled, enabled == 1);
    QCOMPARE(p->excelFeed().keep, 6);
    QCOMPARE(p->excelFeed().format, QStringLiteral("0.00000"));
}

QTEST_MAIN(TestControlPanel)
#include "tst_controlpanel.moc"
