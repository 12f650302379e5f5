#include "panel/controlpanel.h"

#include "board/previewwindow.h"
#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/formats.h"
#include "data/helpers.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "data/themestore.h"
#include "design/headereditor.h"
#include "design/layoutdesigner.h"
#include "design/themeeditor.h"
#include "design/themelistwindow.h"
#include "design/themerules.h"
#include "feeds/onlinerates.h"
#include "feeds/sheetfeed.h"
#include "gui/unsavedwork.h"
#include "gui/windowregistry.h"
#include "media/alarmplayer.h"
#include "media/medialistwindow.h"
#include "media/othersettingswindow.h"
#include "news/newslistwindow.h"
#include "panel/aboutwindow.h"
#include "panel/boardresume.h"
#include "panel/panelstate.h"
#include "rates/currencylistwindow.h"
#include "rates/feedscheduler.h"
#include "rates/monitorsettingswindow.h"
#include "rates/onlinecurrencylistwindow.h"
#include "rates/onlinesetupwindow.h"
#include "rates/ratehistorywindow.h"
#include "rates/ratemonitor.h"
#include "users/userlistwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>

namespace quoteria {

namespace {

// The entries are stored as typed, so a refused or fractional value reads back
// exactly as the operator left it.
constexpr TextSetting kIntervalText{settings::PageSeconds.at, "3"};
constexpr TextSetting kRatioText{settings::Ratio.at, "2"};
// Only a stored 1 ticks the news box.
constexpr IntSetting kNewsBox{settings::NewsOn.at, 0};
constexpr TextSetting kNewsText{settings::NewsOn.at, "0"};
const QString kStartDisplay = QStringLiteral("Start Display");
const QString kStopDisplay = QStringLiteral("Stop Display");
const QString kPauseDisplay = QStringLiteral("Pause Display");
const QString kResumePause = QStringLiteral("Resume Pause");
const QString kStartScroll = QStringLiteral("Start Scroll");
const QString kStopScroll = QStringLiteral("Stop Scroll");
const QString kStopFirst = QStringLiteral("First stop the display and try again");

const QColor kRunningColour(255, 0, 0);   // Windows colour 255
const QColor kStoppedColour(0, 128, 192); // Windows colour 12615680

// Items whose windows come with other parts of the program: disabled until an
// opener is attached.
const char* const kOpenerItems[] = {"prv",    "clock",     "scroll",    "theme",
                                    "pos",    "entry",     "addscroll", "inpvideo",
                                    "online", "curUpdate", "vidLst",    "history"};

int findCaseless(const QComboBox* box, const QString& text) {
    const int exact = box->findText(text);
    return exact >= 0 ? exact : box->findText(text, Qt::MatchFixedString);
}

} // namespace

template <class Setting, class Value>
void ControlPanel::storeSetting(const Setting& setting, const Value& value) {
    if (!m_ctx.settings.set(setting, value))
        reportUnsaved(setting.at);
}

ControlPanel::ControlPanel(AppContext& ctx, PanelServices services, QWidget* parent)
    : QMainWindow(parent), m_ctx(ctx), m_services(services) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quoteria"));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("panelArea"));
    central->setAutoFillBackground(true);
    setCentralWidget(central);

