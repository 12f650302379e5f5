#pragma once
// Motion drawn from each frame's own time. The board's timers move it in steps
// and may tick late or early; a screen frame shows it where a steady clock says
// it is, so a late tick never makes the drawn position stand still, jump ahead
// or go back.
#include "board/boardengine.h"

#include <QtGlobal>

namespace quoteria {

// One timer's clock of virtual ticks, run by frame times (ns, monotonic) and held
// near the ticks the engine has really applied by a small change of its rate.
class TickClock {
public:
    void start(qint64 ns, int intervalMs);
    void stop() { m_running = false; }
    bool running() const { return m_running; }
    void setInterval(int intervalMs) { m_intervalNs = qMax(1, intervalMs) * 1.0e6; }
    // The engine applied one tick of the timer.
    void ticked() { ++m_applied; }
    // The ticks a frame at ns draws ahead of the engine's state (negative when the
    // timer ran ahead of the clock). A frame older than the last one moves nothing.
    double ahead(qint64 frameNs);

private:
    bool m_running = false;
    double m_intervalNs = 1.0e6;
    qint64 m_lastFrame = 0;
    double m_virtual = 0;
    qint64 m_applied = 0;
};

// The clocks of the board's moving timers, giving the engine its presentation.
class FrameMotion {
public:
    // Timer n (1 ... 9) started or stopped at ns, or applied a tick.
    void started(int n, qint64 ns, int intervalMs);
    void stopped(int n);
    void intervalChanged(int n, int intervalMs);
    void ticked(int n);
    // Where the title, the table and the ticker are drawn in a frame at ns.
    BoardEngine::Presentation at(qint64 frameNs);

private:
    TickClock* clockOf(int n);
    TickClock m_title, m_table, m_left, m_right;
};

} // namespace quoteria
