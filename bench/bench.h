#pragma once
// What every benchmark shares: medians of interleaved rounds of our path and its baseline,
// and the one line per figure that tools/bench.sh gathers into its table:
//   = <figure>: ours <value> <unit>, baseline <value> <unit>, ratio <ours/baseline>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class F>
double millisecondsOf(F&& f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// The median of rounds timed calls of f.
template <class F>
double medianMs(int rounds, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < rounds; ++i) t.push_back(millisecondsOf(f));
    return median(std::move(t));
}

struct Pair {
    double ours = 0, base = 0;
    double ratio() const { return base > 0 ? ours / base : 0; }
};

// Runs ours and base in turn, rounds times each (the order swapped every round, so a
// neighbour's burst of load hits both), and gives the median milliseconds of each. Each
// call of a function is one timed sample; it may loop inside to reach a measurable time.
template <class A, class B>
Pair interleaved(int rounds, A&& ours, B&& base) {
    std::vector<double> a, b;
    for (int i = 0; i < rounds; ++i) {
        if (i % 2) {
            b.push_back(millisecondsOf(base));
            a.push_back(millisecondsOf(ours));
        } else {
            a.push_back(millisecondsOf(ours));
            b.push_back(millisecondsOf(base));
        }
    }
    return {median(a), median(b)};
}

inline void report(const std::string& figure, double ours, double base, const char* unit = "ms") {
    std::printf("= %s: ours %.3f %s, baseline %.3f %s, ratio %.2f\n", figure.c_str(), ours, unit,
                base, unit, base > 0 ? ours / base : 0.0);
    std::fflush(stdout);
}

inline void report(const std::string& figure, const Pair& p, const char* unit = "ms") {
    report(figure, p.ours, p.base, unit);
}

}  // namespace bench
