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

std::string PlausibilityText(unsigned count, const char* tail) {
    return kMsgPlausibilityHead + std::to_string(count) + tail;
}

}  // namespace qelto
