#include "cli_app.hpp"

#include "cli_json.hpp"
#include "fleet_runner.hpp"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/file_header.hpp"
#include "files/inifile.hpp"
#include "files/parameter_file.hpp"
#include "files/paths.hpp"
#include "files/settings_file.hpp"
#include "protocol/com_ports.hpp"
#include "protocol/configuration_diff.hpp"
#include "sensor/connect.hpp"
#include "sensor/link_settings.hpp"
#include "sensor/sensor_texts.hpp"
#include "sensor/set_values.hpp"

namespace qelto::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHintSendDefaults = "--send-defaults answers yes";
constexpr const char* kHintForce = "--force answers yes";

// The longest a printed sample waits in the output buffer.
constexpr int kFlushDelayMs = 20;

// What a transfer did, as the JSON object of send, set, get, store and load has it.
QJsonObject JsonOutcome(const TransferOutcome& o) {
    QJsonArray steps;
    for (const TransferStepRecord& step : o.steps) {
        steps.append(QJsonObject{
            {"step", StepName(step.step)}, {"sent", step.sent}, {"answered", step.answered}});
    }
    QJsonObject json{{"status", JsonText(OutcomeLine(o))},
                     {"steps", steps},
                     {"may_hold", JsonMayHold(o.ram, o.eeprom)}};
    if (o.memory != Memory::File) {
        json["memory"] = QString::fromLatin1(MemoryName(o.memory)).toLower();
    }
    if (o.kind == TransferKind::Send) {
        json["refused"] = JsonRefused(o.refused);
        json["verified"] = o.verified;
        if (o.changes) json["changes"] = static_cast<qint64>(*o.changes);
    }
    if (o.eepromRejected != 0) json["eeprom_rejected"] = o.eepromRejected;
    return json;
}

// The exit code of what a transfer ended with.
int ExitCodeOf(const TransferOutcome& o) {
    if (o.ok()) return kExitOk;
    return o.Kind() == FailureKind::Refused ? kExitRefused : kExitFailure;
}

}  // namespace

CliApp::CliApp(CliOptions options, CliEnvironment env, std::FILE* out, std::FILE* err)
    : opt_(std::move(options)), env_(std::move(env)), out_(out), console_(err) {
    sensor_.link().frameTrace = [this](TracedFrame kind, std::span<const std::uint8_t> frame) {
        TraceFrame(kind, frame);
    };
    sensor_.AddObserver(this);
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(kFlushDelayMs);
    QObject::connect(&flushTimer_, &QTimer::timeout, [this] { FlushOutput(); });
}

CliApp::~CliApp() {
    sensor_.RemoveObserver(this);
    if (sensor_.tcpConnected()) sensor_.CloseTcp();
    sensor_.CloseSerialPort(sensor_.settings().ComPort);
}

int CliApp::Run() {
    int rc = kExitUsage;
    switch (opt_.command) {
        case Command::Identify:
            rc = Identify();
            break;
        case Command::Get:
            rc = Get();
            break;
        case Command::Send:
            rc = Send();
            break;
        case Command::Live:
            rc = Live();
            break;
        case Command::Record:
            rc = Record();
            break;
        case Command::Freq:
            rc = Freq();
            break;
        case Command::Show:
            rc = Show();
            break;
        case Command::Defaults:
            rc = Defaults();
            break;
        case Command::Diff:
            rc = Diff();
            break;
        case Command::Ports:
            rc = Ports();
            break;
        case Command::Set:
            rc = Set();
            break;
        case Command::Store:
            rc = Store();
            break;
        case Command::Load:
            rc = Load();
            break;
        case Command::Fleet:
            rc = Fleet();
            break;
    }
    PrintResult(rc);
    FlushOutput();
    // A reader that stopped reading (`| head`) has had what it wanted; any other failure to
    // write the results must not pass for a success.
    if (outputErrno_ != 0 && outputErrno_ != EPIPE) {
        console_.Say(std::string("standard output: ") + std::strerror(outputErrno_));
        if (rc == kExitOk) rc = kExitFile;
    }
    return rc;
}

