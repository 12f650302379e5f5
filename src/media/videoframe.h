#pragma once
// A still of a video file, for pictures of the board drawn without a screen.
#include <QImage>
#include <QString>

namespace quoteria {

// The first frame the player decodes; null when the file cannot be played or no
// frame came within timeoutMs. Runs the event loop while it waits.
QImage firstVideoFrame(const QString& path, int timeoutMs = 5000);

} // namespace quoteria
