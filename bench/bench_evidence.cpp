// qelto-cli advise's work on a recording of 1,000,000 samples (about 70 MB, five colours with
// their spread): reading the CSV and checking a configuration of five taught rows against it,
// beside reading the same CSV alone. The two take turns, run after run; the figures are the
// median time and the median of the runs' ratios.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench_util.hpp"
#include "files/live_csv.hpp"
#include "protocol/records.hpp"
#include "sensor/evidence.hpp"

namespace {

using namespace qelto;
using Clock = std::chrono::steady_clock;

constexpr int kSamples = 1000000;
constexpr int kRuns = 5;

// Five colours as the demo's sensor has them taught.
const ColourPoint kCentres[] = {
    {1365, 1392, 100}, {2659, 764, 45}, {819, 2275, 45}, {692, 1009, 47}, {1861, 1744, 70}};

Configuration FiveColours() {
    Configuration c;
    LoadDefaultParaValues(c.para, c.teach, 1);
    c.para.MaxVecNo = 5;
    for (std::size_t r = 0; r < 5; ++r) {
        c.teach[r].Cell = {static_cast<std::uint16_t>(kCentres[r].x),
                           static_cast<std::uint16_t>(kCentres[r].y),
                           static_cast<std::uint16_t>(kCentres[r].intensity), 500, 0, 0};
    }
    return c;
}

// A recording as Record writes it: the colours in turn, each with a spread.
void WriteRecording(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(kLiveCsvHeader.data(), 1, kLiveCsvHeader.size(), f);
    std::mt19937 rng(7);
    std::normal_distribution<double> spread(0, 40);
    const WallClock clock{1773476813589, 60};
    char line[128];
    for (int i = 0; i < kSamples; ++i) {
        const std::size_t r = static_cast<std::size_t>(i / 2000 % 5);
        const ColourPoint& c = kCentres[r];
        const LiveSample s{100,
                           102,
                           98,
                           std::lround(c.x + spread(rng)),
                           std::lround(c.y + spread(rng)),
                           std::lround(c.intensity + spread(rng) / 10),
                           static_cast<long>(r)};
        std::fwrite(line, 1, FormatLiveCsvLine(line, i * 0.005, s, clock), f);
    }
    std::fclose(f);
}

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

double Median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("qelto-bench-evidence-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const std::string path = (dir / "recording.csv").string();
    WriteRecording(path);
    const Configuration config = FiveColours();

    std::vector<double> parse;
    std::vector<double> advise;
    std::vector<double> ratio;
    std::size_t checked = 0;
    for (int run = 0; run < kRuns; ++run) {
        std::size_t rows = 0;
        auto t0 = Clock::now();
        const auto parsed = ReadLiveCsv(path, [&](double, const LiveSample&) { ++rows; });
        parse.push_back(Seconds(t0));
        if (parsed || rows != kSamples) {
            std::fprintf(stderr, "bench_evidence: the recording was not read whole\n");
            return 1;
        }

        t0 = Clock::now();
        std::vector<EvidenceSample> samples;
        ReadLiveCsv(path, [&](double, const LiveSample& s) { samples.push_back(EvidenceOf(s)); });
        const RecordingCheck check = CheckRecording(config, samples);
        advise.push_back(Seconds(t0));
        ratio.push_back(advise.back() / parse.back());
        checked += check.samples;
    }
    if (checked != static_cast<std::size_t>(kSamples) * kRuns) return 1;
    fs::remove_all(dir);

    bench::Report("advise_1m_samples", Median(advise), "s", "<", 1);
    bench::Report("advise_1m_samples_vs_parse", Median(ratio), "ratio", "<=", 2);
    return 0;
}
