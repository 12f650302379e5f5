#pragma once
// The desktop's autostart entry that starts the program when the user's session
// begins, so a board PC brings its board back after a reboot.
#include <QByteArray>
#include <QString>

namespace quoteria {

// $XDG_CONFIG_HOME/autostart/quoteria.desktop (~/.config when unset).
QString autostartEntryPath();
// The entry's text for the program at programPath.
QByteArray autostartEntry(const QString& programPath);
// Written at once (aside, then renamed); error says why not.
bool installAutostart(const QString& programPath, QString* error);
// True also when there was no entry; *removed says whether one went.
bool removeAutostart(bool* removed, QString* error);

} // namespace quoteria
