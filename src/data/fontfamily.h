#pragma once
// Themes name Windows fonts; the board and the theme editor draw with what is here.
#include <QString>

namespace quoteria {

// An installed font family for a theme's font name: the name itself when installed,
// else a similar face (Liberation Serif, Mono or Sans).
QString installedFamily(const QString& wanted);

} // namespace quoteria
