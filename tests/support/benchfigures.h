#pragma once
// How the benchmarks print a series of timings.
#include <QList>
#include <algorithm>
#include <cstdio>

namespace quoteria::test {

inline void reportTimes(const char* what, QList<double> ms) {
    if (ms.isEmpty()) {
        std::printf("%s: no figure\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s: median %.1f ms, max %.1f ms (%lld rounds)\n", what, ms.at(ms.size() / 2),
                ms.last(), qlonglong(ms.size()));
}

} // namespace quoteria::test
