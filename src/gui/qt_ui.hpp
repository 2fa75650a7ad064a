// The operator interface on Qt Widgets: one widget per control role, popups as modal dialogs,
// events and time from the Qt event loop. Every event a control produces goes, by role, to
// onControlEvent; the window's own events (close, right double-click) to onPanelEvent.
#pragma once

#include <QElapsedTimer>
#include <QKeySequence>
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/operator_interface.hpp"
#include "main_window.hpp"
#include "plots.hpp"
#include "popups.hpp"
#include "translations.hpp"
#include "window_loop.hpp"

class QShortcut;
class QTableWidgetItem;

namespace qelto {
class Editor;
class WorkingCopy;
}  // namespace qelto

namespace qelto::gui {

class EditorView;
class WindowMenu;

// The seven languages by their own names, in the order of the Language values 0..6.
inline constexpr std::array<const char*, 7> kLanguageNames{
    "Deutsch", "English", "Français", "Español", "Português", "Italiano", "Polski"};

// A locale's language as a Language value, when it is one of the seven. The C and POSIX
// locales (LANG=C) speak English by convention.
std::optional<std::int32_t> LanguageOfLocale(const QLocale& locale);

// The operator's documents folder; the home folder where there is none.
QString DocumentsFolder();
// Where one of the window's file dialogs starts: `last`, the folder the operator last saved
// that kind of file to, when the program may write there; otherwise the documents folder.
QString StartFolder(const QString& last);

class QtUi : public QObject, public OperatorInterface {
    Q_OBJECT
  public:
    explicit QtUi(WindowLoop& loop);
    ~QtUi() override;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    MainWindow& window() { return *window_; }
    RefreshScheduler& scheduler() { return scheduler_; }
    // The widget that stands for a control role (the tab bar for the tab control).
    QWidget* widget(Ctrl c) const;

    std::function<void(Ctrl, Event)> onControlEvent;
    std::function<void(Event)> onPanelEvent;
    // The key of a dimmed command button was pressed.
    std::function<void(Ctrl)> onUnavailable;

    // The editor's tables show the working copy with the editor's marks from now on.
    void AttachEditor(const Editor& editor, WorkingCopy& working);
    // A key that clicks a command button, as a click would (shown beside its menu entry).
    void SetShortcutKey(Ctrl button, const QKeySequence& key);
    // What the operator's click on the control does (a menu entry stands for it): a button is
    // clicked, any other control sends its trigger event.
    void Trigger(Ctrl c);
    // An event of the window itself (close, the right double-click on its background).
    void TriggerWindowEvent(Event e) { PanelEvent(e); }
    WindowMenu& menu() { return *menu_; }

    // The graphs: paused drawing (the data go on) and the operator's views.
    void SetGraphsPaused(bool paused);
    bool graphsPaused() const { return graphsPaused_; }
    void ResetGraphViews();
    // The colour graph or strip chart of a role, or null.
    ExplorablePlot* plot(Ctrl c) const;

