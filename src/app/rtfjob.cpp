#include "app/cliutil.h"
#include "app/jobs.h"
#include "news/rtftohtml.h"

#include <QByteArray>
#include <cstdio>

namespace quoteria {

// quoteria --rtf2html OPTIONS: RTF on standard input, HTML on standard output.
int rtfToHtmlCommand(const QStringList& args) {
    const QString options = cli::optionValue(args, QStringLiteral("--rtf2html"));

    QByteArray input;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        input.append(buffer, qsizetype(got));

    const QByteArray html = rtfToHtml(decodeRtfBytes(input), options).toUtf8();
    std::fwrite(html.constData(), 1, size_t(html.size()), stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace quoteria
