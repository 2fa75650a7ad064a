#include "cli_app.hpp"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/compare.hpp"
#include "app/connection.hpp"
#include "app/control_table.hpp"
#include "app/file_commands.hpp"
#include "app/live.hpp"
#include "app/live_record.hpp"
#include "app/main_panel.hpp"
#include "app/operation_state.hpp"
#include "app/panel_settings.hpp"
#include "app/program.hpp"
#include "app/transfer.hpp"
#include "files/parameter_file.hpp"
#include "files/paths.hpp"
#include "link/transaction.hpp"
#include "link/transport.hpp"
#include "protocol/records.hpp"

namespace qelto::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHintSendDefaults = "--send-defaults answers yes";
constexpr const char* kHintForce = "--force answers yes";

// The longest a printed sample waits in the output buffer.
constexpr int kFlushDelayMs = 20;

std::string Hex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!s.empty()) s += ' ';
        s += kDigits[b >> 4];
        s += kDigits[b & 0x0F];
    }
    return s;
}

// The length of the well-formed UTF-8 sequence that text starts with; 0 when it starts with
// none (a stray continuation byte, an overlong form, a surrogate, beyond U+10FFFF, cut short).
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t n = 0;
    unsigned char lo = 0x80;  // the range of the second byte
    unsigned char hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < n || byte(1) < lo || byte(1) > hi) return 0;
    for (std::size_t i = 2; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return n;
}

// A JSON string, always valid UTF-8: a byte that is not part of a well-formed UTF-8 character
// (a Linux file name is any bytes) becomes U+FFFD.
std::string JsonString(std::string_view text) {
    std::string s = "\"";
    while (!text.empty()) {
        const char c = text.front();
        const auto u = static_cast<unsigned char>(c);
        std::size_t n = 1;
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            s += buf;
        } else if ((n = Utf8SequenceLength(text)) == 0) {
            s += "\\ufffd";
            n = 1;
        } else {
            s += text.substr(0, n);
        }
        text.remove_prefix(n);
    }
    return s + "\"";
}

long Whole(double v) {
    return std::lround(v);
}

}  // namespace

CliApp::CliApp(CliOptions options, CliEnvironment env, std::FILE* out, std::FILE* err)
    : opt_(std::move(options)),
      env_(std::move(env)),
      out_(out),
      ui_(pump_, err),
      ctx_(ui_, serial_, tcp_, ports_) {
    ctx_.frameTrace = [this](TracedFrame kind, std::span<const std::uint8_t> frame) {
        TraceFrame(kind, frame);
    };
    SetStartupState(ctx_);
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(kFlushDelayMs);
    QObject::connect(&flushTimer_, &QTimer::timeout, [this] { FlushOutput(); });
}

CliApp::~CliApp() {
    Shutdown(ctx_);
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
    }
    FlushOutput();
    // A reader that stopped reading (`| head`) has had what it wanted; any other failure to
    // write the results must not pass for a success.
    if (outputErrno_ != 0 && outputErrno_ != EPIPE) {
        ui_.Say(std::string("standard output: ") + std::strerror(outputErrno_));
        if (rc == kExitOk) rc = kExitFile;
    }
    return rc;
}

bool CliApp::FlushOutput() {
    if (outputErrno_ == 0 && (std::fflush(out_) != 0 || std::ferror(out_) != 0)) {
        outputErrno_ = errno != 0 ? errno : EIO;
    }
    // Nobody reads the stream any more: end it after the sample in progress.
    if (outputErrno_ != 0 && streaming_) ctx_.state.DataTransferActive = 0;
    return outputErrno_ == 0;
}

void CliApp::Interrupt() {
    // The loop notices the cleared flag once the exchange in progress is done, so the sample
    // being read still arrives and is printed.
    if (streaming_) ctx_.state.DataTransferActive = 0;
}

void CliApp::TraceFrame(TracedFrame kind, std::span<const std::uint8_t> frame) {
    if (frame.size() >= kHeaderSize) {
        // The serial number is only shown, never kept: take it from the reply to command 15.
        // A reply taken for a request of command 7 means the firmware was read.
        if (kind == TracedFrame::Request) {
            lastRequest_ = frame[1];
        } else if (kind == TracedFrame::Reply && lastRequest_ == kCmdSensorName) {
            serialNumber_ = GetU16(frame.data() + 2);
        } else if (kind == TracedFrame::Reply && lastRequest_ == kCmdFirmware) {
            firmwareRead_ = true;
        }
    }
    if (!opt_.verbose) return;
    if (kind == TracedFrame::Request) {
        ui_.Log("> " + Hex(frame));
    } else if (kind == TracedFrame::Reply) {
        ui_.Log("< " + Hex(frame));
    } else {
        ui_.Log("< " + Hex(frame) + " (rejected)");
    }
}

