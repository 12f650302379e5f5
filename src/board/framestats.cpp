#include "board/framestats.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <sys/resource.h>

namespace quoteria {

qint64 monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

ProcessUsage ProcessUsage::now() {
    ProcessUsage u;
    u.wallNs = monotonicNs();
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    u.cpuMs = (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000.0 +
              (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000.0;
    u.peakRssMb = r.ru_maxrss / 1024.0; // kilobytes on Linux
    return u;
}

QStringList FrameFigures::lines() const {
    return {
        QStringLiteral("frames per second: %1 (%2 frames)").arg(fps, 0, 'f', 1).arg(frames),
        QStringLiteral("frame interval: median %1 ms, 99th percentile %2 ms")
            .arg(medianMs, 0, 'f', 2)
            .arg(p99Ms, 0, 'f', 2),
        QStringLiteral("late frames (over %1 ms): %2").arg(nominalMs * 1.5, 0, 'f', 1).arg(late),
        QStringLiteral("CPU: %1 ms per second").arg(cpuMsPerSecond, 0, 'f', 1),
        QStringLiteral("peak resident memory: %1 MB").arg(peakRssMb, 0, 'f', 1),
    };
}

FrameStats::FrameStats(double nominalMs, int keep)
    : m_nominalMs(nominalMs), m_keep(size_t(qMax(0, keep))) {
    if (m_keep)
        m_times.reserve(m_keep);
}

void FrameStats::frame(qint64 ns) {
    if (m_keep && m_times.size() == m_keep) {
        m_times[m_first] = ns;
        m_first = (m_first + 1) % m_keep;
        return;
    }
    m_times.push_back(ns);
}

void FrameStats::clear() {
    m_times.clear();
    m_first = 0;
}

FrameFigures FrameStats::figures(const ProcessUsage& from, const ProcessUsage& to) const {
    FrameFigures f;
    f.nominalMs = m_nominalMs;
    f.frames = count();
    const double wallMs = (to.wallNs - from.wallNs) / 1.0e6;
    f.cpuMsPerSecond = wallMs > 0 ? (to.cpuMs - from.cpuMs) * 1000.0 / wallMs : 0.0;
    f.peakRssMb = to.peakRssMb;
    if (m_times.size() < 2)
        return f;
    std::vector<double> gaps;
    gaps.reserve(m_times.size() - 1);
    const size_t n = m_times.size();
    for (size_t i = 1; i < n; ++i)
        gaps.push_back((m_times[(m_first + i) % n] - m_times[(m_first + i - 1) % n]) / 1.0e6);
    const double span = (m_times[(m_first + n - 1) % n] - m_times[m_first]) / 1.0e6;
    f.fps = span > 0 ? gaps.size() * 1000.0 / span : 0.0;
    f.late = int(std::count_if(gaps.begin(), gaps.end(),
                               [this](double g) { return g > 1.5 * m_nominalMs; }));
    std::sort(gaps.begin(), gaps.end());
    f.medianMs = gaps[gaps.size() / 2];
    // Nearest rank: the smallest gap that at least 99 % of the gaps do not exceed.
    const size_t rank = size_t(std::ceil(0.99 * double(gaps.size())));
    f.p99Ms = gaps[std::max<size_t>(rank, 1) - 1];
    return f;
}

} // namespace quoteria
