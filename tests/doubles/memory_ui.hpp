// An operator interface that keeps every control's state in memory and answers popups from a
// script. Used by the tests and the benchmarks; events and time come from an EventPump when
// one is given (a real event loop), otherwise from a manual clock: a wait delivers what is
// pending at once, and only a wait that nothing wakes jumps the clock to its deadline.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/operator_interface.hpp"
#include "doubles/test_loop.hpp"

namespace qelto {

enum class PopupKind { Message, Confirm, Generic, FileSelect };

struct PopupRecord {
    PopupKind kind = PopupKind::Message;
    std::string title;
    std::string message;
    GenericPopupRequest generic;  // for Generic
    FileDialogRequest file;       // for FileSelect
    Default enter = Default::No;  // for Confirm: the answer Enter gives
};

// One scripted answer: the button (Generic), 1/0 (Confirm) or the FileSelect result, plus
// the typed text or chosen path.
struct PopupAnswer {
    static constexpr int kEnter = -1;  // a question answered with Enter
    int value = 0;
    std::string text;
    static PopupAnswer Enter() { return {kEnter, {}}; }
    static PopupAnswer Yes() { return {1, {}}; }
    static PopupAnswer No() { return {0, {}}; }
    static PopupAnswer Button(int b, std::string input = {}) { return {b, std::move(input)}; }
    static PopupAnswer File(int result, std::string path) { return {result, std::move(path)}; }
};

struct ArcRecord {
    double left, bottom, right, top;
    std::uint32_t rgb;
    ArcLine line = ArcLine::Solid;
};

struct GraphRecord {
    std::vector<ArcRecord> arcs;  // since the last DeleteGraphPlots
    int deletions = 0;
    std::pair<double, double> horizontal{0, 0};
    std::pair<double, double> vertical{0, 0};
    std::optional<std::pair<double, double>> cursor;
    int pointsPerScreen = 0;
    std::size_t stripValuesAppended = 0;
    std::vector<double> lastStripValues;
    int stripTraces = 0;
};

struct CtrlRecord {
    double value = 0;
    std::string text;
    bool dimmed = false;
    bool visible = true;
    std::string tooltip;
    std::uint32_t color = kCellPlain;
    int precision = -1;
    std::vector<std::string> items;  // combo list
};

// It is the tests' event loop as well (TestLoop), so that a test drives one object.
class MemoryUi : public OperatorInterface, public TestLoop {
  public:
    explicit MemoryUi(EventPump* pump = nullptr) : TestLoop(pump) {}

    // --- OperatorInterface
    void SetCtrlVal(Ctrl c, double value) override { rec(c).value = value; }
    void SetCtrlText(Ctrl c, std::string_view text) override { rec(c).text = text; }
    void AppendText(Ctrl c, std::string_view text) override { rec(c).text += text; }
    void ResetTextBox(Ctrl c, std::string_view text) override { rec(c).text = text; }
    double GetCtrlVal(Ctrl c) override { return rec(c).value; }
    std::string GetCtrlText(Ctrl c) override { return rec(c).text; }
    void SetDimmed(Ctrl c, bool dimmed) override { rec(c).dimmed = dimmed; }
    void SetVisible(Ctrl c, bool visible) override { rec(c).visible = visible; }
    void SetTooltip(Ctrl c, std::string_view text) override { rec(c).tooltip = text; }
    void SetCtrlColor(Ctrl c, std::uint32_t rgb) override { rec(c).color = rgb; }
    void SetPrecision(Ctrl c, int decimals) override { rec(c).precision = decimals; }
    void SetActiveTabPage(int page) override { activeTab_ = page; }
    int GetActiveTabPage() override { return activeTab_; }
    int ComboCount(Ctrl c) override { return static_cast<int>(rec(c).items.size()); }
    std::string ComboItem(Ctrl c, int index) override;
    void ComboInsert(Ctrl c, int index, std::string_view text) override;
    void ComboDelete(Ctrl c, int index) override;
    void SetTableCellVal(Ctrl c, int column, int row, double value) override;
    double GetTableCellVal(Ctrl c, int column, int row) override;
    void SetTableCellColor(Ctrl c, int column, int row, std::uint32_t rgb) override;
    void SetTableCellTooltip(Ctrl c, int column, int row, std::string_view text) override {
        cellTooltips_[{c, column, row}] = text;
    }
    void SetActiveTableCell(Ctrl c, int column, int row) override;
    std::pair<int, int> GetActiveTableCell(Ctrl c) override;
    void DeleteGraphPlots(Ctrl graph) override;
    void PlotArc(Ctrl graph, double left, double bottom, double right, double top,
                 std::uint32_t rgb, ArcLine line) override;
    void SetAxisRange(Ctrl graph, Axis axis, double min, double max) override;
    void SetGraphCursor(Ctrl graph, double x, double y) override;
    void SetStripChartPointsPerScreen(Ctrl chart, int points) override;
    void AppendStripChart(Ctrl chart, std::span<const double> values, int traces) override;
    WindowPlacement GetWindowPlacement() override { return window_; }
    void SetWindowZoom(int zoom) override { window_.zoom = zoom; }
    void SetWindowPos(int left, int top) override;
    void SetWindowSize(int width, int height) override;
    ScreenArea GetScreenArea(const WindowPlacement&) override { return screen; }
    void CenterWindow() override { ++centered_; }
    void DisplayPanels() override { displayed_ = true; }
    void ShowInfoText(std::string_view text, bool withTooltip, int left, int top, int pointSize,
                      std::uint32_t textRgb) override;
    void SetBannerColor(std::uint32_t rgb) override { bannerColor_ = rgb; }
    void DisplayLogo(int left, int top, std::string_view imageFileName) override;
    void MessagePopup(std::string_view title, std::string_view message) override;
    int ConfirmPopup(std::string_view title, std::string_view question, Default enter) override;
    GenericPopupResult GenericMessagePopup(const GenericPopupRequest& popup) override;
    int FileSelectPopup(const FileDialogRequest& dialog, std::string& path) override;
    void SetWaitCursor(bool busy) override { waitCursor_ = busy; }
    void SetProgress(int step, int maxSteps) override;
    void SetTimer(double seconds) override { timerSeconds = seconds; }
    void ShowStatusMessage(std::string_view text) override { statusMessages.emplace_back(text); }
    void ShowStatusFailure(std::string_view text) override {
        statusMessages.emplace_back(text);
        statusFailures.emplace_back(text);
    }
    void OpenFolder(std::string_view folder) override { openedFolders.emplace_back(folder); }
    void ShowLiveAge(LiveAge age) override { liveAge = age; }

