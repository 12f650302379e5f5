#pragma once
// What the windows share: the local database, the settings store and the
// process-wide values the control panel keeps for the board and the editors.
// Passed in explicitly so tests can give their own.
#include <QString>

namespace quoteria {

class CurrencyStore;
class Database;
class DataEvents;
class SettingsStore;

// Defined with CurrencyStore: the store kept with `events` for contexts built
// without one of their own.
CurrencyStore& attachedCurrencyStore(Database& db, DataEvents& events);

// Online rate source settings loaded from tblDatabase at login.
struct OnlineSource {
    QString host, dbname, dbuser, dbpass;
    bool columnFlags[5] = {false, false, false, false, false};
    bool autoUpdate = false;
    int interval = 30;
};

struct Session {
    qint64 currentThemeKey = 0;
    qint64 previewThemeKey = 0;
    QString displayMode = QStringLiteral("Scroll"); // "Scroll" or "Page"
    int pageInterval = 3000;                        // milliseconds
    int currentPage = 1;
    bool videoInEnabled = false;
    int tickerSpeed = 30;        // twips per ticker tick
    int previewTickerSpeed = 15; // half of it, halves to even
    bool displayRunning = false;
    int twipsPerPixel = 15;
    int designWidth = 1366;
    int designHeight = 768;
    int videoIndex = 0;
    int videoVolume = 5;
    QString userName;
    QString userType;       // "Admin" or "User"
    bool monitorOn = false; // the panel's "Start Monitor" box
    OnlineSource online;

    bool isAdmin() const { return userType == QLatin1String("Admin"); }
};

struct AppContext {
    Database& db;
    SettingsStore& settings;
    DataEvents& events;
    Session session;
    QString dataFolder; // folder of the database file
    QString appFolder;  // folder of the executable and its shipped files
    // The one store of tblCurr for this database; the only one that announces a
    // change of the table.
    CurrencyStore& currencies = attachedCurrencyStore(db, events);
};

} // namespace quoteria
