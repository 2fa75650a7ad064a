// A recording on arbitrary bytes: read as qelto-cli advise and Check tolerances read one, from
// the text and from a file in pieces, and, when it is one, checked against three taught
// colours. Besides crashes and sanitizer reports, a broken rule of the reader or of the
// evidence is a finding.
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "files/live_csv.hpp"
#include "fuzz_support.hpp"
#include "sensor/evidence.hpp"

namespace qelto::fuzz {
const char* const kTargetName = "fuzz_recording";
}  // namespace qelto::fuzz

namespace {

using namespace qelto;
using namespace qelto::fuzz;

// Three colours, two of them close: room is shared, and a pair may not be separable.
Configuration ThreeColours() {
    Configuration c;
    LoadDefaultParaValues(c.para, c.teach, 1);
    c.para.MaxVecNo = 3;
    c.teach[0].Cell = {1000, 1000, 100, 500, 0, 0};
    c.teach[1].Cell = {1040, 1000, 100, 30, 0, 0};
    c.teach[2].Cell = {3000, 600, 50, 200, 0, 0};
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<EvidenceSample> samples;
    const auto problem = ParseLiveCsv(text, [&](double t, const LiveSample& s) {
        Require(std::isfinite(t), "a row's time is finite");
        for (long v : {s.red, s.green, s.blue, s.x, s.y, s.intensity, s.colorNo})
            Require(v >= -32768 && v <= 32767, "a row's values are a sensor's");
        samples.push_back(EvidenceOf(s));
    });
    Require(!problem || problem->line >= 1, "a problem of the text names its line");

    // The file, read in pieces, says the same.
    const auto path = WorkDir() / "recording.csv";
    WriteFile(path, data, size);
    std::size_t rows = 0;
    const auto fromFile = ReadLiveCsv(path.string(), [&](double, const LiveSample&) { ++rows; });
    Require(problem.has_value() == fromFile.has_value() &&
                (!problem || problem->Text() == fromFile->Text()),
            "the file reads as its text");
    Require(problem || rows == samples.size(), "the file gives the text's rows");
    if (problem) return 0;

    const Configuration config = ThreeColours();
    const RecordingCheck check = CheckRecording(config, samples);
    Require(check.samples == samples.size(), "every sample is counted");
    Require(check.agreement >= 0 && check.agreement <= 1, "the agreement is a share");
    std::size_t assigned = 0;
    for (const RowEvidence& e : check.rows) {
        assigned += e.samples;
        Require(e.inside <= e.samples, "a row's inside are of its samples");
        Require(e.proposed.has_value() == (e.samples >= kMinRowSamples),
                "a proposal comes with enough samples");
    }
    Require(assigned == samples.size(), "every sample goes to one row");
    const Configuration proposed = WithProposals(config, check);
    for (std::size_t a = 0; a < 3; ++a) {
        for (std::size_t b = a + 1; b < 3; ++b) {
            const bool bothProposed = check.rows[a].proposed && check.rows[b].proposed;
            const double d =
                Distance(TaughtCentre(proposed.teach[a]), TaughtCentre(proposed.teach[b]));
            Require(!bothProposed || proposed.teach[a].Cell[3] + proposed.teach[b].Cell[3] <= d,
                    "two proposals keep their spheres apart");
        }
    }
    return 0;
}
