#include "sensor/failure_report.hpp"

#include "sensor/sensor_texts.hpp"

namespace qelto {

const char* FaultName(const SensorError& e) {
    switch (e.kind) {
        case SensorFault::Busy:
            return "busy";
        case SensorFault::NotConnected:
            return "not_connected";
        case SensorFault::LinkClosed:
        case SensorFault::Quit:
            return "closed";
        case SensorFault::OpenFailed:
            // Nothing listens on that port: the link names the refusal by its own text.
            return ConnectionRefused(e) ? "refused_connection" : "open_failed";
        case SensorFault::Timeout:
            return "timeout";
        case SensorFault::BadHeader:
        case SensorFault::BadData:
            return "bad_reply";
        case SensorFault::InvalidOrder:
            return "unknown_command";
        case SensorFault::SensorComm:
            return "communication";
        case SensorFault::Unsupported:
            return "unsupported";
        case SensorFault::Refused:
            break;
    }
    return "refused";
}

std::string SensorNamed(const SensorIdentity& identity) {
    if (!identity.supported() || identity.name.empty()) return {};
    return SensorLine(identity);
}

std::string FailureReport::Line() const {
    std::string line = address.empty() ? std::string("sensor") : address;
    if (!sensor.empty()) line += " (" + sensor + ")";
    if (!step.empty()) line += ", " + step;
    line += ": " + OneLine(message);
    if (!reason.empty()) line += " (" + OneLine(reason) + ")";
    return line;
}

FailureReport ReportOf(const SensorError& error, std::string step, std::string address,
                       const SensorIdentity& identity) {
    FailureReport r;
    r.address = std::move(address);
    r.sensor = SensorNamed(identity);
    r.step = std::move(step);
    r.kind = FaultName(error);
    r.failureKind = FailureKindOf(error.kind);
    r.message = error.message;
    r.reason = error.reason;
    r.advice = error.advice;
    return r;
}

std::optional<FailureReport> ReportOf(const TransferOutcome& outcome, std::string address,
                                      const SensorIdentity& identity) {
    const auto failure = outcome.Failure();
    if (!failure) return std::nullopt;
    const auto step = outcome.FailureStep();
    FailureReport r = ReportOf(*failure, step ? StepName(*step) : "", std::move(address), identity);
    r.mayHold = MayHold{outcome.ram, outcome.eeprom};
    r.refused = outcome.refused;
    return r;
}

std::optional<FailureReport> ReportOf(const ConnectResult& c, std::string address) {
    if (c.ok() || !c.error) return std::nullopt;
    switch (c.reached) {
        case ConnectStage::Defaults:
            if (c.defaults) return ReportOf(*c.defaults, std::move(address), c.identity);
            break;
        case ConnectStage::Read:
            if (c.get) return ReportOf(*c.get, std::move(address), c.identity);
            break;
        case ConnectStage::Open:
            return ReportOf(*c.error, kStepConnect, std::move(address), c.identity);
        default:
            break;
    }
    return ReportOf(*c.error, kStepIdentify, std::move(address), c.identity);
}

}  // namespace qelto
