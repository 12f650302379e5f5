#include "data/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace quoteria {

namespace {
// One Exec argument: quoted when it holds a character the desktop entry format
// reserves, then escaped once more as a string value of the file.
QString execArgument(const QString& arg) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = arg.isEmpty();
    for (const QChar c : arg)
        quote = quote || reserved.contains(c);
    QString a = arg;
    a.replace(QLatin1Char('%'), QLatin1String("%%"));
    if (!quote)
        return a;
    QString q;
    for (const QChar c : a) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            q += QLatin1Char('\\');
        q += c;
    }
    q.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

QString autostartEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/autostart/quoteria.desktop");
}

QByteArray autostartEntry(const QString& programPath) {
    QString t = QStringLiteral("[Desktop Entry]\n"
                               "Type=Application\n"
                               "Name=Quoteria\n"
                               "Comment=Rate board of the exchange counter\n");
    t += QLatin1String("Exec=") + execArgument(programPath) + QLatin1Char('\n');
    t += QLatin1String("Terminal=false\nX-GNOME-Autostart-enabled=true\n");
    return t.toUtf8();
}

bool installAutostart(const QString& programPath, QString* error) {
    const QString path = autostartEntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("Cannot make the folder %1").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(autostartEntry(programPath)) < 0 || !f.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

bool removeAutostart(bool* removed, QString* error) {
    QFile f(autostartEntryPath());
    *removed = false;
    if (!f.exists())
        return true;
    if (!f.remove()) {
        *error = QStringLiteral("Cannot remove %1: %2").arg(f.fileName(), f.errorString());
        return false;
    }
    *removed = true;
    return true;
}

} // namespace quoteria
