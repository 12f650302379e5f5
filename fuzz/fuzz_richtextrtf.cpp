// libFuzzer target: reading RTF into a document never crashes, hangs or reads
// out of bounds, and what the writer makes of a document reads back the same.
#include "news/richtextrtf.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString rtf = QStringLiteral("{\\rtf1 ") +
                        QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    if (!quoteria::rtfToDocument(rtf, doc))
        std::abort();
    const QString once = quoteria::documentToRtf(doc);
    QTextDocument again;
    quoteria::rtfToDocument(once, again);
    const QString twice = quoteria::documentToRtf(again);
    if (once != twice) {
        std::fprintf(stderr, "round trip differs:\n%s\n----\n%s\n", qPrintable(once),
                     qPrintable(twice));
        std::abort();
    }
    return 0;
}
