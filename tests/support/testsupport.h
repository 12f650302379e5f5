#pragma once
// Shared test fixtures: a private configuration folder and fresh databases.
#include "data/database.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"

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

} // namespace quoteria::test
