#include "media/videoplayeroutput.h"

#include "board/mediaplaceholder.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QVideoSink>

namespace quoteria {

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("videoSurface"));
    // Only this rectangle repaints with each frame, never the board beneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void VideoSurface::follow(QVideoSink* sink) {
    if (sink == m_sink)
        return;
    disconnect(m_link);
    m_sink = sink;
    if (!sink)
        return;
    m_link = connect(sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& f) {
        if (!f.isValid())
            return; // a stopping player's empty frame: keep the last picture
        showFrame(f);
    });
    // A player that loaded ahead already holds its first frame.
    const QVideoFrame ready = sink->videoFrame();
    if (ready.isValid())
        showFrame(ready);
}

void VideoSurface::showFrame(const QVideoFrame& frame) {
    m_frame = frame;
    m_converted = false;
    update();
    emit frameArrived();
}

void VideoSurface::clear() {
    follow(nullptr);
    m_frame = QVideoFrame();
    m_image = QImage();
    m_converted = true;
    update();
}

void VideoSurface::setRotation(int degrees) {
    m_turn.rotation = degrees;
    update();
}

void VideoSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    m_turn.apply(p, size());
    const QRect area(QPoint(0, 0), m_turn.upright(size()));
    if (!m_converted) {
        m_image = m_frame.isValid() ? m_frame.toImage() : QImage();
        m_converted = true;
    }
    const QImage& img = m_image;
    if (img.isNull()) {
        p.fillRect(area, Qt::black);
        return;
    }
    // The whole picture, its proportions kept, on black.
    const QRect target = fitInside(img.size(), area);
    const QRegion bars = QRegion(area).subtracted(target);
    for (const QRect& r : bars)
        p.fillRect(r, Qt::black);
    p.drawImage(target, img);
}

VideoPlayerOutput::VideoPlayerOutput(QWidget* host, QObject* parent)
    : QObject(parent), m_host(host), m_zone(host->geometry()) {
    m_surface = new VideoSurface(host);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_surface);
    for (int i = 0; i < 2; ++i) {
        Slot& s = m_slot[i];
        s.player = new QMediaPlayer(this);
        s.audio = new QAudioOutput(this);
        s.sink = new QVideoSink(this);
        s.player->setAudioOutput(s.audio);
        s.player->setVideoSink(s.sink);
        watch(i);
    }
}

VideoPlayerOutput::~VideoPlayerOutput() {
    if (m_surface)
        m_surface->clear();
    for (Slot& s : m_slot)
        s.player->stop();
}

void VideoPlayerOutput::setRotation(int degrees) {
    if (m_surface)
        m_surface->setRotation(degrees);
}

void VideoPlayerOutput::setListeners(std::function<void()> ended, std::function<void()> failed) {
    m_ended = std::move(ended);
    m_failed = std::move(failed);
}

void VideoPlayerOutput::watch(int index) {
    QMediaPlayer* player = m_slot[index].player;
    const auto broken = [this, index] {
        m_slot[index].broken = true;
        if (index == m_current && m_active)
            report(false);
    };
    connect(player, &QMediaPlayer::errorOccurred, this, broken);
    connect(player, &QMediaPlayer::mediaStatusChanged, this,
            [this, index, broken](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::InvalidMedia)
                    broken();
                else if (status == QMediaPlayer::EndOfMedia && index == m_current && m_active)
                    report(true);
            });
}

void VideoPlayerOutput::report(bool ended) {
    m_active = false;
    // The queue hears of it from the event loop, never inside play().
    const quint64 turn = m_turn;
    QMetaObject::invokeMethod(
        this,
        [this, turn, ended] {
            if (turn != m_turn)
                return; // another file was started meanwhile
            const auto& tell = ended ? m_ended : m_failed;
            if (tell)
                tell();
        },
        Qt::QueuedConnection);
}

void VideoPlayerOutput::load(Slot& slot, const QString& path) {
    slot.path = path;
    const QFileInfo file(path);
    slot.broken = !file.isFile() || !file.isReadable();
    if (slot.broken) {
        slot.player->setSource(QUrl());
        return;
    }
    slot.player->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
}

bool VideoPlayerOutput::play(const QString& path, int volume, bool fullScreen) {
    ++m_turn;
    m_active = false;
    Slot& next = m_slot[1 - m_current];
    m_startedPrepared = next.path == path && !path.isEmpty();
    if (!m_startedPrepared)
        load(next, path);
    if (next.broken)
        return false;

    Slot& old = m_slot[m_current];
    m_current = 1 - m_current;
    next.audio->setVolume(qBound(0, volume, 100) / 100.0);
    placeHost(fullScreen);
    if (m_surface)
        m_surface->follow(next.sink);
    m_active = true;
    next.player->play();
    // After the new one started, so the old picture holds until the new one shows.
    old.player->stop();
    return true;
}

void VideoPlayerOutput::prepare(const QString& path) {
    Slot& idle = m_slot[1 - m_current];
    if (idle.path != path)
        load(idle, path);
    // Paused, the player decodes its first frame and waits; a player that just
    // played this file was stopped and needs it again.
    if (!idle.broken && idle.player->playbackState() != QMediaPlayer::PausedState)
        idle.player->pause();
}

void VideoPlayerOutput::stop() {
    ++m_turn;
    m_active = false;
    for (Slot& s : m_slot) {
        s.player->stop();
        s.player->setSource(QUrl());
        s.path.clear();
        s.broken = false;
    }
    if (m_surface)
        m_surface->clear();
    placeHost(false);
}

void VideoPlayerOutput::placeHost(bool fullScreen) {
    m_fullScreen = fullScreen;
    if (!m_host)
        return;
    QWidget* board = m_host->parentWidget();
    if (fullScreen && board) {
        m_host->setGeometry(board->rect());
        m_host->raise();
    } else {
        m_host->setGeometry(m_zone);
    }
    m_host->show();
}

QString VideoPlayerOutput::currentPath() const {
    return m_active ? m_slot[m_current].path : QString();
}

QString VideoPlayerOutput::preparedPath() const {
    return m_slot[1 - m_current].path;
}

bool VideoPlayerOutput::preparedBroken() const {
    return m_slot[1 - m_current].broken;
}

QMediaPlayer* VideoPlayerOutput::currentPlayer() const {
    return m_slot[m_current].player;
}

QAudioOutput* VideoPlayerOutput::currentAudio() const {
    return m_slot[m_current].audio;
}

} // namespace quoteria
