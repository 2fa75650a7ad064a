#include "app/live_evidence.hpp"

#include <algorithm>

namespace qelto {

void RecentSamples::Add(double t, const EvidenceSample& sample) {
    samples_.push_back({t, sample});
    while (!samples_.empty() &&
           (samples_.size() > kKeptSamples || samples_.front().t < t - kKeptSeconds)) {
        samples_.pop_front();
    }
}

std::vector<EvidenceSample> RecentSamples::Last(double seconds, double now) const {
    const double from = seconds > 0 ? now - seconds : now - kKeptSeconds;
    const auto first = std::lower_bound(samples_.begin(), samples_.end(), from,
                                        [](const Timed& s, double t) { return s.t < t; });
    std::vector<EvidenceSample> out;
    out.reserve(static_cast<std::size_t>(samples_.end() - first));
    for (auto it = first; it != samples_.end(); ++it)
        out.push_back(it->sample);
    return out;
}

double RecentSamples::Reach(double now) const {
    return samples_.empty() ? 0 : now - samples_.front().t;
}

void EvidenceCloud::Take(const std::vector<EvidenceSample>& samples) {
    points.clear();
    ++generation;
    const std::size_t step = samples.size() / kMostPoints + 1;
    for (std::size_t i = 0; i < samples.size(); i += step)
        points.push_back(samples[i]);
}

}  // namespace qelto
