// The simulated sensor's model on its own: frames in, frames out, no sockets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "link/transaction.hpp"
#include "sensor_model.hpp"

namespace qelto::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Request(int command, std::uint16_t argument, const Bytes& data = {}) {
    Bytes out(kHeaderSize + data.size());
    BuildFrame(static_cast<std::uint8_t>(command), argument, data, out.data());
    return out;
}

struct Reply {
    std::uint8_t command;
    std::uint16_t argument;
    Bytes data;
};

// Checks the reply frame as the host would and splits it.
Reply Decode(const Bytes& frame) {
    EXPECT_GE(frame.size(), kHeaderSize);
    EXPECT_EQ(frame[0], kStartByte);
    EXPECT_EQ(crc8({frame.data(), 7}), frame[7]);
    const std::size_t length = GetU16(frame.data() + 4);
    EXPECT_EQ(frame.size(), kHeaderSize + length);
    Bytes data(frame.begin() + kHeaderSize, frame.end());
    EXPECT_EQ(crc8(data), frame[6]);
    return {frame[1], GetU16(frame.data() + 2), data};
}

Reply Call(SensorModel& m, int command, std::uint16_t argument, const Bytes& data = {}) {
    return Decode(m.HandleRequest(Request(command, argument, data)));
}

Bytes Block(const ParameterSet& p) {
    Bytes b(kParameterBlockSize);
    ParameterBlockFromSet(p, std::span<std::uint8_t, kParameterBlockSize>(b.data(), b.size()));
    return b;
}

Bytes Block(const TeachTable& t) {
    Bytes b(kTeachBlockSize);
    TeachBlockFromTable(t, std::span<std::uint8_t, kTeachBlockSize>(b.data(), b.size()));
    return b;
}

LiveData Live(SensorModel& m) {
    const Reply r = Call(m, kCmdLiveData, 0);
    EXPECT_EQ(r.data.size(), kLiveDataSize);
    LiveData live;
    live.FromBytes(std::span<const std::uint8_t, kLiveDataSize>(r.data.data(), kLiveDataSize));
    return live;
}

int MaxSignal(const LiveData& l) {
    return std::max({l.Red(), l.Green(), l.Blue(), l.Aux1(), l.Aux2(), l.Aux3()});
}

ParameterSet Defaults() {
    ParameterSet p;
    TeachTable t{};
    LoadDefaultParaValues(p, t, 1);
    return p;
}

// --- Frames ---------------------------------------------------------------------------------

TEST(SimModelFrames, IdentificationRepliesCarryTheConfiguredTexts) {
    SensorModel m({.firmware = "KORVANEX SLE V1.0 X", .name = "LINE 4", .serialNumber = 65535});
    const Reply fw = Call(m, kCmdFirmware, 0);
    EXPECT_EQ(fw.command, kCmdFirmware);
    EXPECT_EQ(std::string(fw.data.begin(), fw.data.end()), "KORVANEX SLE V1.0 X");
    const Reply name = Call(m, kCmdSensorName, 0);
    EXPECT_EQ(std::string(name.data.begin(), name.data.end()), "LINE 4");
    EXPECT_EQ(name.argument, 65535);
    EXPECT_EQ(m.CommandCount(kCmdFirmware), 1u);
    EXPECT_EQ(m.CommandCount(kCmdSensorName), 1u);
}