// --- Connecting

void CliApp::FillConnectionPage() {
    auto& ui = ui_;
    if (opt_.link == LinkChoice::Tcp) {
        ui.SetCtrlVal(Ctrl::ProtocolSelector, kTcpIp);
        ui.SetCtrlVal(Ctrl::ComPortSelector, ctx_.conn.ComPort);
        ui.SetCtrlVal(Ctrl::BaudRateSelector, ctx_.conn.BaudRateIndex);
        ui.SetCtrlText(Ctrl::ServerField, opt_.tcpHost);
        ui.SetCtrlText(Ctrl::PortField, std::to_string(opt_.tcpPort));
    } else if (opt_.link == LinkChoice::Serial) {
        ui.SetCtrlVal(Ctrl::ProtocolSelector, kRs232);
        ui.SetCtrlVal(Ctrl::ComPortSelector, opt_.comPort);
        ui.SetCtrlVal(Ctrl::BaudRateSelector, opt_.baudRateIndex);
        ui.SetCtrlText(Ctrl::ServerField, "");
        ui.SetCtrlText(Ctrl::PortField, TextOf(ctx_.conn.PortNumber));
    } else {
        UseStoredSettings();
    }
}

void CliApp::UseStoredSettings() {
    InitSettingsPaths(ctx_, env_.programDirectory, env_.userConfigDirectory);
    LoadPanelSettings(ctx_);
    GetConnectionSettingsFromFile(ctx_);
    const std::string& path = ctx_.files.PanelSettingsPath;
    std::error_code ec;
    if (fs::exists(PathFromUtf8(path), ec)) {
        ui_.Say("no --tcp or --serial given: using the connection settings stored in " + path +
                ": " + DescribeLink());
    } else {
        ui_.Say("no --tcp or --serial given and no settings file " + path +
                ": using the default connection settings: " + DescribeLink());
    }
}

std::string CliApp::DescribeLink() const {
    const auto& c = ctx_.conn;
    if (c.Protocol == kRs232) {
        const std::string device = ComPortDevicePath(c.ComPort);
        return "RS-232 COM" + std::to_string(c.ComPort) +
               (device.empty() ? std::string() : " (" + device + ")") + " at " +
               std::to_string(BaudRateForIndex(c.BaudRateIndex)) + " baud";
    }
    return "TCP/IP " + std::string(TextOf(c.IpAddress)) + " port " +
           std::string(TextOf(c.PortNumber));
}

int CliApp::Connect() {
    if (opt_.ram) ctx_.state.TransferTarget = kTargetRamOnly;
    FillConnectionPage();
    ui_.AnswerQuestions(opt_.sendDefaults, opt_.command == Command::Diff
                                               ? "diff only reads from the sensor"
                                               : kHintSendDefaults);

    // As at start-up: every command locked for the attempt, unlocked only for a sensor that
    // was identified and read.
    if (FirstConnection(ctx_) == Outcome::Done) return kExitOk;
    if (firmwareRead_ && ctx_.ident.SensorModel == 0) {
        ui_.Say("the connected sensor is not supported");
        return kExitUnsupported;
    }
    ui_.Say("no connection to the sensor");
    return kExitFailure;
}

// --- Files

bool CliApp::CheckInputFile(const std::string& path) {
    const ReadProblem problem = CheckParameterFileReadable(path);
    if (problem.reason.empty()) return true;
    ui_.Say(path + ": " + problem.reason);
    return false;
}

bool CliApp::CheckOutputFile(const std::string& path) {
    std::error_code ec;
    const fs::path p = PathFromUtf8(path);
    if (fs::is_directory(p, ec)) {
        ui_.Say(path + ": is a directory");
        return false;
    }
    const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
    if (!fs::is_directory(dir, ec)) {
        ui_.Say(path + ": no such directory " + PathToUtf8(dir));
        return false;
    }
    return true;
}

int CliApp::LoadParameterFile(Context& target, const std::string& path) {
    ui_.SetDialogPath(path);
    ui_.AnswerQuestions(opt_.force, kHintForce);
    const Outcome loaded = ReadParaFromFile(target);
    if (ui_.lastDialogResult() != kFileExisting) {
        ui_.Say(path + ": no such file");
        return kExitFile;
    }
    if (loaded != Outcome::Done) {
        ui_.Say(path +
                ": not loaded (not a parameter file of this program version; --force "
                "loads it anyway)");
        return kExitFile;
    }
    return kExitOk;
}

int CliApp::SaveParameterFile(const std::string& path) {
    ui_.SetDialogPath(path);
    if (SendParaToFile(ctx_) != Outcome::Done) {
        ui_.Say(path + ": not written");
        return kExitFile;
    }
    ui_.Say("parameters saved to " + path);
    return kExitOk;
}

// --- Commands

