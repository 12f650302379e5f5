#pragma once
// The media zone's video player: two media players take turns, the idle one
// loading the next file while the other plays, so a change of video shows the
// last frame of one until the first of the next instead of black.
#include "board/boardfit.h"
#include "media/videoqueue.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QVideoFrame>
#include <QWidget>
#include <functional>

class QAudioOutput;
class QMediaPlayer;
class QVideoSink;

namespace quoteria {

// Paints the frames of one sink at a time, the last one held until the next.
class VideoSurface : public QWidget {
    Q_OBJECT
public:
    explicit VideoSurface(QWidget* parent = nullptr);
    // Follows this sink from now on; its current frame, if any, shows at once.
    void follow(QVideoSink* sink);
    void clear();
    bool hasFrame() const { return m_frame.isValid(); }
    QVideoSink* following() const { return m_sink; }
    // The picture turned with a board turned by degrees.
    void setRotation(int degrees);

Q_SIGNALS:
    // A new frame of the followed sink arrived.
    void frameArrived();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showFrame(const QVideoFrame& frame);

    QVideoSink* m_sink = nullptr;
    QMetaObject::Connection m_link;
    QVideoFrame m_frame;
    QImage m_image; // m_frame converted, once per frame however often it is painted
    bool m_converted = false;
    PlayerTurn m_turn;
};

class VideoPlayerOutput : public QObject, public VideoOutput {
    Q_OBJECT
public:
    // Shows the videos in host, which stands on the media zone; a full-screen video
    // takes the whole of the host's parent (the board).
    explicit VideoPlayerOutput(QWidget* host, QObject* parent = nullptr);
    ~VideoPlayerOutput() override;

    // Where the end or the failure of the playing file is reported (the queue);
    // always from the event loop, after play() returned.
    void setListeners(std::function<void()> ended, std::function<void()> failed);

    bool play(const QString& path, int volume, bool fullScreen) override;
    void stop() override;
    void prepare(const QString& path) override;

    QString currentPath() const;
    // The file loaded ahead, empty when none.
    QString preparedPath() const;
    // The file loaded ahead turned out unplayable.
    bool preparedBroken() const;
    // The last play() found its file already loaded.
    bool startedPrepared() const { return m_startedPrepared; }
    bool fullScreen() const { return m_fullScreen; }
    QMediaPlayer* currentPlayer() const;
    QAudioOutput* currentAudio() const;
    VideoSurface* surface() const { return m_surface; }
    // The videos turned with a board turned by degrees.
    void setRotation(int degrees);

private:
    struct Slot {
        QMediaPlayer* player = nullptr;
        QAudioOutput* audio = nullptr;
        QVideoSink* sink = nullptr;
        QString path;
        bool broken = false; // the loaded file cannot be played
    };
    void watch(int index);
    void load(Slot& slot, const QString& path);
    void report(bool ended);
    void placeHost(bool fullScreen);

    QPointer<QWidget> m_host;
    QRect m_zone;
    QPointer<VideoSurface> m_surface; // the host's child: it may go first
    Slot m_slot[2];
    int m_current = 0;
    bool m_active = false; // a file was started and has not ended, failed or stopped
    quint64 m_turn = 0;    // counts play() calls; stale reports carry an old one
    bool m_startedPrepared = false;
    bool m_fullScreen = false;
    std::function<void()> m_ended, m_failed;
};

} // namespace quoteria
