#include "sensor/identity.hpp"

namespace qelto {

FirmwarePieces SplitFirmware(std::string_view text) {
    std::size_t pos = 0;
    // A piece starts after any separators and ends before the next one, which is consumed.
    auto next = [&](char separator) {
        while (pos < text.size() && text[pos] == separator)
            ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != separator)
            ++pos;
        std::string piece(text.substr(start, pos - start));
        if (pos < text.size()) ++pos;
        return piece;
    };
    FirmwarePieces p;
    p.piece[0] = next('.');
    p.piece[1] = next('.');
    p.piece[2] = next(' ');
    p.piece[3] = std::string(text.substr(pos));
    return p;
}

std::int32_t SensorModelFor(const FirmwarePieces& pieces) {
    const std::string family = pieces.piece[0] + ".";
    for (std::size_t i = 0; i < kSensorFamilies.size(); ++i) {
        if (family == kSensorFamilies[i]) return static_cast<std::int32_t>(i) + 1;
    }
    return 0;
}

std::string FirmwareLine(const FirmwarePieces& pieces) {
    return pieces.piece[0] + "." + pieces.piece[1] + pieces.piece[3];
}

}  // namespace qelto
