// libFuzzer target: any bytes read as any of the four media lists give entries or
// log lines, without crashing, hanging or reading out of bounds.
#include "media/medialists.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // The first byte picks the list, so each reader sees every kind of content.
    const auto kind = quoteria::MediaListKind(data[0] % 4);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    int lines = 0;
    const auto entries = quoteria::readMediaList(kind, bytes, [&lines](const QString&) { ++lines; });
    for (const auto& e : entries)
        if (e.file.isEmpty())
            std::abort(); // an entry always names a file
    if (entries.size() + lines > qsizetype(size))
        std::abort(); // every entry or skip took some input
    return 0;
}
