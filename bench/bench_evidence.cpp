// qelto-cli advise's work on a recording of 1,000,000 samples (about 70 MB, five colours with
// their spread): reading the CSV and checking a configuration of five taught rows against it,
// beside reading the same CSV alone (runs taking turns, bench_pairs.hpp).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "bench_pairs.hpp"
#include "bench_util.hpp"
#include "files/live_csv.hpp"
#include "protocol/records.hpp"
#include "sensor/evidence.hpp"

namespace {

using namespace qelto;
using Clock = std::chrono::steady_clock;

constexpr int kSamples = 1000000;

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
                           static_cast<std::uint16_t>(kCentres[r].intensity),
                           500,
                           0,
                           0};
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

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() /
                         ("qelto-bench-evidence-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const std::string path = (dir / "recording.csv").string();
    WriteRecording(path);
    const Configuration config = FiveColours();

    // Reading alone, every row counted; and what advise does: the rows kept, then checked.
    const auto parse = [&]() -> std::optional<double> {
        std::size_t rows = 0;
        const auto t0 = Clock::now();
        const auto problem = ReadLiveCsv(path, [&](double, const LiveSample&) { ++rows; });
        if (problem || rows != kSamples) return std::nullopt;
        return Seconds(t0);
    };
    const auto advise = [&]() -> std::optional<double> {
        const auto t0 = Clock::now();
        std::vector<EvidenceSample> samples;
        const auto problem = ReadLiveCsv(
            path, [&](double, const LiveSample& s) { samples.push_back(EvidenceOf(s)); });
        const RecordingCheck check = CheckRecording(config, samples);
        if (problem || check.samples != kSamples || check.rows.size() != 5) return std::nullopt;
        return Seconds(t0);
    };
    parse();  // the file into the page cache
    const auto pair = bench::Interleave("advise_vs_parse_1m_samples", advise, parse);
    fs::remove_all(dir);
    if (!pair) return 1;
    bench::Report("advise_1m_samples", bench::Median(pair->a), "s", "<", 1);
    bench::Report("advise_vs_parse_1m_samples", pair->Ratio(), "ratio", "<=", 2);
    return 0;
}
