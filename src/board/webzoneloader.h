#pragma once
// Opens the media zone's web view from its module, loaded on first use only: a
// board in any other mode never maps the web engine.
#include <QString>

class QUrl;
class QWidget;

namespace quoteria::webzone {

// Where the module is looked for: beside the executable unless set.
QString libraryPath();
void setLibraryPath(const QString& path);

// A web view in host on its way to url; null with the reason in error when the
// module cannot be loaded.
QWidget* open(QWidget* host, const QUrl& url, QString* error);

} // namespace quoteria::webzone
