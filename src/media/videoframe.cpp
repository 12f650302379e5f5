#include "media/videoframe.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>

namespace quoteria {

QImage firstVideoFrame(const QString& path, int timeoutMs) {
    if (!QFileInfo(path).isFile())
        return QImage();
    QMediaPlayer player;
    QVideoSink sink;
    player.setVideoSink(&sink);
    QImage still;
    QEventLoop loop;
    QObject::connect(&sink, &QVideoSink::videoFrameChanged, &loop, [&](const QVideoFrame& f) {
        if (!still.isNull() || !f.isValid())
            return;
        still = f.toImage();
        loop.quit();
    });
    QObject::connect(&player, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&player, &QMediaPlayer::mediaStatusChanged, &loop,
                     [&](QMediaPlayer::MediaStatus s) {
                         if (s == QMediaPlayer::InvalidMedia || s == QMediaPlayer::EndOfMedia)
                             loop.quit();
                     });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    player.setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    // Paused, the player decodes the first frame and shows it.
    player.pause();
    if (still.isNull())
        loop.exec();
    player.stop();
    return still;
}

} // namespace quoteria
