#include "sensor/evidence.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace qelto {
namespace {

constexpr int kLargestTolerance = std::numeric_limits<std::uint16_t>::max();

// How many of n samples `coverage` per cent are: at least one, at most all. The small
// allowance keeps 99.7 % of 1000 at 997, where floating point would make it 997.0000000001.
std::size_t CoveredCount(std::size_t n, double coverage) {
    const double wanted = std::ceil(coverage * static_cast<double>(n) / 100.0 - 1e-9);
    return std::clamp<std::size_t>(static_cast<std::size_t>(std::max(wanted, 1.0)), 1, n);
}

// The smallest whole r with r * r >= squared.
int RadiusFor(std::int64_t squared) {
    auto r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(squared)));
    while (r * r < squared)
        ++r;
    while (r > 0 && (r - 1) * (r - 1) >= squared)
        --r;
    return static_cast<int>(std::min<std::int64_t>(r, std::numeric_limits<int>::max()));
}

// The radius that holds the coverage share of the samples whose squared distances these are
// (reordered on the way).
int RadiusCovering(std::vector<std::int64_t>& squared, double coverage) {
    if (squared.empty()) return 0;
    const auto k =
        squared.begin() + static_cast<std::ptrdiff_t>(CoveredCount(squared.size(), coverage) - 1);
    std::nth_element(squared.begin(), k, squared.end());
    return RadiusFor(*k);
}

int Median(std::vector<int>& v) {
    const std::size_t mid = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid), v.end());
    const int upper = v[mid];
    if (v.size() % 2 == 1) return upper;
    const int lower = *std::max_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid));
    return static_cast<int>(std::floor((lower + upper) / 2.0 + 0.5));
}

// Spheres that share points: radii summing to more than the distance, or one centre.
bool Overlapping(double distance, int a, int b) {
    return distance == 0 || a + b > distance;
}

}  // namespace

std::int64_t SquaredDistance(ColourPoint a, ColourPoint b) {
    const std::int64_t dx = a.x - b.x;
    const std::int64_t dy = a.y - b.y;
    const std::int64_t di = a.intensity - b.intensity;
    return dx * dx + dy * dy + di * di;
}

double Distance(ColourPoint a, ColourPoint b) {
    return std::sqrt(static_cast<double>(SquaredDistance(a, b)));
}

EvidenceSample EvidenceOf(const LiveData& sample) {
    return {sample.X(), sample.Y(), sample.Int(), sample.ColorNo()};
}

EvidenceSample EvidenceOf(const LiveSample& s) {
    // The values of a recording are read back as a sensor reports them (16 bits, signed).
    return {static_cast<std::int16_t>(s.x), static_cast<std::int16_t>(s.y),
            static_cast<std::int16_t>(s.intensity), static_cast<std::int16_t>(s.colorNo)};
}

ColourPoint TaughtCentre(const TeachVector& row) {
    return {row.Cell[0], row.Cell[1], row.Cell[2]};
}

bool IsTaughtRow(const Configuration& config, std::size_t row) {
    if (row >= std::min<std::size_t>(config.para.MaxVecNo, kSensorTeachRows)) return false;
    for (std::size_t w = 0; w < kTeachWordCount; ++w) {
        if (TeachWordGet(config.teach[row], w) != kTeachWords[w].defaultValue) return true;
    }
    return false;
}

std::vector<std::size_t> TaughtRows(const Configuration& config) {
    std::vector<std::size_t> rows;
    for (std::size_t r = 0; r < kSensorTeachRows; ++r) {
        if (IsTaughtRow(config, r)) rows.push_back(r);
    }
    return rows;
}

ColourPoint Centre(std::span<const EvidenceSample> samples) {
    if (samples.empty()) return {};
    std::vector<int> axis(samples.size());
    ColourPoint c;
    for (int ColourPoint::*a : {&ColourPoint::x, &ColourPoint::y, &ColourPoint::intensity}) {
        for (std::size_t i = 0; i < samples.size(); ++i)
            axis[i] = samples[i].point().*a;
        c.*a = Median(axis);
    }
    return c;
}

int NeededRadius(std::span<const EvidenceSample> samples, ColourPoint centre, double coverage) {
    std::vector<std::int64_t> squared;
    squared.reserve(samples.size());
    for (const EvidenceSample& s : samples)
        squared.push_back(SquaredDistance(s.point(), centre));
    return RadiusCovering(squared, coverage);
}

int ProposedTolerance(int needed, double margin) {
    return static_cast<int>(std::min<double>(std::ceil(margin * needed - 1e-9), kLargestTolerance));
}

