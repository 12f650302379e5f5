#pragma once
// What the windows share: the local database, the settings store and the
// process-wide values the control panel keeps for the board and the editors.
// Passed in explicitly so tests can give their own.
#include "data/mediastore.h"
#include "data/themedrafts.h"
#include "data/themestore.h"

#include <QString>
#include <memory>

namespace quoteria {

class CurrencyStore;
class Database;
class DataEvents;
class NewsStore;
class SettingsStore;
class UserStore;

// Online rate source settings loaded from tblDatabase at login.
struct OnlineSource {
    QString host, dbname, dbuser, dbpass;
    bool columnFlags[5] = {false, false, false, false, false};
    bool autoUpdate = false;
    int interval = 30;
};

// Only what several windows must agree on.
struct Session {
    qint64 currentThemeKey = 0;
    qint64 previewThemeKey = 0;
    int twipsPerPixel = 15;
    // The screen resolution the layout designer models: the theme last opened in the
    // theme editor (its SWidth / SHeight).
    int designWidth = 1366;
    int designHeight = 768;
    QString userName;
    QString userType; // "Admin" or "User"
    // The media volume (0 to 10) of the theme the board was last started with; the
    // media editor previews at it.
    int videoVolume = 0;

    bool isAdmin() const { return userType == QLatin1String("Admin"); }
};

struct AppContext {
    // The program and the test fixtures hand in the stores of the process.
    AppContext(Database& db, SettingsStore& settings, DataEvents& events, Session session,
               QString dataFolder, QString appFolder, CurrencyStore& currencies, NewsStore& news,
               UserStore& users);
    // A command-line job opens a database of its own: the context makes the stores
    // over it, announcing through events.
    AppContext(Database& db, SettingsStore& settings, DataEvents& events, Session session = {},
               QString dataFolder = {}, QString appFolder = {});
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    Database& db;
    SettingsStore& settings;
    DataEvents& events;
    Session session;
    QString dataFolder; // folder of the database file
    QString appFolder;  // folder of the executable and its shipped files
    // Filled by the login; the online feed reads it.
    OnlineSource online;

private:
    // Only for the second constructor; declared before the references bound to them.
    std::unique_ptr<CurrencyStore> m_ownCurrencies;
    std::unique_ptr<NewsStore> m_ownNews;
    std::unique_ptr<UserStore> m_ownUsers;

public:
    // One store per group of tables; the only ones that announce a change.
    CurrencyStore& currencies;
    NewsStore& news;
    UserStore& users;
    ThemeStore themes;
    MediaStore media;
    // Unsaved theme edits, for an open preview.
    ThemeDrafts drafts;
};

} // namespace quoteria