TEST(SimModelFrames, BrokenRequestsGetErrorTwoAndUnknownOnesErrorOne) {
    SensorModel m;
    auto errorArg = [&](const Bytes& request) {
        const Reply r = Decode(m.HandleRequest(request));
        EXPECT_EQ(r.command, kCmdErrorReply);
        EXPECT_TRUE(r.data.empty());
        return r.argument;
    };
    Bytes badHeader = Request(8, 0);
    badHeader[7] ^= 0x10;
    EXPECT_EQ(errorArg(badHeader), kErrCommunication);
    Bytes badStart = Request(8, 0);
    badStart[0] = 0x54;
    badStart[7] = crc8({badStart.data(), 7});
    EXPECT_EQ(errorArg(badStart), kErrCommunication);
    Bytes badData = Request(kCmdWrite, kArgParameters, Block(Defaults()));
    badData[20] ^= 0x01;
    EXPECT_EQ(errorArg(badData), kErrCommunication);
    Bytes shortFrame = Request(kCmdWrite, kArgParameters, Block(Defaults()));
    shortFrame.pop_back();
    EXPECT_EQ(errorArg(shortFrame), kErrCommunication);
    EXPECT_EQ(errorArg(Bytes{0x55, 0x08}), kErrCommunication);
    EXPECT_EQ(errorArg(Request(kCmdWrite, kArgParameters, Bytes(50, 0))), kErrCommunication);
    EXPECT_EQ(m.BadFrameCount(), 5u);

    EXPECT_EQ(errorArg(Request(9, 0)), kErrUnknownCommand);
    EXPECT_EQ(errorArg(Request(kCmdRead, 1)), kErrUnknownCommand);
    EXPECT_EQ(m.UnknownCommandCount(), 2u);
    EXPECT_EQ(m.RequestCount(), 8u);
    // Nothing of the broken write reached the memory.
    EXPECT_EQ(m.RamParameters(), Defaults());
}

// --- Memories -------------------------------------------------------------------------------

TEST(SimModelMemory, StartsWithTheDefaultsInRamAndEeprom) {
    SensorModel m;
    EXPECT_EQ(m.RamParameters(), Defaults());
    EXPECT_EQ(m.EepromParameters(), Defaults());
    EXPECT_EQ(m.RamParameters().MaxVecNo, 1);
    EXPECT_EQ(m.RamParameters().DigitalOutMode, 2);
    const TeachVector row{{1, 1, 1, 1, 1, 1}, 1, 10};
    EXPECT_EQ(m.RamTeach()[0], row);
    EXPECT_EQ(m.EepromTeach()[31], row);
}

TEST(SimModelMemory, WritesGoToRamUntilStoredAndLoadsRepairOnlyTheRamCopy) {
    SensorModel m;
    ParameterSet p = Defaults();
    p.Gain = 3;
    p.Integral = 42;
    TeachTable t{};
    LoadDefaultParaValues(p, t, 0);
    p.Gain = 3;
    p.Integral = 42;
    t[5] = {{1000, 2000, 3000, 500, 0, 0}, 1, 10};
    t[40].Cell[0] = 77;  // beyond the rows the sensor holds
    EXPECT_EQ(Call(m, kCmdWrite, kArgParameters, Block(p)).argument, 0);
    EXPECT_EQ(Call(m, kCmdWrite, kArgTeachTable, Block(t)).argument, 0);
    EXPECT_EQ(m.RamParameters(), p);
    EXPECT_EQ(m.RamTeach()[5], t[5]);
    EXPECT_EQ(m.EepromParameters(), Defaults());

    const Reply read = Call(m, kCmdRead, kArgParameters);
    EXPECT_EQ(read.data, Block(p));
    EXPECT_EQ(Call(m, kCmdRead, kArgTeachTable).data, Block(t));

    EXPECT_EQ(Call(m, kCmdStoreEeprom, 0).command, kCmdStoreEeprom);
    EXPECT_EQ(m.EepromParameters(), p);
    EXPECT_EQ(m.EepromTeach()[5], t[5]);

    // A corrupted EEPROM: the load reports and repairs what it copies into RAM.
    ParameterSet corrupt = p;
    corrupt.Gain = 0;
    corrupt.Integral = 999;
    TeachTable corruptTeach = m.EepromTeach();
    corruptTeach[2].Hold = 5000;
    m.SetEeprom(corrupt, corruptTeach);
    EXPECT_EQ(Call(m, kCmdLoadEeprom, 0).argument, 3);
    EXPECT_EQ(m.RamParameters().Gain, 6);
    EXPECT_EQ(m.RamParameters().Integral, 1);
    EXPECT_EQ(m.RamTeach()[2].Hold, 10);
    EXPECT_EQ(m.EepromParameters().Gain, 0);
    EXPECT_EQ(Call(m, kCmdLoadEeprom, 0).argument, 3);  // the EEPROM is still as it was
    EXPECT_EQ(m.RejectedValueCount(), 6u);
}