bool CliApp::FlushOutput() {
    if (outputErrno_ == 0 && (std::fflush(out_) != 0 || std::ferror(out_) != 0)) {
        outputErrno_ = errno != 0 ? errno : EIO;
    }
    // Nobody reads the stream any more: end it after the sample in progress.
    if (outputErrno_ != 0 && streaming_) stopStream_ = true;
    return outputErrno_ == 0;
}

void CliApp::Interrupt() {
    if (fleet_ != nullptr) {
        fleet_->Stop();
        return;
    }
    // The loop notices once the request in progress is done, so the sample being read still
    // arrives and is printed; a wait for the next attempt to reconnect ends at once.
    if (!streaming_) return;
    stopStream_ = true;
    loop_.WakeWait();
}

void CliApp::TraceFrame(TracedFrame kind, std::span<const std::uint8_t> frame) {
    if (!opt_.verbose) return;
    if (kind == TracedFrame::Request) {
        console_.Log("> " + FormatHex(frame));
    } else if (kind == TracedFrame::Reply) {
        console_.Log("< " + FormatHex(frame));
    } else {
        console_.Log("< " + FormatHex(frame) + " (rejected)");
    }
}

void CliApp::Note(FailureReport report) {
    // The first failure is the command's; the transfer's record of it, or one that knows its
    // step, tells more.
    if (!failure_ || (failure_->step.empty() && !report.step.empty()) ||
        (!failure_->mayHold && report.mayHold)) {
        failure_ = std::move(report);
    }
}

void CliApp::NoteFile(const std::string& path, int systemError, const std::string& message) {
    FailureReport r;
    r.step = "write file";
    r.kind = "file";
    r.message = message;
    r.reason = path;
    failure_ = std::move(r);
    result_["path"] = JsonText(path);
    result_["errno"] = systemError;
}

void CliApp::Fail(const SensorError& error, const char* step) {
    if (error.kind == SensorFault::Quit) return;
    Note(ReportOf(error, step, address_, sensor_.identity()));
    // The server's close is said once, however many requests it ends or refuses.
    if (error.kind == SensorFault::LinkClosed) {
        if (linkLostSaid_) return;
        linkLostSaid_ = true;
    }
    console_.Failure(error.message, error.advice);
    // What the system said, and about which host or device.
    if (!error.reason.empty()) console_.Say(error.reason);
}

void CliApp::SessionChanged(const SessionEvent& event) {
    if (event.kind == SessionEventKind::Lost && event.error != nullptr) Fail(*event.error);
}

// --- Connecting

LinkDescription CliApp::ChosenConnection() {
    if (opt_.link == LinkChoice::Tcp) return LinkDescription::Tcp(opt_.tcpHost, opt_.tcpPort);
    if (opt_.link == LinkChoice::Serial) {
        return LinkDescription::Serial(opt_.comPort, BaudRateForIndex(opt_.baudRateIndex));
    }
    // Neither given: the window's stored settings, with their language for the question.
    const std::string dir = SettingsDirectory(env_.programDirectory, env_.userConfigDirectory);
    const std::string path = JoinPath(dir, kPanelSettingsFileName);
    IniHandle doc = OpenSettingsDocument(path);
    const LinkDescription c = LinkFromStored(ReadStoredConnection(doc.get()));
    if (const auto language = ReadStoredLanguage(doc.get());
        language && *language >= 0 && *language < kLanguages) {
        language_ = *language;
    }
    const bool used = doc != nullptr;
    if (doc) Ini_Dispose(doc);
    std::error_code ec;
    if (used) {
        console_.Say("no --tcp or --serial given: using the connection settings stored in " + path +
                     ": " + c.Describe());
    } else if (fs::exists(PathFromUtf8(path), ec)) {
        // Not a settings file of the window, or not readable: nothing in it was used.
        console_.Say("no --tcp or --serial given and the settings file " + path +
                     " could not be used: using the defaults: " + c.Describe());
    } else {
        console_.Say("no --tcp or --serial given and no settings file " + path +
                     ": using the default connection settings: " + c.Describe());
    }
    return c;
}

