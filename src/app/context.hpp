// The program's state: one object, created by main (and afresh by every test), holding the
// records that every operation reads and writes, and the ports to the outside world.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "app/live_record.hpp"
#include "app/operation_state.hpp"
#include "app/operator_interface.hpp"
#include "files/file_header.hpp"
#include "link/link_context.hpp"
#include "link/ports.hpp"
#include "link/transaction.hpp"
#include "link/transport.hpp"
#include "protocol/records.hpp"

namespace qelto {

// The tooltip of the title line in the header area.
inline constexpr const char* kProgramTooltip = "KORVANEX TAVRENO Qelto V1.1.1";

inline constexpr std::size_t kFirmwareStringSize = 72;
inline constexpr std::size_t kSensorNameSize = 256;
inline constexpr std::size_t kPathSize = 260;

struct SensorIdentity {
    std::array<char, kFirmwareStringSize + 1> FirmwareString{};  // one more for the terminator
    std::array<char, kSensorNameSize> SensorName{};
    std::int32_t SensorModel = 0;  // 0 unsupported, 1..3 the supported families
};

// Smallest and largest circle edge of the taught rows on each axis.
struct TeachExtent {
    std::int32_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0, MinInt = 0, MaxInt = 0;
};

struct FileSettings {
    std::string ParameterFilePath;  // at most 259 characters
    std::string ProgramDirectory;   // without a trailing separator
    std::string PanelSettingsPath;
    // Set when this run uses a connection of its own (the demo): the connection settings that
    // closing the window stores in place of the ones on the connection page.
    std::optional<ConnectionSettings> StoredConnection;
};

// The link's state is the base; the program implements what the link asks of it.
struct Context : LinkOwner, LinkContext {
    Context(OperatorInterface& ui_, SerialPort& serial_, TcpClient& tcp_, PortEnumerator& ports_)
        : LinkContext(ui_, *this, serial_, tcp_), ui(ui_), portEnumerator(ports_) {}

    OperatorInterface& ui;
    PortEnumerator& portEnumerator;

    OperationState state;
    SensorIdentity ident;

    ParameterSet para;
    TeachTable teach{};
    LiveData live;
    RgbHistory history{};
    TeachExtent extent;
    double ScanFrequency = 0.0;

    FileSettings files;

    LiveRecorder recorder;
    LiveStats liveStats;

    // LinkOwner
    void ReportLinkFailure(std::string_view message) override;
    void ShowLinkHint(std::string_view hint) override;
    void EndDataTransfer() override { state.DataTransferActive = 0; }
    void SetWaitCursor(bool busy) override { ui.SetWaitCursor(busy); }
};

}  // namespace qelto