int CliApp::Identify() {
    if (const int rc = Connect(); rc != kExitOk) return rc;
    const FirmwarePieces pieces = SplitFirmware(FirmwareText(ctx_));
    std::fprintf(out_, "firmware: %s\nfamily: %d\nname: %s\nserial: %u\n",
                 FirmwareLine(pieces).c_str(), static_cast<int>(ctx_.ident.SensorModel),
                 std::string(SensorNameText(ctx_)).c_str(), static_cast<unsigned>(serialNumber_));
    FlushOutput();
    return kExitOk;
}

int CliApp::Get() {
    if (!CheckOutputFile(opt_.outputFile)) return kExitFile;
    // The connection itself reads the parameters, through the EEPROM unless --ram.
    if (const int rc = Connect(); rc != kExitOk) return rc;
    return SaveParameterFile(opt_.outputFile);
}

int CliApp::Send() {
    if (!CheckInputFile(opt_.inputFile)) return kExitFile;
    {
        // Checked on a working copy of its own before the sensor is touched: a file that
        // would not load must not cost a connection, let alone a half-done transfer.
        Context check(ui_, serial_, tcp_, ports_);
        if (const int rc = LoadParameterFile(check, opt_.inputFile); rc != kExitOk) return rc;
    }
    if (const int rc = Connect(); rc != kExitOk) return rc;

    // Connecting read the sensor's parameters into the working copy; load the file over them
    // (its questions and reports were shown by the check). That also puts the file's Average
    // into the AVERAGE control, which the Send command reads.
    ui_.SetQuiet(true);
    const int loaded = LoadParameterFile(ctx_, opt_.inputFile);
    ui_.SetQuiet(false);
    if (loaded != kExitOk) return loaded;

    if (DispatchControlEvent(ctx_, Ctrl::SendButton, Event::Commit) != Outcome::Done) {
        ui_.Say("sending " + opt_.inputFile + " failed");
        return kExitFailure;
    }
    ui_.Say("sent " + opt_.inputFile +
            (ctx_.state.TransferTarget == kTargetEeprom ? " to the sensor and stored it in its "
                                                          "EEPROM"
                                                        : " to the sensor's RAM"));
    return kExitOk;
}

void CliApp::PrintSample(const LiveSample& s) {
    const double t = ui_.Timer() - streamStart_;
    char line[256];
    int n = 0;
    if (opt_.format == Format::Jsonl) {
        n = std::snprintf(line, sizeof line,
                          "{\"t\":%.6f,\"red\":%ld,\"green\":%ld,\"blue\":%ld,\"x\":%ld,\"y\":%ld,"
                          "\"int\":%ld,\"color_no\":%ld}\n",
                          t, Whole(s.red), Whole(s.green), Whole(s.blue), Whole(s.x), Whole(s.y),
                          Whole(s.intensity), Whole(s.colorNo));
    } else {
        // The same line as a recording from the window.
        const qelto::LiveSample row{Whole(s.red), Whole(s.green),     Whole(s.blue),   Whole(s.x),
                                    Whole(s.y),   Whole(s.intensity), Whole(s.colorNo)};
        n = static_cast<int>(FormatLiveCsvLine(line, t, row));
    }
    if (std::fwrite(line, 1, static_cast<std::size_t>(n), out_) != static_cast<std::size_t>(n)) {
        FlushOutput();
    }
    // Whoever follows the stream sees each line within a few milliseconds (the timer fires in
    // the wait for the next reply), without a write for every one of thousands per second.
    if (!flushTimer_.isActive()) flushTimer_.start();
    ++samples_;
    if (opt_.count && samples_ >= *opt_.count) ctx_.state.DataTransferActive = 0;
}

int CliApp::Live() {
    if (const int rc = Connect(); rc != kExitOk) return rc;
    if (opt_.format == Format::Csv) {
        std::fwrite(kLiveCsvHeader.data(), 1, kLiveCsvHeader.size(), out_);
        FlushOutput();
    }
    ui_.onSample = [this](const LiveSample& s) { PrintSample(s); };
    streamStart_ = ui_.Timer();
    streaming_ = true;
    Outcome ended = Outcome::Done;
    // Returns when the loop ends.
    if (FlushOutput()) ended = DispatchControlEvent(ctx_, Ctrl::GoButton, Event::Commit);
    flushTimer_.stop();
    FlushOutput();
    streaming_ = false;
    ui_.onSample = nullptr;
    if (ended == Outcome::Failed) {
        ui_.Say("live data ended by a failure after " + std::to_string(samples_) + " samples");
        return kExitFailure;
    }
    ui_.Say(std::to_string(samples_) + " samples" +
            (outputErrno_ != 0 ? " (the output was closed)" : ""));
    return kExitOk;
}