// What the command line shows along the connection sequence, and how it answers its question.
class CliApp::ConnectReport : public ConnectListener {
  public:
    explicit ConnectReport(CliApp& app) : app_(app) {}
    void Identified(const SensorIdentity& id) override {
        const std::string line = id.firmwareLine();
        app_.console_.Status(line);
        app_.console_.Info(line);
    }
    void Named(const SensorIdentity& id) override { app_.console_.Info(IdentityLogLines(id)); }
    bool SendDefaults() override {
        const Command c = app_.opt_.command;
        const char* hint = c == Command::Diff  ? "diff only reads from the sensor"
                           : c == Command::Set ? "set changes only the values it names"
                                               : kHintSendDefaults;
        return app_.console_.Confirm(kAttentionTitle,
                                     Localized(kDefaultParaQuestion, app_.language_),
                                     app_.opt_.sendDefaults, hint);
    }
    void EepromRejected(RejectedCount count) override {
        app_.console_.Info(PlausibilityText(count, kMsgEepromPlausibilityTail));
    }

  private:
    CliApp& app_;
};

int CliApp::Connect(bool readConfiguration) {
    const LinkDescription link = ChosenConnection();
    address_ = link.Address();
    console_.Status(kStatusTryToConnect);
    console_.Info(kInfoTryToConnect);
    ConnectReport report(*this);
    ConnectOptions options;
    options.throughEeprom = !opt_.ram;
    options.readConfiguration = readConfiguration;
    const ConnectResult c = qelto::Connect(sensor_, link, report, options);
    got_ = c.get;
    if (const auto failure = ReportOf(c, address_)) Note(*failure);
    switch (c.reached) {
        case ConnectStage::Open:
        case ConnectStage::Identify:
            Fail(*c.error);
            // Nobody is there to choose: the cautious way out, as Escape would answer.
            console_.Choice(kAttentionTitle, kMsgNoConnection, kButtonClose);
            break;
        case ConnectStage::Unsupported:
            console_.Choice(kAttentionTitle, c.error->message, kButtonClose);
            console_.Say("the connected sensor is not supported");
            return kExitUnsupported;
        case ConnectStage::Defaults:
            // The link was there: what failed is said as what it was, once.
            Fail(*c.error);
            console_.Say("the default parameters could not be sent: " + OutcomeLine(*c.defaults));
            return ExitCodeOf(*c.defaults);
        case ConnectStage::Read:
            Fail(*c.error);
            console_.Say("the sensor's parameters could not be read");
            return kExitFailure;
        case ConnectStage::NotAccepted:  // every sensor is taken here
            break;
        case ConnectStage::Done:
            config_ = c.read.config;
            result_["address"] = JsonText(address_);
            result_["sensor"] = JsonText(SensorNamed(c.identity));
            return kExitOk;
    }
    console_.Say("no connection to the sensor");
    return kExitFailure;
}

TransferOutcome CliApp::SendOut(const Configuration& config) {
    TransferOptions options;
    options.memory = opt_.ram ? Memory::Ram : Memory::Eeprom;
    options.verify = opt_.verify;
    const TransferOutcome sent = SendConfiguration(sensor_, config, options);
    if (const auto failure = sent.Failure()) {
        // A value the sensor refused is a failed transfer, yet the rest went out all the same.
        if (sent.error) {
            Fail(*failure, StepName(*sent.FailureStep()));
        } else {
            console_.Failure(failure->message);
        }
        for (const RefusedValue& r : sent.refused) {
            console_.Say("refused: [" + ItemSection(r.item) + "] " + ItemKey(r.item) + " = " +
                         std::to_string(r.value) + " (the sensor holds " + std::to_string(r.held) +
                         ")");
        }
    }
    return sent;
}

