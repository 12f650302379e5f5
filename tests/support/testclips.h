#pragma once
// Short video files made on the spot with GStreamer's own test source.
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace quoteria::test {

// A VP8/WebM clip of `frames` frames at 25 per second; false when the tool is
// missing or fails. pattern: one of videotestsrc's (smpte, ball, snow, ...).
inline bool makeClip(const QString& path, int frames, int width = 320, int height = 180,
                     const QString& pattern = QStringLiteral("ball")) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("gst-launch-1.0"));
    if (tool.isEmpty())
        return false;
    QProcess gst;
    gst.start(
        tool,
        {QStringLiteral("-q"), QStringLiteral("videotestsrc"),
         QStringLiteral("num-buffers=%1").arg(frames), QStringLiteral("pattern=") + pattern,
         QStringLiteral("!"),
         QStringLiteral("video/x-raw,width=%1,height=%2,framerate=25/1").arg(width).arg(height),
         QStringLiteral("!"), QStringLiteral("vp8enc"), QStringLiteral("deadline=1"),
         QStringLiteral("!"), QStringLiteral("webmmux"), QStringLiteral("!"),
         QStringLiteral("filesink"), QStringLiteral("location=") + path});
    return gst.waitForFinished(300000) && gst.exitCode() == 0 && QFileInfo(path).size() > 0;
}

} // namespace quoteria::test
