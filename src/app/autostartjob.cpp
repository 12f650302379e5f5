// --install-autostart / --remove-autostart: the desktop session's entry that
// starts the program at login.
#include "app/cliutil.h"
#include "app/jobs.h"
#include "data/autostart.h"

#include <QCoreApplication>

namespace quoteria {

int installAutostartCommand(const QStringList&) {
    QString error;
    if (!installAutostart(QCoreApplication::applicationFilePath(), &error)) {
        cli::err(error);
        return 1;
    }
    cli::out(QStringLiteral("Autostart entry written: %1").arg(autostartEntryPath()));
    return 0;
}

int removeAutostartCommand(const QStringList&) {
    QString error;
    bool removed = false;
    if (!removeAutostart(&removed, &error)) {
        cli::err(error);
        return 1;
    }
    cli::out(removed
                 ? QStringLiteral("Autostart entry removed: %1").arg(autostartEntryPath())
                 : QStringLiteral("There was no autostart entry (%1).").arg(autostartEntryPath()));
    return 0;
}

} // namespace quoteria
