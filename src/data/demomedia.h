#pragma once
// The demonstration media: pictures drawn here and a short video encoded by the
// system's GStreamer tools, so a demo board shows a playing media zone.
#include <QImage>
#include <QString>

namespace quoteria {

class Connection;

// One frame of the demonstration video (0-based, of frameCount).
QImage demoVideoFrame(int frame, int frameCount, const QSize& size);

// Encodes frames of demoVideoFrame as a VP8/WebM file with gst-launch-1.0.
// False with error set when the tool is missing or fails.
bool writeDemoVideo(const QString& path, int frameCount, const QSize& size, int fps,
                    QString* error = nullptr);

// Writes the pictures and the video into folder (made when missing) and adds them
// as active media items. video is set to whether the video could be made; a
// missing encoder is no failure. False with db.lastError() when a row fails.
bool addDemoMedia(Connection& db, const QString& folder, bool* video);

} // namespace quoteria
