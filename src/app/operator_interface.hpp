// The operator interface: everything the program's logic asks of its window, addressed by
// control role. The Qt widgets, the console of qelto-cli and the in-memory recorder used by
// the tests each implement it; the logic never sees a toolkit.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/own_text.hpp"

namespace qelto {

// Every control the logic reads or writes, by role.
enum class Ctrl {
    // Connection page (tab page 0)
    ProtocolSelector,
    ComPortSelector,
    BaudRateSelector,
    ServerField,  // combo box: text plus a list of recent servers
    PortField,
    ConnectButton,
    DisconnectButton,
    PortListButton,
    AcceptButton,
    InfoBox,
    // Data panel
    RedDisplay,
    GreenDisplay,
    BlueDisplay,
    XDisplay,
    YDisplay,
    IntDisplay,
    ColorNoDisplay,
    GraphXY,
    GraphXInt,
    GraphYInt,
    RgbStripChart,
    StatusDisplay,
    ComPortDisplay,
    IpAddressDisplay,
    // Main panel
    TabControl,
    SendButton,
    GetButton,
    EepromButton,
    FileButton,
    AverageControl,
    LanguageSelector,
    GoButton,
    StopButton,
    FreqButton,
    ScanFreqDisplay,
    // Parameter page (tab page 1)
    PowerDisplay,
    MaxVecNoDisplay,
    GainDisplay,
    IntegralDisplay,
    TeachTableCtrl,
    StartAssistantButton,
    // Additions of this program: recording live data, comparing before writing, and the
    // status bar with the rate
    RecordButton,
    CompareButton,
    StatusBar,
    // The parameter editor on the parameter page: its switch, the parameters (one row each,
    // column 1 the value), the teach rows the sensor holds (row r + 1 is teach row r, columns
    // 1..8 its words), and undo, redo and revert
    EditModeButton,
    ParameterEditor,
    TeachEditor,
    UndoButton,
    RedoButton,
    RevertButton,
    // The link at a glance, in the data panel's status area
    LinkState,
    // Back to work after a lost link: a new attempt with the same settings (beside the link
    // line), and the switch for attempts every two seconds while the link is lost
    ReconnectButton,
    AutoReconnectButton,
    // Beside the status bar while a recording runs or has ended: its folder in the file manager
    OpenFolderButton,
    // Teaching with evidence, in the editor's teach rows: one row taught from measured
    // samples (with their count), the taught colours checked against a recording or the
    // live data kept; and the evidence cloud in the graphs, on or off
    TeachFromSensorButton,
    TeachSamplesControl,
    CheckTolerancesButton,
    EvidenceCloudButton,
    // Under the parameter page's teach rows: the rows whose spheres overlap, when any do
    OverlapNote,
    // The memory selector's third target: the sensor's RAM alone (beside EEPROM and FILE)
    RamButton,
    // On the link line while the sensor's RAM holds values its EEPROM may not: the reminder
    // that they are lost at power-off, and the one click that stores them
    RamReminder,
    StoreButton,
    Count_
};

inline constexpr int kCtrlCount = static_cast<int>(Ctrl::Count_);

// Tab pages of the main panel's tab control.
inline constexpr int kConnectionPage = 0;
inline constexpr int kParameterPage = 1;

// Events a control or panel callback receives.
// Timer: the main window's timer (SetTimer) has run out once more.
enum class Event {
    Commit,
    ValChanged,
    RightClick,
    RightDoubleClick,
    Close,
    ActiveTabChange,
    Timer
};

enum class Axis { Horizontal, Vertical };

// Window zoom states as stored in the panel settings.
inline constexpr int kZoomNormal = 0;
inline constexpr int kZoomMinimised = 1;
inline constexpr int kZoomMaximised = 2;

struct WindowPlacement {
    int zoom = kZoomNormal;
    int left = 0;
    int top = 0;
    int width = 790;
    int height = 548;
};

// Where a window's inside may lie on a screen: its available part (without the desktop's
// panels) less the window's frame, so that a window inside it has its title bar in reach.
struct ScreenArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A modal message with up to three labelled buttons and an optional one-line input.
struct GenericPopupRequest {
    std::string title;
    std::string message;
    std::array<std::string, 3> buttons;  // an empty label: no such button
    int enterButton = 1;                 // button (1..3) that Enter presses; 0: none
    int escapeButton = 0;                // button (1..3) that Escape presses; 0: none
    bool withInput = false;
    int maxInputLength = 0;  // characters the input accepts
};

struct GenericPopupResult {
    int button = 0;  // 1..3
    std::string input;
};

// A table to read and, with its accept button, to act upon: a check of the taught colours with
// a verdict marked on each row, and its proposals to apply.
struct TablePopupRequest {
    std::string title;
    std::string heading;  // above the table
    std::vector<std::string> columns;
    struct Row {
        std::vector<std::string> cells;
        std::uint32_t mark = 0xFFFFFFFF;  // the row's background; kCellPlain: the theme's
    };
    std::vector<Row> rows;
    std::string notes;         // below the table
    std::string acceptButton;  // beside Close; empty: Close only
};

struct FileDialogRequest {
    std::string startDirectory;
    std::string defaultFileName;
    std::string filter;  // "*.ini", or named with its pattern: "CSV files (*.csv)"
    std::string title;
    bool allFiles = true;       // "All files" is offered beside the filter
    std::string defaultSuffix;  // added to a name typed without one ("csv")
};

// The answer Enter gives to a yes/no question: the safe one wherever yes would write to the
// sensor or throw the operator's work away.
enum class Default { No, Yes };

// How current the live displays are: arriving (the window greys them when none came for a
// second), kept after acquisition ended, or older than the last failure (greyed).
enum class LiveAge { Arriving, Kept, Old };

// How a teach circle is drawn: solid for what has gone to the sensor or a file, dashed for a
// circle the working copy holds that has not gone anywhere yet.
enum class ArcLine { Solid, Dashed };

// A table cell's background that the window's theme chooses.
inline constexpr std::uint32_t kCellPlain = 0xFFFFFFFF;

// Results of FileSelectPopup.
inline constexpr int kFileNoneSelected = 0;
inline constexpr int kFileExisting = 1;
inline constexpr int kFileNew = 2;

class OperatorInterface {
  public:
    virtual ~OperatorInterface() = default;

