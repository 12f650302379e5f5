#pragma once
// Small shared helpers used by many windows.
#include "data/database.h" // callers hand in the local Database as a Connection

#include <QString>
#include <initializer_list>
#include <utility>

namespace quoteria {

// The theme's key, 0 when no theme has that name. Matched as the panel's theme box
// matches: the exact name first, else the first in any letter case (any alphabet).
qint64 themeKeyOf(Connection& db, const QString& themeName);

// Equal when letter case is ignored in every alphabet, including upper-case forms
// longer than the letter ("straße" and "STRASSE").
bool sameIgnoringCase(const QString& a, const QString& b);

// Path up to and including its last separator ('\' or '/'); empty when it has none.
QString folderOf(const QString& path);
// The part after the last separator; empty when the path is empty or has none.
QString fileNameOf(const QString& path);
// True when the file's length can be read (an empty file counts).
bool fileExists(const QString& path);
// Places where pattern occurs in text, overlapping ones included.
int countOccurrences(const QString& text, const QString& pattern, bool ignoreCase);

// A statement spelled once from column names: every "{mark}" in pattern replaced
// by its name.
using SqlName = std::pair<const char*, QLatin1String>;
QString spellSql(const char* pattern, std::initializer_list<SqlName> names);

} // namespace quoteria
