#pragma once
// How smoothly a window presents its frames: the times frames reach the screen
// in, the figures out. The window benchmark and the board's diagnostics overlay
// both read their figures here.
#include <QStringList>
#include <QtGlobal>
#include <vector>

namespace quoteria {

// Nanoseconds of the monotonic clock, the time base of frames and motion.
qint64 monotonicNs();

// The process's CPU time and peak resident memory at one moment.
struct ProcessUsage {
    qint64 wallNs = 0; // monotonic
    double cpuMs = 0;
    double peakRssMb = 0;
    static ProcessUsage now();
};

struct FrameFigures {
    int frames = 0;
    double fps = 0;
    double medianMs = 0; // frame interval
    double p99Ms = 0;
    int late = 0; // intervals longer than 1.5 nominal intervals
    double nominalMs = 0;
    double cpuMsPerSecond = 0;
    double peakRssMb = 0;
    // The figures as short lines of text.
    QStringList lines() const;
};

class FrameStats {
public:
    // nominalMs: the screen's frame interval; keep: how many of the latest frames
    // count (0: all of them).
    explicit FrameStats(double nominalMs = 1000.0 / 60.0, int keep = 0);
    void setNominal(double ms) { m_nominalMs = ms; }
    // A frame presented at ns (monotonic clock).
    void frame(qint64 ns);
    void clear();
    int count() const { return int(m_times.size()); }
    // Over the kept frames; the process figures from the usage between two moments.
    FrameFigures figures(const ProcessUsage& from, const ProcessUsage& to) const;

private:
    double m_nominalMs;
    size_t m_keep;
    std::vector<qint64> m_times; // oldest first
    size_t m_first = 0;          // start of the kept frames once the buffer wraps
};

} // namespace quoteria
