#pragma once
// The control panel: chooses theme, motion and screen, starts, pauses and stops
// the board, switches the ticker and the rate monitor, and opens the editors.
#include "board/boardloader.h"
#include "board/runningmark.h"
#include "data/themestore.h"
#include "panel/boardcontrol.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;

namespace quoteria {

struct AppContext;
struct TextSetting;
struct IntSetting;
struct SettingPlace;
class AboutWindow;
class CurrencyListWindow;
class HeaderEditor;
class MediaListWindow;
class LayoutDesigner;
class NewsListWindow;
class ThemeListWindow;
class PreviewWindow;
class MonitorSettingsWindow;
class RateHistoryWindow;
class UserListWindow;
class MediaAlarmPlayer;
class RateMonitor;
class FeedScheduler;
class OnlineRates;
class OnlineSetupWindow;
class OnlineCurrencyListWindow;
class OtherSettingsWindow;
class SheetFeed;
struct ExcelFeedSettings;

// The program's services the panel switches on and off; they outlive it.
struct PanelServices {
    RateMonitor& monitor;
    MediaAlarmPlayer& mp;
    FeedScheduler& feeds;
    OnlineRates& online;
};

class ControlPanel : public QMainWindow {
    Q_OBJECT
public:
    ControlPanel(AppContext& ctx, PanelServices services, QWidget* parent = nullptr);
    ~ControlPanel() override;

    // What the next board is built with.
    BoardChoices boardChoices() const;
    // The preview's ticker step, set when the preview is chosen.
    int previewTickerSpeed() const { return m_previewTickerSpeed; }
    // How the board is made on Start Display.
    void setBoardFactory(BoardFactory factory);
    // Takes over a board that was started before the login (after a restart): the
    // panel then shows it as running, as its own Start Display would.
    void adoptBoard(std::unique_ptr<BoardControl> board, const RunningMark& mark);
    // The running board, nullptr while stopped.
    BoardControl* board() const { return m_board.get(); }
    // The theme list, made on first use (not shown): it owns the theme editor.
    ThemeListWindow* themeList();
    // The media list, shown for "Manage Media" and the theme editor's "Video List".
    MediaListWindow* showMediaList();

    // Enables a menu item (by its name: "theme", "entry", "prv", ...) and runs
    // opener when it is chosen, after the item's rights or theme checks.
    // "prv" runs after the layout and header checks, with previewThemeKey and
    // previewTickerSpeed set; its opener switches the preview's ticker when
    // newsOn(). "curUpdate" has no check here: its opener connects and reports
    // "Cannot Connect" itself.
    void setOpener(const QString& itemName, std::function<void()> opener);
    QAction* menuItem(const QString& itemName) const;

    // Start or stop the board.
    void display_Click();
    void Pause_Click();
    void scrollstart_Click();
    void exit_Click();
    // Fills cmbTheme from tbltheme and selects the stored theme.
    void addTheme();
    // One tick of the "Last updated : " timer.
    void Timer5_Timer();

    bool isRunning() const;
    bool newsOn() const;
    int monitorPeriod() const;
    // The rate monitor: follows "Start Monitor", ticks with Timer4.
    RateMonitor* rateMonitor() const { return &m_services.monitor; }
    const ExcelFeedSettings& excelFeed() const;
    // The workbook feed that Timer2 drives.
    SheetFeed* sheetFeed() const { return m_sheet; }
    // The panel's own timers and those of the services it switches, by name.
    QTimer* panelTimer(const QString& name) const;
    // The rate monitor's alarm sound player (`mp`).
    MediaAlarmPlayer* mp() const { return &m_services.mp; }

Q_SIGNALS:
    // Timer2: one second of the Excel feed counter (the scheduler's, passed on).
    void excelTick();
    // Exit confirmed; the process ends.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut = {});
    void buildMenus();
    void formLoad();
    void runItem(const QString& name);
    bool allowed(const QString& name);
    void prvChecks(const std::function<void()>& opener);
    void startBoard();
    // The panel's side of a running board: captions, colours, locked choices.
    void showRunning();
    void watchBoard();
    void stopBoard();
    // The running mark follows what the board shows; a stopped board has none.
    void saveRunningMark();
    // The ticker's start: the left-running train afresh from the strip's right edge.
    void startTicker();
    void stopTicker();
    bool tickerRunning() const;
    void showTickerState();
    // Offers to save the typing of every window that holds some; false when the
    // operator cancelled one of them.
    bool settleOpenWork();
    void setBackground(const QColor& colour);
    // Saves one setting; a failure is reported, and the operator's entry stays.
    template <class Setting, class Value>
    void storeSetting(const Setting& setting, const Value& value);
    void reportUnsaved(const SettingPlace& at);
    void storePosition(bool withSize);
    void txtInt_LostFocus();
    void txtMult_LostFocus();
    void chkStart_Click();
    void chkMonitor_Click();
    void showUserList();
    void showAbout();
    void showMonitorSettings();
    void openLayoutDesigner();
    void configureSheet(const ExcelFeedSettings& excel);

    AppContext& m_ctx;
    PanelServices m_services;
    BoardFactory m_factory;
    std::unique_ptr<BoardControl> m_board;
    QHash<QString, QAction*> m_items;
    QHash<QString, std::function<void()>> m_openers;

    QComboBox* m_theme = nullptr;
    QComboBox* m_type = nullptr;
    QComboBox* m_screen = nullptr;
    QLineEdit* m_int = nullptr;
    QLineEdit* m_mult = nullptr;
    QCheckBox* m_news = nullptr;
    QCheckBox* m_chkMonitor = nullptr;
    QCheckBox* m_fit = nullptr;
    QComboBox* m_rotate = nullptr;
    QCheckBox* m_chkResume = nullptr;
    // The screen the running board was opened on; the box may change meanwhile.
    QString m_boardScreen;
    QLabel* m_label6 = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_timer5 = nullptr;
    SheetFeed* m_sheet = nullptr;
    // The board's choices besides theme and motion, set at load, on entry and at start.
    int m_pageInterval = 3000; // milliseconds
    int m_tickerSpeed = 30;    // twips per ticker tick
    int m_previewTickerSpeed = 15;

    QPointer<UserListWindow> m_userList;
    QPointer<AboutWindow> m_about;
    QPointer<MonitorSettingsWindow> m_frmMonitor;
    QPointer<RateHistoryWindow> m_history;
    QPointer<CurrencyListWindow> m_curLst;
    QPointer<NewsListWindow> m_newsList;
    QPointer<LayoutDesigner> m_designer;
    QPointer<HeaderEditor> m_header;
    QPointer<ThemeListWindow> m_themeList;
    QPointer<PreviewWindow> m_preview;
    QPointer<OtherSettingsWindow> m_settingsWindow;
    QPointer<OnlineSetupWindow> m_onlineSetup;
    QPointer<OnlineCurrencyListWindow> m_onlineList;
    QPointer<MediaListWindow> m_mediaList;
};

} // namespace quoteria
