// The sensor's frames: the 8-byte header, the CRC-8 and the command numbers. Shared by the
// program's transaction and the simulated sensor.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace qelto {

inline constexpr std::size_t kFrameBufferSize = 2048;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kMaxDataLength = kFrameBufferSize - kHeaderSize;  // 2040
inline constexpr std::uint8_t kStartByte = 0x55;
inline constexpr std::uint8_t kCrcStart = 0xAA;

// Commands of the sensor protocol.
enum Command : int {
    kCmdErrorReply = 0,
    kCmdWrite = 1,
    kCmdRead = 2,
    kCmdStoreEeprom = 3,
    kCmdLoadEeprom = 4,
    kCmdFirmware = 7,
    kCmdLiveData = 8,
    kCmdSensorName = 15,
    kCmdCycleTime = 105,
};
inline constexpr std::uint16_t kArgParameters = 0;
inline constexpr std::uint16_t kArgTeachTable = 2;

extern const std::array<std::uint8_t, 256> kCrc8Table;

std::uint8_t crc8Update(const std::uint8_t* buffer, std::size_t offset, std::size_t count,
                        const std::array<std::uint8_t, 256>& table);
inline std::uint8_t crc8(std::span<const std::uint8_t> bytes) {
    return crc8Update(bytes.data(), 0, bytes.size(), kCrc8Table);
}

// Builds a complete frame (header + data) into out; returns its size. Shared by the request
// builder and the simulated sensor's replies.
std::size_t BuildFrame(std::uint8_t command, std::uint16_t argument,
                       std::span<const std::uint8_t> data, std::uint8_t* out);

// "55 08 00 00 ...": a frame's bytes as a person reads them (upper case, one blank between).
std::string FormatHex(std::span<const std::uint8_t> bytes);

}  // namespace qelto