int CliApp::Conclude(const TransferOutcome& outcome) {
    console_.Say(OutcomeLine(outcome));
    if (const auto failure = ReportOf(outcome, address_, sensor_.identity())) Note(*failure);
    const QJsonObject json = JsonOutcome(outcome);
    for (auto it = json.begin(); it != json.end(); ++it)
        result_[it.key()] = it.value();
    return ExitCodeOf(outcome);
}

void CliApp::PrintResult(int rc) {
    if (opt_.format != Format::Json || jsonPrinted_) return;
    if (rc == kExitOk && result_.isEmpty()) return;
    QJsonObject json = result_;
    if (rc != kExitOk && failure_) {
        const QJsonObject failure = JsonFailure(*failure_);
        for (auto it = failure.begin(); it != failure.end(); ++it)
            json[it.key()] = it.value();
    }
    // A failure that came before any sensor answered says what it can.
    if (!json.contains("address") && !address_.empty()) json["address"] = JsonText(address_);
    json["ok"] = rc == kExitOk;
    PrintJson(json);
}

// --- Files

bool CliApp::CheckInputFile(const std::string& path) {
    const ReadProblem problem = CheckParameterFileReadable(path);
    if (problem.reason.empty()) return true;
    console_.Say(path + ": " + problem.reason);
    NoteFile(path, 0, problem.Text());
    return false;
}

bool CliApp::CheckOutputFile(const std::string& path) {
    std::error_code ec;
    const fs::path p = PathFromUtf8(path);
    if (fs::is_directory(p, ec)) {
        console_.Say(path + ": is a directory");
        NoteFile(path, EISDIR, WriteFailedText(0, EISDIR));
        return false;
    }
    const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
    if (!fs::is_directory(dir, ec)) {
        console_.Say(path + ": no such directory " + PathToUtf8(dir));
        NoteFile(path, ENOENT, WriteFailedText(0, ENOENT));
        return false;
    }
    return true;
}

int CliApp::LoadParameterFile(const std::string& path, Configuration& into) {
    const ParameterFileLoad load = ReadParameterFile(path, into, [this](std::string_view q) {
        return console_.Confirm(kAttentionTitle, q, opt_.force, kHintForce);
    });
    if (!load.loaded) {
        console_.Box(kAttentionTitle, kNoParameterRead);
        console_.Say(path +
                     ": not loaded (not a parameter file of this program version; --force "
                     "loads it anyway)");
        return kExitFile;
    }
    if (!load.paraReport.empty()) console_.Box(kReportTitle, load.paraReport);
    if (!load.teachReport.empty()) console_.Box(kReportTitle, load.teachReport);
    return kExitOk;
}

int CliApp::SaveParameterFile(const std::string& path, const Configuration& config) {
    int systemError = 0;
    if (const int written = WriteParameterFile(path, config, &systemError); written < 0) {
        console_.Box(kAttentionTitle, kWriteFailed);
        const std::string why = Ini_WriteErrorText(written, systemError);
        console_.Say(path + ": not written: " + why);
        NoteFile(path, systemError, WriteFailedText(written, systemError));
        return kExitFile;
    }
    console_.Say("parameters saved to " + path);
    return kExitOk;
}

// --- Commands

int CliApp::Identify() {
    if (const int rc = Connect(); rc != kExitOk) return rc;
    const SensorIdentity& id = sensor_.identity();
    if (opt_.format == Format::Json) {
        PrintJson({{"firmware", JsonText(id.firmwareLine())},
                   {"family", static_cast<int>(id.SensorModel)},
                   {"name", JsonText(id.name)},
                   {"serial", id.serialNumber}});
        return kExitOk;
    }
    std::fprintf(out_, "firmware: %s\nfamily: %d\nname: %s\nserial: %u\n",
                 id.firmwareLine().c_str(), static_cast<int>(id.SensorModel), id.name.c_str(),
                 static_cast<unsigned>(id.serialNumber));
    FlushOutput();
    return kExitOk;
}

