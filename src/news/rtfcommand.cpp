#include "news/rtftohtml.h"

#include <QByteArray>
#include <QStringDecoder>
#include <cstdio>

namespace quoteria {

// quoteria --rtf2html OPTIONS: RTF on standard input, HTML on standard output.
int rtfToHtmlCommand(const QStringList& args) {
    const int i = args.indexOf(QStringLiteral("--rtf2html"));
    const QString options = i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();

    QByteArray input;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        input.append(buffer, qsizetype(got));

    // RTF is seven-bit text; stray bytes are read as UTF-8 when they form it,
    // else as Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString rtf = utf8.decode(input);
    if (utf8.hasError())
        rtf = QString::fromLatin1(input);

    const QByteArray html = rtfToHtml(rtf, options).toUtf8();
    std::fwrite(html.constData(), 1, size_t(html.size()), stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace quoteria
