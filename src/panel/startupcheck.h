#pragma once
// Start-up steps that need no window: single instance and the database check.
#include <QString>
#include <memory>

class QLockFile;

namespace quoteria {

class Database;

extern const QString kAlreadyRunning; // "Application already running." + 17 blanks
extern const QString kDatabaseError;  // the database check's message

// Holds the per-user instance lock for the life of the process; null when another
// instance holds it.
std::unique_ptr<QLockFile> acquireInstanceLock(const QString& lockPath = QString());

// twips per pixel for a logical DPI: 1440 / dpi, rounded (15 at 96 DPI).
int twipsPerPixelFor(double logicalDpi);

struct DatabaseCheck {
    bool ok = false;
    QString dataFolder;
};
// Finds the database through path.txt and opens it. On failure shows the path.txt
// error (when that is the cause) and the database error message; the caller ends
// the process.
DatabaseCheck startupDatabaseCheck(Database& db);

} // namespace quoteria
