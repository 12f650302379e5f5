#include "app/program.h"

#include "data/appcontext.h"
#include "data/connectionworker.h"
#include "data/currencystore.h"
#include "data/database.h"
#include "data/dataevents.h"
#include "data/messageservice.h"
#include "data/newsstore.h"
#include "data/ratehistory.h"
#include "data/settingsstore.h"
#include "data/userstore.h"
#include "feeds/onlinerates.h"
#include "gui/messagebox.h"
#include "media/alarmplayer.h"
#include "panel/boardresume.h"
#include "panel/controlpanel.h"
#include "panel/displayboard.h"
#include "panel/splash.h"
#include "panel/startupcheck.h"
#include "rates/feedscheduler.h"
#include "rates/ratemonitor.h"
#include "users/loginwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLockFile>
#include <QTimer>
#include <memory>
#include <optional>

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
    // One store per group of tables for the whole run; windows share them.
    CurrencyStore currencies(db, &events);
    NewsStore news(db, &events);
    UserStore users(db);
    AppContext ctx{db,         settings,  events,
                   Session{},  QString(), QCoreApplication::applicationDirPath(),
                   currencies, news,      users};
    ctx.session.twipsPerPixel = splash.twipsPerPixel();
    // Services of the whole run; the panel only switches them.
    RateMonitor monitor(ctx);
    MediaAlarmPlayer mp;
    monitor.setPlayer(&mp);
    FeedScheduler feeds;
    OnlineRates online(ctx);
    // Old rate history goes on a connection of its own, never holding up a window.
    ConnectionWorker historyWorker(QStringLiteral("quoteria-history"));
    HistoryPurger purger(settings, historyWorker);
    QTimer purgeCheck; // a program left running purges again the next day
    purgeCheck.setInterval(60 * 60 * 1000);
    QObject::connect(&purgeCheck, &QTimer::timeout, &purger, [&] { purger.purgeIfDue(); });

    int exitCode = 0;
    // The panel lives for the rest of the process once the login succeeds.
    std::unique_ptr<ControlPanel> panel;
    std::unique_ptr<LoginWindow> login;
    // A board that ran when the program last ended comes back before the login;
    // until then its own Ctrl+D or close stops it for good.
    std::optional<ResumedBoard> resumed;
    std::unique_ptr<QObject> resumedWatch;
    const auto dropResumed = [&] {
        // Called from the watcher's own queued slot: it goes after that returns.
        if (resumedWatch)
            resumedWatch.release()->deleteLater();
        resumed.reset();
        clearRunningMark(runningMarkPathOf(ctx));
    };
    QObject::connect(&splash, &SplashWindow::finished, &app, [&] {
        const DatabaseCheck check = startupDatabaseCheck(db);
        if (!check.ok) {
            exitCode = 1;
            app.exit(1);
            return;
        }
        ctx.dataFolder = check.dataFolder;
        logLine(QStringLiteral("database %1 open").arg(db.path()));
        historyWorker.open([path = db.path()](Connection& c) { return sqlite::openExisting(c, path); },
                           &purger, [](const JobResult& r) {
                               if (!r.ok)
                                   logLine(QStringLiteral("rate history: %1").arg(r.error));
                           });
        purger.purgeIfDue();
        purgeCheck.start();
        resumed =
            resumeBoard(ctx, displayBoardFactory(), [&monitor] { return monitor.isEnabled(); });
        if (resumed) {
            resumedWatch = std::make_unique<QObject>();
            for (auto signal : {&BoardControl::stopRequested, &BoardControl::closed})
                QObject::connect(resumed->board.get(), signal, resumedWatch.get(), dropResumed,
                                 Qt::QueuedConnection);
        }
        login = std::make_unique<LoginWindow>(ctx);
        // Leaving at the login is a clean end: the board does not come back.
        QObject::connect(login.get(), &LoginWindow::exitRequested, &app, [&] {
            if (resumed)
                dropResumed();
            app.exit(0);
        });
        QObject::connect(login.get(), &LoginWindow::loggedIn, &app, [&] {
            panel = std::make_unique<ControlPanel>(ctx, PanelServices{monitor, mp, feeds, online});
            panel->setBoardFactory(displayBoardFactory());
            QObject::connect(panel.get(), &ControlPanel::exitRequested, &app, [&] { app.exit(0); });
            panel->show();
            if (resumed) {
                resumedWatch.reset();
                panel->adoptBoard(std::move(resumed->board), resumed->mark);
                resumed.reset();
            }
        });
        login->show();
        app.setQuitOnLastWindowClosed(true);
    });
    // Nothing is on screen between the splash and the login window.
    app.setQuitOnLastWindowClosed(false);
    splash.startTimer(2000);
    const int rc = app.exec();
    return exitCode ? exitCode : rc;
}

} // namespace quoteria
