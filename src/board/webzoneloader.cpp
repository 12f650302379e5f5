#include "board/webzoneloader.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QUrl>

namespace quoteria::webzone {

namespace {
QString g_path;
}

QString libraryPath() {
    if (!g_path.isEmpty())
        return g_path;
    return QCoreApplication::applicationDirPath() + QLatin1String("/libquoteria_webzone.so");
}

void setLibraryPath(const QString& path) {
    g_path = path;
}

QWidget* open(QWidget* host, const QUrl& url, QString* error) {
    // Never unloaded: the engine cannot be taken down and brought up again.
    QLibrary lib(libraryPath());
    using Create = QWidget* (*)(QWidget*, const QUrl*);
    auto create = reinterpret_cast<Create>(lib.resolve("quoteriaWebZone"));
    if (!create) {
        if (error)
            *error = lib.errorString();
        return nullptr;
    }
    return create(host, &url);
}

} // namespace quoteria::webzone
