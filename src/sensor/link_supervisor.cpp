#include "sensor/link_supervisor.hpp"

#include <algorithm>

#include "sensor/sensor_session.hpp"

namespace qelto {
namespace {

// An attempt of the supervisor's own: nothing shown, nothing asked, and only the sensor
// expected back is taken.
class QuietListener : public ConnectListener {
  public:
    explicit QuietListener(const SensorIdentity& expected) : expected_(expected) {}
    bool Accept(const SensorIdentity& id) override { return SameSensor(id, expected_); }

  private:
    const SensorIdentity& expected_;
};

}  // namespace

bool SameSensor(const SensorIdentity& a, const SensorIdentity& b) {
    return a.supported() && a.firmwareLine() == b.firmwareLine() && a.name == b.name &&
           a.serialNumber == b.serialNumber;
}

LinkSupervisor::LinkSupervisor(SensorSession& session, EventLoop& loop)
    : session_(session), loop_(loop) {
    session_.AddObserver(this);
}

LinkSupervisor::~LinkSupervisor() {
    session_.RemoveObserver(this);
}

void LinkSupervisor::AddObserver(LinkObserver* observer) {
    if (observer != nullptr) observers_.push_back(observer);
}

void LinkSupervisor::RemoveObserver(LinkObserver* observer) {
    std::erase(observers_, observer);
}

bool LinkSupervisor::usable() const {
    return phase_ == LinkPhase::Connected && session_.connected();
}

std::optional<FailureKind> LinkSupervisor::causeKind() const {
    if (!cause_) return std::nullopt;
    return FailureKindOf(cause_->kind);
}

void LinkSupervisor::Tell() {
    const std::vector<LinkObserver*> now = observers_;
    for (LinkObserver* o : now)
        o->LinkChanged(*this);
}

void LinkSupervisor::Set(LinkPhase phase) {
    phase_ = phase;
    Tell();
}

void LinkSupervisor::SessionChanged(const SessionEvent& e) {
    // What an attempt of ours brings is judged by the attempt as a whole.
    if (attempting_) return;
    switch (e.kind) {
        case SessionEventKind::Opening:
            cause_.reset();
            lastFailure_.reset();
            Set(LinkPhase::Connecting);
            break;
        case SessionEventKind::Opened:
            break;
        case SessionEventKind::OpenFailed:
        case SessionEventKind::Failed:
        case SessionEventKind::Lost:
            if (e.error != nullptr) Failure(*e.error);
            break;
        case SessionEventKind::Answered:
            // Firmware alone is not the sensor yet: the name and serial number make it one.
            if (session_.identified() && phase_ != LinkPhase::Connected) Identified();
            break;
        case SessionEventKind::Closed:
            // Offline after a failed attempt keeps saying why; the program's own close of a
            // link ends whatever loss was pending.
            if (phase_ == LinkPhase::Offline) break;
            cause_.reset();
            lostAt_.reset();
            heldAtLoss_.reset();
            Set(LinkPhase::Offline);
            break;
    }
}

void LinkSupervisor::Failure(const SensorError& error) {
    const std::optional<FailureKind> kind = FailureKindOf(error.kind);
    if (!kind) return;
    switch (phase_) {
        case LinkPhase::Connected:
            if (*kind == FailureKind::Corrupted || *kind == FailureKind::Refused) {
                // Something came: the sensor is there. A close that came with it is told on its
                // own, after this.
                lastFailure_ = error;
                lastFailureClock_ = std::chrono::system_clock::now();
                Tell();
                break;
            }
            cause_ = error;
            heldAtLoss_.reset();
            if (session_.knowsConfiguration()) heldAtLoss_ = session_.configuration();
            lostAt_ = loop_.Timer();
            lostClock_ = std::chrono::system_clock::now();
            attempts_ = 0;
            nextAttempt_ = *lostAt_ + kRetryInterval;
            Set(LinkPhase::Lost);
            break;
        case LinkPhase::Connecting:
            // An attempt that did not get as far as an identified sensor leaves the link offline,
            // with why.
            cause_ = error;
            Set(LinkPhase::Offline);
            break;
        case LinkPhase::Lost:  // the first cause is the one to read
        case LinkPhase::Offline:
        case LinkPhase::NeverConnected:
            break;
    }
}

void LinkSupervisor::Identified() {
    const SensorIdentity& id = session_.identity();
    sameAgain_ = SameSensor(id, expected_);
    if (!sameAgain_) heldAtLoss_.reset();
    gap_.reset();
    if (lostAt_ && sameAgain_) gap_ = loop_.Timer() - *lostAt_;
    lostAt_.reset();
    cause_.reset();
    lastFailure_.reset();
    expected_ = id;
    Set(LinkPhase::Connected);
}

void LinkSupervisor::SetAutomatic(bool on) {
    if (automatic_ == on) return;
    automatic_ = on;
    if (phase_ != LinkPhase::Lost) return;
    // Switched on while lost: the attempts begin from now.
    attempts_ = 0;
    nextAttempt_ = loop_.Timer() + kRetryInterval;
    Tell();
}

LinkSupervisor::Attempt LinkSupervisor::TryAgain(ConnectOptions options) {
    if (phase_ != LinkPhase::Lost) return Attempt::Failed;
    ++attempts_;
    Tell();
    const ConnectionSettings settings = session_.settings();
    QuietListener listener(expected_);
    attempting_ = true;
    const ConnectResult result = Connect(session_, settings, listener, options);
    attempting_ = false;
    nextAttempt_ = loop_.Timer() + kRetryInterval;
    switch (result.reached) {
        case ConnectStage::Done:
            Identified();
            return Attempt::SameSensor;
        case ConnectStage::NotAccepted:
            // Another sensor answers where the lost one was: nothing is written to it, and the
            // loss will not be made good on this link.
            other_ = result.identity;
            attempting_ = true;
            session_.Close();
            attempting_ = false;
            cause_.reset();
            lostAt_.reset();
            heldAtLoss_.reset();
            gap_.reset();
            Set(LinkPhase::Offline);
            return Attempt::OtherSensor;
        default:
            Tell();
            return Attempt::Failed;
    }
}

}  // namespace qelto
