// The window's menu bar: File, View, Sensor, Help. Its entries are a table: an entry either
// stands for a control role, and then does exactly what clicking that control does (through the
// core's dispatcher, with the control's shortcut key), or for a command of the window itself
// (pages, pausing and exporting the graphs, the link monitor, the About box).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <span>

#include "app/operator_interface.hpp"
#include "app/settings.hpp"
#include "link_monitor_panel.hpp"

class QAction;
class QMenu;
class QPushButton;

namespace qelto::gui {

class QtUi;

enum class MenuName { File, View, Sensor, Help };

enum class WindowCommand {
    Control,          // what the control of `role` does when clicked
    Page,             // show tab page `page`, as the operator's tab click would
    ExportGraph,      // save the plot of `role` as an image
    PauseGraphs,      // freeze the drawing; the acquisition goes on
    ResetGraphViews,  // every graph back to its automatic view
    LinkMonitor,
    StandardSize,  // the right double-click on the window's background
    About,
    Quit,            // the close of the window
    OpenParameters,  // a parameter file into the window, whatever the memory selection
    OpenRecent,      // a submenu of the parameter files last opened or saved
    SaveParameters,  // the window's parameters into a file, whatever the memory selection
    RecordSampling   // a submenu: which samples a recording keeps
};

struct MenuEntry {
    MenuName menu;
    WindowCommand command;
    const char* title;  // with its mnemonic
    Ctrl role = Ctrl::Count_;
    int page = 0;
    const char* key =
        "";  // a shortcut of the menu's own; a role's key comes from the control table
    bool separatorBefore = false;
};

// Every entry, in menu order.
std::span<const MenuEntry> MenuEntries();

class WindowMenu : public QObject {
    Q_OBJECT
  public:
    explicit WindowMenu(QtUi& ui);
    ~WindowMenu() override;

    // The action that stands for a control role, or null.
    QAction* ActionFor(Ctrl role) const;
    QAction* ActionFor(WindowCommand command) const;
    QMenu* menu(MenuName name) const { return menus_[static_cast<std::size_t>(name)]; }
    // The link monitor's record (owned by the application); the panel shows it.
    void SetLinkMonitor(LinkMonitor* monitor) { monitor_ = monitor; }
    // The first lines of the link monitor's saved text (the link and the sensor in force).
    std::function<MonitorHeading()> monitorHeading;
    LinkMonitorPanel* monitorPanel() const { return panel_; }

    // The program's side of the file commands and of the recording's sampling.
    std::function<void(const std::string& path)> openParameters;  // "": ask for a file
    std::function<void()> saveParameters;
    std::function<std::vector<std::string>()> recentFiles;
    std::function<RecordSampling()> sampling;
    std::function<void(const RecordSampling&)> setSampling;
    QMenu* submenu(WindowCommand command) const;

    // The window's own commands, also for tests and screenshots.
    void ShowLinkMonitor();
    // Asks for a file name and saves the plot of `graph`.
    void ExportGraph(Ctrl graph);
    void ShowAbout();
    // The menus' titles and entries in the language in force.
    void Retranslate();

  private:
    void Build();
    void Run(const MenuEntry& entry);
    void FillRecent(QMenu* menu);
    void FillSampling(QMenu* menu);
    void ChooseSampling(RecordEvery every);
    void SyncWithControls();
    // The command button an entry stands for, or null.
    QPushButton* ButtonOf(const MenuEntry& entry) const;

    QtUi& ui_;
    std::array<QMenu*, 4> menus_{};
    std::vector<std::pair<const MenuEntry*, QAction*>> actions_;
    std::vector<std::pair<WindowCommand, QMenu*>> submenus_;
    LinkMonitor* monitor_ = nullptr;
    QPointer<LinkMonitorPanel> panel_;
    QString exportDirectory_;  // where the operator last exported a graph, this run
};

}  // namespace qelto::gui