int CliApp::Get() {
    if (!CheckOutputFile(opt_.outputFile)) return kExitFile;
    // The connection itself reads the parameters, through the EEPROM unless --ram.
    if (const int rc = Connect(); rc != kExitOk) return rc;
    if (got_) Conclude(*got_);
    // Whose parameters they are, so that a backup can be named by its sensor.
    const SensorIdentity& id = sensor_.identity();
    result_["file"] = JsonText(opt_.outputFile);
    result_["firmware"] = JsonText(id.firmwareLine());
    result_["serial"] = id.serialNumber;
    return SaveParameterFile(opt_.outputFile, config_);
}

int CliApp::Send() {
    if (!CheckInputFile(opt_.inputFile)) return kExitFile;
    // Loaded before the sensor is touched: a file that would not load must not cost a
    // connection, let alone a half-done transfer.
    Configuration file;
    if (const int rc = LoadParameterFile(opt_.inputFile, file); rc != kExitOk) return rc;
    if (const int rc = Connect(); rc != kExitOk) return rc;
    result_["file"] = JsonText(opt_.inputFile);
    const int rc = Conclude(SendOut(file));
    if (rc != kExitOk) {
        console_.Say("sending " + opt_.inputFile + " failed");
        return rc;
    }
    console_.Say(
        "sent " + opt_.inputFile +
        (opt_.ram ? " to the sensor's RAM" : " to the sensor and stored it in its EEPROM"));
    return kExitOk;
}

void CliApp::PrintSample(const LiveData& d) {
    const double t = loop_.Timer() - streamStart_;
    const LiveSample s = SampleOf(d);
    const WallClock now = WallClockNow();
    char line[256];
    int n = 0;
    if (opt_.format == Format::Jsonl) {
        char clock[48];
        const std::size_t c = FormatWallClock(clock, now);
        n = std::snprintf(line, sizeof line,
                          "{\"t\":%.6f,\"red\":%ld,\"green\":%ld,\"blue\":%ld,\"x\":%ld,\"y\":%ld,"
                          "\"int\":%ld,\"color_no\":%ld,\"wall_clock\":\"%.*s\"}\n",
                          t, s.red, s.green, s.blue, s.x, s.y, s.intensity, s.colorNo,
                          static_cast<int>(c), clock);
    } else {
        // The same line as a recording from the window.
        n = static_cast<int>(FormatLiveCsvLine(line, t, s, now));
    }
    if (std::fwrite(line, 1, static_cast<std::size_t>(n), out_) != static_cast<std::size_t>(n)) {
        FlushOutput();
    }
    // Whoever follows the stream sees each line within a few milliseconds (the timer fires in
    // the wait for the next reply), without a write for every one of thousands per second.
    if (!flushTimer_.isActive()) flushTimer_.start();
}

int CliApp::AwaitSensorBack(const SensorError& cause) {
    const double lostAt = loop_.Timer() - streamStart_;
    ConnectOptions options;
    options.throughEeprom = !opt_.ram;
    options.readConfiguration = false;  // nothing of it is needed to go on
    while (!stopStream_) {
        const double due = supervisor_.nextAttemptAt();
        while (!stopStream_ && loop_.Timer() < due && !loop_.QuitRequested())
            loop_.WaitForEvents(due);
        if (stopStream_ || loop_.QuitRequested()) break;
        switch (supervisor_.TryAgain(options)) {
            case LinkSupervisor::Attempt::Failed:
                continue;
            case LinkSupervisor::Attempt::SameSensor: {
                // The one line of the gap; t jumps by as much.
                char gap[32];
                std::snprintf(gap, sizeof gap, "%.1f", supervisor_.gap());
                char at[32];
                std::snprintf(at, sizeof at, "%.3f", lostAt);
                console_.Say("link lost at t=" + std::string(at) + " s (" + OneLine(cause.message) +
                             "), back after " + gap + " s: live data goes on");
                linkLostSaid_ = false;
                return kExitOk;
            }
            case LinkSupervisor::Attempt::OtherSensor:
                console_.Say("another sensor answers (" + SensorLine(supervisor_.otherSensor()) +
                             "), not the one that was connected (" +
                             SensorLine(supervisor_.expected()) +
                             "): nothing was written to it; live data ends");
                return kExitOtherSensor;
        }
    }
    Fail(cause, kStepLive);
    return kExitFailure;
}

