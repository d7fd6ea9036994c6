#pragma once
// The benchmark's clock: the best of a few runs, in seconds.
#include <algorithm>
#include <chrono>

namespace tableau::bench {

using Clock = std::chrono::steady_clock;

inline double SecondiDa(Clock::time_point inizio) {
    return std::chrono::duration<double>(Clock::now() - inizio).count();
}

inline double Migliore(int volte, const auto& lavoro) {
    double migliore = 1e9;
    for (int i = 0; i < volte; ++i) {
        const auto inizio = Clock::now();
        lavoro();
        migliore = std::min(migliore, SecondiDa(inizio));
    }
    return migliore;
}

}  // namespace tableau::bench
