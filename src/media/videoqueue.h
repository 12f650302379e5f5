#pragma once
// The queue of the media zone's videos: the active "Video" items, re-read before
// every video, played one after the other and round again. A file that cannot be
// played is passed over; when a whole round finds nothing playable the queue
// waits before the next round, so a broken list never keeps the board busy.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace quoteria {

class MediaStore;

// What the queue needs of a player: the board's video output, or a test's.
class VideoOutput {
public:
    virtual ~VideoOutput() = default;
    // Opens the file and starts it: volume 0 to 100, full screen or in the zone.
    // False when it cannot be played; a failure found later is reported through
    // VideoQueue::failed(), the end of a played file through VideoQueue::ended(),
    // both only after play() has returned (from the event loop).
    virtual bool play(const QString& path, int volume, bool fullScreen) = 0;
    // Nothing to show.
    virtual void stop() = 0;
    // The file likely to follow the one now playing, so the output can load it
    // ahead; the queue may still ask for another.
    virtual void prepare(const QString& path) { Q_UNUSED(path) }
};

// Time as the queue sees it: a monotonic clock and one pending wake-up.
class QueueClock {
public:
    virtual ~QueueClock() = default;
    virtual qint64 nowMs() const = 0;
    // Replaces any pending wake-up.
    virtual void wakeAfter(int ms, std::function<void()> wake) = 0;
    virtual void cancel() = 0;
};

// Wall-clock time and a Qt timer.
std::unique_ptr<QueueClock> systemQueueClock();

class VideoQueue : public QObject {
    Q_OBJECT
public:
    // The pause after a round in which no file could be played.
    static constexpr int kRetryMs = 30000;
    // A file that ends sooner than this showed nothing and counts as unplayable.
    static constexpr int kShortestPlayMs = 1000;

    // clock: nullptr for the system's. log: one line per fruitless round (the
    // program's log when empty).
    VideoQueue(MediaStore& store, VideoOutput& output, std::unique_ptr<QueueClock> clock = {},
               std::function<void(const QString&)> log = {}, QObject* parent = nullptr);
    ~VideoQueue() override;

    // Starts at the first video with the theme's volume (0 to 10).
    void start(int themeVolume);
    // Plays the video at position (0-based) of the queue as it stands now; past the
    // end the queue starts again at the first. Without videos nothing plays.
    void getNextVid(int position);
    // The output's end of playback: on to the next video.
    void ended();
    // The output found the current file unplayable after all.
    void failed();
    void stop();

    int videoIndex() const { return m_index; }
    // Waiting out the pause after a fruitless round.
    bool waiting() const { return m_waiting; }
    // A file was handed to the output and has not ended or failed yet.
    bool playing() const { return m_playing; }

private:
    // Counts an unplayable file; false when the round is over and the pause began.
    bool passOver();
    void pause(const QString& why);

    MediaStore& m_store;
    VideoOutput& m_output;
    std::unique_ptr<QueueClock> m_clock;
    std::function<void(const QString&)> m_log;
    int m_index = 0;
    int m_volume = 0;
    int m_rows = 0;       // queue length at the last reading
    int m_unplayable = 0; // files in a row that could not be played
    qint64 m_startedAt = 0;
    bool m_playing = false;
    bool m_waiting = false;
};

} // namespace quoteria