int CliApp::Stream(const std::function<bool(const LiveData&, double)>& take) {
    streamStart_ = loop_.Timer();
    streaming_ = true;
    stopStream_ = !FlushOutput();
    int rc = kExitOk;
    std::uint64_t taken = 0;
    // One request after the other, as fast as the link answers; Ctrl-C, the count, the seconds
    // or a closed output end it after the sample in progress.
    while (!stopStream_) {
        if (opt_.seconds && loop_.Timer() - streamStart_ >= *opt_.seconds) break;
        const double requestedAt = loop_.Timer();
        const auto sample = sensor_.ReadLiveSample();
        if (!sample) {
            if (sample.error().kind == SensorFault::Quit) break;
            if (opt_.reconnect && supervisor_.phase() == LinkPhase::Lost) {
                rc = AwaitSensorBack(sample.error());
                if (rc == kExitOk && !stopStream_) continue;
                break;
            }
            Fail(sample.error(), kStepLive);
            rc = kExitFailure;
            break;
        }
        if (taken++ % opt_.every != 0) continue;
        if (!take(*sample, requestedAt)) {
            rc = kExitFile;
            break;
        }
        ++samples_;
        if (opt_.count && samples_ >= *opt_.count) stopStream_ = true;
    }
    flushTimer_.stop();
    FlushOutput();
    streaming_ = false;
    if (rc == kExitFailure) {
        console_.Say("live data ended by a failure after " + std::to_string(samples_) + " samples");
    }
    return rc;
}

int CliApp::Live() {
    if (const int rc = Connect(); rc != kExitOk) return rc;
    if (opt_.format == Format::Csv) {
        std::fwrite(kLiveCsvHeader.data(), 1, kLiveCsvHeader.size(), out_);
        FlushOutput();
    }
    const int rc = Stream([this](const LiveData& sample, double) {
        PrintSample(sample);
        return true;
    });
    if (rc != kExitOk) return rc;
    console_.Say(std::to_string(samples_) + " samples" +
                 (outputErrno_ != 0 ? " (the output was closed)" : ""));
    return kExitOk;
}

int CliApp::Record() {
    const std::string& path = opt_.outputFile;
    if (!CheckOutputFile(path)) return kExitFile;
    // Asked before the sensor is touched; nobody is asked whether to replace it.
    std::error_code ec;
    const auto exists = [&] { return fs::exists(PathFromUtf8(path), ec) && !opt_.force; };
    if (exists()) {
        console_.Say(path + ": exists (--force replaces it)");
        return kExitFile;
    }
    if (const int rc = Connect(); rc != kExitOk) return rc;
    // Held locked from here on, also against a second recording into it.
    if (!recorder_.Open(path)) {
        console_.Say(recorder_.error());
        return kExitFile;
    }
    if (recorder_.replacing() && !opt_.force) {  // it appeared meanwhile
        recorder_.Stop();
        console_.Say(path + ": exists (--force replaces it)");
        return kExitFile;
    }
    if (!recorder_.Begin(loop_.Timer())) {
        console_.Say(recorder_.error());
        return kExitFile;
    }
    int rc = Stream([this](const LiveData& sample, double requestedAt) {
        return recorder_.Append(SampleOf(sample), requestedAt, loop_.Timer());
    });
    recorder_.Stop();
    if (!recorder_.error().empty()) {
        console_.Say("recording stopped: " + recorder_.error() + "; " +
                     std::to_string(recorder_.rows()) + " rows were written and are kept");
        return kExitFile;
    }
    console_.Say(std::to_string(recorder_.rows()) + " rows recorded in " + path);
    return rc;
}

