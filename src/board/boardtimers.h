#pragma once
// The board's timers as the engine sees them: numbered 1 to 9 with the board's
// periods. The window backs them with QTimers; headless rendering, the benchmark
// and the tests with a simulated clock that applies ticks deterministically.
#include <QtGlobal>

namespace quoteria {

class BoardEngine;

class BoardTimers {
public:
    static constexpr int kCount = 9;
    // Periods as the window is created (Timer8 is the clock face's second hand).
    static int defaultInterval(int n);

    virtual ~BoardTimers() = default;
    virtual bool isActive(int n) const = 0;
    virtual void setActive(int n, bool on) = 0;
    virtual int interval(int n) const = 0;
    virtual void setInterval(int n, int ms) = 0;
};

class SimulatedTimers : public BoardTimers {
public:
    SimulatedTimers();
    bool isActive(int n) const override;
    void setActive(int n, bool on) override;
    int interval(int n) const override;
    void setInterval(int n, int ms) override;

    // Runs every tick due within the next ms milliseconds, in time order (timers due
    // at the same moment in number order).
    void advance(BoardEngine& engine, qint64 ms);
    qint64 now() const { return m_now; }

private:
    struct T {
        bool active = false;
        int interval = 0;
        qint64 due = 0;
    };
    T m_t[kCount + 1];
    qint64 m_now = 0;
};

} // namespace quoteria
