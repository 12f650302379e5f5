#pragma once
// Every setting of the program, defined once: where it lives and its default.
// Read and write them through SettingsStore::get / SettingsStore::set, so a key is
// never spelled twice. The store compares names without regard to letter case.
#include <QString>

namespace quoteria {

struct SettingPlace {
    const char* app;
    const char* section;
    const char* key;
};

// Stored as text.
struct TextSetting {
    SettingPlace at;
    const char* def;
};
// Stored as decimal text, read with the plain numeric conversion and rounded.
struct IntSetting {
    SettingPlace at;
    int def;
};
// Sizes and positions: the decimal text of a single-precision number.
struct RealSetting {
    SettingPlace at;
    double def;
};
// Check-box states: 0 or 1 (any non-zero number reads as on).
struct FlagSetting {
    SettingPlace at;
    bool def;
};
// Flags stored as the text "1" or "0" (only "1" reads as on).
struct TextFlagSetting {
    SettingPlace at;
    bool def;
};

namespace settings {

// Control panel.
inline constexpr TextSetting ThemeName{{"Disp", "theme", "name"}, ""};
inline constexpr IntSetting Ratio{{"Disp", "theme", "mult"}, 2};
inline constexpr IntSetting PageSeconds{{"Disp", "theme", "int"}, 3};
inline constexpr FlagSetting NewsOn{{"Disp", "theme", "scroll"}, false};
inline constexpr TextSetting Motion{{"Display", "style", "type"}, "Scroll"};
// "Single" in the panel, "Dual" in the board and the preview: readers pass their own.
inline constexpr TextSetting ScreenMode{{"display", "sreen", "type"}, "Single"};
inline constexpr RealSetting PanelLeft{{"display", "mainsec", "left"}, 0};
inline constexpr RealSetting PanelTop{{"display", "mainsec", "top"}, 0};
inline constexpr RealSetting PanelWidth{{"display", "mainsec", "widh"}, 0};
inline constexpr RealSetting PanelHeight{{"display", "mainsec", "height"}, 0};

// Board motion.
inline constexpr IntSetting TickerStep{{"display", "scroll", "speed"}, 30};
// The same entry as the ticker editor keeps it: as typed.
inline constexpr TextSetting TickerStepText{TickerStep.at, "30"};
// 30 in the theme editor, 5 in the board and the preview: readers pass their own.
inline constexpr IntSetting TableStep{{"Display", "currency", "scroll"}, 5};
// The theme editor's "Scroll Speed" entry, kept as typed once it passed its check.
inline constexpr TextSetting TableStepText{TableStep.at, "30"};

// Media zone and live input.
inline constexpr TextSetting PictureEffect{{"Display", "image", "effect"}, "Effect1"};
inline constexpr TextFlagSetting VideoInOn{{"Display", "Video", "VideoIn"}, false};
inline constexpr IntSetting VideoInSource{{"Display", "Video", "Source"}, -1};
inline constexpr TextFlagSetting HtmlOn{{"Display", "HTML", "Enable"}, false};
inline constexpr TextSetting HtmlSource{{"Display", "HTML", "Source"}, ""};

// Board placement on its screen, and its return after a restart.
inline constexpr FlagSetting FitToScreen{{"Display", "board", "fit"}, false};
inline constexpr IntSetting BoardRotation{{"Display", "board", "rotate"}, 0}; // 0, 90, 180, 270
inline constexpr FlagSetting ResumeBoard{{"Display", "board", "resume"}, false};

// Rate history.
inline constexpr IntSetting HistoryDays{{"Display", "history", "days"}, 400};
inline constexpr TextSetting HistoryPurged{{"Display", "history", "purged"}, ""}; // ISO date

// Spreadsheet feed.
inline constexpr TextSetting ExcelSource{{"Display", "excel", "Source"}, ""};
inline constexpr FlagSetting ExcelOn{{"Display", "auto", "value"}, false};
inline constexpr IntSetting ExcelPeriod{{"Display", "auto", "intervel"}, 60};
inline constexpr IntSetting KeptLength{{"Display", "auto", "format"}, 6};
inline constexpr TextSetting ValueFormat{{"Display", "auto", "format1"}, "0.00000"};

// Currency list.
inline constexpr FlagSetting ListAutoUpdate{{"Display", "auto", "update"}, false};
inline constexpr RealSetting ListWidth{{"Display", "List", "width"}, 10410};
inline constexpr RealSetting ListHeight{{"Display", "List", "height"}, 6330};

// Rate monitor.
inline constexpr TextSetting MonitorColumn{{"Display", "Monitor", "Column"}, "Colum1"};
inline constexpr IntSetting MonitorPeriod{{"Display", "Monitor", "intervel"}, 10};
// The same entry as the settings window shows it, before it is checked.
inline constexpr TextSetting MonitorPeriodText{MonitorPeriod.at, "10"};
inline constexpr FlagSetting MonitorSound{{"Display", "Monitor", "sound"}, false};
inline constexpr TextSetting MonitorLowSound{{"Display", "Monitor", "lowSound"}, ""};
inline constexpr TextSetting MonitorHighSound{{"Display", "Monitor", "highSound"}, ""};
inline constexpr FlagSetting MonitorColours{{"Display", "Monitor", "color"}, false};
inline constexpr IntSetting MonitorLowColour{{"Display", "Monitor", "lowColor"}, 0};
inline constexpr IntSetting MonitorHighColour{{"Display", "Monitor", "highColor"}, 0};
// The monitor and its settings window read these as they always have: only 1
// is on, and a colour is the stored number cut to a whole one.
inline constexpr IntSetting MonitorSoundNumber{MonitorSound.at, 0};
inline constexpr IntSetting MonitorColoursNumber{MonitorColours.at, 0};
inline constexpr RealSetting MonitorLowColourNumber{MonitorLowColour.at, 0};
inline constexpr RealSetting MonitorHighColourNumber{MonitorHighColour.at, 0};

// Login.
inline constexpr FlagSetting LoginRemember{{"Display", "login", "rem"}, false};
inline constexpr TextSetting LoginUser{{"Display", "login", "user"}, "Admin"};
inline constexpr TextSetting LoginPassword{{"Display", "login", "pass"}, ""};
inline constexpr FlagSetting RunUpdater{{"Quoteria", "Online", "Auto"}, false};
// The head office's server: tblDatabase has no column for its engine or ODBC driver.
inline constexpr TextSetting OnlineEngine{{"Quoteria", "Online", "Engine"}, "QODBC"};
inline constexpr TextSetting OnlineOdbcDriver{{"Quoteria", "Online", "OdbcDriver"}, "FreeTDS"};

} // namespace settings
} // namespace quoteria
