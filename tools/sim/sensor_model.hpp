// The simulated KORVANEX sensor: its memories, its plausibility check, the scene in front of it
// and the measurement it makes of that scene, behind one entry point that turns a request
// frame into the reply frame. No Qt, no I/O: the server and the tests drive it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/records.hpp"

namespace qelto::sim {

inline constexpr const char* kDefaultFirmware = "KORVANEX V4.3.12 B7";
inline constexpr const char* kDefaultSensorName = "KORVANEX TAVRENO SIM";
inline constexpr std::uint16_t kDefaultSerialNumber = 4711;

// Error codes of the sensor's error reply (command 0).
inline constexpr std::uint16_t kErrUnknownCommand = 1;
inline constexpr std::uint16_t kErrCommunication = 2;

inline constexpr int kFullScale = 4095;  // raw channel saturation

struct SensorConfig {
    std::string firmware = kDefaultFirmware;
    std::string name = kDefaultSensorName;
    std::uint16_t serialNumber = kDefaultSerialNumber;
    std::uint64_t seed = 1;
    bool noise = true;
    // Gaussian spread of each channel's reflectance from one measurement to the next, in per
    // cent of the reflectance (0: none), as a real surface varies along a production line.
    double spread = 0;
};

// A coloured surface: how much of the sensor's light it returns on each receiver channel
// (0 = nothing, 1 = everything).
struct Patch {
    std::string name;
    double red = 0;
    double green = 0;
    double blue = 0;
};

// The values each parameter must lie in to pass the plausibility check; a value outside is
// replaced by its default and counted.
struct ValueRange {
    std::uint16_t lo;
    std::uint16_t hi;
};
extern const std::array<ValueRange, kParamCount> kParameterRanges;      // in ParameterSet order
extern const std::array<ValueRange, kTeachWordCount> kTeachWordRanges;  // Cell[0..5], Group, Hold

// Replaces implausible values by their defaults; returns how many were replaced.
int CheckParameters(ParameterSet& para);
// The same for teach rows 0..31 (the rows the sensor holds).
int CheckTeachRows(TeachTable& teach);

// Small, platform-independent generator so that a seed gives the same noise everywhere.
class SplitMix64 {
  public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    // Uniform in [lo, hi].
    int Uniform(int lo, int hi);
    // Uniform in [0, 1).
    double Unit();
    // Normally distributed, mean 0 and standard deviation 1.
    double Gaussian();

  private:
    std::uint64_t state_;
};

class SensorModel {
  public:
    explicit SensorModel(SensorConfig config = {});

    // Takes one complete request frame, returns the complete reply frame.
    std::vector<std::uint8_t> HandleRequest(std::span<const std::uint8_t> frame);

    // Identity.
    const SensorConfig& config() const { return config_; }
    void SetFirmware(std::string text) { config_.firmware = std::move(text); }
    void SetName(std::string text) { config_.name = std::move(text); }
    void SetSerialNumber(std::uint16_t n) { config_.serialNumber = n; }
    void SetNoise(bool on) { config_.noise = on; }
    void SetSpread(double percent) { config_.spread = percent; }

    // Memories. SetEeprom plants contents as they are (for example a corrupted EEPROM).
    const ParameterSet& RamParameters() const { return ramPara_; }
    const TeachTable& RamTeach() const { return ramTeach_; }
    const ParameterSet& EepromParameters() const { return eepromPara_; }
    const TeachTable& EepromTeach() const { return eepromTeach_; }
    void SetRam(const ParameterSet& para, const TeachTable& teach);
    void SetEeprom(const ParameterSet& para, const TeachTable& teach);

    // The scene: the patches it can show (the standard ones unless told otherwise) and the one
    // in front of the sensor.
    static const std::vector<Patch>& StandardPatches();
    const std::vector<Patch>& Patches() const { return patches_; }
    // Another list of patches (not empty); the first of them goes in front of the sensor.
    void SetPatches(std::vector<Patch> patches);
    bool SelectPatch(std::size_t index);
    bool SelectPatch(std::string_view name);  // case-insensitive
    void SetPatch(const Patch& patch);
    void NextPatch();  // the next patch of the list, after the last the first
    const Patch& CurrentPatch() const { return patch_; }
    // Teaches the first `count` patches of the list (at most all of them) into rows 0.. of RAM
    // and EEPROM, as the assistant would with the parameters in RAM: each patch's X, Y and INT
    // measured without noise or spread, tolerance 500; MaxVecNo becomes the count. The scene
    // stays.
    void TeachPatches(std::size_t count);
    std::optional<std::size_t> CurrentPatchIndex() const { return patchIndex_; }

    // One measurement of the current scene with the RAM parameters (advances the noise and
    // the spread).
    LiveData Measure();
    // What the sensor reports to command 105: scans counted over the window, and the window
    // in units of 10 ms.
    std::int32_t CycleWindow() const { return kCycleWindow; }
    std::int32_t CycleScans() const;
    double ScanFrequency() const;  // scans per second for the RAM parameters

    // Counters.
    std::uint64_t RequestCount() const { return requests_; }
    std::uint64_t CommandCount(int command) const;
    std::uint64_t BadFrameCount() const { return badFrames_; }
    std::uint64_t UnknownCommandCount() const { return unknown_; }
    std::uint64_t RejectedValueCount() const { return rejected_; }

  private:
    static constexpr std::int32_t kCycleWindow = 800;  // 8 s
    std::vector<std::uint8_t> Reply(std::uint8_t command, std::uint16_t argument,
                                    std::span<const std::uint8_t> data = {});
    std::vector<std::uint8_t> ErrorReply(std::uint16_t code);
    std::vector<std::uint8_t> Dispatch(std::uint8_t command, std::uint16_t argument,
                                       std::span<const std::uint8_t> data);
    // One measurement; `exact` leaves out the noise and the spread.
    LiveData MeasureScene(bool exact);

    SensorConfig config_;
    SplitMix64 rng_;
    ParameterSet ramPara_;
    TeachTable ramTeach_{};
    ParameterSet eepromPara_;
    TeachTable eepromTeach_{};
    std::vector<Patch> patches_ = StandardPatches();
    Patch patch_;
    std::optional<std::size_t> patchIndex_;

    std::uint64_t requests_ = 0;
    std::array<std::uint64_t, 256> perCommand_{};
    std::uint64_t badFrames_ = 0;
    std::uint64_t unknown_ = 0;
    std::uint64_t rejected_ = 0;
};

}  // namespace qelto::sim
