#pragma once
// Finding the database: path.txt beside the executable, else in the user's
// configuration folder. Items are comma-delimited; the last one wins.
#include <QString>

namespace quoteria {

struct DbLocation {
    QString path;       // database file; empty when none was found
    QString dataFolder; // folder of the database file
    QString source;     // the path.txt that was read
    QString error;      // why nothing was found
};

// The path.txt files looked at, in order.
QStringList pathFileCandidates();
// Reads the last item of one path.txt text.
QString lastPathItem(const QString& content);
DbLocation readDbPath();
// Writes path as the only item of the user's path.txt. False with error on failure.
bool writeUserDbPath(const QString& path, QString* error);
// The folder holding the database file, taken from the path itself.
QString dataFolderOf(const QString& dbPath);

} // namespace quoteria
