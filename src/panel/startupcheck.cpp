#include "panel/startupcheck.h"

#include "data/database.h"
#include "data/dbpath.h"
#include "data/messageservice.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <cmath>

namespace quoteria {

const QString kAlreadyRunning =
    QStringLiteral("Application already running.") + QString(17, QLatin1Char(' '));
const QString kDatabaseError = QStringLiteral("Database Error ...Cannot continue.") +
                               QString(12, QLatin1Char(' ')) + QLatin1Char('\n') +
                               QStringLiteral("Check path.txt file");

std::unique_ptr<QLockFile> acquireInstanceLock(const QString& lockPath) {
    QString path = lockPath;
    if (path.isEmpty()) {
        QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (dir.isEmpty())
            dir = QDir::tempPath();
        path = dir + QLatin1String("/quoteria.lock");
    }
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0); // a crashed instance's lock is recognised by its dead pid
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

int twipsPerPixelFor(double logicalDpi) {
    if (logicalDpi <= 0)
        return 15;
    return qMax(1, int(std::lround(1440.0 / logicalDpi)));
}

DatabaseCheck startupDatabaseCheck(Database& db) {
    DatabaseCheck r;
    const DbLocation loc = readDbPath();
    if (loc.path.isEmpty()) {
        messages().show(loc.error);
    } else if (db.open(loc.path)) {
        r.ok = true;
        r.dataFolder = loc.dataFolder;
        return r;
    } else {
        logLine(QStringLiteral("database check failed: %1").arg(db.lastError()));
    }
    messages().show(kDatabaseError, MsgIcon::Critical);
    return r;
}

} // namespace quoteria