SharedRoom ShareRoom(std::span<const RoomClaim> claims) {
    SharedRoom shared;
    for (const RoomClaim& c : claims)
        shared.tolerance.push_back(c.wanted);
    // Each tolerance is the least that any of its pairs leaves it, every pair judged on what
    // both wanted: the outcome does not depend on the order of the pairs, and since a
    // tolerance only shrinks, every pair keeps clear.
    for (std::size_t i = 0; i < claims.size(); ++i) {
        for (std::size_t j = i + 1; j < claims.size(); ++j) {
            const RoomClaim& a = claims[i];
            const RoomClaim& b = claims[j];
            if (a.fixed && b.fixed) continue;
            const double d = Distance(a.centre, b.centre);
            if (!Overlapping(d, a.wanted, b.wanted)) continue;
            bool tight = d == 0;
            const auto limit = [&](std::size_t k, const RoomClaim& c, double share) {
                const int room = static_cast<int>(std::max(0.0, std::floor(share + 1e-9)));
                shared.tolerance[k] = std::min(shared.tolerance[k], room);
                tight = tight || room < c.needed;
            };
            if (a.fixed || b.fixed) {
                const bool aFlexible = !a.fixed;
                const RoomClaim& flexible = aFlexible ? a : b;
                const RoomClaim& fixed = aFlexible ? b : a;
                limit(aFlexible ? i : j, flexible, d - fixed.wanted);
            } else {
                const double sum = a.wanted + b.wanted;
                limit(i, a, sum > 0 ? a.wanted * d / sum : 0);
                limit(j, b, sum > 0 ? b.wanted * d / sum : 0);
            }
            if (tight) shared.cannotSeparate.push_back({a.row, b.row, d});
        }
    }
    return shared;
}

TaughtColour TeachColour(const Configuration& config, std::size_t row,
                         std::span<const EvidenceSample> samples, std::optional<int> tolerance,
                         const EvidenceSettings& settings) {
    TaughtColour t;
    t.row = row;
    t.samples = samples.size();
    t.centre = Centre(samples);
    t.needed = NeededRadius(samples, t.centre, settings.coverage);
    t.config = config;
    ParameterSet& para = t.config.para;
    if (para.MaxVecNo < row + 1) para.MaxVecNo = static_cast<std::uint16_t>(row + 1);
    std::vector<RoomClaim> claims{{row, t.centre, t.needed, 0, false}};
    for (const std::size_t other : TaughtRows(t.config)) {
        if (other == row) continue;
        claims.push_back(
            {other, TaughtCentre(config.teach[other]), 0, config.teach[other].Cell[3], true});
    }
    const int wanted = ProposedTolerance(t.needed, settings.margin);
    claims.front().wanted = wanted;
    const SharedRoom shared = ShareRoom(claims);
    if (shared.tolerance.front() < wanted) t.room = shared.tolerance.front();
    t.tolerance = std::clamp(tolerance.value_or(shared.tolerance.front()), 0, kLargestTolerance);

    auto& cell = t.config.teach[row].Cell;
    cell[0] = static_cast<std::uint16_t>(std::clamp(t.centre.x, 0, kLargestTolerance));
    cell[1] = static_cast<std::uint16_t>(std::clamp(t.centre.y, 0, kLargestTolerance));
    cell[2] = static_cast<std::uint16_t>(std::clamp(t.centre.intensity, 0, kLargestTolerance));
    cell[3] = static_cast<std::uint16_t>(t.tolerance);
    for (std::size_t k = 1; k < claims.size(); ++k) {
        const double d = Distance(t.centre, claims[k].centre);
        if (Overlapping(d, t.tolerance, claims[k].wanted)) t.overlaps.push_back({claims[k].row, d});
    }
    return t;
}

const char* VerdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Ok:
            return "ok";
        case Verdict::TooSmall:
            return "too small";
        case Verdict::TooLarge:
            return "too large";
        case Verdict::CannotSeparate:
            return "cannot separate";
        case Verdict::TooFewSamples:
            return "too few samples";
    }
    return "?";
}

