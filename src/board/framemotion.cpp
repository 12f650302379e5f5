#include "board/framemotion.h"

#include <algorithm>

namespace quoteria {

namespace {
// How hard the clock is pulled toward the applied ticks, per tick of difference:
// gentle enough that a frame's step changes by a few percent, firm enough that a
// late tick is caught up within a few periods.
constexpr double kPull = 0.05;
constexpr double kMinRate = 0.5, kMaxRate = 1.5;
// A stopped or stalled timer: the drawing waits rather than run away from it.
constexpr double kMaxAhead = 3.0;
// Settles half-way between two ticks, where a steady timer leaves it on average.
constexpr double kRest = 0.5;
} // namespace

void TickClock::start(qint64 ns, int intervalMs) {
    m_running = true;
    setInterval(intervalMs);
    m_lastFrame = ns;
    m_virtual = 0;
    m_applied = 0;
}

double TickClock::ahead(qint64 frameNs) {
    if (!m_running)
        return 0.0;
    const qint64 dt = frameNs - m_lastFrame;
    if (dt > 0) {
        m_lastFrame = frameNs;
        const double lag = m_virtual - double(m_applied);
        const double rate = std::clamp(1.0 + kPull * (kRest - lag), kMinRate, kMaxRate);
        m_virtual = std::min(m_virtual + rate * double(dt) / m_intervalNs,
                             std::max(m_virtual, double(m_applied) + kMaxAhead));
    }
    return m_virtual - double(m_applied);
}

TickClock* FrameMotion::clockOf(int n) {
    switch (n) {
    case 2:
        return &m_title;
    case 4:
        return &m_left;
    case 5:
        return &m_right;
    case 7:
        return &m_table;
    default:
        return nullptr;
    }
}

void FrameMotion::started(int n, qint64 ns, int intervalMs) {
    if (TickClock* c = clockOf(n))
        c->start(ns, intervalMs);
}

void FrameMotion::stopped(int n) {
    if (TickClock* c = clockOf(n))
        c->stop();
}

void FrameMotion::intervalChanged(int n, int intervalMs) {
    if (TickClock* c = clockOf(n))
        c->setInterval(intervalMs);
}

void FrameMotion::ticked(int n) {
    if (TickClock* c = clockOf(n))
        c->ticked();
}

BoardEngine::Presentation FrameMotion::at(qint64 frameNs) {
    BoardEngine::Presentation p;
    p.live = true;
    p.title = m_title.ahead(frameNs);
    p.table = m_table.ahead(frameNs);
    // Only one train runs at a time.
    p.ticker = m_left.running() ? m_left.ahead(frameNs) : m_right.ahead(frameNs);
    return p;
}

} // namespace quoteria
