#include "media/slidesequence.h"

#include <QTimer>

namespace quoteria {

TimerFrameClock::TimerFrameClock(QObject* parent) : FrameClock(parent), m_timer(new QTimer(this)) {
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(16);
    m_since.start();
    connect(m_timer, &QTimer::timeout, this, [this] {
        Q_EMIT advanced(int(m_since.restart()));
    });
    m_timer->start();
}

void SlideSequence::reset(int count) {
    m_states = QVector<State>(qMax(0, count), State::Pending);
    m_current = m_incoming = -1;
    m_shown = m_changeAt = 0;
}

void SlideSequence::setState(int index, State state) {
    if (index < 0 || index >= m_states.size())
        return;
    m_states[index] = state;
    if (m_current < 0)
        startFirst();
}

int SlideSequence::usableFrom(int index) const {
    const int n = m_states.size();
    for (int k = 0; k < n; ++k) {
        const int i = (index + k) % n;
        if (m_states[i] != State::Broken)
            return i;
    }
    return -1;
}

void SlideSequence::startFirst() {
    const int first = usableFrom(0);
    if (first >= 0 && m_states[first] == State::Ready) {
        m_current = first;
        m_shown = 0;
    }
}

void SlideSequence::advance(int ms) {
    if (m_current < 0 || ms <= 0)
        return;
    m_shown += ms;
    // A long frame may finish a change and hold the next picture as well.
    while (true) {
        if (m_incoming < 0) {
            if (m_shown < m_hold)
                return;
            const int next = usableFrom(m_current + 1);
            // Alone, or the next one still decoding: stay put until it is there.
            if (next < 0 || next == m_current || m_states[next] != State::Ready) {
                m_shown = m_hold;
                return;
            }
            m_incoming = next;
            m_changeAt = 0;
        }
        const int left = m_shown - m_hold;
        m_changeAt = left;
        if (m_changeAt < m_change)
            return;
        m_current = m_incoming;
        m_incoming = -1;
        m_shown = left - m_change;
        m_changeAt = 0;
    }
}

} // namespace quoteria