int CliApp::Freq() {
    if (const int rc = Connect(); rc != kExitOk) return rc;
    if (DispatchControlEvent(ctx_, Ctrl::FreqButton, Event::Commit) != Outcome::Done) {
        ui_.Say("no scan frequency");
        return kExitFailure;
    }
    const int decimals = std::max(0, ui_.precision(Ctrl::ScanFreqDisplay));
    std::fprintf(out_, "%.*f\n", decimals, ui_.GetCtrlVal(Ctrl::ScanFreqDisplay));
    FlushOutput();
    return kExitOk;
}

int CliApp::Diff() {
    const bool twoFiles = !opt_.secondFile.empty();
    if (!CheckInputFile(opt_.inputFile)) return kExitFile;
    if (twoFiles && !CheckInputFile(opt_.secondFile)) return kExitFile;
    // Both files are checked before the sensor is touched.
    const auto load = [this](const std::string& path, Configuration& into) {
        Context scratch(ui_, serial_, tcp_, ports_);
        const int rc = LoadParameterFile(scratch, path);
        into = {scratch.para, scratch.teach};
        return rc;
    };
    Configuration older;
    Configuration newer;
    if (const int rc = load(twoFiles ? opt_.secondFile : opt_.inputFile, newer); rc != kExitOk) {
        return rc;
    }
    std::size_t rows = kTeachRows;
    if (twoFiles) {
        if (const int rc = load(opt_.inputFile, older); rc != kExitOk) return rc;
    } else {
        // Read only: no default parameters, no EEPROM load, the sensor's RAM as it is.
        opt_.ram = true;
        opt_.sendDefaults = false;
        if (const int rc = Connect(); rc != kExitOk) return rc;
        older = {ctx_.para, ctx_.teach};
        rows = kSensorTeachRows;
    }
    const std::vector<Difference> diffs = CompareConfigurations(older, newer, rows);
    for (const Difference& d : diffs)
        std::fprintf(out_, "%s\n", DiffLine(d).c_str());
    FlushOutput();
    ui_.Say(diffs.empty() ? std::string("no differences")
                          : std::to_string(diffs.size()) +
                                (diffs.size() == 1 ? " difference" : " differences"));
    return diffs.empty() ? kExitOk : kExitDiffer;
}

int CliApp::Show() {
    if (!CheckInputFile(opt_.inputFile)) return kExitFile;
    if (const int rc = LoadParameterFile(ctx_, opt_.inputFile); rc != kExitOk) return rc;
    PrintParameterFile(opt_.inputFile);
    return kExitOk;
}

void CliApp::PrintParameterFile(const std::string& path) {
    std::string s;
    if (opt_.format == Format::Json) {
        s += "{\n  \"file\": " + JsonString(path) + ",\n  \"parameters\": {\n";
        for (std::size_t i = 0; i < kParamFields.size(); ++i) {
            s += "    " + JsonString(kParamFields[i].key) + ": " +
                 std::to_string(ctx_.para.*kParamFields[i].member) +
                 (i + 1 < kParamFields.size() ? ",\n" : "\n");
        }
        s += "  },\n  \"teach_columns\": [";
        for (std::size_t w = 0; w < kTeachWordCount; ++w) {
            s += (w ? ", " : "") + JsonString(kTeachWords[w].key);
        }
        s += "],\n  \"teach_vectors\": [\n";
        for (std::size_t row = 0; row < kTeachRows; ++row) {
            s += "    [";
            for (std::size_t w = 0; w < kTeachWordCount; ++w) {
                s += (w ? ", " : "") + std::to_string(TeachWordGet(ctx_.teach[row], w));
            }
            s += row + 1 < kTeachRows ? "],\n" : "]\n";
        }
        s += "  ]\n}\n";
    } else {
        s += "# " + path + "\n[PARAMETER]\n";
        for (const auto& f : kParamFields) {
            s += std::string(f.key) + " = " + std::to_string(ctx_.para.*f.member) + "\n";
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
                              static_cast<unsigned>(TeachWordGet(ctx_.teach[row], w)));
                s += cell;
            }
            s += "\n";
        }
    }
    std::fwrite(s.data(), 1, s.size(), out_);
    FlushOutput();
}

int CliApp::Defaults() {
    if (!CheckOutputFile(opt_.outputFile)) return kExitFile;
    LoadDefaultParaValues(ctx_.para, ctx_.teach, 1);
    return SaveParameterFile(opt_.outputFile);
}

int CliApp::Ports() {
    const auto ports = ctx_.portEnumerator.LocateCom();
    for (const auto& p : ports) {
        std::fprintf(out_, "%d\t%s\n", p.number, p.path.c_str());
    }
    FlushOutput();
    if (ports.empty()) ui_.Say("no serial ports found");
    return kExitOk;
}

}  // namespace qelto::cli
