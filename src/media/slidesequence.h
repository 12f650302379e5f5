#pragma once
// The timing of a picture slideshow, apart from any window: which picture shows,
// which comes in and how far the change has gone, moved on by a frame clock.
// Pictures are decoded elsewhere and reported ready or broken; a broken one is
// passed over and the show waits on one still being decoded, so the order stays.
#include <QElapsedTimer>
#include <QObject>
#include <QVector>

class QTimer;

namespace quoteria {

// Frames as the players see them: how much time each one moves on.
class FrameClock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
Q_SIGNALS:
    void advanced(int ms);
};

// Driven by hand: tests, and a board that already runs a frame timer.
class ManualFrameClock : public FrameClock {
    Q_OBJECT
public:
    using FrameClock::FrameClock;
    void advance(int ms) { Q_EMIT advanced(ms); }
};

// Its own screen-rate timer, moving on by the time that really passed.
class TimerFrameClock : public FrameClock {
    Q_OBJECT
public:
    explicit TimerFrameClock(QObject* parent = nullptr);

private:
    QTimer* m_timer;
    QElapsedTimer m_since;
};

class SlideSequence {
public:
    enum class State { Pending, Ready, Broken };

    SlideSequence(int holdMs, int changeMs) : m_hold(holdMs), m_change(qMax(1, changeMs)) {}

    // A new list of count pictures, none decoded yet; nothing shows.
    void reset(int count);
    void setState(int index, State state);
    void advance(int ms);

    // The picture on show; -1 before the first one is ready.
    int current() const { return m_current; }
    // The picture coming in during a change; -1 otherwise.
    int incoming() const { return m_incoming; }
    // How far the change has gone, 0 to 1.
    double change() const { return m_incoming < 0 ? 0.0 : double(m_changeAt) / m_change; }
    // Time the current picture has been on show, the change included.
    int shownMs() const { return m_shown; }
    int holdMs() const { return m_hold; }
    int changeMs() const { return m_change; }

private:
    // The first usable picture from index on, wrapping; -1 when all are broken.
    int usableFrom(int index) const;
    void startFirst();

    int m_hold;
    int m_change;
    QVector<State> m_states;
    int m_current = -1;
    int m_incoming = -1;
    int m_shown = 0;
    int m_changeAt = 0;
};

} // namespace quoteria
