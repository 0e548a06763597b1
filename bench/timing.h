#pragma once
// The median wall time of a benchmark step over a number of rounds.
#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

template <class F>
double medianMs(int rounds, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < rounds; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

}  // namespace bench
