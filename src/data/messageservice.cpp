#include "data/messageservice.h"

#include <QDateTime>
#include <cstdio>

namespace quoteria {

namespace {
LogOnlyMessages g_logOnly;
MessageService* g_service = nullptr;

QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" | "));
    text.replace(QLatin1Char('\n'), QLatin1String(" | "));
    text.replace(QLatin1Char('\r'), QLatin1String(" | "));
    return text;
}
} // namespace

void logLine(const QString& line) {
    const QByteArray out =
        (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
         QLatin1String(" quoteria: ") + oneLine(line) + QLatin1Char('\n'))
            .toLocal8Bit();
    std::fwrite(out.constData(), 1, size_t(out.size()), stderr);
    std::fflush(stderr);
}

void MessageService::show(const QString& text, MsgIcon icon, const QString& title) {
    logLine(QLatin1String("message: ") + text);
    present(text, icon, title);
}

MsgAnswer MessageService::ask(const QString& text, const QString& title, MsgIcon icon) {
    const MsgAnswer a = question(text, title, icon);
    logLine(QLatin1String("question: ") + text +
            (a == MsgAnswer::Yes ? QLatin1String(" -> Yes") : QLatin1String(" -> No")));
    return a;
}

MsgAnswer MessageService::askYesNoCancel(const QString& text, const QString& title, MsgIcon icon) {
    const MsgAnswer a = questionWithCancel(text, title, icon);
    logLine(QLatin1String("question: ") + text +
            (a == MsgAnswer::Yes  ? QLatin1String(" -> Yes")
             : a == MsgAnswer::No ? QLatin1String(" -> No")
                                  : QLatin1String(" -> Cancel")));
    return a;
}

QStringList MessageRecorder::texts() const {
    QStringList out;
    for (const Entry& e : entries)
        out << e.text;
    return out;
}

void MessageRecorder::present(const QString& text, MsgIcon icon, const QString& title) {
    entries.append({text, icon, title, false});
}

MsgAnswer MessageRecorder::question(const QString& text, const QString& title, MsgIcon icon) {
    entries.append({text, icon, title, true});
    return answers.isEmpty() ? MsgAnswer::No : answers.takeFirst();
}

MsgAnswer MessageRecorder::questionWithCancel(const QString& text, const QString& title,
                                              MsgIcon icon) {
    return question(text, title, icon);
}

MessageService& messages() {
    return g_service ? *g_service : g_logOnly;
}

void setMessageService(MessageService* service) {
    g_service = service;
}

} // namespace quoteria
