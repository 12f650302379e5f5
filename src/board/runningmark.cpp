#include "board/runningmark.h"

#include "data/messageservice.h"

#include <QFile>
#include <QSaveFile>

namespace quoteria {

namespace {
const QByteArray kHead = QByteArrayLiteral("quoteria running board 1");
const QByteArray kEnd = QByteArrayLiteral("end");

bool flagOf(const QByteArray& v, bool* ok) {
    *ok = v == "0" || v == "1";
    return v == "1";
}
} // namespace

QByteArray RunningMark::toText() const {
    QByteArray t = kHead + '\n';
    t += "theme=" + theme.toUtf8() + '\n';
    t += "motion=" + motion.toUtf8() + '\n';
    t += "screen=" + screen.toUtf8() + '\n';
    t += QByteArray("ticker=") + (ticker ? '1' : '0') + '\n';
    t += QByteArray("paused=") + (paused ? '1' : '0') + '\n';
    return t + kEnd + '\n';
}

std::optional<RunningMark> RunningMark::parse(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    // The head, five values, the end and the empty rest after the last newline.
    if (lines.size() != 8 || lines.at(0) != kHead || lines.at(6) != kEnd || !lines.at(7).isEmpty())
        return std::nullopt;
    RunningMark m;
    const char* const keys[] = {"theme", "motion", "screen", "ticker", "paused"};
    for (int i = 0; i < 5; ++i) {
        const QByteArray& line = lines.at(i + 1);
        const QByteArray key = QByteArray(keys[i]) + '=';
        if (!line.startsWith(key))
            return std::nullopt;
        const QByteArray value = line.mid(key.size());
        bool ok = true;
        switch (i) {
        case 0:
            m.theme = QString::fromUtf8(value);
            ok = !m.theme.trimmed().isEmpty() && !m.theme.contains(QChar::ReplacementCharacter);
            break;
        case 1:
            m.motion = QString::fromUtf8(value);
            ok = m.motion == QLatin1String("Scroll") || m.motion == QLatin1String("Page");
            break;
        case 2:
            m.screen = QString::fromUtf8(value);
            ok = m.screen == QLatin1String("Single") || m.screen == QLatin1String("Dual");
            break;
        case 3:
            m.ticker = flagOf(value, &ok);
            break;
        default:
            m.paused = flagOf(value, &ok);
        }
        if (!ok)
            return std::nullopt;
    }
    return m;
}

QString runningMarkPath(const QString& folder) {
    return folder + QLatin1String("/board-running");
}

bool writeRunningMark(const QString& path, const RunningMark& mark) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(mark.toText()) < 0 || !f.commit()) {
        logLine(QStringLiteral("board: cannot write %1: %2").arg(path, f.errorString()));
        return false;
    }
    return true;
}

std::optional<RunningMark> readRunningMark(const QString& path) {
    QFile f(path);
    if (!f.exists())
        return std::nullopt;
    // A mark is a few short lines; anything longer is not one.
    const QByteArray text = f.open(QIODevice::ReadOnly) ? f.read(4096) : QByteArray();
    auto mark = RunningMark::parse(text);
    if (!mark)
        logLine(QStringLiteral("board: %1 is damaged; the board is not resumed").arg(path));
    return mark;
}

void clearRunningMark(const QString& path) {
    QFile::remove(path);
}

} // namespace quoteria
