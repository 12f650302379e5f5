// Command-line jobs that carry a theme from one counter to another.
#include "app/cliutil.h"
#include "app/jobs.h"
#include "data/dataevents.h"
#include "data/themestore.h"
#include "design/themearchive.h"

#include <QDir>

namespace quoteria {

int exportThemeCommand(const QStringList& args) {
    const QString flag = QStringLiteral("--export-theme");
    const QString name = cli::argumentAfter(args, flag, 1);
    const QString file = cli::argumentAfter(args, flag, 2);
    if (name.isEmpty() || file.isEmpty()) {
        cli::err(QStringLiteral("usage: quoteria --export-theme NAME FILE"));
        return 2;
    }
    DbLocation loc;
    Database db(QStringLiteral("quoteria-export"));
    if (!cli::openProgramDatabase(db, &loc))
        return 1;
    QStringList leftOut;
    if (!exportTheme(db, name, file, &leftOut))
        return 1;
    cli::out(QStringLiteral("Theme \"%1\" written to %2%3")
                 .arg(name, QDir::toNativeSeparators(file),
                      leftOut.isEmpty()
                          ? QString()
                          : QStringLiteral(" without %1 picture(s)").arg(leftOut.size())));
    return 0;
}

int importThemeCommand(const QStringList& args) {
    const QString file = cli::argumentAfter(args, QStringLiteral("--import-theme"), 1);
    if (file.isEmpty()) {
        cli::err(QStringLiteral("usage: quoteria --import-theme FILE"));
        return 2;
    }
    DbLocation loc;
    Database db(QStringLiteral("quoteria-import"));
    if (!cli::openProgramDatabase(db, &loc))
        return 1;
    DataEvents events;
    ThemeStore themes(db, &events);
    const ImportedTheme theme = importTheme(themes, loc.dataFolder, file);
    if (theme.key <= 0)
        return 1;
    cli::out(QStringLiteral("Theme imported as \"%1\"%2")
                 .arg(theme.name, theme.folder.isEmpty()
                                      ? QString()
                                      : QStringLiteral(", its pictures in %1")
                                            .arg(QDir::toNativeSeparators(theme.folder))));
    return 0;
}

} // namespace quoteria