    // --- OperatorInterface
    void SetCtrlVal(Ctrl c, double value) override;
    void SetCtrlText(Ctrl c, std::string_view text) override;
    void AppendText(Ctrl c, std::string_view text) override;
    void ResetTextBox(Ctrl c, std::string_view text) override;
    double GetCtrlVal(Ctrl c) override;
    std::string GetCtrlText(Ctrl c) override;
    void SetDimmed(Ctrl c, bool dimmed) override;
    void SetVisible(Ctrl c, bool visible) override;
    void SetTooltip(Ctrl c, std::string_view text) override;
    void SetCtrlColor(Ctrl c, std::uint32_t rgb) override;
    void SetPrecision(Ctrl c, int decimals) override;
    void SetActiveTabPage(int page) override;
    int GetActiveTabPage() override;
    int ComboCount(Ctrl c) override;
    std::string ComboItem(Ctrl c, int index) override;
    void ComboInsert(Ctrl c, int index, std::string_view text) override;
    void ComboDelete(Ctrl c, int index) override;
    void SetTableCellVal(Ctrl c, int column, int row, double value) override;
    double GetTableCellVal(Ctrl c, int column, int row) override;
    void SetTableCellColor(Ctrl c, int column, int row, std::uint32_t rgb) override;
    void SetTableCellTooltip(Ctrl c, int column, int row, std::string_view text) override;
    void SetActiveTableCell(Ctrl c, int column, int row) override;
    std::pair<int, int> GetActiveTableCell(Ctrl c) override;
    void DeleteGraphPlots(Ctrl graph) override;
    void PlotArc(Ctrl graph, double left, double bottom, double right, double top,
                 std::uint32_t rgb, ArcLine line) override;
    void PlotPoints(Ctrl graph, std::span<const double> horizontal,
                    std::span<const double> vertical, std::uint32_t rgb) override;
    void SetAxisRange(Ctrl graph, Axis axis, double min, double max) override;
    void SetGraphCursor(Ctrl graph, double x, double y) override;
    void SetStripChartPointsPerScreen(Ctrl chart, int points) override;
    void AppendStripChart(Ctrl chart, std::span<const double> values, int traces) override;
    WindowPlacement GetWindowPlacement() override;
    void SetWindowZoom(int zoom) override;
    void SetWindowPos(int left, int top) override;
    void SetWindowSize(int width, int height) override;
    ScreenArea GetScreenArea(const WindowPlacement& near) override;
    void CenterWindow() override;
    void DisplayPanels() override;
    void ShowInfoText(std::string_view text, bool withTooltip, int left, int top, int pointSize,
                      std::uint32_t textRgb) override;
    void SetBannerColor(std::uint32_t rgb) override;
    void DisplayLogo(int left, int top, std::string_view imageFileName) override;
    void MessagePopup(std::string_view title, std::string_view message) override;
    int ConfirmPopup(std::string_view title, std::string_view question, Default enter) override;
    GenericPopupResult GenericMessagePopup(const GenericPopupRequest& popup) override;
    int FileSelectPopup(const FileDialogRequest& dialog, std::string& path) override;
    int TablePopup(const TablePopupRequest& table) override;
    void SetWaitCursor(bool busy) override;
    void SetProgress(int step, int maxSteps) override;
    void SetTimer(double seconds) override;
    void ShowStatusMessage(std::string_view text) override;
    void ShowStatusFailure(std::string_view text) override;
    void OpenFolder(std::string_view folder) override;
    std::string Translate(const char* english, long n = -1) override;
    // Runs a command of the window's own that is no control's (a menu's), as a control's
    // callback runs.
    void RunCommand(const std::function<void()>& command);
    // Four times a second while live values should be arriving.
    std::function<void()> onLiveAgeTick;
    void ShowLiveAge(LiveAge age) override;
    // Whether the live displays are greyed (older than the last failure, or not refreshed
    // for a second while acquisition runs).
    bool liveValuesGreyed() const { return liveGrey_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Kind {
        Button,
        Toggle,
        Switch,
        Choice,
        Spin,
        Server,
        Port,  // an editable list of the serial ports found; its value is the number typed
        Line,
        Text,
        Number,
        TextBox,
        Graph,
        Strip,
        Tab,
        Table
    };
    struct Entry {
        Kind kind = Kind::Text;
        QPointer<QWidget> widget;
        QPointer<QWidget> label;  // shown and hidden with the control
        double value = 0;         // numeric displays: the value the core set
        int precision = 0;
    };

    void Register(Ctrl c, Kind kind, QWidget* w, QWidget* label, const char* accessibleName);
    // The window's own texts in the language in force: at the start and after every change of
    // the language selector (which installs its translation first).
    void Retranslate();
    void StyleMemoryButtons();
    void Wire();
    void Forward(Ctrl c, Event e);
    void PanelEvent(Event e);
    // The window's close: under a popup it waits until the popups are gone, then the close
    // path runs once.
    void RequestClose();
    void CloseIfRequested();
    void RefreshDisplays();
    Entry& entry(Ctrl c) { return entries_[static_cast<std::size_t>(c)]; }
    const Entry& entry(Ctrl c) const { return entries_[static_cast<std::size_t>(c)]; }
    ColourGraph* colourGraph(Ctrl c) const;
    // The item of a table cell as the program counts it (from 1), or null.
    QTableWidgetItem* Cell(Ctrl c, int column, int row) const;
    QString NumberText(const Entry& e) const;
    // A value typed into an editor cell, while the program takes it.
    struct Typed {
        Ctrl table;
        int column, row;
        double value;
    };
    std::optional<Typed> typed_;

    WindowLoop& loop_;
    Translations translations_;
    RefreshScheduler scheduler_;
    std::unique_ptr<MainWindow> window_;
    EditorView* editor_ = nullptr;
    PopupGuard popups_{*window_};
    bool closeRequested_ = false;  // during a popup, to be carried out after it
    bool closed_ = false;          // the close path has run
    std::array<Entry, kCtrlCount> entries_{};
    std::array<char, kCtrlCount> displayDirty_{};
    int displaysId_ = -1;
    bool waitCursor_ = false;
    std::optional<int> pendingZoom_;
    QString lastServerText_;
    QString lastPortText_;
    // The status bar: a message (passing, or a failure that stays until the operator acts
    // again) in front of the figures the program keeps there, cut to one line.
    void ShowStatusLine(const QString& text, bool failure);
    void OperatorActs();
    QString StatusBarText() const;
    void ShowStatusBar();
    QTimer* statusFade_ = nullptr;
    QString statusMessage_;
    bool statusFailure_ = false;
    QString statusFigures_;
    QString statusTooltip_;
    QTimer* programTimer_ = nullptr;  // the program's timer (SetTimer)
    bool LiveValuesOld() const;
    void GreyLiveValues(bool grey);
    LiveAge liveAge_ = LiveAge::Kept;
    QElapsedTimer lastArrival_;
    QTimer* liveAgeTimer_ = nullptr;
    bool liveGrey_ = false;
    std::unique_ptr<WindowMenu> menu_;
    bool graphsPaused_ = false;
    // The button that had the keyboard when the program dimmed it; it gets it back.
    QPointer<QWidget> parkedFocus_;
};

}  // namespace qelto::gui