int CliApp::Freq() {
    if (const int rc = Connect(); rc != kExitOk) return rc;
    const auto measured = sensor_.MeasureScanFrequency();
    if (!measured) {
        Fail(measured.error(), kStepScanFrequency);
        console_.Say("no scan frequency");
        return kExitFailure;
    }
    if (opt_.format == Format::Json) {
        PrintJson({{"scan_frequency_hz", *measured}});
        return kExitOk;
    }
    // As the window's display shows it.
    std::fprintf(out_, "%s\n", FormatScanFrequency(*measured).c_str());
    FlushOutput();
    return kExitOk;
}

int CliApp::Diff() {
    const bool twoFiles = !opt_.secondFile.empty();
    if (!CheckInputFile(opt_.inputFile)) return kExitFile;
    if (twoFiles && !CheckInputFile(opt_.secondFile)) return kExitFile;
    // Both files are read before the sensor is touched.
    Configuration older;
    Configuration newer;
    if (const int rc = LoadParameterFile(twoFiles ? opt_.secondFile : opt_.inputFile, newer);
        rc != kExitOk) {
        return rc;
    }
    std::size_t rows = kTeachRows;
    if (twoFiles) {
        if (const int rc = LoadParameterFile(opt_.inputFile, older); rc != kExitOk) return rc;
    } else {
        // Read only: no default parameters, no EEPROM load, the sensor's RAM as it is.
        opt_.ram = true;
        if (const int rc = Connect(); rc != kExitOk) return rc;
        older = config_;
        rows = kSensorTeachRows;
    }
    const std::vector<Difference> diffs = CompareConfigurations(older, newer, rows);
    if (opt_.format == Format::Json) {
        PrintJson({{"old_file", twoFiles ? JsonText(opt_.inputFile) : QJsonValue()},
                   {"new_file", JsonText(twoFiles ? opt_.secondFile : opt_.inputFile)},
                   {"differences", JsonDifferences(diffs)}});
    } else {
        for (const Difference& d : diffs)
            std::fprintf(out_, "%s\n", DiffLine(d).c_str());
        FlushOutput();
    }
    console_.Say(diffs.empty() ? std::string("no differences")
                               : std::to_string(diffs.size()) +
                                     (diffs.size() == 1 ? " difference" : " differences"));
    return diffs.empty() ? kExitOk : kExitDiffer;
}

int CliApp::Set() {
    if (const int rc = Connect(); rc != kExitOk) return rc;
    const Configuration changed = WithValues(config_, opt_.assignments);
    const std::vector<Difference> diffs = CompareConfigurations(config_, changed, kSensorTeachRows);
    result_["memory"] = opt_.ram ? "ram" : "eeprom";
    result_["differences"] = JsonDifferences(diffs);
    result_["refused"] = QJsonArray();
    if (opt_.format == Format::Text) {
        for (const Difference& d : diffs)
            std::fprintf(out_, "%s\n", DiffLine(d).c_str());
        FlushOutput();
    }
    if (diffs.empty()) {
        console_.Say("no differences: the sensor holds these values already; nothing was sent");
        return kExitOk;
    }
    const int rc = Conclude(SendOut(changed));
    if (rc == kExitRefused) console_.Say("the sensor refused some of the values");
    if (rc != kExitOk) {
        console_.Say("set failed");
        return rc;
    }
    console_.Say(
        "set " + std::to_string(diffs.size()) + (diffs.size() == 1 ? " value" : " values") +
        (opt_.ram ? " in the sensor's RAM" : " in the sensor and stored them in its EEPROM"));
    return kExitOk;
}

int CliApp::Store() {
    // Nothing is read first: loading the EEPROM would overwrite what RAM holds.
    if (const int rc = Connect(false); rc != kExitOk) return rc;
    const TransferOutcome stored = StoreInEeprom(sensor_);
    if (stored.error) Fail(*stored.error, StepName(TransferStep::Store));
    return Conclude(stored);
}