    m_theme = new QComboBox(central);
    m_theme->setObjectName(QStringLiteral("cmbTheme"));
    m_type = new QComboBox(central);
    m_type->setObjectName(QStringLiteral("cmbType"));
    m_type->addItems({QStringLiteral("Scroll"), QStringLiteral("Page")});
    m_screen = new QComboBox(central);
    m_screen->setObjectName(QStringLiteral("cmbDisplay"));
    m_screen->addItems({QStringLiteral("Single"), QStringLiteral("Dual")});
    m_int = new QLineEdit(QStringLiteral("3"), central);
    m_int->setObjectName(QStringLiteral("txtInt"));
    m_mult = new QLineEdit(QStringLiteral("2"), central);
    m_mult->setObjectName(QStringLiteral("txtMult"));
    m_news = new QCheckBox(QStringLiteral("Start Scroll News"), central);
    m_news->setObjectName(QStringLiteral("chkStart"));
    m_chkMonitor = new QCheckBox(QStringLiteral("Start Monitor"), central);
    m_chkMonitor->setObjectName(QStringLiteral("chkMonitor"));
    m_fit = new QCheckBox(QStringLiteral("Fit to screen"), central);
    m_fit->setObjectName(QStringLiteral("chkFit"));
    m_rotate = new QComboBox(central);
    m_rotate->setObjectName(QStringLiteral("cmbRotate"));
    m_rotate->addItems({QStringLiteral("0"), QStringLiteral("90"), QStringLiteral("180"),
                        QStringLiteral("270")});
    m_chkResume = new QCheckBox(QStringLiteral("Resume the board after a restart"), central);
    m_chkResume->setObjectName(QStringLiteral("chkResume"));
    m_status = new QLabel(central);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_label6 = new QLabel(QStringLiteral("www.quoteria.example"), central);
    m_label6->setObjectName(QStringLiteral("Label6"));