// --- Plausibility ---------------------------------------------------------------------------

TEST(SimModelPlausibility, EveryRangeEdgePassesAndOneBeyondIsReplacedByItsDefault) {
    for (std::size_t k = 0; k < kParamCount; ++k) {
        SCOPED_TRACE(kParamFields[k].name);
        const ValueRange r = kParameterRanges[k];
        ParameterSet p = Defaults();
        p.*kParamFields[k].member = r.lo;
        EXPECT_EQ(CheckParameters(p), 0);
        p.*kParamFields[k].member = r.hi;
        EXPECT_EQ(CheckParameters(p), 0);
        if (r.lo > 0) {
            p.*kParamFields[k].member = static_cast<std::uint16_t>(r.lo - 1);
            EXPECT_EQ(CheckParameters(p), 1);
            EXPECT_EQ(p.*kParamFields[k].member, kParamFields[k].defaultValue);
        }
        if (r.hi < 65535) {
            p.*kParamFields[k].member = static_cast<std::uint16_t>(r.hi + 1);
            EXPECT_EQ(CheckParameters(p), 1);
            EXPECT_EQ(p.*kParamFields[k].member, kParamFields[k].defaultValue);
        }
    }
}

TEST(SimModelPlausibility, EverythingTheHostWritesOnItsOwnPasses) {
    SensorModel m;
    // The connect sequence's defaults and every step of the power adjustment.
    ParameterSet p = Defaults();
    EXPECT_EQ(Call(m, kCmdWrite, kArgParameters, Block(p)).argument, 0);
    p.PowerMode = 1;
    for (int gain = 1; gain <= 8; ++gain) {
        p.Gain = static_cast<std::uint16_t>(gain);
        EXPECT_EQ(Call(m, kCmdWrite, kArgParameters, Block(p)).argument, 0) << "Gain " << gain;
    }
    for (int integral = 2; integral <= 99; ++integral) {
        p.Integral = static_cast<std::uint16_t>(integral);
        EXPECT_EQ(Call(m, kCmdWrite, kArgParameters, Block(p)).argument, 0)
            << "Integral " << integral;
    }
    // Colour counts the assistant may choose, in both output modes.
    for (int n = 1; n <= 31; ++n) {
        p.MaxVecNo = static_cast<std::uint16_t>(n);
        p.DigitalOutMode = n <= 5 ? 0 : 2;
        EXPECT_EQ(Call(m, kCmdWrite, kArgParameters, Block(p)).argument, 0) << "MaxVecNo " << n;
    }
    // Default rows and taught rows.
    TeachTable t{};
    LoadDefaultParaValues(p, t, 0);
    EXPECT_EQ(Call(m, kCmdWrite, kArgTeachTable, Block(t)).argument, 0);
    for (std::size_t r = 0; r < kSensorTeachRows; ++r)
        t[r] = {{4095, 0, 2048, 500, 0, 0}, 1, 10};
    EXPECT_EQ(Call(m, kCmdWrite, kArgTeachTable, Block(t)).argument, 0);
    EXPECT_EQ(m.RejectedValueCount(), 0u);
}

