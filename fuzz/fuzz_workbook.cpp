// libFuzzer target: any file under any workbook name is read or refused with a
// reason, without crashing, hanging or reading out of bounds.
#include "feeds/workbook.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // The first byte picks the name, so each parser sees every kind of content.
    static const char* const names[] = {"f.xlsx", "f.ods", "f.xls", "f.csv"};
    static QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(names[data[0] % 4]));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    f.close();
    QString error;
    const auto book =
        quoteria::WorkbookCells::read(path, {{1, 1}, {2, 3}, {100, 5}, {1, 16384}}, &error);
    if (!book && (error.isEmpty() || error.contains(QLatin1Char('\n'))))
        std::abort(); // a refusal always says why, on one line
    return 0;
}