    // Values. SetCtrlText replaces a control's text; AppendText adds to the end of a text
    // box (the InfoBox, the running log); ResetTextBox replaces a text box's whole text.
    virtual void SetCtrlVal(Ctrl c, double value) = 0;
    virtual void SetCtrlText(Ctrl c, std::string_view text) = 0;
    virtual void AppendText(Ctrl c, std::string_view text) = 0;
    virtual void ResetTextBox(Ctrl c, std::string_view text) = 0;
    virtual double GetCtrlVal(Ctrl c) = 0;
    virtual std::string GetCtrlText(Ctrl c) = 0;

    // Attributes.
    virtual void SetDimmed(Ctrl c, bool dimmed) = 0;
    virtual void SetVisible(Ctrl c, bool visible) = 0;
    virtual void SetTooltip(Ctrl c, std::string_view text) = 0;
    // A value display's background: rgb (its text dark or light to suit), or kCellPlain for
    // the theme's own.
    virtual void SetCtrlColor(Ctrl c, std::uint32_t rgb) = 0;
    virtual void SetPrecision(Ctrl c, int decimals) = 0;

    // Tab control of the main panel.
    virtual void SetActiveTabPage(int page) = 0;
    virtual int GetActiveTabPage() = 0;

    // The server field's list of recent entries.
    virtual int ComboCount(Ctrl c) = 0;
    virtual std::string ComboItem(Ctrl c, int index) = 0;
    virtual void ComboInsert(Ctrl c, int index, std::string_view text) = 0;
    virtual void ComboDelete(Ctrl c, int index) = 0;

    // Tables: columns and rows count from 1. A cell the operator edits reaches the program as
    // ValChanged of its table, with that cell active.
    virtual void SetTableCellVal(Ctrl c, int column, int row, double value) = 0;
    virtual double GetTableCellVal(Ctrl c, int column, int row) = 0;
    // rgb, or kCellPlain for the theme's own background.
    virtual void SetTableCellColor(Ctrl c, int column, int row, std::uint32_t rgb) = 0;
    // A cell's own tooltip; empty: none.
    virtual void SetTableCellTooltip(Ctrl c, int column, int row, std::string_view text) = 0;
    virtual void SetActiveTableCell(Ctrl c, int column, int row) = 0;
    // (column, row) of the active cell; (0, 0) when none.
    virtual std::pair<int, int> GetActiveTableCell(Ctrl c) = 0;

