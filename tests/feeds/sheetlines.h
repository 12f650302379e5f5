#pragma once
// A workbook stand-in for the feed's tests and timings: one cell per line,
// "row,col=text", in a file of our own.
#include "feeds/sheetfeed.h"

#include <QFile>

namespace quoteria::test {

inline std::optional<CellTexts> readLines(const QString& path, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return std::nullopt;
    }
    CellTexts cells;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const int eq = line.indexOf('=');
        if (const auto ref = cellRefOf(QString::fromUtf8(line.left(eq))); ref && eq > 0)
            cells.insert({ref->row, ref->col}, QString::fromUtf8(line.mid(eq + 1)));
    }
    return cells;
}

inline bool writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace quoteria::test
