// Figures compared side by side, measured so that a busy neighbour on the machine cannot tip
// them: each side runs several times, the two taking turns, and a ratio is the median of the
// ratios of runs made next to each other. A neighbour that slows a run slows the run beside it
// alike, and a pair it spoils anyway is outvoted by the others.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace qelto::bench {

// Runs of each side: a median of five stands while two of them are spoilt.
constexpr int kRuns = 5;

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t mid = v.size() / 2;
    return v.size() % 2 != 0 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

// For processor time: another program on the machine can only add to a run's, never take.
inline double Least(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

// One figure a run for each of two sides, the runs of the same index made next to each other.
struct Pair {
    std::vector<double> a, b;

    // a over b: the figure of a comparison named "a_vs_b".
    double Ratio() const {
        std::vector<double> ratios;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            ratios.push_back(a[i] / b[i]);
        return Median(ratios);
    }
};

// One run's figure; nothing, or a figure not above zero, when the run failed.
using Run = std::function<std::optional<double>()>;

namespace detail {

inline bool Take(const char* what, const char* side, int run, const Run& measure,
                 std::vector<double>& into) {
    const std::optional<double> figure = measure();
    if (!figure || !(*figure > 0) || !std::isfinite(*figure)) {
        std::fprintf(stderr, "bench: %s: run %d of %s failed\n", what, run + 1, side);
        return false;
    }
    into.push_back(*figure);
    return true;
}

}  // namespace detail

// Runs `a` and `b` `runs` times each, taking turns in the order A B, B A, A B, ...: each
// goes first as often as the other, so that neither always finds what the other leaves
// behind (warm caches, a peer still busy). Nothing when a run fails, said on stderr under
// `what`.
inline std::optional<Pair> Interleave(const char* what, const Run& a, const Run& b,
                                      int runs = kRuns) {
    Pair pair;
    for (int i = 0; i < runs; ++i) {
        const auto runA = [&] { return detail::Take(what, "side a", i, a, pair.a); };
        const auto runB = [&] { return detail::Take(what, "side b", i, b, pair.b); };
        if (!(i % 2 == 0 ? runA() && runB() : runB() && runA())) return std::nullopt;
    }
    return pair;
}

// One side alone, for a figure compared with a fixed one (a line's limit, say): its runs.
inline std::optional<std::vector<double>> Repeat(const char* what, const Run& run,
                                                 int runs = kRuns) {
    std::vector<double> figures;
    for (int i = 0; i < runs; ++i) {
        if (!detail::Take(what, "the figure", i, run, figures)) return std::nullopt;
    }
    return figures;
}

}  // namespace qelto::bench
