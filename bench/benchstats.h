#pragma once

// Sample statistics shared by the benchmark programs. Each program prints result lines
// "<case><TAB><median><TAB><99th percentile><TAB><samples>", which scripts/bench collects.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double microsecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Nearest-rank percentile (0 < p <= 100) of the samples; 0 when there are none.
inline double percentile(std::vector<double> samples, double p)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<size_t>(p / 100.0 * samples.size() + 0.999999);
    return samples[std::clamp<size_t>(rank, 1, samples.size()) - 1];
}

inline void printResult(const char *name, const std::vector<double> &samples)
{
    std::printf("%s\t%.6g\t%.6g\t%zu\n", name, percentile(samples, 50), percentile(samples, 99),
                samples.size());
    std::fflush(stdout);
}

} // namespace bench
