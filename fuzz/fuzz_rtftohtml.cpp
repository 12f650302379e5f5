// libFuzzer target: the converter must never crash, hang or read out of bounds,
// and whatever it writes must close every tag it opens, in order.
#include "news/rtftohtml.h"

#include <QRegularExpression>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool balanced(const QString& html) {
    static const QRegularExpression tag(QStringLiteral("<(/?)([a-z]+)[^>]*>"));
    QStringList open;
    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString name = m.captured(2);
        if (name == QLatin1String("br"))
            continue;
        if (m.captured(1).isEmpty())
            open << name;
        else if (open.isEmpty() || open.takeLast() != name)
            return false;
    }
    return open.isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static const char* const options[] = {"0", "+CR", "+F=2", "-FF", "+CR+F=4-FF", "+F="};
    const char* option = options[data[0] % 6];
    const QString rtf =
        QString::fromLatin1(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    quoteria::RtfToHtml converter;
    const QString html = converter.convert(rtf, QString::fromLatin1(option));
    // Text the document itself holds may look like tags; only check documents
    // without "<" of their own.
    if (!rtf.contains(QLatin1Char('<')) && !balanced(html)) {
        std::fprintf(stderr, "unbalanced output: %s\n", qPrintable(html));
        std::abort();
    }
    return 0;
}
