#include "media/videoqueue.h"

#include "data/mediastore.h"
#include "data/messageservice.h"

#include <QElapsedTimer>
#include <QTimer>

namespace quoteria {

namespace {

class SystemClock : public QueueClock {
public:
    SystemClock() {
        m_elapsed.start();
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            // The wake-up may set the next one while it runs.
            const auto wake = std::move(m_wake);
            m_wake = nullptr;
            if (wake)
                wake();
        });
    }
    qint64 nowMs() const override { return m_elapsed.elapsed(); }
    void wakeAfter(int ms, std::function<void()> wake) override {
        m_wake = std::move(wake);
        m_timer.start(ms);
    }
    void cancel() override { m_timer.stop(); }

private:
    QElapsedTimer m_elapsed;
    QTimer m_timer;
    std::function<void()> m_wake;
};

} // namespace

std::unique_ptr<QueueClock> systemQueueClock() {
    return std::make_unique<SystemClock>();
}

VideoQueue::VideoQueue(MediaStore& store, VideoOutput& output, std::unique_ptr<QueueClock> clock,
                       std::function<void(const QString&)> log, QObject* parent)
    : QObject(parent), m_store(store), m_output(output),
      m_clock(clock ? std::move(clock) : systemQueueClock()),
      m_log(log ? std::move(log) : std::function<void(const QString&)>(logLine)) {}

VideoQueue::~VideoQueue() = default;

void VideoQueue::start(int themeVolume) {
    m_volume = themeVolume;
    m_unplayable = 0;
    getNextVid(0);
}

void VideoQueue::getNextVid(int position) {
    m_clock->cancel();
    m_waiting = false;
    m_playing = false;
    m_index = position;
    // A loop, not recursion: a long run of broken files must not deepen the stack.
    for (;;) {
        bool ok = false;
        const QVector<MediaItem> rows = m_store.active(MediaStore::kVideo, &ok);
        if (!ok)
            return pause(QStringLiteral("video queue: the media items cannot be read"));
        m_rows = rows.size();
        if (rows.isEmpty()) {
            m_unplayable = 0;
            m_output.stop();
            return;
        }
        // Items deactivated meanwhile can leave the position past the end.
        if (m_index < 0 || m_index >= rows.size())
            m_index = 0;
        const MediaItem& item = rows.at(m_index);
        m_startedAt = m_clock->nowMs();
        if (m_output.play(item.fileName, m_volume * 10, item.fullScreen)) {
            m_playing = true;
            m_output.prepare(rows.at((m_index + 1) % rows.size()).fileName);
            return;
        }
        if (!passOver())
            return;
    }
}

void VideoQueue::ended() {
    if (!m_playing)
        return;
    m_playing = false;
    if (m_clock->nowMs() - m_startedAt < kShortestPlayMs) {
        if (!passOver())
            return;
        return getNextVid(m_index);
    }
    m_unplayable = 0;
    getNextVid(m_index + 1);
}

void VideoQueue::failed() {
    if (!m_playing)
        return;
    m_playing = false;
    if (passOver())
        getNextVid(m_index);
}

void VideoQueue::stop() {
    m_clock->cancel();
    m_waiting = false;
    m_playing = false;
    m_output.stop();
}

bool VideoQueue::passOver() {
    ++m_unplayable;
    if (m_unplayable >= m_rows) {
        pause(QStringLiteral("video queue: none of the %1 videos can be played").arg(m_rows));
        return false;
    }
    ++m_index;
    return true;
}

void VideoQueue::pause(const QString& why) {
    m_unplayable = 0;
    m_playing = false;
    m_waiting = true;
    m_output.stop();
    m_log(why + QStringLiteral("; next round in %1 s").arg(kRetryMs / 1000));
    m_clock->wakeAfter(kRetryMs, [this] { getNextVid(m_index + 1); });
}

} // namespace quoteria
