#pragma once
// Small helpers shared by the command-line jobs.
#include "data/database.h"
#include "data/dbpath.h"

#include <QRegularExpression>
#include <QSize>
#include <QStringList>
#include <cstdio>

namespace quoteria::cli {

inline void err(const QString& s) {
    std::fprintf(stderr, "%s\n", qPrintable(s));
}
inline void out(const QString& s) {
    std::fprintf(stdout, "%s\n", qPrintable(s));
}
// The argument after name; empty when name is absent or last.
inline QString optionValue(const QStringList& args, const QString& name, bool* present = nullptr) {
    const int i = args.indexOf(name);
    if (present)
        *present = i >= 0;
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}
// The n-th argument after flag (n from 1); empty when missing or another option.
inline QString argumentAfter(const QStringList& args, const QString& flag, int n) {
    const int at = args.indexOf(flag);
    if (at < 0 || at + n >= args.size() || args.at(at + n).startsWith(QLatin1String("--")))
        return QString();
    return args.at(at + n);
}

// "WxH" in pixels, each side 16 to 8192.
inline bool parseSize(const QString& text, QSize* size) {
    static const QRegularExpression re(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QSize s(m.captured(1).toInt(), m.captured(2).toInt());
    if (s.width() < 16 || s.height() < 16 || s.width() > 8192 || s.height() > 8192)
        return false;
    *size = s;
    return true;
}

// Opens the database the program uses (named in path.txt), as every job that reads
// it does. False, said on stderr, when there is none or it cannot be opened.
inline bool openProgramDatabase(Database& db, DbLocation* where) {
    *where = readDbPath();
    if (where->path.isEmpty()) {
        err(where->error);
        return false;
    }
    if (!db.open(where->path)) {
        err(db.lastError());
        return false;
    }
    return true;
}

} // namespace quoteria::cli
