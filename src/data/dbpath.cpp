#include "data/dbpath.h"

#include "data/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quoteria {

QStringList pathFileCandidates() {
    QStringList out;
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty())
        out << exeDir + QLatin1String("/path.txt");
    out << SettingsStore::configFolder() + QLatin1String("/path.txt");
    return out;
}

QString lastPathItem(const QString& content) {
    QString last;
    // Items end at a comma or a line end; a quoted item keeps its commas.
    QString item;
    bool inQuotes = false;
    auto flush = [&] {
        const QString t = item.trimmed();
        if (!t.isEmpty())
            last = t;
        item.clear();
    };
    for (const QChar ch : content) {
        if (ch == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            continue;
        }
        if (!inQuotes &&
            (ch == QLatin1Char(',') || ch == QLatin1Char('\n') || ch == QLatin1Char('\r'))) {
            flush();
            continue;
        }
        item += ch;
    }
    flush();
    return last;
}

QString dataFolderOf(const QString& dbPath) {
    if (dbPath.isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(dbPath).absolutePath());
}

DbLocation readDbPath() {
    DbLocation loc;
    for (const QString& candidate : pathFileCandidates()) {
        QFile f(candidate);
        if (!f.exists())
            continue;
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            loc.error = QStringLiteral("Cannot read %1: %2").arg(candidate, f.errorString());
            return loc;
        }
        loc.source = candidate;
        loc.path = lastPathItem(QString::fromUtf8(f.readAll()));
        loc.dataFolder = dataFolderOf(loc.path);
        if (loc.path.isEmpty())
            loc.error = QStringLiteral("%1 names no database").arg(candidate);
        return loc;
    }
    loc.error = QStringLiteral("File not found: path.txt (looked in %1)")
                    .arg(pathFileCandidates().join(QLatin1String(", ")));
    return loc;
}

bool writeUserDbPath(const QString& path, QString* error) {
    const QString folder = SettingsStore::configFolder();
    QDir().mkpath(folder);
    QSaveFile f(folder + QLatin1String("/path.txt"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    f.write(QFileInfo(path).absoluteFilePath().toUtf8() + '\n');
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace quoteria