int CliApp::Load() {
    if (const int rc = Connect(false); rc != kExitOk) return rc;
    const TransferOutcome loaded = LoadIntoRam(sensor_);
    if (loaded.error) Fail(*loaded.error, StepName(TransferStep::Load));
    if (loaded.eepromRejected != 0) {
        console_.Info(PlausibilityText(loaded.eepromRejected, kMsgEepromPlausibilityTail));
    }
    return Conclude(loaded);
}

int CliApp::Show() {
    if (!CheckInputFile(opt_.inputFile)) return kExitFile;
    Configuration file;
    if (const int rc = LoadParameterFile(opt_.inputFile, file); rc != kExitOk) return rc;
    PrintParameterFile(opt_.inputFile, file);
    return kExitOk;
}

void CliApp::PrintParameterFile(const std::string& path, const Configuration& config) {
    if (opt_.format == Format::Json) {
        // The parameters in the file's order, which a JSON object does not keep: the members
        // are written one by one, each name and value by QJsonDocument.
        const auto json = [](const QJsonValue& v) {
            const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
            return a.mid(1, a.size() - 2);
        };
        QByteArray parameters = "{";
        for (const auto& f : kParamFields) {
            if (parameters.size() > 1) parameters += ',';
            parameters += json(QString::fromLatin1(f.key)) + ':' +
                          json(static_cast<int>(config.para.*f.member));
        }
        parameters += '}';
        QJsonArray columns;
        for (std::size_t w = 0; w < kTeachWordCount; ++w)
            columns.append(kTeachWords[w].key);
        QJsonArray rows;
        for (std::size_t row = 0; row < kTeachRows; ++row) {
            QJsonArray words;
            for (std::size_t w = 0; w < kTeachWordCount; ++w)
                words.append(TeachWordGet(config.teach[row], w));
            rows.append(words);
        }
        const QByteArray line =
            "{\"file\":" + json(JsonText(path)) + ",\"parameters\":" + parameters +
            ",\"teach_columns\":" + json(columns) + ",\"teach_vectors\":" + json(rows) + "}\n";
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), out_);
        FlushOutput();
        return;
    }
    std::string s;
    s += "# " + path + "\n[PARAMETER]\n";
    for (const auto& f : kParamFields) {
        s += std::string(f.key) + " = " + std::to_string(config.para.*f.member) + "\n";
    }
    s += "[TEACH VECTORS]\nROW";
    char cell[16];
    for (std::size_t w = 0; w < kTeachWordCount; ++w) {
        std::snprintf(cell, sizeof cell, " %7s", kTeachWords[w].key);
        s += cell;
    }
    s += "\n";
    for (std::size_t row = 0; row < kTeachRows; ++row) {
        std::snprintf(cell, sizeof cell, "%3zu", row);
        s += cell;
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            std::snprintf(cell, sizeof cell, " %7u",
                          static_cast<unsigned>(TeachWordGet(config.teach[row], w)));
            s += cell;
        }
        s += "\n";
    }
    std::fwrite(s.data(), 1, s.size(), out_);
    FlushOutput();
}

int CliApp::Defaults() {
    if (!CheckOutputFile(opt_.outputFile)) return kExitFile;
    Configuration defaults;
    LoadDefaultParaValues(defaults.para, defaults.teach, 1);
    return SaveParameterFile(opt_.outputFile, defaults);
}

int CliApp::Ports() {
    const auto ports = ports_.LocateCom();
    if (opt_.format == Format::Json) {
        QJsonArray list;
        for (const auto& p : ports)
            list.append(QJsonObject{{"com", p.number}, {"path", JsonText(p.path)}});
        PrintJson({{"ports", list}});
    } else {
        for (const auto& p : ports)
            std::fprintf(out_, "%d\t%s\n", p.number, p.path.c_str());
        FlushOutput();
    }
    if (ports.empty()) console_.Say("no serial ports found");
    return kExitOk;
}

void CliApp::PrintJson(const QJsonObject& result) {
    jsonPrinted_ = true;
    const QByteArray line = QJsonDocument(result).toJson(QJsonDocument::Compact) + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), out_);
    FlushOutput();
}

}  // namespace qelto::cli
