#include "sensor/sensor_texts.hpp"

namespace qelto {

std::string UnsupportedFirmwareMessage(const FirmwarePieces& pieces) {
    return std::string(kMsgUnsupportedHead) + pieces.piece[0] + "." + pieces.piece[1] +
           kMsgUnsupportedTail;
}

std::string IdentityLogLines(const SensorIdentity& identity) {
    return kInfoSensorName + identity.name + kInfoSerialNumber +
           std::to_string(identity.serialNumber) + kInfoIdentityEnd;
}

std::string SensorLine(const SensorIdentity& id) {
    return id.firmwareLine() + ", " + id.name + ", serial " + std::to_string(id.serialNumber);
}

std::string OneLine(std::string_view text) {
    std::string line;
    for (char c : text) {
        if (c == '\n' || c == '\r') c = ' ';
        if (c == ' ' && (line.empty() || line.back() == ' ')) continue;
        line += c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string PlausibilityText(unsigned count, const char* tail) {
    return kMsgPlausibilityHead + std::to_string(count) + tail;
}

}  // namespace qelto
