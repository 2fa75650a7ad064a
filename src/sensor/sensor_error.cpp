#include "sensor/sensor_error.hpp"

namespace qelto {

std::optional<FailureKind> FailureKindOf(SensorFault fault) {
    switch (fault) {
        case SensorFault::NotConnected:
        case SensorFault::LinkClosed:
        case SensorFault::OpenFailed:
            return FailureKind::Closed;
        case SensorFault::Timeout:
            return FailureKind::Timeout;
        case SensorFault::BadHeader:
        case SensorFault::BadData:
            return FailureKind::Corrupted;
        case SensorFault::InvalidOrder:
        case SensorFault::SensorComm:
        case SensorFault::Unsupported:
        case SensorFault::Refused:
            return FailureKind::Refused;
        case SensorFault::Busy:
        case SensorFault::Quit:
            break;
    }
    return std::nullopt;
}

const char* FailureKindText(FailureKind kind) {
    switch (kind) {
        case FailureKind::Closed:
            return "closed";
        case FailureKind::Timeout:
            return "time-out";
        case FailureKind::Corrupted:
            return "corrupted";
        case FailureKind::Refused:
            break;
    }
    return "refused";
}

}  // namespace qelto
