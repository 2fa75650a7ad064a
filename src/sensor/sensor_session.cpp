#include "sensor/sensor_session.hpp"

#include <algorithm>
#include <cmath>

#include "link/transaction.hpp"
#include "link/transport.hpp"
#include "protocol/number_text.hpp"

namespace qelto {
namespace {

constexpr std::size_t kCycleTimeReplySize = 8;

SensorFault FaultOf(LinkFault fault) {
    switch (fault) {
        case LinkFault::Timeout:
            return SensorFault::Timeout;
        case LinkFault::BadHeader:
            return SensorFault::BadHeader;
        case LinkFault::BadData:
            return SensorFault::BadData;
        case LinkFault::InvalidOrder:
            return SensorFault::InvalidOrder;
        case LinkFault::SensorComm:
            return SensorFault::SensorComm;
        case LinkFault::ServerClosed:
        case LinkFault::DeviceLost:
            return SensorFault::LinkClosed;
        case LinkFault::OpenFailed:
            break;
    }
    return SensorFault::OpenFailed;
}

SensorError Refusal(SensorFault kind, const char* message) {
    return {kind, message, {}, {}};
}

}  // namespace

SensorSession::SensorSession(EventLoop& loop, SerialPort& serial, TcpClient& tcp)
    : loop_(loop), link_(loop, *this, serial, tcp) {}

SensorSession::~SensorSession() {
    // Nobody is left to tell; the link does not outlive the session.
    observers_.clear();
    Close();
}

void SensorSession::AddObserver(SessionObserver* observer) {
    if (observer != nullptr) observers_.push_back(observer);
}

void SensorSession::RemoveObserver(SessionObserver* observer) {
    std::erase(observers_, observer);
}

void SensorSession::Tell(const SessionEvent& event) {
    // An observer may add or remove observers while it is told: tell those of the moment.
    const std::vector<SessionObserver*> now = observers_;
    for (SessionObserver* o : now)
        o->SessionChanged(event);
}

void SensorSession::Answered(int command) {
    Tell({SessionEventKind::Answered, command});
    TellLossAfterExchange();
}

void SensorSession::TellLossAfterExchange() {
    // The exchange's own outcome first, then the close that came with it.
    if (!lostAfter_) return;
    const SensorError lost = std::move(*lostAfter_);
    lostAfter_.reset();
    Tell({SessionEventKind::Lost, -1, &lost});
}

void SensorSession::ReportLinkFailure(const LinkFailure& failure) {
    SensorError error{FaultOf(failure.fault), std::string(failure.message), failure.reason,
                      failure.advice};
    if (failure.fault == LinkFault::ServerClosed || failure.fault == LinkFault::DeviceLost) {
        // It comes as an event, whenever it happens. A request that waits ends at once with it
        // as its own failure, which its caller reports; otherwise whoever listens hears of it.
        // Either way the link is gone before anyone is told.
        if (failure.fault == LinkFault::DeviceLost) serialOpen_ = false;
        lost_ = error;
        if (waiting_) {
            closed_ = std::move(error);
        } else {
            Tell({SessionEventKind::Lost, -1, &error});
        }
        return;
    }
    failure_ = std::move(error);
}

void SensorSession::SetWaitCursor(bool busy) {
    const std::vector<SessionObserver*> now = observers_;
    for (SessionObserver* o : now)
        o->SetWaitCursor(busy);
}

Status SensorSession::Open(const ConnectionSettings& settings) {
    identity_ = {};
    configuration_ = {};
    paraKnown_ = teachKnown_ = false;
    scanFrequency_ = 0.0;
    lost_.reset();
    identified_ = false;
    failure_.reset();
    link_.conn = settings;
    link_.conn.TcpPort = ParseLeadingInt(TextOf(settings.PortNumber));
    Tell({SessionEventKind::Opening});
    if (settings.Protocol == kRs232) {
        serialOpen_ = false;
        InitRS232(link_);
        serialOpen_ = link_.link.LinkStatus >= 0;
    } else {
        InitTCP_IP(link_);
    }
    if (link_.link.LinkStatus >= 0) {
        Tell({SessionEventKind::Opened});
        return {};
    }
    SensorError error =
        failure_ ? std::move(*failure_) : SensorError{SensorFault::OpenFailed, {}, {}, {}};
    failure_.reset();
    Tell({SessionEventKind::OpenFailed, -1, &error});
    return error;
}

void SensorSession::CloseSerialPort(int port) {
    CloseSerial(link_, port);
    if (port == link_.conn.ComPort && serialOpen_) {
        serialOpen_ = false;
        identified_ = false;
        Tell({SessionEventKind::Closed});
    }
}

void SensorSession::CloseTcp() {
    const bool wasOpen = link_.link.TcpConnected != 0;
    qelto::CloseTcp(link_);
    lost_.reset();
    if (wasOpen) {
        identified_ = false;
        Tell({SessionEventKind::Closed});
    }
}

void SensorSession::Close() {
    const bool wasLost = lost_.has_value();
    const bool wasOpen = connected();
    if (link_.link.TcpConnected != 0) CloseTcp();
    if (serialOpen_) CloseSerialPort(link_.conn.ComPort);
    // A link that was lost is closed too: whoever listens hears that the program is done with
    // it, as for one that was open.
    if (wasLost && !wasOpen) {
        lost_.reset();
        identified_ = false;
        Tell({SessionEventKind::Closed});
    }
}

bool SensorSession::connected() const {
    return link_.conn.Protocol == kRs232 ? serialOpen_ : link_.link.TcpConnected != 0;
}

Status SensorSession::Request(int command, std::uint16_t argument, ReplyFit expected,
                              std::span<const std::uint8_t> data) {
    if (waiting_) return Refusal(SensorFault::Busy, kMsgSensorBusy);
    if (loop_.QuitRequested()) return Refusal(SensorFault::Quit, "");
    if (!connected()) {
        // Once the link has gone, every request is refused with what ended it.
        if (lost_) return *lost_;
        return Refusal(SensorFault::NotConnected, kMsgNotConnected);
    }
    const std::size_t n = std::min(data.size(), kMaxDataLength);
    std::copy_n(data.begin(), n, link_.frames.RequestData());
    waiting_ = true;
    ++requestsSent_;
    failure_.reset();
    closed_.reset();
    const int result = Exchange(link_, command, argument, static_cast<std::uint16_t>(n), expected);
    waiting_ = false;
    std::optional<SensorError> failure = std::move(failure_);
    std::optional<SensorError> closed = std::move(closed_);
    failure_.reset();
    closed_.reset();
    if (closed) {
        // The close ended the wait: it is this request's failure (its caller reports it). Had
        // the reply come (or failed on its own) first, the close is told as one between
        // requests, after the exchange's own outcome.
        if (result != 1 && !failure) {
            Tell({SessionEventKind::Failed, command, &*closed});
            return std::move(*closed);
        }
        lostAfter_ = std::move(closed);
    }
    // Told by the caller once it has taken what the reply brought (who the sensor is, what it
    // holds), so that whoever listens sees the session as the reply left it.
    if (result == 1) return {};
    if (failure) {
        Tell({SessionEventKind::Failed, command, &*failure});
        TellLossAfterExchange();
        return std::move(*failure);
    }
    TellLossAfterExchange();
    // A wait that gave up because the program is quitting reports nothing.
    return Refusal(SensorFault::Quit, "");
}

std::size_t SensorSession::SettleLine() {
    if (waiting_ || !connected()) return 0;
    waiting_ = true;
    const std::size_t discarded = qelto::SettleLine(link_);
    waiting_ = false;
    return discarded;
}

std::span<const std::uint8_t> SensorSession::Reply() const {
    return {link_.frames.ReplyData(), link_.frames.ReplyLength};
}

Result<SensorIdentity> SensorSession::ReadFirmware() {
    identified_ = false;
    if (Status s = Request(kCmdFirmware, 0, ReplyFit{}); !s) return s.error();
    const auto reply = Reply();
    // The text ends at its first zero, and after 72 bytes at the latest; bytes behind the
    // reply in the buffer are not the sensor's.
    const std::size_t limit = std::min(reply.size(), kFirmwareStringSize);
    const auto* text = reinterpret_cast<const char*>(reply.data());
    identity_ = {};
    identity_.firmware.assign(text, std::find(text, text + limit, '\0'));
    identity_.SensorModel = SensorModelFor(SplitFirmware(identity_.firmware));
    Answered(kCmdFirmware);
    return identity_;
}

Result<SensorIdentity> SensorSession::ReadNameAndSerial() {
    if (Status s = Request(kCmdSensorName, 0, ReplyFit{}); !s) return s.error();
    const auto reply = Reply();
    const std::size_t limit = std::min(reply.size(), kSensorNameSize - 1);
    const auto* text = reinterpret_cast<const char*>(reply.data());
    identity_.name.assign(text, std::find(text, text + limit, '\0'));
    identity_.serialNumber = link_.frames.ReplyArgument;
    identified_ = identity_.supported();
    Answered(kCmdSensorName);
    return identity_;
}

Result<SensorIdentity> SensorSession::Identify() {
    if (auto firmware = ReadFirmware(); !firmware || !firmware->supported()) return firmware;
    return ReadNameAndSerial();
}

Result<RejectedCount> SensorSession::WriteParameters(const ParameterSet& para) {
    std::array<std::uint8_t, kParameterBlockSize> block{};
    ParameterBlockFromSet(para, block);
    if (Status s = Request(kCmdWrite, kArgParameters, ReplyFit{}, block); !s) return s.error();
    const RejectedCount rejected = link_.frames.ReplyArgument;
    if (rejected == 0) {
        configuration_.para = para;
        paraKnown_ = true;
    }
    Answered(kCmdWrite);
    return rejected;
}

Result<RejectedCount> SensorSession::WriteTeachTable(const TeachTable& teach) {
    std::array<std::uint8_t, kTeachBlockSize> block{};
    TeachBlockFromTable(teach, block);
    if (Status s = Request(kCmdWrite, kArgTeachTable, ReplyFit{}, block); !s) return s.error();
    const RejectedCount rejected = link_.frames.ReplyArgument;
    if (rejected == 0) {
        std::copy_n(teach.begin(), kSensorTeachRows, configuration_.teach.begin());
        teachKnown_ = true;
    }
    Answered(kCmdWrite);
    return rejected;
}

Status SensorSession::StoreEeprom() {
    if (Status s = Request(kCmdStoreEeprom, 0, ReplyFit{}); !s) return s;
    Answered(kCmdStoreEeprom);
    return {};
}

Result<RejectedCount> SensorSession::LoadEeprom() {
    if (Status s = Request(kCmdLoadEeprom, 0, ReplyFit{}); !s) return s.error();
    Answered(kCmdLoadEeprom);
    return link_.frames.ReplyArgument;
}

Result<ParameterSet> SensorSession::ReadParameters() {
    if (Status s = Request(kCmdRead, kArgParameters, ReplyFit::Exactly(kParameterBlockSize)); !s) {
        return s.error();
    }
    ParameterSetFromBlock(Reply().first<kParameterBlockSize>(), configuration_.para);
    paraKnown_ = true;
    Answered(kCmdRead);
    return configuration_.para;
}

Result<TeachRows> SensorSession::ReadTeachRows() {
    if (Status s = Request(kCmdRead, kArgTeachTable, ReplyFit::Exactly(kTeachBlockSize)); !s)
        return s.error();
    TeachTableFromBlock(Reply().first<kTeachBlockSize>(), configuration_.teach);
    teachKnown_ = true;
    Answered(kCmdRead);
    TeachRows rows{};
    std::copy_n(configuration_.teach.begin(), rows.size(), rows.begin());
    return rows;
}

Result<ConfigurationRead> SensorSession::ReadConfiguration(bool throughEeprom) {
    ConfigurationRead read{};
    if (throughEeprom) {
        const auto loaded = LoadEeprom();
        if (!loaded) return loaded.error();
        read.eepromRejected = *loaded;
    }
    const auto para = ReadParameters();
    if (!para) return para.error();
    const auto rows = ReadTeachRows();
    if (!rows) return rows.error();
    read.config.para = *para;
    PutSensorRows(read.config.teach, *rows);
    return read;
}

Result<LiveData> SensorSession::ReadLiveSample() {
    // A short block would show (and let the assistant teach) zeros that were never measured.
    if (Status s = Request(kCmdLiveData, 0, ReplyFit::AtLeast(kLiveDataSize)); !s) return s.error();
    LiveData sample;
    sample.FromBytes(Reply().first<kLiveDataSize>());
    Answered(kCmdLiveData);
    return sample;
}

Result<double> SensorSession::MeasureScanFrequency() {
    scanFrequency_ = 0.0;
    if (Status s = Request(kCmdCycleTime, 0, ReplyFit::AtLeast(kCycleTimeReplySize)); !s)
        return s.error();
    scanFrequency_ = ScanFrequencyFromReply(Reply());
    Answered(kCmdCycleTime);
    return scanFrequency_;
}

int ScanFrequencyPrecision(double value) {
    if (value > 1000.0) return 0;
    if (value <= 1.0) return 2;
    return 1;
}

std::string FormatScanFrequency(double value) {
    return FormatFixed(value, ScanFrequencyPrecision(value));
}

double ScanFrequencyFromReply(std::span<const std::uint8_t> data) {
    if (data.size() < kCycleTimeReplySize) return 0.0;
    const std::int32_t n = GetI32(data.data());
    const std::int32_t t = GetI32(data.data() + 4);
    if (t == 0) return 0.0;
    const double value = static_cast<double>(n) / (static_cast<double>(t) * 0.01);
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace qelto