    // Graphs and the strip chart.
    virtual void DeleteGraphPlots(Ctrl graph) = 0;
    virtual void PlotArc(Ctrl graph, double left, double bottom, double right, double top,
                         std::uint32_t rgb, ArcLine line) = 0;
    // Points in one colour, in data coordinates: the evidence cloud beside the circles. They
    // stay until the next DeleteGraphPlots.
    virtual void PlotPoints(Ctrl graph, std::span<const double> horizontal,
                            std::span<const double> vertical, std::uint32_t rgb) = 0;
    virtual void SetAxisRange(Ctrl graph, Axis axis, double min, double max) = 0;
    virtual void SetGraphCursor(Ctrl graph, double x, double y) = 0;
    virtual void SetStripChartPointsPerScreen(Ctrl chart, int points) = 0;
    // Appends points to the strip chart: values interleaved over `traces` traces, one point
    // per trace for every `traces` values; the chart scrolls, keeping its points per screen.
    virtual void AppendStripChart(Ctrl chart, std::span<const double> values, int traces) = 0;

    // The main window.
    virtual WindowPlacement GetWindowPlacement() = 0;
    virtual void SetWindowZoom(int zoom) = 0;
    virtual void SetWindowPos(int left, int top) = 0;
    virtual void SetWindowSize(int width, int height) = 0;
    // The screen area of the screen `near` lies on (the main screen when it lies on none).
    virtual ScreenArea GetScreenArea(const WindowPlacement& near) = 0;
    // Centres the main window on its screen.
    virtual void CenterWindow() = 0;
    // Shows the main window with its data panel (once, at start-up).
    virtual void DisplayPanels() = 0;

    // The header area: one text line created on the main window at (left, top), white on a
    // transparent background, with kProgramTooltip as tooltip when withTooltip; the banner
    // colour; the logo picture, loaded from an image file the front end looks up by name
    // (no image when it is missing).
    virtual void ShowInfoText(std::string_view text, bool withTooltip, int left, int top,
                              int pointSize, std::uint32_t textRgb) = 0;
    virtual void SetBannerColor(std::uint32_t rgb) = 0;
    virtual void DisplayLogo(int left, int top, std::string_view imageFileName) = 0;

    // Modal popups.
    virtual void MessagePopup(std::string_view title, std::string_view message) = 0;
    // 1 yes, 0 no; Enter gives `enter`, Escape no.
    virtual int ConfirmPopup(std::string_view title, std::string_view question, Default enter) = 0;
    virtual GenericPopupResult GenericMessagePopup(const GenericPopupRequest& popup) = 0;
    // 1 when the accept button was pressed, 0 when the table was closed (Enter and Escape
    // close it).
    virtual int TablePopup(const TablePopupRequest& table) = 0;
    // Writes the chosen path into `path` when a file was chosen; leaves it otherwise.
    virtual int FileSelectPopup(const FileDialogRequest& dialog, std::string& path) = 0;
    virtual void SetWaitCursor(bool busy) = 0;

    // The main window's timer: Event::Timer reaches the window's callback every `seconds`
    // from the event loop; 0 stops it.
    virtual void SetTimer(double seconds) = 0;

    // Progress of a long operation; step < 0 clears it.
    virtual void SetProgress(int step, int maxSteps) = 0;
    // A line for the operator that passes by itself after a few seconds (an action done or
    // queued), shown where the eye goes without asking for a click.
    virtual void ShowStatusMessage(std::string_view text) = 0;
    // A line that says why something did not happen (a command that cannot run now, a value
    // refused): it stays until the operator's next action.
    virtual void ShowStatusFailure(std::string_view text) = 0;
    // One of the program's own texts (marked with Tr or TrN) in the operator's language, with
    // %n replaced by n when n >= 0. The window translates; a front end that does not shows the
    // English.
    virtual std::string Translate(const char* english, long n = -1) {
        return n < 0 ? std::string(english) : WithCount(english, n);
    }
    // Shows a folder in the desktop's file manager.
    virtual void OpenFolder(std::string_view folder) = 0;
    // How current the live displays (R, G, B, X, Y, INT, C-No) are.
    virtual void ShowLiveAge(LiveAge age) = 0;
};

}  // namespace qelto
