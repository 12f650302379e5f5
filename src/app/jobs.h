#pragma once
// The command-line jobs that src/app runs itself; each takes the whole argument
// list and returns the process's exit code.
#include <QStringList>

namespace quoteria {

// --init-db PATH [--admin-password PW] [--demo]: a new database, named in path.txt.
int initDbCommand(const QStringList& args);
// --rtf2html OPTIONS: RTF on standard input, HTML on standard output.
int rtfToHtmlCommand(const QStringList& args);

// --feed-once: the configured workbook read once into the currencies; prints
// each value it changed.
int feedOnceCommand(const QStringList& args);

// --export-theme NAME FILE: the theme and its pictures into one file.
int exportThemeCommand(const QStringList& args);
// --import-theme FILE: a theme from such a file, added under a free name.
int importThemeCommand(const QStringList& args);

// --export-history FROM TO FILE: the rate history of those days (inclusive) as CSV.
int exportHistoryCommand(const QStringList& args);

// --read-cells WORKBOOK R,C [R,C ...]: each cell's text on its own line.
int readCellsCommand(const QStringList& args);

// --install-autostart / --remove-autostart: the session's autostart entry.
int installAutostartCommand(const QStringList& args);
int removeAutostartCommand(const QStringList& args);

} // namespace quoteria
