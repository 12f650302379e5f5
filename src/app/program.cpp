#include "app/program.h"

#include "data/appcontext.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/messageservice.h"
#include "data/settingsstore.h"
#include "panel/messagebox.h"
#include "panel/splash.h"
#include "panel/startupcheck.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLockFile>

namespace quoteria {

int runProgram(QApplication& app) {
    static BoxMessages boxes;
    setMessageService(&boxes);

    SplashWindow splash;
    splash.show();
    auto lock = acquireInstanceLock();
    if (!lock) {
        messages().show(kAlreadyRunning);
        return 1;
    }

    Database db;
    SettingsStore settings;
    DataEvents events;
    AppContext ctx{db,        settings,  events,
                   Session{}, QString(), QCoreApplication::applicationDirPath()};
    ctx.session.twipsPerPixel = splash.twipsPerPixel();

    int exitCode = 0;
    QObject::connect(&splash, &SplashWindow::finished, &app, [&] {
        const DatabaseCheck check = startupDatabaseCheck(db);
        if (!check.ok) {
            exitCode = 1;
            app.exit(1);
            return;
        }
        ctx.dataFolder = check.dataFolder;
        logLine(QStringLiteral("database %1 open").arg(db.path()));
        // The login window takes over from here once it exists.
        app.exit(0);
    });
    splash.startTimer(2000);
    const int rc = app.exec();
    return exitCode ? exitCode : rc;
}

} // namespace quoteria
