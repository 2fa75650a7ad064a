// The operator interface on a console. Controls keep what the core and the command line put
// into them; the status display, the InfoBox and every message box go to stderr; questions
// are answered as the command line says; the file dialog hands back the file named on the
// command line. Events and time come from the Qt event loop.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/memory_ui.hpp"
#include "app/operator_interface.hpp"

namespace qelto::cli {

// The seven live displays, in the order a sample line lists them.
struct LiveSample {
    double red = 0, green = 0, blue = 0, x = 0, y = 0, intensity = 0, colorNo = 0;
};

class ConsoleUi : public OperatorInterface {
  public:
    ConsoleUi(EventPump& pump, std::FILE* err);

    // --- How questions are answered and what the file dialog returns.
    // The answer to every ConfirmPopup until changed, and the hint printed after a "no".
    void AnswerQuestions(bool yes, std::string hintForNo = {});
    // The path FileSelectPopup returns: 1 when the file exists, 2 for a new name.
    void SetDialogPath(std::string path) { dialogPath_ = std::move(path); }
    // Popups are counted but not printed (a second pass over output already shown).
    void SetQuiet(bool quiet) { quiet_ = quiet; }

    // --- What happened.
    // Called once all seven live displays hold a new sample.
    std::function<void(const LiveSample&)> onSample;
    // Writes a line of the program's own to stderr ("qelto-cli: " first), after any
    // unfinished log line.
    void Say(std::string_view line);
    // Writes a line as it is, after any unfinished log line.
    void Log(std::string_view line);
    // What the last FileSelectPopup returned.
    int lastDialogResult() const { return lastDialogResult_; }

    // --- OperatorInterface
    void SetCtrlVal(Ctrl c, double value) override;
    void SetCtrlText(Ctrl c, std::string_view text) override;
    void AppendText(Ctrl c, std::string_view text) override;
    void ResetTextBox(Ctrl c, std::string_view text) override;
    double GetCtrlVal(Ctrl c) override { return rec(c).value; }
    std::string GetCtrlText(Ctrl c) override { return rec(c).text; }
    void SetDimmed(Ctrl, bool) override {}
    void SetVisible(Ctrl, bool) override {}
    void SetTooltip(Ctrl, std::string_view) override {}
    void SetPrecision(Ctrl c, int decimals) override { rec(c).precision = decimals; }
    void SetActiveTabPage(int page) override { activeTab_ = page; }
    int GetActiveTabPage() override { return activeTab_; }
    int ComboCount(Ctrl c) override;
    std::string ComboItem(Ctrl c, int index) override;
    void ComboInsert(Ctrl c, int index, std::string_view text) override;
    void ComboDelete(Ctrl c, int index) override;
    void SetTableCellVal(Ctrl, int, int, double) override {}
    void SetTableCellColor(Ctrl, int, int, std::uint32_t) override {}
    void SetActiveTableCell(Ctrl, int, int) override {}
    void DeleteGraphPlots(Ctrl) override {}
    void PlotArc(Ctrl, double, double, double, double, std::uint32_t) override {}
    void SetAxisRange(Ctrl, Axis, double, double) override {}
    void SetGraphCursor(Ctrl, double, double) override {}
    void SetStripChartPointsPerScreen(Ctrl, int) override {}
    void AppendStripChart(Ctrl, std::span<const double>, int) override {}
    WindowPlacement GetWindowPlacement() override { return window_; }
    void SetWindowZoom(int zoom) override { window_.zoom = zoom; }
    void SetWindowPos(int left, int top) override;
    void SetWindowSize(int width, int height) override;
    void CenterWindow() override {}
    void DisplayPanels() override {}
    void ShowInfoText(std::string_view, bool, int, int, int, std::uint32_t) override {}
    void SetBannerColor(std::uint32_t) override {}
    void DisplayLogo(int, int, std::string_view) override {}
    void MessagePopup(std::string_view title, std::string_view message) override;
    int ConfirmPopup(std::string_view title, std::string_view question) override;
    GenericPopupResult GenericMessagePopup(const GenericPopupRequest& popup) override;
    int FileSelectPopup(const FileDialogRequest& dialog, std::string& path) override;
    void SetWaitCursor(bool) override {}
    void SetProgress(int, int) override {}
    void ProcessSystemEvents() override { pump_.ProcessSystemEvents(); }
    void WaitForEvents(double deadline) override { pump_.WaitForEvents(deadline); }
    void WakeWait() override { pump_.WakeWait(); }
    double Timer() override { return pump_.Timer(); }
    void QuitUserInterface(int exitCode) override;
    bool QuitRequested() override { return quit_.has_value(); }

    // The decimals last set for a control (-1: never set).
    int precision(Ctrl c) const { return ctrls_[static_cast<std::size_t>(c)].precision; }

  private:
    struct Control {
        double value = 0;
        std::string text;
        int precision = -1;
        std::vector<std::string> items;
    };
    Control& rec(Ctrl c) { return ctrls_[static_cast<std::size_t>(c)]; }
    // Writes text to stderr as it comes, remembering whether a line is left open.
    void Write(std::string_view text);
    void EndOpenLine();
    void PrintBox(std::string_view title, std::string_view text);

    EventPump& pump_;
    std::FILE* err_;
    std::array<Control, kCtrlCount> ctrls_{};
    int activeTab_ = 0;
    WindowPlacement window_{};
    std::optional<int> quit_;

    bool answer_ = false;
    std::string hintForNo_;
    std::string dialogPath_;
    bool quiet_ = false;
    bool lineOpen_ = false;
    int lastDialogResult_ = kFileNoneSelected;

    LiveSample sample_;
    unsigned sampleFilled_ = 0;  // one bit per live display set since the last sample
};

}  // namespace qelto::cli
