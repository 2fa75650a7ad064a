// The evidence of taught colours on generated clusters whose centres and spreads are known,
// and the recording read back from its CSV.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "files/live_csv.hpp"
#include "sensor/evidence.hpp"
#include "temp_dir.hpp"

namespace qelto {
namespace {

// The radius that holds 99.7 % of a round Gaussian cloud in three dimensions, in standard
// deviations: the square root of the chi-square quantile with three degrees of freedom.
constexpr double kRadius997 = 3.7625;

std::vector<EvidenceSample> Cluster(ColourPoint c, double sigma, int count, int colorNo,
                                    unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> n(0, sigma);
    std::vector<EvidenceSample> v;
    for (int i = 0; i < count; ++i) {
        v.push_back({static_cast<std::int16_t>(std::lround(c.x + n(rng))),
                     static_cast<std::int16_t>(std::lround(c.y + n(rng))),
                     static_cast<std::int16_t>(std::lround(c.intensity + n(rng))),
                     static_cast<std::int16_t>(colorNo)});
    }
    return v;
}

// Taught rows at the centres with one tolerance; the other rows hold the default vector.
Configuration Taught(const std::vector<ColourPoint>& centres, int tolerance) {
    Configuration c;
    LoadDefaultParaValues(c.para, c.teach, 1);
    c.para.MaxVecNo = static_cast<std::uint16_t>(centres.size());
    for (std::size_t r = 0; r < centres.size(); ++r) {
        c.teach[r].Cell = {static_cast<std::uint16_t>(centres[r].x),
                           static_cast<std::uint16_t>(centres[r].y),
                           static_cast<std::uint16_t>(centres[r].intensity),
                           static_cast<std::uint16_t>(tolerance),
                           0,
                           0};
    }
    return c;
}

void Append(std::vector<EvidenceSample>& to, const std::vector<EvidenceSample>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

TEST(Evidence, OneColourTaughtFromItsSamples) {
    const ColourPoint truth{1500, 900, 300};
    const double sigma = 20;
    const auto samples = Cluster(truth, sigma, 4000, 0, 1);
    const ColourPoint c = Centre(samples);
    // The median's standard error is 1.25 sigma / sqrt(n), under half a count here.
    EXPECT_NEAR(c.x, truth.x, 2);
    EXPECT_NEAR(c.y, truth.y, 2);
    EXPECT_NEAR(c.intensity, truth.intensity, 2);
    EXPECT_NEAR(NeededRadius(samples, c, 99.7), kRadius997 * sigma, 0.1 * kRadius997 * sigma);

    // Row 5 of five taught colours far away: only its cells and MaxVecNo change.
    Configuration before = Taught(
        {{100, 100, 100}, {3000, 100, 100}, {100, 3000, 100}, {3000, 3000, 100}, {100, 100, 3000}},
        500);
    before.teach[5].Cell[4] = 7;
    before.teach[5].Hold = 33;
    const TaughtColour t = TeachColour(before, 5, samples, std::nullopt);
    EXPECT_EQ(t.centre, c);
    EXPECT_GE(t.tolerance, 1.2 * kRadius997 * sigma);
    EXPECT_LE(t.tolerance, 2.0 * kRadius997 * sigma);
    EXPECT_FALSE(t.room);
    EXPECT_TRUE(t.overlaps.empty());
    Configuration expected = before;
    expected.para.MaxVecNo = 6;
    expected.teach[5].Cell[0] = static_cast<std::uint16_t>(c.x);
    expected.teach[5].Cell[1] = static_cast<std::uint16_t>(c.y);
    expected.teach[5].Cell[2] = static_cast<std::uint16_t>(c.intensity);
    expected.teach[5].Cell[3] = static_cast<std::uint16_t>(t.tolerance);
    EXPECT_EQ(t.config, expected);

    // Beside a sphere as it is, the proposal keeps clear of it; a tolerance given is taken as
    // it is, and the sphere it overlaps is named.
    Configuration near = before;
    near.teach[1].Cell = {1500, 900 + 160, 300, 100, 0, 0};
    const TaughtColour kept = TeachColour(near, 5, samples, std::nullopt);
    EXPECT_EQ(kept.room, static_cast<int>(Distance(c, {1500, 1060, 300}) - 100));
    EXPECT_EQ(kept.tolerance, *kept.room);
    EXPECT_TRUE(kept.overlaps.empty());
    const TaughtColour given = TeachColour(near, 5, samples, 80);
    EXPECT_EQ(given.tolerance, 80);
    ASSERT_EQ(given.overlaps.size(), 1u);
    EXPECT_EQ(given.overlaps[0].row, 1u);
}

TEST(Evidence, ProposalsFitTheSpreadAndKeepTheSpheresApart) {
    // Three colours of known spread, taught with the assistant's tolerance: 500 each,
    // overlapping one another.
    const std::vector<ColourPoint> centres{{1000, 1000, 200}, {1240, 1000, 200}, {1000, 1250, 200}};
    const double sigmas[] = {15, 30, 20};
    std::vector<EvidenceSample> samples;
    for (std::size_t r = 0; r < centres.size(); ++r)
        Append(samples, Cluster(centres[r], sigmas[r], 3000, static_cast<int>(r), 10 + r));
    const Configuration config = Taught(centres, 500);
    const RecordingCheck check = CheckRecording(config, samples);
    ASSERT_EQ(check.rows.size(), 3u);
    EXPECT_TRUE(check.cannotSeparate.empty());
    for (std::size_t r = 0; r < 3; ++r) {
        const RowEvidence& e = check.rows[r];
        SCOPED_TRACE(r);
        EXPECT_NEAR(static_cast<double>(e.samples), 3000, 5);
        const double known = kRadius997 * sigmas[r];
        ASSERT_TRUE(e.needed && e.proposed);
        EXPECT_NEAR(*e.needed, known, 0.12 * known);
        EXPECT_GE(*e.proposed, 1.2 * known);
        EXPECT_LE(*e.proposed, 2.0 * known);
        EXPECT_EQ(e.verdict, Verdict::TooLarge);  // 500 swallows the neighbours' samples
    }
    // Rows 0 and 1 wanted more than the 240 between them, and share it in proportion.
    EXPECT_LT(*check.rows[0].proposed, std::ceil(1.5 * *check.rows[0].needed));
    const Configuration proposed = WithProposals(config, check);
    EXPECT_TRUE(OverlappingSpheres(proposed).empty());
    EXPECT_EQ(OverlappingSpheres(config).size(), 3u);
    EXPECT_EQ(proposed.teach[1].Cell[3], *check.rows[1].proposed);
    EXPECT_EQ(proposed.teach[1].Cell[0], 1240);
}

TEST(Evidence, ATightPairIsFlaggedAndVerdictsKeepTheirOrder) {
    // Rows 0 and 1 lie 60 apart with a spread that needs about 75 each: they cannot be
    // separated. Row 2 is far away with a tolerance below its need; row 3 has a few samples
    // only; row 40 lies beyond the rows the sensor holds.
    Configuration config =
        Taught({{1000, 1000, 200}, {1060, 1000, 200}, {3000, 500, 300}, {500, 3000, 300}}, 30);
    config.para.MaxVecNo = 64;
    config.teach[40].Cell = {3000, 3000, 3000, 4000, 0, 0};
    std::vector<EvidenceSample> samples = Cluster({1000, 1000, 200}, 20, 500, 0, 1);
    Append(samples, Cluster({1060, 1000, 200}, 20, 500, 1, 2));
    Append(samples, Cluster({3000, 500, 300}, 20, 500, 2, 3));
    Append(samples, Cluster({500, 3000, 300}, 1, 9, 3, 4));
    const RecordingCheck check = CheckRecording(config, samples);
    ASSERT_EQ(check.rows.size(), 4u);
    ASSERT_EQ(check.cannotSeparate.size(), 1u);
    EXPECT_EQ(check.cannotSeparate[0].row, 0u);
    EXPECT_EQ(check.cannotSeparate[0].other, 1u);
    EXPECT_DOUBLE_EQ(check.cannotSeparate[0].distance, 60);
    EXPECT_EQ(check.rows[0].verdict, Verdict::CannotSeparate);  // before too small
    EXPECT_EQ(check.rows[1].verdict, Verdict::CannotSeparate);
    EXPECT_EQ(check.rows[2].verdict, Verdict::TooSmall);
    EXPECT_EQ(check.rows[3].verdict, Verdict::TooFewSamples);
    EXPECT_FALSE(check.rows[3].proposed);
    EXPECT_FALSE(check.rows[3].needed);
    EXPECT_STREQ(VerdictText(check.rows[0].verdict), "cannot separate");
    ASSERT_TRUE(check.rows[2].nearest);
    EXPECT_EQ(check.rows[2].nearest->row, 1u);
    // The scaled proposals still keep 0 and 1 apart; row 3 keeps its tolerance.
    EXPECT_LE(*check.rows[0].proposed + *check.rows[1].proposed, 60);
    EXPECT_EQ(WithProposals(config, check).teach[3].Cell[3], 30);
}

TEST(Evidence, AgreementAndSamplesInsideNoneOrSeveral) {
    // Two spheres that overlap on the line between them: 0 at x 1000, 1 at x 1100, both 60.
    const Configuration config = Taught({{1000, 1000, 100}, {1100, 1000, 100}}, 60);
    const auto at = [](int x, int colorNo) {
        return EvidenceSample{static_cast<std::int16_t>(x), 1000, 100,
                              static_cast<std::int16_t>(colorNo)};
    };
    // Inside 0 only, told 0; inside both (the model gives the first row, 0), told 1; inside 1
    // only, told 1; inside none, told 255; inside none, told 0.
    const std::vector<EvidenceSample> samples{at(1000, 0), at(1050, 1), at(1150, 1), at(1300, 255),
                                              at(700, 0)};
    const RecordingCheck check = CheckRecording(config, samples);
    EXPECT_DOUBLE_EQ(check.agreement, 3.0 / 5.0);
    EXPECT_EQ(check.insideNone, 2u);
    EXPECT_EQ(check.insideSeveral, 1u);
    EXPECT_EQ(check.samples, 5u);
    EXPECT_EQ(check.rows[0].samples, 3u);  // 1050 is as near to both: the lower row takes it
    EXPECT_EQ(check.rows[0].inside, 2u);
    EXPECT_EQ(check.rows[1].foreign, 1u);
}

TEST(LiveCsvRead, RowsComeBackAndEveryProblemNamesItsLine) {
    std::vector<LiveSample> rows;
    std::vector<double> times;
    const auto keep = [&](double t, const LiveSample& s) {
        times.push_back(t);
        rows.push_back(s);
    };
    const auto problem = ParseLiveCsv(
        "t,red,green,blue,x,y,int,color_no,wall_clock\r\n"
        "0.000068,84,25,20,2667,794,43,1,2026-12-08T15:42:40.810+00:00\r\n"
        "\r\n"
        "1.5,-3,0,32767,0,0,0,255,x",
        keep);
    EXPECT_FALSE(problem) << problem->Text();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_DOUBLE_EQ(times[0], 0.000068);
    EXPECT_EQ(rows[0].x, 2667);
    EXPECT_EQ(rows[1].red, -3);
    EXPECT_EQ(rows[1].colorNo, 255);
    EXPECT_FALSE(ParseLiveCsv("t,red,green,blue,x,y,int,color_no\n1,2,3,4,5,6,7,8\n", keep));

    const std::string head = "t,red,green,blue,x,y,int,color_no\n";
    const std::string good = "1,2,3,4,5,6,7,8\n";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "line 1: the file is empty"},
        {head, "line 2: no samples after the header"},
        {"a;b;c\n1;2;3\n", "line 1: not a recording of live data: its first line is 'a;b;c'"},
        {head + good + "1,2,3,4,5,6,7\n", "line 3: 7 fields, not the 8 of the header"},
        {head + good + good + "1,2,3,4,5,6,7,8,9\n", "line 4: 9 fields"},
        {head + "1,2,3,4,x5,6,7,8\n", "line 2: 'x5' in column x is not a whole number"},
        {head + "1,2,3,4,5,6,,8\n", "line 2: '' in column int is not a whole number"},
        {head + "nan,2,3,4,5,6,7,8\n", "line 2: 'nan' in column t is not a time in seconds"},
        {head + "1,2,3,40000,5,6,7,8\n", "line 2: '40000' in column blue is not a value"},
        {head + std::string(5000, '1'), "line 2: a line longer than 4096 bytes"},
    };
    for (const auto& [text, expected] : cases) {
        const auto p = ParseLiveCsv(text, keep);
        ASSERT_TRUE(p) << expected;
        EXPECT_EQ(p->Text().rfind(expected, 0), 0u) << p->Text();
    }
}

TEST(LiveCsvRead, AFileIsReadPieceByPiece) {
    TempDir dir;
    const std::string path = dir.File("rec.csv");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("t,red,green,blue,x,y,int,color_no,wall_clock\n", f);
    const int n = 40000;  // a few pieces of a megabyte: lines cross the seams
    for (int i = 0; i < n; ++i)
        std::fprintf(f, "%d.000000,1,2,3,%d,5,6,7,2026-03-14T09:26:53.589+01:00\n", i, i % 4000);
    std::fputs("0,1,2,3,4,5,6", f);  // the last line, cut short
    std::fclose(f);
    long sum = 0;
    int count = 0;
    const auto p = ReadLiveCsv(path, [&](double, const LiveSample& s) {
        sum += s.x;
        ++count;
    });
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Text(), "line " + std::to_string(n + 2) + ": 7 fields, not the 9 of the header");
    EXPECT_EQ(count, n);
    EXPECT_EQ(sum, 10L * (3999L * 4000 / 2));
    EXPECT_EQ(ReadLiveCsv(dir.File("none.csv"), {})->Text(), "no such file");
    EXPECT_EQ(ReadLiveCsv(dir.str(), {})->Text(), "not a regular file");
}

}  // namespace
}  // namespace qelto