TEST(SimModelPlausibility, RejectedValuesAreCountedAndTheRestIsKept) {
    SensorModel m;
    ParameterSet p = Defaults();
    p.Gain = 9;
    p.Integral = 0;
    p.Power = 1001;
    p.Average = 100;
    EXPECT_EQ(Call(m, kCmdWrite, kArgParameters, Block(p)).argument, 3);
    EXPECT_EQ(m.RamParameters().Gain, 6);
    EXPECT_EQ(m.RamParameters().Integral, 1);
    EXPECT_EQ(m.RamParameters().Power, 500);
    EXPECT_EQ(m.RamParameters().Average, 100);

    TeachTable t = m.RamTeach();
    t[0].Cell[0] = 4096;
    t[31].Cell[3] = 65535;
    t[31].Group = 256;
    EXPECT_EQ(Call(m, kCmdWrite, kArgTeachTable, Block(t)).argument, 3);
    EXPECT_EQ(m.RamTeach()[0].Cell[0], 1);
    EXPECT_EQ(m.RamTeach()[31].Cell[3], 1);
    EXPECT_EQ(m.RamTeach()[31].Group, 1);
    EXPECT_EQ(m.RejectedValueCount(), 6u);
}

// --- Measurement ----------------------------------------------------------------------------

void Write(SensorModel& m, const ParameterSet& p) {
    ASSERT_EQ(Call(m, kCmdWrite, kArgParameters, Block(p)).argument, 0);
}

// The assistant's power adjustment against the model; returns the settled parameters and how
// many steps it took (0 when it ran through).
std::pair<ParameterSet, int> AdjustPower(SensorModel& m) {
    ParameterSet p = Defaults();
    p.PowerMode = 1;
    int steps = 0;
    auto step = [&] {
        ++steps;
        Write(m, p);
        return MaxSignal(Live(m)) > p.DynWinLo;
    };
    for (int gain = 1; gain <= 8; ++gain) {
        p.Gain = static_cast<std::uint16_t>(gain);
        if (step()) return {p, steps};
    }
    for (int integral = 2; integral <= 99; ++integral) {
        p.Integral = static_cast<std::uint16_t>(integral);
        if (step()) return {p, steps};
    }
    return {p, 0};
}

TEST(SimModelLive, PowerAdjustmentSettlesPartwayAndLeavesEveryPatchTeachable) {
    for (std::uint64_t seed : {1u, 2u, 99u}) {
        SCOPED_TRACE(seed);
        SensorModel m({.seed = seed});
        ASSERT_TRUE(m.SelectPatch("white"));
        const auto [settled, steps] = AdjustPower(m);
        EXPECT_GT(steps, 8);    // not in the first stage
        EXPECT_LT(steps, 100);  // well before the end of the second
        Write(m, settled);
        const LiveData white = Live(m);
        EXPECT_GT(MaxSignal(white), 3200 - 20);
        EXPECT_LT(MaxSignal(white), 3500);  // the last step overshoots only a little
        for (std::size_t i = 0; i < SensorModel::StandardPatches().size(); ++i) {
            m.SelectPatch(i);
            const LiveData l = Live(m);
            EXPECT_LE(l.Red(), 4050) << m.CurrentPatch().name;
            EXPECT_LE(l.Green(), 4050) << m.CurrentPatch().name;
            EXPECT_LE(l.Blue(), 4050) << m.CurrentPatch().name;
        }
    }
}

TEST(SimModelLive, SignalRisesWithGainUntilItSaturates) {
    SensorModel m({.noise = false});
    ParameterSet p = Defaults();
    p.Integral = 99;
    int previous = 0;
    std::vector<int> reds;
    for (int gain = 1; gain <= 8; ++gain) {
        p.Gain = static_cast<std::uint16_t>(gain);
        Write(m, p);
        const LiveData l = Live(m);
        reds.push_back(l.Red());
        EXPECT_GE(l.Red(), previous);
        EXPECT_LE(l.Red(), kFullScale);
        previous = l.Red();
    }
    EXPECT_LT(reds[0], 2000);
    EXPECT_GT(reds[1], reds[0]);
    EXPECT_EQ(reds.back(), kFullScale);
    // Power drives it as well.
    p.Gain = 1;
    p.Power = 250;
    Write(m, p);
    EXPECT_LT(Live(m).Red(), reds[0]);
}

