// Who the sensor is: its firmware text and the family it names, its name and serial number.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qelto {

inline constexpr std::size_t kFirmwareStringSize = 72;  // bytes of the reply that count
inline constexpr std::size_t kSensorNameSize = 256;     // one of them for the terminator

// Firmware families by SensorModel 1..3.
inline constexpr std::array<const char*, 3> kSensorFamilies{"KORVANEX V4.", "KORVANEX SL V1.",
                                                            "KORVANEX SLE V1."};
// The family with two digital outputs (the others have five).
inline constexpr std::int32_t kTwoOutputFamily = 2;
// The most colours a sensor of the family tells apart (the largest MaxVecNo the teach
// assistant sets): 3 with two outputs, else 31.
inline constexpr int ColourLimit(std::int32_t family) {
    return family == kTwoOutputFamily ? 3 : 31;
}

// The four pieces of a firmware text: up to the first ".", up to the next ".", up to the next
// blank, and the rest. Separators at the start of a piece are skipped; a piece past the end of
// the text is empty.
struct FirmwarePieces {
    std::array<std::string, 4> piece;
};
FirmwarePieces SplitFirmware(std::string_view firmware);
// 1..3 for the supported families (whole, case-sensitive match of piece 1 plus "."), else 0.
std::int32_t SensorModelFor(const FirmwarePieces& pieces);
// Piece 1, ".", piece 2, piece 4: how an identified sensor's firmware is shown.
std::string FirmwareLine(const FirmwarePieces& pieces);

struct SensorIdentity {
    std::string firmware;          // the reply's text up to its first zero, at most 72 bytes
    std::int32_t SensorModel = 0;  // 0 unsupported, 1..3 the supported families
    std::string name;              // at most 255 bytes
    std::uint16_t serialNumber = 0;

    bool supported() const { return SensorModel != 0; }
    std::string firmwareLine() const { return FirmwareLine(SplitFirmware(firmware)); }
};

}  // namespace qelto
