// What the window keeps of measured samples as evidence of the taught colours: the live data
// of the last minutes (for a check of the tolerances against what the sensor has just seen) and
// the cloud of samples the graphs draw beside the circles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "sensor/evidence.hpp"

namespace qelto {

// The live samples of the last ten minutes, at most a million of them, oldest first.
class RecentSamples {
  public:
    static constexpr double kKeptSeconds = 600;
    static constexpr std::size_t kKeptSamples = 1000000;

    // A sample that arrived at `t` (the event loop's clock, in seconds).
    void Add(double t, const EvidenceSample& sample);
    // Those of the last `seconds` before `now`; every one kept when `seconds` is 0.
    std::vector<EvidenceSample> Last(double seconds, double now) const;
    // How far back they reach from `now`, in seconds (0 for none).
    double Reach(double now) const;
    std::size_t size() const { return samples_.size(); }

  private:
    struct Timed {
        double t;
        EvidenceSample sample;
    };
    std::deque<Timed> samples_;
};

// The samples the graphs show as points beside the circles: those of the last teach or check,
// spread evenly over them when there are more than the graphs draw at ease.
struct EvidenceCloud {
    static constexpr std::size_t kMostPoints = 6000;
    std::vector<EvidenceSample> points;
    bool shown = true;
    // Counts the clouds taken, so that the graphs know a new one from the one they drew.
    std::uint64_t generation = 0;
    // Takes the samples, every n-th of them when there are too many.
    void Take(const std::vector<EvidenceSample>& samples);
};

}  // namespace qelto
