#pragma once
// Creating a new database: the administrator, the online-source row and, on
// request, a demonstration theme with currencies and news.
#include <QString>

namespace quoteria {

class Database;

struct NewDatabaseOptions {
    QString adminPassword;
    bool demo = false;
    QString flagsFolder; // folder of flag pictures named by ISO country code; empty: look for one
    // Where the demonstration's pictures and video are written; empty: no media.
    QString mediaFolder;
};

// Fills a freshly created database. False with db.lastError() on failure.
bool populateNewDatabase(Database& db, const NewDatabaseOptions& options);
// Debian's flag pictures when installed, else empty.
QString defaultFlagsFolder();

// Makes `count` currencies active: the demonstration rows, then copies of them;
// rows beyond are made inactive. False with db.lastError() on failure.
bool setDemoCurrencyCount(Database& db, int count);

// Name of the demonstration theme.
QString demoThemeName();

} // namespace quoteria