RecordingCheck CheckRecording(const Configuration& config, std::span<const EvidenceSample> samples,
                              const EvidenceSettings& settings) {
    RecordingCheck check;
    check.samples = samples.size();
    const std::vector<std::size_t> taught = TaughtRows(config);
    const std::size_t n = taught.size();
    std::vector<ColourPoint> centres;
    std::vector<std::int64_t> squaredTolerance;
    for (const std::size_t r : taught) {
        RowEvidence e;
        e.row = r;
        e.centre = TaughtCentre(config.teach[r]);
        e.tolerance = config.teach[r].Cell[3];
        centres.push_back(e.centre);
        squaredTolerance.push_back(std::int64_t{e.tolerance} * e.tolerance);
        check.rows.push_back(e);
    }

    // Every sample once: its nearest centre (the lower row on a tie), the spheres that hold it
    // and the row the model gives it.
    std::vector<std::vector<std::int64_t>> distances(n);  // to the row it is assigned to
    std::size_t agreeing = 0;
    for (const EvidenceSample& s : samples) {
        const ColourPoint p = s.point();
        std::size_t nearest = n;
        std::int64_t nearestSquared = std::numeric_limits<std::int64_t>::max();
        std::size_t holding = 0;
        int model = 255;
        std::uint32_t inside = 0;  // bit k: sphere k holds it (at most 32 rows)
        for (std::size_t k = 0; k < n; ++k) {
            const std::int64_t d = SquaredDistance(p, centres[k]);
            if (d < nearestSquared) nearestSquared = d, nearest = k;
            if (d <= squaredTolerance[k]) {
                if (holding++ == 0) model = static_cast<int>(taught[k]);
                inside |= std::uint32_t{1} << k;
            }
        }
        agreeing += s.colorNo == model;
        check.insideNone += holding == 0;
        check.insideSeveral += holding >= 2;
        if (nearest == n) continue;
        RowEvidence& own = check.rows[nearest];
        ++own.samples;
        distances[nearest].push_back(nearestSquared);
        if (inside & (std::uint32_t{1} << nearest)) ++own.inside;
        for (std::uint32_t other = inside & ~(std::uint32_t{1} << nearest); other != 0;
             other &= other - 1) {
            ++check.rows[static_cast<std::size_t>(std::countr_zero(other))].foreign;
        }
    }
    check.agreement =
        samples.empty() ? 0.0 : static_cast<double>(agreeing) / static_cast<double>(samples.size());

    std::vector<RoomClaim> claims;
    for (std::size_t k = 0; k < n; ++k) {
        RowEvidence& e = check.rows[k];
        for (std::size_t j = 0; j < n; ++j) {
            if (j == k) continue;
            const double d = Distance(e.centre, centres[j]);
            if (!e.nearest || d < e.nearest->distance) e.nearest = Overlap{taught[j], d};
        }
        const bool enough = e.samples >= kMinRowSamples;
        if (enough) e.needed = RadiusCovering(distances[k], settings.coverage);
        const int needed = e.needed.value_or(0);
        claims.push_back({e.row, e.centre, needed,
                          enough ? ProposedTolerance(needed, settings.margin) : e.tolerance,
                          !enough});
    }
    const SharedRoom shared = ShareRoom(claims);
    check.cannotSeparate = shared.cannotSeparate;
    for (std::size_t k = 0; k < n; ++k) {
        RowEvidence& e = check.rows[k];
        if (!e.needed) {
            e.verdict = Verdict::TooFewSamples;
            continue;
        }
        e.proposed = shared.tolerance[k];
        const bool tight =
            std::any_of(shared.cannotSeparate.begin(), shared.cannotSeparate.end(),
                        [&](const TightPair& p) { return p.row == e.row || p.other == e.row; });
        e.verdict = tight                     ? Verdict::CannotSeparate
                    : *e.needed > e.tolerance ? Verdict::TooSmall
                    : e.foreign > 0           ? Verdict::TooLarge
                                              : Verdict::Ok;
    }
    return check;
}

Configuration WithProposals(Configuration config, const RecordingCheck& check) {
    for (const RowEvidence& e : check.rows) {
        if (e.proposed) config.teach[e.row].Cell[3] = static_cast<std::uint16_t>(*e.proposed);
    }
    return config;
}

std::vector<TightPair> OverlappingSpheres(const Configuration& config) {
    std::vector<TightPair> pairs;
    const std::vector<std::size_t> taught = TaughtRows(config);
    for (std::size_t i = 0; i < taught.size(); ++i) {
        for (std::size_t j = i + 1; j < taught.size(); ++j) {
            const TeachVector& a = config.teach[taught[i]];
            const TeachVector& b = config.teach[taught[j]];
            const double d = Distance(TaughtCentre(a), TaughtCentre(b));
            if (Overlapping(d, a.Cell[3], b.Cell[3])) pairs.push_back({taught[i], taught[j], d});
        }
    }
    return pairs;
}

}  // namespace qelto
