#include "protocol/frame.hpp"

#include <algorithm>
#include <cstring>

#include "protocol/records.hpp"

namespace qelto {
namespace {

// Dallas/Maxim 1-Wire CRC-8: reflected polynomial 0x8C.
constexpr std::array<std::uint8_t, 256> MakeCrc8Table() {
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) {
        auto c = static_cast<std::uint8_t>(i);
        for (int b = 0; b < 8; ++b)
            c = static_cast<std::uint8_t>((c & 1) ? (c >> 1) ^ 0x8C : c >> 1);
        t[static_cast<std::size_t>(i)] = c;
    }
    return t;
}

}  // namespace

const std::array<std::uint8_t, 256> kCrc8Table = MakeCrc8Table();

std::uint8_t crc8Update(const std::uint8_t* buffer, std::size_t offset, std::size_t count,
                        const std::array<std::uint8_t, 256>& table) {
    std::uint8_t crc = kCrcStart;
    for (std::size_t i = 0; i < count; ++i)
        crc = table[crc ^ buffer[offset + i]];
    return crc;
}

std::size_t BuildFrame(std::uint8_t command, std::uint16_t argument,
                       std::span<const std::uint8_t> data, std::uint8_t* out) {
    const std::size_t length = std::min(data.size(), kMaxDataLength);
    out[0] = kStartByte;
    out[1] = command;
    PutU16(out + 2, argument);
    PutU16(out + 4, static_cast<std::uint16_t>(length));
    out[6] = crc8Update(data.data(), 0, length, kCrc8Table);
    out[7] = crc8Update(out, 0, 7, kCrc8Table);
    if (length > 0) std::memmove(out + kHeaderSize, data.data(), length);
    return kHeaderSize + length;
}

std::string FormatHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!out.empty()) out.push_back(' ');
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0xF]);
    }
    return out;
}

}  // namespace qelto
