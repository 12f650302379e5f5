#pragma once
// The running mark: what the board was showing, kept on disk while it runs so
// that a board cut off by a crash or a power loss comes back at the next start.
// A clean stop removes it.
#include <QString>
#include <optional>

namespace quoteria {

struct RunningMark {
    QString theme;  // theme name
    QString motion; // "Scroll" or "Page"
    QString screen; // "Single" or "Dual"
    bool ticker = false;
    bool paused = false;

    bool operator==(const RunningMark& o) const {
        return theme == o.theme && motion == o.motion && screen == o.screen && ticker == o.ticker &&
               paused == o.paused;
    }
    bool operator!=(const RunningMark& o) const { return !(*this == o); }

    // The file's text; the last line closes it, so a cut-off write is seen.
    QByteArray toText() const;
    // Nothing for a file that is not a whole mark.
    static std::optional<RunningMark> parse(const QByteArray& text);
};

// The mark's file in a folder (the settings folder).
QString runningMarkPath(const QString& folder);
// Replaces the mark at once (written aside, then renamed); false when it fails.
bool writeRunningMark(const QString& path, const RunningMark& mark);
// The mark, or nothing when there is none; a damaged file is said in one log line.
std::optional<RunningMark> readRunningMark(const QString& path);
void clearRunningMark(const QString& path);

} // namespace quoteria