TEST(SimModelLive, CoordinatesFollowTheRawChannels) {
    SensorModel m({.noise = false});
    m.SetPatch({"violet", 0.5, 0.1, 0.6});
    ParameterSet p = Defaults();
    p.Gain = 8;
    p.Integral = 20;
    Write(m, p);
    const LiveData l = Live(m);
    const double sum = l.Red() + l.Green() + l.Blue();
    EXPECT_NEAR(l.X(), 4095 * l.Red() / sum, 1);
    EXPECT_NEAR(l.Y(), 4095 * l.Green() / sum, 1);
    EXPECT_NEAR(l.Int(), sum / 3, 1);
    EXPECT_GT(l.Blue(), l.Red());
    EXPECT_GT(l.Red(), l.Green());
}

TEST(SimModelLive, TaughtPatchesAreRecognisedByTheirRowAndOthersGive255) {
    SensorModel m;
    m.SelectPatch("white");
    ParameterSet p = AdjustPower(m).first;
    p.PowerMode = 0;
    const std::size_t n = SensorModel::StandardPatches().size();
    p.MaxVecNo = static_cast<std::uint16_t>(n);
    Write(m, p);
    EXPECT_EQ(Live(m).ColorNo(), 255);  // only default rows so far

    TeachTable t{};
    ParameterSet scratch;
    LoadDefaultParaValues(scratch, t, 0);
    for (std::size_t row = 0; row < n; ++row) {
        m.SelectPatch(row);
        const LiveData l = Live(m);
        t[row].Cell = {static_cast<std::uint16_t>(l.X()),
                       static_cast<std::uint16_t>(l.Y()),
                       static_cast<std::uint16_t>(l.Int()),
                       500,
                       0,
                       0};
    }
    ASSERT_EQ(Call(m, kCmdWrite, kArgTeachTable, Block(t)).argument, 0);
    for (int round = 0; round < 3; ++round) {
        for (std::size_t row = 0; row < n; ++row) {
            m.SelectPatch(row);
            EXPECT_EQ(Live(m).ColorNo(), static_cast<int>(row)) << m.CurrentPatch().name;
        }
    }
    m.SetPatch({"violet", 0.5, 0.1, 0.6});
    EXPECT_EQ(Live(m).ColorNo(), 255);
    // Rows beyond MaxVecNo do not take part.
    p.MaxVecNo = 3;
    Write(m, p);
    m.SelectPatch(5);
    EXPECT_EQ(Live(m).ColorNo(), 255);
    m.SelectPatch(2);
    EXPECT_EQ(Live(m).ColorNo(), 2);
}

TEST(SimModelLive, NoiseIsSmallReproducibleAndCanBeSwitchedOff) {
    auto series = [](SensorConfig c) {
        SensorModel m(c);
        std::vector<int> v;
        for (int i = 0; i < 50; ++i)
            v.push_back(Live(m).Red());
        return v;
    };
    const auto a = series({.seed = 7});
    EXPECT_EQ(a, series({.seed = 7}));
    EXPECT_NE(a, series({.seed = 8}));
    const auto [lo, hi] = std::minmax_element(a.begin(), a.end());
    EXPECT_GT(*hi, *lo);
    EXPECT_LE(*hi - *lo, 6);
    const auto quiet = series({.noise = false});
    EXPECT_TRUE(std::all_of(quiet.begin(), quiet.end(), [&](int v) { return v == quiet[0]; }));
}

