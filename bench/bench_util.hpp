// The one line a benchmark figure is printed in.
#pragma once

#include <cstdio>

namespace qelto::bench {

inline void Report(const char* name, double value, const char* unit, const char* comparison,
                   double target) {
    std::printf("bench: %s = %.3g %s (target %s %g %s)\n", name, value, unit, comparison, target,
                unit);
    std::fflush(stdout);
}

}  // namespace qelto::bench
