#include "app/cliutil.h"
#include "app/jobs.h"
#include "data/database.h"
#include "data/dbpath.h"
#include "data/demodata.h"
#include "data/settingsstore.h"
#include "media/mediagallery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace quoteria {

namespace {

using cli::err;
using cli::optionValue;
using cli::out;

QString askPassword() {
    std::fprintf(stderr, "Password for ADMIN: ");
    std::fflush(stderr);
    termios old{};
    const bool tty = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (tty) {
        tcsetattr(STDIN_FILENO, TCSANOW, &old);
        std::fprintf(stderr, "\n");
    }
    return QString::fromStdString(line);
}

} // namespace

int initDbCommand(const QStringList& args) {
    const QString path = optionValue(args, QStringLiteral("--init-db"));
    if (path.isEmpty() || path.startsWith(QLatin1String("--"))) {
        err(QStringLiteral("usage: quoteria --init-db PATH [--admin-password PW] [--demo]"));
        return 2;
    }
    bool hasPw = false;
    QString pw = optionValue(args, QStringLiteral("--admin-password"), &hasPw);
    if (!hasPw)
        pw = askPassword();
    if (pw.isEmpty()) {
        err(QStringLiteral("The administrator password must not be empty."));
        return 2;
    }
    // The usual place for a new database is a folder that does not exist yet.
    QDir().mkpath(QFileInfo(path).absolutePath());
    Database db(QStringLiteral("quoteria-init"));
    if (!db.create(path)) {
        err(db.lastError());
        return 1;
    }
    NewDatabaseOptions opt;
    opt.adminPassword = pw;
    opt.demo = args.contains(QStringLiteral("--demo"));
    // Beside the database, where the media list keeps its copies.
    opt.mediaFolder = galleryFolder(QFileInfo(path).absolutePath());
    if (!populateNewDatabase(db, opt)) {
        err(QStringLiteral("Cannot fill the new database: %1").arg(db.lastError()));
        db.close();
        QFile::remove(path);
        return 1;
    }
    db.close();
    if (opt.demo) {
        // So the demo board starts without choosing a template first.
        SettingsStore prefs;
        if (prefs.get(settings::ThemeName).isEmpty())
            prefs.set(settings::ThemeName, demoThemeName());
        // The demo theme is drawn for 1366 x 768; any other screen shows it whole.
        prefs.set(settings::FitToScreen, true);
    }
    QString e;
    if (!writeUserDbPath(path, &e)) {
        err(QStringLiteral("Database created, but path.txt could not be written: %1").arg(e));
        return 1;
    }
    out(QStringLiteral("Created %1%2")
            .arg(QFileInfo(path).absoluteFilePath(),
                 opt.demo ? QStringLiteral(" with demonstration data") : QString()));
    out(hasPw ? QStringLiteral("Login: user name ADMIN, password %1").arg(pw)
              : QStringLiteral("Login: user name ADMIN with the password you typed"));
    return 0;
}

} // namespace quoteria
