#include "board/boardtimers.h"

#include "board/boardengine.h"

namespace quoteria {

int BoardTimers::defaultInterval(int n) {
    switch (n) {
    case 1:
        return 3000;
    case 2:
        return 10;
    case 3:
        return 100;
    case 4:
    case 5:
        return 25;
    case 6:
    case 7:
        return 30;
    case 8:
        return 200;
    case 9:
        return 20;
    default:
        return 0;
    }
}

SimulatedTimers::SimulatedTimers() {
    for (int n = 1; n <= kCount; ++n)
        m_t[n].interval = defaultInterval(n);
    setActive(9, true);
}

bool SimulatedTimers::isActive(int n) const {
    return n >= 1 && n <= kCount && m_t[n].active;
}

void SimulatedTimers::setActive(int n, bool on) {
    if (n < 1 || n > kCount)
        return;
    T& t = m_t[n];
    if (on && !t.active)
        t.due = m_now + qMax(1, t.interval);
    t.active = on;
}

int SimulatedTimers::interval(int n) const {
    return n >= 1 && n <= kCount ? m_t[n].interval : 0;
}

void SimulatedTimers::setInterval(int n, int ms) {
    if (n < 1 || n > kCount)
        return;
    m_t[n].interval = ms;
    // A running timer restarts with its new period.
    if (m_t[n].active)
        m_t[n].due = m_now + qMax(1, ms);
}

void SimulatedTimers::advance(BoardEngine& engine, qint64 ms) {
    const qint64 end = m_now + qMax<qint64>(0, ms);
    for (;;) {
        int next = 0;
        for (int n = 1; n <= kCount; ++n)
            if (m_t[n].active && m_t[n].due <= end && (next == 0 || m_t[n].due < m_t[next].due))
                next = n;
        if (next == 0)
            break;
        m_now = m_t[next].due;
        m_t[next].due = m_now + qMax(1, m_t[next].interval);
        engine.tick(next);
    }
    m_now = end;
}

} // namespace quoteria