// The surface's spread: a Gaussian of the asked share on each channel, from the seed, and never
// in what is taught.
TEST(SimModelLive, SpreadVariesTheSurfaceByItsShareReproducibly) {
    auto reds = [](std::uint64_t seed, double spread) {
        SensorModel m({.seed = seed, .noise = false, .spread = spread});
        ParameterSet p = Defaults();
        p.Gain = 8;
        p.Integral = 20;
        Write(m, p);
        m.SelectPatch("red");
        std::vector<double> v;
        for (int i = 0; i < 4000; ++i)
            v.push_back(Live(m).Red());
        return v;
    };
    const auto a = reds(3, 4.0);
    EXPECT_EQ(a, reds(3, 4.0));
    EXPECT_NE(a, reds(4, 4.0));
    double mean = 0, square = 0;
    for (double v : a)
        mean += v / static_cast<double>(a.size());
    for (double v : a)
        square += (v - mean) * (v - mean) / static_cast<double>(a.size());
    const double clean = reds(3, 0.0).front();  // no spread: every sample the same
    EXPECT_EQ(reds(3, 0.0).back(), clean);
    EXPECT_NEAR(mean, clean, 3);
    // 4 % of the light the red patch returns (the dark level does not vary).
    EXPECT_NEAR(std::sqrt(square), 0.04 * (clean - 12), 0.04 * (clean - 12) * 0.1);

    SensorModel spread({.noise = false, .spread = 20});
    SensorModel exact({.noise = false});
    spread.TeachPatches(3);
    exact.TeachPatches(3);
    EXPECT_EQ(spread.RamTeach(), exact.RamTeach());
}

TEST(SimModelLive, SceneSelectionByIndexNameAndCycle) {
    SensorModel m;
    EXPECT_EQ(m.CurrentPatch().name, "white");
    EXPECT_TRUE(m.SelectPatch("GREY"));
    EXPECT_EQ(m.CurrentPatchIndex(), 6u);
    EXPECT_FALSE(m.SelectPatch("purple"));
    EXPECT_FALSE(m.SelectPatch(std::size_t{8}));
    EXPECT_EQ(m.CurrentPatch().name, "grey");
    m.NextPatch();
    m.NextPatch();
    EXPECT_EQ(m.CurrentPatch().name, "white");
    m.SetPatch({"mine", 0.1, 0.2, 0.3});
    EXPECT_FALSE(m.CurrentPatchIndex());
    m.NextPatch();
    EXPECT_EQ(m.CurrentPatch().name, "white");
    // A list of one's own takes the standard one's place.
    m.SetPatches({{"cream", 0.9, 0.86, 0.7}, {"ivory", 0.91, 0.87, 0.72}});
    EXPECT_EQ(m.CurrentPatch().name, "cream");
    EXPECT_FALSE(m.SelectPatch("grey"));
    m.NextPatch();
    m.NextPatch();
    EXPECT_EQ(m.CurrentPatch().name, "cream");
}

TEST(SimModelLive, CycleTimeFollowsTheAveraging) {
    SensorModel m;
    auto frequency = [&](int average) {
        ParameterSet p = Defaults();
        p.Average = static_cast<std::uint16_t>(average);
        Write(m, p);
        const Reply r = Call(m, kCmdCycleTime, 0);
        EXPECT_EQ(r.data.size(), 8u);
        const std::int32_t n = GetI32(r.data.data());
        const std::int32_t t = GetI32(r.data.data() + 4);
        EXPECT_EQ(t, 800);
        const double f = n / (t * 0.01);  // as the host computes it
        EXPECT_DOUBLE_EQ(f, m.ScanFrequency());
        return f;
    };
    const double f1 = frequency(1);
    const double f256 = frequency(256);
    const double f4096 = frequency(4096);
    EXPECT_GT(f1, 10000);
    EXPECT_GT(f1, f256);
    EXPECT_GT(f256, f4096);
    EXPECT_NEAR(f256 / f4096, 16.0, 1.0);
}

}  // namespace
}  // namespace qelto::sim
