// The evidence of taught colours: what measured samples say about each colour's sphere in the
// X, Y, INT space (its centre, the radius its spread needs, the tolerance to give it) and how
// a configuration fares against a recording of production. Plain functions over samples and
// a configuration, no I/O: the window, qelto-cli and the Python module show what they compute.
//
// The model is the one the graphs draw: taught row n is the ball of radius Cell[3] around
// (Cell[0], Cell[1], Cell[2]), and a sample lies inside when its distance is at most the
// radius. The sensor's own matching is its firmware's; the agreement figure says how well the
// model fits the colour numbers the sensor reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "files/live_csv.hpp"
#include "protocol/records.hpp"

namespace qelto {

// A point of the colour space: X, Y and INT.
struct ColourPoint {
    int x = 0;
    int y = 0;
    int intensity = 0;
    bool operator==(const ColourPoint&) const = default;
};
std::int64_t SquaredDistance(ColourPoint a, ColourPoint b);
double Distance(ColourPoint a, ColourPoint b);

// What the evidence takes of a live sample: where it lies and the colour number the sensor
// gave it. Small, since a recording may hold millions.
struct EvidenceSample {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t intensity = 0;
    std::int16_t colorNo = 0;
    ColourPoint point() const { return {x, y, intensity}; }
};
EvidenceSample EvidenceOf(const LiveData& sample);
EvidenceSample EvidenceOf(const LiveSample& sample);

// How generous a proposal is: ceil(margin x needed), where needed is the radius that holds
// `coverage` per cent of a colour's samples.
struct EvidenceSettings {
    double margin = 1.5;
    double coverage = 99.7;
};
inline constexpr double kMarginLimit = 10.0;       // margins run from 1 to this
inline constexpr double kCoverageLow = 50.0;       // coverages run from this to 100
inline constexpr std::size_t kMinRowSamples = 10;  // fewer give no proposal

// --- One colour

// A row's centre as taught: Cell[0..2].
ColourPoint TaughtCentre(const TeachVector& row);
// Rows 0 .. MaxVecNo - 1 of those the sensor holds (0..31) that do not hold the default
// vector: the colours the sensor is meant to tell. Rows 32..63 never take part.
bool IsTaughtRow(const Configuration& config, std::size_t row);
std::vector<std::size_t> TaughtRows(const Configuration& config);

// The per-axis median of the samples (of an even count, the mean of the middle two, a half
// rounded up); the origin for none.
ColourPoint Centre(std::span<const EvidenceSample> samples);
// The smallest whole radius around `centre` that holds at least `coverage` per cent of the
// samples; 0 for none.
int NeededRadius(std::span<const EvidenceSample> samples, ColourPoint centre, double coverage);
// ceil(margin x needed), at most the largest tolerance a row can hold.
int ProposedTolerance(int needed, double margin);

// --- Room between spheres

// A sphere that takes part in sharing the room: a flexible one gets a proposal (wanted is
// ceil(margin x needed)); a fixed one keeps the tolerance it has (wanted), for no evidence of
// it is at hand, but the others must keep clear of it.
struct RoomClaim {
    std::size_t row = 0;
    ColourPoint centre;
    int needed = 0;
    int wanted = 0;
    bool fixed = false;
};
// Two rows that cannot be separated at this spread: the room between their centres is less
// than their needs.
struct TightPair {
    std::size_t row = 0;
    std::size_t other = 0;
    double distance = 0;
};
struct SharedRoom {
    std::vector<int> tolerance;  // per claim: the proposal, or the fixed tolerance
    std::vector<TightPair> cannotSeparate;
};
// Every pair whose wanted radii sum to more than the distance between their centres is
// scaled down: two flexible ones in proportion until they sum to the distance (rounded down),
// a flexible one beside a fixed one to the room the fixed one leaves. A pair where that leaves
// a flexible one below its need, or whose centres coincide, cannot be separated. No proposal
// grows past what it wanted.
SharedRoom ShareRoom(std::span<const RoomClaim> claims);

// --- Teaching one colour from samples

struct Overlap {
    std::size_t row = 0;
    double distance = 0;
};
struct TaughtColour {
    std::size_t row = 0;
    std::size_t samples = 0;
    ColourPoint centre;
    int needed = 0;
    int tolerance = 0;
    // The room the other taught rows leave it (none: nothing near enough to limit it).
    std::optional<int> room;
    // Every other taught row whose sphere the row's new sphere overlaps.
    std::vector<Overlap> overlaps;
    // The configuration with the row taught: Cell[0..2] the centre, Cell[3] the tolerance,
    // Cell[4..5], Group and Hold kept, MaxVecNo raised to row + 1 when it was lower.
    Configuration config;
};
// `tolerance` given: that one; otherwise the proposal, kept clear of the other taught rows'
// spheres as they are. `row` lies in 0..31 and `samples` holds at least one sample.
TaughtColour TeachColour(const Configuration& config, std::size_t row,
                         std::span<const EvidenceSample> samples, std::optional<int> tolerance,
                         const EvidenceSettings& settings = {});

// --- A configuration against a recording

enum class Verdict { Ok, TooSmall, TooLarge, CannotSeparate, TooFewSamples };
// "ok", "too small", "too large", "cannot separate", "too few samples".
const char* VerdictText(Verdict verdict);

struct RowEvidence {
    std::size_t row = 0;
    ColourPoint centre;              // as taught
    int tolerance = 0;               // as taught
    std::size_t samples = 0;         // assigned to it: nearer its centre than any other's
    std::optional<int> needed;       // none with too few samples
    std::size_t inside = 0;          // of its samples, inside its sphere
    std::size_t foreign = 0;         // samples assigned to other rows inside its sphere
    std::optional<Overlap> nearest;  // the nearest other taught row
    std::optional<int> proposed;     // none with too few samples
    Verdict verdict = Verdict::Ok;
};

struct RecordingCheck {
    std::size_t samples = 0;
    // The share of samples whose colour number is the row the model gives with the taught
    // tolerances: the first row, in row order, whose sphere holds it, else 255.
    double agreement = 0;
    std::size_t insideNone = 0;
    std::size_t insideSeveral = 0;
    std::vector<RowEvidence> rows;  // the taught rows, in row order
    std::vector<TightPair> cannotSeparate;
};
RecordingCheck CheckRecording(const Configuration& config, std::span<const EvidenceSample> samples,
                              const EvidenceSettings& settings = {});
// `config` with every proposal of the check as its row's tolerance; rows without one as
// they were.
Configuration WithProposals(Configuration config, const RecordingCheck& check);

// Pairs of taught rows whose spheres overlap as they are (their tolerances sum to more than
// the distance between their centres, or their centres coincide), in row order.
std::vector<TightPair> OverlappingSpheres(const Configuration& config);

}  // namespace qelto