    // --- Inspection and scripting
    CtrlRecord& rec(Ctrl c) { return ctrls_[static_cast<std::size_t>(c)]; }
    const CtrlRecord& ctrl(Ctrl c) const { return ctrls_[static_cast<std::size_t>(c)]; }
    GraphRecord& graph(Ctrl c) { return graphs_[c]; }
    // The teach table of the parameter page, or any other table.
    std::optional<double> cellValue(int column, int row) const {
        return cellValue(Ctrl::TeachTableCtrl, column, row);
    }
    std::optional<double> cellValue(Ctrl c, int column, int row) const;
    std::optional<std::uint32_t> cellColor(int column, int row) const {
        return cellColor(Ctrl::TeachTableCtrl, column, row);
    }
    std::optional<std::uint32_t> cellColor(Ctrl c, int column, int row) const;
    std::string cellTooltip(int column, int row) const {
        const auto it = cellTooltips_.find({Ctrl::TeachTableCtrl, column, row});
        return it == cellTooltips_.end() ? std::string() : it->second;
    }
    std::pair<int, int> activeCell() const {
        const auto it = activeCells_.find(Ctrl::TeachTableCtrl);
        return it == activeCells_.end() ? std::pair<int, int>{0, 0} : it->second;
    }
    // The operator types a value into a cell (the program hears of it as ValChanged).
    void EditCell(Ctrl table, int column, int row, double value);
    bool waitCursor() const { return waitCursor_; }
    const std::vector<std::pair<int, int>>& progressLog() const { return progress_; }
    int centered() const { return centered_; }
    bool displayed() const { return displayed_; }
    std::uint32_t bannerColor() const { return bannerColor_; }

    struct InfoTextRecord {
        std::string text;
        bool withTooltip;
        int left, top, pointSize;
        std::uint32_t textRgb;
    };
    std::vector<InfoTextRecord> infoTexts;
    struct LogoRecord {
        int left = 0, top = 0;
        std::string file;
    };
    std::optional<LogoRecord> logo;

    std::vector<PopupRecord> popups;          // every popup shown, in order
    std::vector<std::string> statusMessages;  // every passing status line, in order
    std::vector<std::string> statusFailures;  // those of them that stay until the next action
    std::vector<std::string> openedFolders;
    LiveAge liveAge = LiveAge::Kept;
    double timerSeconds = 0;          // the main window's timer as the program set it (0: stopped)
    std::deque<PopupAnswer> answers;  // consumed by Confirm, Generic and FileSelect
    // Called for a popup that needs an answer when none is scripted; the default answer
    // (no / CANCEL-like button 0 / no file) is used afterwards.
    std::function<void(const PopupRecord&)> onUnexpectedPopup;
    // The screen area windows are fitted onto.
    ScreenArea screen{0, 0, 1920, 1050};

  private:
    std::optional<PopupAnswer> nextAnswer(const PopupRecord& r);

    std::array<CtrlRecord, kCtrlCount> ctrls_{};
    std::map<Ctrl, GraphRecord> graphs_;
    std::map<std::tuple<Ctrl, int, int>, double> cells_;
    std::map<std::tuple<Ctrl, int, int>, std::uint32_t> cellColors_;
    std::map<std::tuple<Ctrl, int, int>, std::string> cellTooltips_;
    std::map<Ctrl, std::pair<int, int>> activeCells_;
    int activeTab_ = 0;
    WindowPlacement window_{};
    bool waitCursor_ = false;
    std::vector<std::pair<int, int>> progress_;
    int centered_ = 0;
    bool displayed_ = false;
    std::uint32_t bannerColor_ = 0;
};

}  // namespace qelto
