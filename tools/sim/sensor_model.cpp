#include "sensor_model.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "protocol/frame.hpp"

namespace qelto::sim {
namespace {

// Receiver response: counts per unit of reflectance, Gain step and Integral step at Power 500,
// on top of a small dark level. With these, a white surface at Gain 8 crosses the default
// dynamic window (3200) at Integral 27, so the power adjustment settles in its second stage
// with steps of under 4 %, and every darker surface then stays well below 4050.
constexpr double kCountsPerUnit = 16.0;
constexpr double kDarkLevel = 12.0;
constexpr double kReferencePower = 500.0;

// One evaluated scan takes `Average` samples of `Integral` x 4 us each plus a fixed overhead.
constexpr double kSampleMicros = 4.0;
constexpr double kScanOverheadMicros = 40.0;

int Clamp12(long v) {
    return static_cast<int>(std::clamp<long>(v, 0, kFullScale));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

// clang-format off
const std::array<ValueRange, kParamCount> kParameterRanges{{
    {1, 1000},   // Power
    {0, 1},      // PowerMode
    {1, 32768},  // Average
    {0, 7},      // EvaluationMode
    {0, 10000},  // HoldFail
    {0, 4095},   // IntLim
    {1, 32},     // MaxVecNo: the sensor holds 32 teach rows
    {0, 2},      // DigitalOutMode
    {0, 3},      // Trigger
    {0, 1},      // ExternTeach
    {0, 3},      // CalculationMode
    {0, 4095},   // DynWinLo
    {0, 4095},   // DynWinHi
    {0, 15},     // ColorGroup
    {0, 3},      // LedMode
    {1, 8},      // Gain
    {1, 250},    // Integral
    {1, 1000},   // Power1
    {1, 8},      // Gain1
    {1, 250},    // Integral1
    {1, 1000},   // Power2
    {1, 8},      // Gain2
    {1, 250},    // Integral2
    {0, 255},    // CorrectionX
    {0, 255},    // CorrectionY
    {0, 255},    // CorrectionZ
}};

const std::array<ValueRange, kTeachWordCount> kTeachWordRanges{{
    {0, 4095},   // Cell[0]: X
    {0, 4095},   // Cell[1]: Y
    {0, 4095},   // Cell[2]: INT
    {0, 4095},   // Cell[3]: tolerance
    {0, 255},    // Cell[4]
    {0, 255},    // Cell[5]
    {0, 255},    // Group
    {0, 1000},   // Hold
}};
// clang-format on

int CheckParameters(ParameterSet& para) {
    int replaced = 0;
    for (std::size_t k = 0; k < kParamCount; ++k) {
        std::uint16_t& v = para.*kParamFields[k].member;
        if (v < kParameterRanges[k].lo || v > kParameterRanges[k].hi) {
            v = kParamFields[k].defaultValue;
            ++replaced;
        }
    }
    return replaced;
}

int CheckTeachRows(TeachTable& teach) {
    int replaced = 0;
    for (std::size_t r = 0; r < kSensorTeachRows; ++r) {
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            std::uint16_t& v = TeachWordRef(teach[r], w);
            if (v < kTeachWordRanges[w].lo || v > kTeachWordRanges[w].hi) {
                v = kTeachWords[w].defaultValue;
                ++replaced;
            }
        }
    }
    return replaced;
}

std::uint64_t SplitMix64::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

int SplitMix64::Uniform(int lo, int hi) {
    if (hi <= lo) return lo;
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(Next() % span);
}

double SplitMix64::Unit() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double SplitMix64::Gaussian() {
    // Box-Muller; 1 - Unit() lies in (0, 1], so the logarithm is finite.
    const double u = 1.0 - Unit();
    const double v = Unit();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * v);
}

const std::vector<Patch>& SensorModel::StandardPatches() {
    // Every patch returns no more on any channel than white, so that the brightest surface
    // for the power adjustment is unambiguous; at the settled sensitivity the taught points
    // lie well over one default tolerance (500) apart.
    static const std::vector<Patch> kPatches = {
        {"white", 0.92, 0.94, 0.90}, {"red", 0.78, 0.14, 0.10},    {"green", 0.16, 0.66, 0.22},
        {"blue", 0.12, 0.24, 0.74},  {"yellow", 0.86, 0.80, 0.14}, {"orange", 0.88, 0.46, 0.08},
        {"grey", 0.46, 0.47, 0.45},  {"black", 0.04, 0.04, 0.04},
    };
    return kPatches;
}

SensorModel::SensorModel(SensorConfig config) : config_(std::move(config)), rng_(config_.seed) {
    LoadDefaultParaValues(ramPara_, ramTeach_, 1);
    eepromPara_ = ramPara_;
    eepromTeach_ = ramTeach_;
    SelectPatch(std::size_t{0});
}

void SensorModel::SetRam(const ParameterSet& para, const TeachTable& teach) {
    ramPara_ = para;
    ramTeach_ = teach;
}

void SensorModel::SetEeprom(const ParameterSet& para, const TeachTable& teach) {
    eepromPara_ = para;
    eepromTeach_ = teach;
}

void SensorModel::SetPatches(std::vector<Patch> patches) {
    if (patches.empty()) return;
    patches_ = std::move(patches);
    SelectPatch(std::size_t{0});
}

bool SensorModel::SelectPatch(std::size_t index) {
    if (index >= patches_.size()) return false;
    patch_ = patches_[index];
    patchIndex_ = index;
    return true;
}

bool SensorModel::SelectPatch(std::string_view name) {
    for (std::size_t i = 0; i < patches_.size(); ++i) {
        if (EqualNoCase(patches_[i].name, name)) return SelectPatch(i);
    }
    return false;
}

void SensorModel::SetPatch(const Patch& patch) {
    patch_ = patch;
    patchIndex_.reset();
}

void SensorModel::NextPatch() {
    const std::size_t next = patchIndex_ ? (*patchIndex_ + 1) % patches_.size() : 0;
    SelectPatch(next);
}

void SensorModel::TeachPatches(std::size_t count) {
    count = std::min(count, patches_.size());
    const Patch scene = patch_;
    const std::optional<std::size_t> sceneIndex = patchIndex_;
    for (std::size_t i = 0; i < count; ++i) {
        SelectPatch(i);
        const LiveData d = MeasureScene(true);
        ramTeach_[i].Cell = {static_cast<std::uint16_t>(d.X()),
                             static_cast<std::uint16_t>(d.Y()),
                             static_cast<std::uint16_t>(d.Int()),
                             500,
                             0,
                             0};
    }
    patch_ = scene;
    patchIndex_ = sceneIndex;
    ramPara_.MaxVecNo = static_cast<std::uint16_t>(count);
    eepromPara_ = ramPara_;
    eepromTeach_ = ramTeach_;
}

LiveData SensorModel::Measure() {
    return MeasureScene(false);
}

LiveData SensorModel::MeasureScene(bool exact) {
    const ParameterSet& p = ramPara_;
    const double scale = kCountsPerUnit * p.Gain * p.Integral * (p.Power / kReferencePower);
    // Averaging over more scans calms the signal; with the default 256 it moves by +-3.
    const int amplitude =
        config_.noise && !exact
            ? static_cast<int>(std::lround(1.0 + 32.0 / std::sqrt(std::max<int>(1, p.Average))))
            : 0;
    auto channel = [&](double reflectance) {
        const long clean = std::lround(kDarkLevel + reflectance * scale);
        return Clamp12(clean + rng_.Uniform(-amplitude, amplitude));
    };
    // The surface itself varies (no draw without a spread, so that runs without one stay as
    // they were, sample for sample).
    const double sigma = exact ? 0.0 : config_.spread / 100.0;
    auto surface = [&](double reflectance) {
        return sigma > 0 ? std::max(0.0, reflectance * (1.0 + sigma * rng_.Gaussian()))
                         : reflectance;
    };
    const double red = surface(patch_.red);
    const double green = surface(patch_.green);
    const double blue = surface(patch_.blue);
    const int r = channel(red);
    const int g = channel(green);
    const int b = channel(blue);
    const int sum = r + g + b;

    LiveData live;
    live.w[LiveData::kRed] = static_cast<std::int16_t>(r);
    live.w[LiveData::kGreen] = static_cast<std::int16_t>(g);
    live.w[LiveData::kBlue] = static_cast<std::int16_t>(b);
    const int x = sum > 0 ? static_cast<int>(std::lround(double(kFullScale) * r / sum)) : 0;
    const int y = sum > 0 ? static_cast<int>(std::lround(double(kFullScale) * g / sum)) : 0;
    const int in = static_cast<int>(std::lround(sum / 3.0));
    live.w[LiveData::kX] = static_cast<std::int16_t>(x);
    live.w[LiveData::kY] = static_cast<std::int16_t>(y);
    live.w[LiveData::kInt] = static_cast<std::int16_t>(in);
    // Aux1: the unfiltered channel (mean response); Aux2: ambient light without the LED;
    // Aux3: the LED current monitor. None of them exceeds the largest colour channel in a
    // way that would end the power adjustment early.
    live.w[LiveData::kAux1] = static_cast<std::int16_t>(channel((red + green + blue) / 3.0));
    live.w[LiveData::kAux2] = static_cast<std::int16_t>(channel(0.0));
    live.w[LiveData::kAux3] = static_cast<std::int16_t>(std::min<int>(2 * p.Power, kFullScale));

    std::int16_t colorNo = 255;
    const std::size_t rows = std::min<std::size_t>(p.MaxVecNo, kSensorTeachRows);
    for (std::size_t row = 0; row < rows; ++row) {
        const auto& c = ramTeach_[row].Cell;
        const std::int64_t dx = x - c[0];
        const std::int64_t dy = y - c[1];
        const std::int64_t di = in - c[2];
        const std::int64_t tol = c[3];
        if (dx * dx + dy * dy + di * di <= tol * tol) {
            colorNo = static_cast<std::int16_t>(row);
            break;
        }
    }
    live.w[LiveData::kColorNo] = colorNo;
    return live;
}

std::int32_t SensorModel::CycleScans() const {
    const double samples = std::max<int>(1, ramPara_.Average) * std::max<int>(1, ramPara_.Integral);
    const double perSecond = 1e6 / (kScanOverheadMicros + kSampleMicros * samples);
    return static_cast<std::int32_t>(std::lround(perSecond * kCycleWindow * 0.01));
}

double SensorModel::ScanFrequency() const {
    return CycleScans() / (kCycleWindow * 0.01);
}

std::uint64_t SensorModel::CommandCount(int command) const {
    return command >= 0 && command < 256 ? perCommand_[static_cast<std::size_t>(command)] : 0;
}

std::vector<std::uint8_t> SensorModel::Reply(std::uint8_t command, std::uint16_t argument,
                                             std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out(kHeaderSize + std::min(data.size(), kMaxDataLength));
    BuildFrame(command, argument, data, out.data());
    return out;
}

std::vector<std::uint8_t> SensorModel::ErrorReply(std::uint16_t code) {
    return Reply(kCmdErrorReply, code);
}

std::vector<std::uint8_t> SensorModel::HandleRequest(std::span<const std::uint8_t> frame) {
    ++requests_;
    const bool headerOk =
        frame.size() >= kHeaderSize && frame[0] == kStartByte && crc8(frame.first(7)) == frame[7];
    const std::size_t length = headerOk ? GetU16(frame.data() + 4) : 0;
    if (!headerOk || length > kMaxDataLength || frame.size() != kHeaderSize + length ||
        (length > 0 && crc8(frame.subspan(kHeaderSize)) != frame[6])) {
        ++badFrames_;
        return ErrorReply(kErrCommunication);
    }
    const std::uint8_t command = frame[1];
    ++perCommand_[command];
    return Dispatch(command, GetU16(frame.data() + 2), frame.subspan(kHeaderSize));
}

std::vector<std::uint8_t> SensorModel::Dispatch(std::uint8_t command, std::uint16_t argument,
                                                std::span<const std::uint8_t> data) {
    switch (command) {
        case kCmdWrite: {
            if (argument == kArgParameters) {
                if (data.size() != kParameterBlockSize) return ErrorReply(kErrCommunication);
                ParameterSet para;
                ParameterSetFromBlock(data.first<kParameterBlockSize>(), para);
                const int replaced = CheckParameters(para);
                ramPara_ = para;
                rejected_ += static_cast<std::uint64_t>(replaced);
                return Reply(kCmdWrite, static_cast<std::uint16_t>(replaced));
            }
            if (argument == kArgTeachTable) {
                if (data.size() != kTeachBlockSize) return ErrorReply(kErrCommunication);
                TeachTable teach = ramTeach_;
                TeachTableFromBlock(data.first<kTeachBlockSize>(), teach);
                const int replaced = CheckTeachRows(teach);
                ramTeach_ = teach;
                rejected_ += static_cast<std::uint64_t>(replaced);
                return Reply(kCmdWrite, static_cast<std::uint16_t>(replaced));
            }
            break;
        }
        case kCmdRead: {
            if (argument == kArgParameters) {
                std::array<std::uint8_t, kParameterBlockSize> block{};
                ParameterBlockFromSet(ramPara_, block);
                return Reply(kCmdRead, 0, block);
            }
            if (argument == kArgTeachTable) {
                std::array<std::uint8_t, kTeachBlockSize> block{};
                TeachBlockFromTable(ramTeach_, block);
                return Reply(kCmdRead, 0, block);
            }
            break;
        }
        case kCmdStoreEeprom:
            eepromPara_ = ramPara_;
            eepromTeach_ = ramTeach_;
            return Reply(kCmdStoreEeprom, 0);
        case kCmdLoadEeprom: {
            // The EEPROM itself keeps what it holds; only the copy in RAM is repaired.
            ParameterSet para = eepromPara_;
            TeachTable teach = eepromTeach_;
            const int replaced = CheckParameters(para) + CheckTeachRows(teach);
            ramPara_ = para;
            ramTeach_ = teach;
            rejected_ += static_cast<std::uint64_t>(replaced);
            return Reply(kCmdLoadEeprom, static_cast<std::uint16_t>(replaced));
        }
        case kCmdFirmware: {
            const auto* text = reinterpret_cast<const std::uint8_t*>(config_.firmware.data());
            return Reply(kCmdFirmware, 0, {text, config_.firmware.size()});
        }
        case kCmdLiveData: {
            std::array<std::uint8_t, kLiveDataSize> block{};
            Measure().ToBytes(block);
            return Reply(kCmdLiveData, 0, block);
        }
        case kCmdSensorName: {
            const auto* text = reinterpret_cast<const std::uint8_t*>(config_.name.data());
            return Reply(kCmdSensorName, config_.serialNumber, {text, config_.name.size()});
        }
        case kCmdCycleTime: {
            std::array<std::uint8_t, 8> block{};
            PutI32(block.data(), CycleScans());
            PutI32(block.data() + 4, kCycleWindow);
            return Reply(kCmdCycleTime, 0, block);
        }
        default:
            break;
    }
    ++unknown_;
    return ErrorReply(kErrUnknownCommand);
}

}  // namespace qelto::sim