    auto* grid = new QGridLayout(central);
    grid->addWidget(new QLabel(QStringLiteral("Select Template"), central), 0, 0);
    grid->addWidget(m_theme, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Motion"), central), 1, 0);
    grid->addWidget(m_type, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Screen"), central), 1, 2);
    grid->addWidget(m_screen, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Intervel"), central), 2, 0);
    grid->addWidget(m_int, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ratio"), central), 2, 2);
    grid->addWidget(m_mult, 2, 3);
    grid->addWidget(m_news, 3, 0, 1, 2);
    grid->addWidget(m_chkMonitor, 3, 2, 1, 2);
    grid->addWidget(m_status, 4, 0, 1, 4);
    // Spans the whole row so it stays as wide as the panel.
    grid->addWidget(m_label6, 5, 0, 1, 4);
    // Taken by the next Start Display.
    grid->addWidget(m_fit, 6, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Rotation"), central), 6, 2);
    grid->addWidget(m_rotate, 6, 3);
    grid->addWidget(m_chkResume, 7, 0, 1, 4);

    auto makeTimer = [this](const char* name, int ms) {
        auto* t = new QTimer(this);
        t->setObjectName(QLatin1String(name));
        t->setInterval(ms);
        return t;
    };
    m_timer5 = makeTimer("Timer5", 10000);
    connect(&m_services.feeds, &FeedScheduler::excelTick, this, &ControlPanel::excelTick);
    m_sheet = new SheetFeed(m_ctx.currencies, workbookReader(), this);
    // The period is read again on every tick.
    connect(this, &ControlPanel::excelTick, m_sheet, [this] {
        m_sheet->tick(m_services.feeds.countExcel(m_ctx.settings.get(settings::ExcelPeriod)));
    });
    connect(&m_services.feeds, &FeedScheduler::excelChanged, this, &ControlPanel::configureSheet);
    connect(m_timer5, &QTimer::timeout, this, &ControlPanel::Timer5_Timer);
    // Through the panel, so a panel that goes takes its ticks with it.
    connect(&m_services.feeds, &FeedScheduler::onlineTick, this,
            [this] { m_services.online.onlineTick(); });

    buildMenus();

    connect(m_theme, &QComboBox::activated, this, [this] {
        const QString name = m_theme->currentText();
        storeSetting(settings::ThemeName, name);
        m_ctx.session.currentThemeKey = themeKeyOf(m_ctx.db, name);
    });
    connect(m_type, &QComboBox::activated, this,
            [this] { storeSetting(settings::Motion, m_type->currentText()); });
    connect(m_screen, &QComboBox::activated, this,
            [this] { storeSetting(settings::ScreenMode, m_screen->currentText()); });
    connect(m_fit, &QCheckBox::clicked, this,
            [this](bool on) { storeSetting(settings::FitToScreen, on); });
    connect(m_rotate, &QComboBox::activated, this, [this] {
        storeSetting(settings::BoardRotation, m_rotate->currentText().toInt());
    });
    connect(m_news, &QCheckBox::clicked, this, &ControlPanel::chkStart_Click);
    connect(m_chkMonitor, &QCheckBox::clicked, this, &ControlPanel::chkMonitor_Click);
    connect(m_chkResume, &QCheckBox::clicked, this,
            [this](bool on) { storeSetting(settings::ResumeBoard, on); });
    m_int->installEventFilter(this);
    m_mult->installEventFilter(this);
    connect(&m_ctx.events, &DataEvents::themesChanged, this, &ControlPanel::addTheme);

    // Windows built in their own areas, behind the rights checks of their items.
    setOpener(QStringLiteral("entry"), [this] {
        showOnce(m_curLst, [this] { return new CurrencyListWindow(m_ctx, this); });
    });
    const auto newsList = [this] {
        showOnce(m_newsList, [this] { return new NewsListWindow(m_ctx, this); });
    };
    setOpener(QStringLiteral("scroll"), newsList);
    setOpener(QStringLiteral("addscroll"), newsList);
    setOpener(QStringLiteral("pos"), [this] { openLayoutDesigner(); });
    setOpener(QStringLiteral("theme"), [this] {
        themeList();
        showOnce(m_themeList, [this] { return themeList(); });
    });
    // One picker for the program: the theme editor's, writing into its clock field.
    setOpener(QStringLiteral("clock"), [this] { themeList()->editor()->showClockPicker(); });
    setOpener(QStringLiteral("inpvideo"), [this] {
        showOnce(m_settingsWindow, [this] {
            auto* w = new OtherSettingsWindow(m_ctx, this);
            connect(w, &OtherSettingsWindow::saved, this, [this] {
                m_services.feeds.applyExcel(ExcelFeedSettings::stored(m_ctx.settings));
            });
            return w;
        });
    });
    setOpener(QStringLiteral("online"), [this] {
        showOnce(m_onlineSetup,
                 [this] { return new OnlineSetupWindow(m_ctx, m_services.online, this); });
    });
    // The list fills itself on the connection opened here.
    setOpener(QStringLiteral("curUpdate"), [this] {
        m_services.online.connectOnline(this, [this](bool ok, const QString&) {
            if (!ok) {
                messages().show(QStringLiteral("Cannot Connect"));
                return;
            }
            showOnce(m_onlineList, [this] {
                return new OnlineCurrencyListWindow(m_ctx, m_services.online, this);
            });
        });
    });
    setOpener(QStringLiteral("vidLst"), [this] { showMediaList(); });
    setOpener(QStringLiteral("history"), [this] {
        showOnce(m_history, [this] { return new RateHistoryWindow(m_ctx, this); });
    });
    setOpener(QStringLiteral("prv"), [this] {
        showPreview(m_preview, m_ctx, m_ctx.session.previewThemeKey, m_previewTickerSpeed, newsOn(),
                    this);
    });

    formLoad();
    m_timer5->start();
}

ControlPanel::~ControlPanel() = default;

QAction* ControlPanel::addItem(QMenu* menu, const char* name, const QString& caption,
                               const QKeySequence& shortcut) {
    auto* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    m_items.insert(QLatin1String(name), a);
    const QString key = QLatin1String(name);
    connect(a, &QAction::triggered, this, [this, key] { runItem(key); });
    return a;
}

void ControlPanel::buildMenus() {
    QMenu* control = menuBar()->addMenu(QStringLiteral("Control"));
    control->setObjectName(QStringLiteral("file"));
    addItem(control, "display", kStartDisplay, QKeySequence(Qt::CTRL | Qt::Key_D));
    addItem(control, "Pause", kPauseDisplay, QKeySequence(Qt::CTRL | Qt::Key_P))->setEnabled(false);
    addItem(control, "prv", QStringLiteral("Preview"));
    control->addSeparator();
    addItem(control, "scrollstart", kStartScroll, QKeySequence(Qt::CTRL | Qt::Key_S));
    control->addSeparator();
    addItem(control, "clock", QStringLiteral("Select Clock"));
    addItem(control, "scroll", QStringLiteral("Scroll Settings"));
    addItem(control, "theme", QStringLiteral("Template List"));
    addItem(control, "pos", QStringLiteral("Position"));
    addItem(control, "entry", QStringLiteral("Update Currency"));
    addItem(control, "addscroll", QStringLiteral("Add Scroll News"));
    addItem(control, "inpvideo", QStringLiteral("Live  Settings"));
    addItem(control, "monitor", QStringLiteral("Currency Monitor"));
    addItem(control, "history", QStringLiteral("Rate History"));

    QMenu* online = menuBar()->addMenu(QStringLiteral("Online "));
    online->setObjectName(QStringLiteral("onl"));
    addItem(online, "online", QStringLiteral("Online Settings"));
    addItem(online, "curUpdate", QStringLiteral("Currency Update"));
    online->addSeparator();
    addItem(online, "vidLst", QStringLiteral("Manage Media"));
    addItem(online, "userlist", QStringLiteral("User List"));
    addItem(online, "deloped", QStringLiteral("Developed By"));
    online->addSeparator();
    addItem(online, "exit", QStringLiteral("Exit"));

    for (const char* name : kOpenerItems)
        m_items.value(QLatin1String(name))->setEnabled(false);
}

QAction* ControlPanel::menuItem(const QString& itemName) const {
    return m_items.value(itemName);
}

void ControlPanel::setOpener(const QString& itemName, std::function<void()> opener) {
    QAction* item = m_items.value(itemName);
    if (!item || !opener)
        return;
    m_openers.insert(itemName, std::move(opener));
    item->setEnabled(true);
}

void ControlPanel::openLayoutDesigner() {
    // The designer models the resolution of the theme it places, as when the theme
    // editor opens it; without a theme it shows the initial zones and saves nothing.
    Session& s = m_ctx.session;
    if (const auto record = m_ctx.themes.loadRecord(s.currentThemeKey)) {
        const BoardTheme theme = themeFromRecord(*record);
        if (theme.swidth >= 1 && theme.sheight >= 1) {
            s.designWidth = int(theme.swidth);
            s.designHeight = int(theme.sheight);
        }
    }
    showDesigner(m_designer, m_ctx, s.currentThemeKey, this);
}

BoardChoices ControlPanel::boardChoices() const {
    BoardChoices c;
    c.themeKey = m_ctx.session.currentThemeKey;
    c.motion = m_type->currentText();
    c.pageIntervalMs = m_pageInterval;
    c.tickerSpeed = m_tickerSpeed;
    c.twipsPerPixel = m_ctx.session.twipsPerPixel;
    // Asked live: the box may change while the board runs.
    c.monitorOn = [monitor = &m_services.monitor] { return monitor->isEnabled(); };
    return c;
}

void ControlPanel::setBoardFactory(BoardFactory factory) {
    m_factory = std::move(factory);
}

void ControlPanel::formLoad() {
    SettingsStore& s = m_ctx.settings;
    m_services.monitor.reloadPeriod();
    m_status->setText(QStringLiteral("Stopped"));

    const int type = findCaseless(m_type, s.get(settings::Motion));
    m_type->setCurrentIndex(type >= 0 ? type : 0);
    const int screen = findCaseless(m_screen, s.get(settings::ScreenMode));
    m_screen->setCurrentIndex(screen >= 0 ? screen : 0);

    const int tpp = m_ctx.session.twipsPerPixel;
    moveFrameTo(this, QPoint(panel::storedEdgeToPixels(s.get(settings::PanelLeft), tpp),
                             panel::storedEdgeToPixels(s.get(settings::PanelTop), tpp)));

    const QString mult = s.get(kRatioText);
    m_mult->setText(panel::ratioAccepted(mult) ? mult : QString::number(panel::kDefaultRatio));

    m_services.feeds.start(ExcelFeedSettings::stored(s), m_ctx.online.autoUpdate);
    configureSheet(m_services.feeds.excel());
    // A PostgreSQL head office announces its changes; polling stays the fallback.
    if (m_ctx.online.autoUpdate &&
        m_services.online.target().engine == RemoteEngine::PostgreSql)
        m_services.online.setListening(true);

    addTheme();
    m_ctx.session.currentThemeKey = themeKeyOf(m_ctx.db, s.get(settings::ThemeName));

    // A stored interval outside the accepted range would give the page timer a
    // useless period; the box falls back to its design value.
    const QString interval = s.get(kIntervalText);
    const auto ms = panel::pageIntervalFor(interval);
    m_int->setText(ms ? interval : QString::number(panel::kDefaultInterval));
    m_pageInterval = ms ? *ms : panel::kDefaultInterval * 1000;
    m_news->setChecked(s.get(kNewsBox) == 1);
    m_fit->setChecked(s.get(settings::FitToScreen));
    const int turn = m_rotate->findText(QString::number(s.get(settings::BoardRotation)));
    m_rotate->setCurrentIndex(qMax(0, turn));
    m_chkResume->setChecked(s.get(settings::ResumeBoard));

    m_services.monitor.switchOn(m_chkMonitor->isChecked());
}

void ControlPanel::addTheme() {
    m_theme->clear();
    m_theme->addItems(m_ctx.themes.names());
    const QString name = m_ctx.settings.get(settings::ThemeName);
    m_theme->setCurrentIndex(name.isEmpty() ? -1 : findCaseless(m_theme, name));
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_int)
            txtInt_LostFocus();
        else if (watched == m_mult)
            txtMult_LostFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

void ControlPanel::txtInt_LostFocus() {
    const auto ms = panel::pageIntervalFor(m_int->text());
    if (!ms) {
        m_int->setText(QString::number(panel::kDefaultInterval));
        return;
    }
    storeSetting(kIntervalText, m_int->text());
    m_pageInterval = *ms;
}

void ControlPanel::txtMult_LostFocus() {
    if (!panel::ratioAccepted(m_mult->text())) {
        m_mult->setText(QString::number(panel::kDefaultRatio));
        return;
    }
    storeSetting(kRatioText, m_mult->text());
}

void ControlPanel::reportUnsaved(const SettingPlace& at) {
    messages().show(QStringLiteral("The setting could not be saved: %1 is not writable.")
                        .arg(m_ctx.settings.fileFor(QLatin1String(at.app))),
                    MsgIcon::Warning);
}

bool ControlPanel::isRunning() const {
    return m_items.value(QStringLiteral("display"))->text() == kStopDisplay;
}

bool ControlPanel::newsOn() const {
    return m_news->isChecked();
}

QTimer* ControlPanel::panelTimer(const QString& name) const {
    for (const QObject* owner :
         {static_cast<const QObject*>(this), static_cast<const QObject*>(&m_services.monitor),
          static_cast<const QObject*>(&m_services.feeds)})
        if (auto* t = owner->findChild<QTimer*>(name, Qt::FindDirectChildrenOnly))
            return t;
    return nullptr;
}

void ControlPanel::configureSheet(const ExcelFeedSettings& excel) {
    // Saves are watched only while the feed runs; the period stays the fallback.
    m_sheet->configure(excel.source, excel.runs(), ValueFormat{excel.keep, excel.format});
}

const ExcelFeedSettings& ControlPanel::excelFeed() const {
    return m_services.feeds.excel();
}

bool ControlPanel::allowed(const QString& name) {
    if (m_ctx.session.isAdmin())
        return true;
    QString refusal;
    if (name == QLatin1String("theme") || name == QLatin1String("online") ||
        name == QLatin1String("history"))
        refusal = QStringLiteral("Sorry no access permission");
    else if (name == QLatin1String("entry"))
        refusal = QStringLiteral("Permission Denied");
    else if (name == QLatin1String("userlist"))
        refusal = QStringLiteral("Permission Denied ");
    else
        return true;
    messages().show(refusal);
    return false;
}

void ControlPanel::runItem(const QString& name) {
    if (name == QLatin1String("display"))
        return display_Click();
    if (name == QLatin1String("Pause"))
        return Pause_Click();
    if (name == QLatin1String("scrollstart"))
        return scrollstart_Click();
    if (name == QLatin1String("exit"))
        return exit_Click();
    if (name == QLatin1String("deloped"))
        return showAbout();
    if (name == QLatin1String("monitor"))
        return showMonitorSettings();
    if (!allowed(name))
        return;
    if (name == QLatin1String("userlist"))
        return showUserList();
    const auto opener = m_openers.value(name);
    if (!opener)
        return;
    if (name == QLatin1String("prv"))
        return prvChecks(opener);
    opener();
}

void ControlPanel::prvChecks(const std::function<void()>& opener) {
    Session& s = m_ctx.session;
    m_previewTickerSpeed = panel::previewSpeed(m_ctx.settings.get(settings::TickerStep));
    s.previewThemeKey = themeKeyOf(m_ctx.db, m_ctx.settings.get(settings::ThemeName));
    const auto check = checkTheme(m_ctx.themes, s.previewThemeKey);
    if (check != ThemeCheck::Ready) {
        messages().show(themeCheckMessage(check));
        return;
    }
    opener();
}

void ControlPanel::display_Click() {
    Session& s = m_ctx.session;
    m_tickerSpeed = m_ctx.settings.get(settings::TickerStep);
    s.currentThemeKey = themeKeyOf(m_ctx.db, m_ctx.settings.get(settings::ThemeName));

    // A theme that lost its layout or header meanwhile must not keep the board up.
    if (isRunning())
        return stopBoard();
    const auto check = checkTheme(m_ctx.themes, s.currentThemeKey);
    if (check != ThemeCheck::Ready) {
        messages().show(themeCheckMessage(check));
        return;
    }
    startBoard();
}

void ControlPanel::setBackground(const QColor& colour) {
    QPalette p = centralWidget()->palette();
    p.setColor(QPalette::Window, colour);
    centralWidget()->setPalette(p);
}

void ControlPanel::startBoard() {
    if (!m_factory) {
        logLine(QStringLiteral("Start Display: this build has no board"));
        return;
    }
    showRunning();
    m_boardScreen = m_screen->currentText();
    m_board = m_factory(m_ctx, boardChoices());
    watchBoard();
    m_board->show();
    QCoreApplication::processEvents();

    if (m_board && m_news->isChecked())
        startTicker();
    showTickerState();
}

void ControlPanel::adoptBoard(std::unique_ptr<BoardControl> board, const RunningMark& mark) {
    if (!board || m_board)
        return;
    // The choices the board was made with, so Pause and the mark follow it.
    const int theme = findCaseless(m_theme, mark.theme);
    if (theme >= 0)
        m_theme->setCurrentIndex(theme);
    m_ctx.session.currentThemeKey = themeKeyOf(m_ctx.db, mark.theme);
    m_type->setCurrentIndex(qMax(0, findCaseless(m_type, mark.motion)));
    m_screen->setCurrentIndex(qMax(0, findCaseless(m_screen, mark.screen)));
    showRunning();
    m_boardScreen = mark.screen;
    m_board = std::move(board);
    watchBoard();
    if (mark.paused)
        m_items.value(QStringLiteral("Pause"))->setText(kResumePause);
    showTickerState();
}

void ControlPanel::showRunning() {
    setWindowTitle(QStringLiteral("Running"));
    m_status->setText(QStringLiteral("Running"));
    QAction* pause = m_items.value(QStringLiteral("Pause"));
    pause->setEnabled(true);
    pause->setText(kPauseDisplay);
    m_items.value(QStringLiteral("display"))->setText(kStopDisplay);
    setBackground(kRunningColour);
    m_theme->setEnabled(false);
    m_type->setEnabled(false);
}

void ControlPanel::watchBoard() {
    // Queued: Ctrl+D arrives inside the board's own key handler, which must
    // finish before the board is taken down.
    connect(m_board.get(), &BoardControl::stopRequested, this, &ControlPanel::display_Click,
            Qt::QueuedConnection);
    // Queued for the same reason; a board already gone by then asks nothing.
    connect(
        m_board.get(), &BoardControl::closed, this,
        [this, board = QPointer<BoardControl>(m_board.get())] {
            if (board && board == m_board.get())
                display_Click();
        },
        Qt::QueuedConnection);
}

void ControlPanel::saveRunningMark() {
    const QString path = runningMarkPathOf(m_ctx);
    if (!m_board) {
        clearRunningMark(path);
        return;
    }
    RunningMark mark;
    mark.theme = m_theme->currentText();
    mark.motion = m_type->currentText();
    mark.screen = m_boardScreen;
    mark.ticker = tickerRunning();
    mark.paused = m_items.value(QStringLiteral("Pause"))->text() == kResumePause;
    writeRunningMark(path, mark);
}

void ControlPanel::stopBoard() {
    m_board.reset();
    saveRunningMark();
    showTickerState();
    setWindowTitle(QStringLiteral("Stopped"));
    m_status->setText(QStringLiteral("Stopped"));
    setBackground(kStoppedColour);
    m_items.value(QStringLiteral("display"))->setText(kStartDisplay);
    m_items.value(QStringLiteral("Pause"))->setEnabled(false);
    m_theme->setEnabled(true);
    m_type->setEnabled(true);
}

void ControlPanel::Pause_Click() {
    if (!m_board)
        return;
    const auto table = BoardControl::tableTimerFor(m_type->currentText());
    QAction* pause = m_items.value(QStringLiteral("Pause"));
    const bool pausing = pause->text() != kResumePause;
    m_board->setRunning(table, !pausing);
    pause->setText(pausing ? kResumePause : kPauseDisplay);
    saveRunningMark();
}

void ControlPanel::startTicker() {
    if (!m_board)
        return;
    m_board->startTickerAfresh();
}

void ControlPanel::stopTicker() {
    if (!m_board)
        return;
    m_board->stopTicker();
}

bool ControlPanel::tickerRunning() const {
    return m_board && m_board->tickerRunning();
}

void ControlPanel::showTickerState() {
    m_items.value(QStringLiteral("scrollstart"))
        ->setText(tickerRunning() ? kStopScroll : kStartScroll);
    // Every change of the board's state passes here while it runs.
    if (m_board)
        saveRunningMark();
}

void ControlPanel::scrollstart_Click() {
    // Decided by the ticker itself, not the caption: both trains count as running.
    if (tickerRunning())
        stopTicker();
    else
        startTicker();
    showTickerState();
}

void ControlPanel::chkStart_Click() {
    storeSetting(kNewsText, QString::number(m_news->isChecked() ? 1 : 0));
    if (!isRunning() || !m_board)
        return;
    if (m_news->isChecked()) {
        startTicker();
    } else {
        stopTicker();
        m_board->unloadScrollPictures();
    }
    showTickerState();
}

void ControlPanel::chkMonitor_Click() {
    m_services.monitor.switchOn(m_chkMonitor->isChecked());
}

int ControlPanel::monitorPeriod() const {
    return m_services.monitor.period();
}

void ControlPanel::Timer5_Timer() {
    if (const auto time = m_ctx.currencies.lastUpdateTime())
        m_label6->setText(QStringLiteral("Last updated : ") + *time);
}

void ControlPanel::storePosition(bool withSize) {
    SettingsStore& s = m_ctx.settings;
    const double tpp = m_ctx.session.twipsPerPixel;
    s.set(settings::PanelLeft, x() * tpp);
    s.set(settings::PanelTop, y() * tpp);
    if (withSize) {
        s.set(settings::PanelWidth, width() * tpp);
        s.set(settings::PanelHeight, height() * tpp);
    }
}

bool ControlPanel::settleOpenWork() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows.append(w);
    // Settling one window may close others.
    for (const QPointer<QWidget>& w : windows) {
        auto* work = dynamic_cast<UnsavedWork*>(w.data());
        if (work && work->hasUnsavedWork() && !work->settleUnsavedWork())
            return false;
    }
    return true;
}

void ControlPanel::exit_Click() {
    if (isRunning()) {
        messages().show(kStopFirst);
        return;
    }
    if (messages().ask(QStringLiteral("Do you want to exit")) != MsgAnswer::Yes)
        return;
    if (!settleOpenWork())
        return;
    storePosition(true);
    saveRunningMark();
    emit exitRequested();
}

void ControlPanel::closeEvent(QCloseEvent* event) {
    // Without the panel nothing could stop the full-screen board.
    if (isRunning()) {
        messages().show(kStopFirst);
        event->ignore();
        return;
    }
    if (!settleOpenWork()) {
        event->ignore();
        return;
    }
    storePosition(false);
    event->accept();
}

ThemeListWindow* ControlPanel::themeList() {
    if (!m_themeList) {
        m_themeList = new ThemeListWindow(m_ctx, this);
        m_themeList->setAttribute(Qt::WA_DeleteOnClose, false);
        // One designer and one header editor for the program, owned by the editor
        // that opens them (the panel's Position item shares the designer).
        connect(m_themeList, &ThemeListWindow::positionRequested, this, [this](qint64 key) {
            showDesigner(m_designer, m_ctx, key, m_themeList->editor());
        });
        connect(m_themeList, &ThemeListWindow::headerRequested, this, [this](qint64 key) {
            showHeaderEditor(m_header, m_ctx, key, m_themeList->editor());
        });
        connect(m_themeList, &ThemeListWindow::videoListRequested, this,
                &ControlPanel::showMediaList);
        // The list has made the layout and header checks and set previewThemeKey.
        connect(m_themeList, &ThemeListWindow::previewRequested, this, [this](qint64 key) {
            m_previewTickerSpeed = panel::previewSpeed(m_ctx.settings.get(settings::TickerStep));
            showPreview(m_preview, m_ctx, key, m_previewTickerSpeed, newsOn(), this);
        });
    }
    return m_themeList;
}

MediaListWindow* ControlPanel::showMediaList() {
    return showOnce(m_mediaList, [this] {
        auto* w = new MediaListWindow(m_ctx, this);
        w->setBoardRunning([this] { return isRunning(); });
        connect(w, &MediaListWindow::galleryRefreshed, this, [this] {
            if (m_board)
                m_board->reloadGallery();
        });
        return w;
    });
}

void ControlPanel::showUserList() {
    showOnce(m_userList, [this] { return new UserListWindow(m_ctx, this); });
}

void ControlPanel::showMonitorSettings() {
    showOnce(m_frmMonitor,
             [this] { return new MonitorSettingsWindow(m_ctx, &m_services.monitor, this); });
}

void ControlPanel::showAbout() {
    showOnce(m_about, [this] { return new AboutWindow(this); });
}

} // namespace quoteria
