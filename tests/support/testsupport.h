#pragma once
// Shared test fixtures: a private configuration folder and fresh databases.
#include "data/appcontext.h"
#include "data/currencystore.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/messageservice.h"
#include "data/newsstore.h"
#include "data/settingsstore.h"
#include "data/userstore.h"

#include <QTemporaryDir>
#include <memory>

namespace quoteria::test {

// Points XDG_CONFIG_HOME (and so the settings store and path.txt) at a fresh
// temporary folder for the life of the object, and installs a message recorder.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    QString dir() const { return m_dir.path(); }
    QString configDir() const;
    // Creates an empty database of the current schema (optionally the demo data)
    // inside the temporary folder and opens db on it.
    bool makeDatabase(Database& db, bool demo = false,
                      const QString& name = QStringLiteral("rates.db"));
    MessageRecorder recorder;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
};

// Empty when table.column can be read; the database's description otherwise.
QString columnError(Database& db, const QString& table, const QString& column);

// A fresh database (the demo data on request), private settings and a context
// around them, as the windows get it in the program.
struct AppFixture {
    explicit AppFixture(bool demo = false);
    TestEnv env;
    Database db;
    SettingsStore settings; // after env: it reads the private configuration folder
    DataEvents events;
    CurrencyStore currencies{db, &events};
    NewsStore news{db, &events};
    UserStore users{db};
    AppContext ctx{db, settings, events, Session{}, QString(), QString(), currencies, news, users};
    bool ready = false; // the database was made
};

} // namespace quoteria::test
