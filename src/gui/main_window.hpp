// The main window: a menu bar over the MainPanel form, which holds the DataPanel form as a child
// at its fixed place. It holds no logic; it reports the window's own events (close, a right
// double-click on its background) to whoever listens.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "ui_data_panel.h"
#include "ui_main_panel.h"

class QMenuBar;

namespace qelto::gui {

class MainWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Ui::MainPanel& main() { return main_; }
    Ui::DataPanel& data() { return data_; }
    QWidget* dataPanel() const { return dataPanel_; }
    // The MainPanel: everything below the menu bar, the banner at its top.
    QWidget* panel() const { return panel_; }
    QMenuBar* menuBar() const { return menuBar_; }
    // Takes the smallest size at which no control is cut; call when texts or fonts changed.
    void UpdateMinimumSize();

    // The parameter editor is open: while its page is in front, the left column takes more
    // than half the width and the data panel stays beside it.
    void SetEditorOpen(bool open);
    // Lays the panels out anew (after the program switched the page).
    void Relayout() { PlaceChildren(); }

    std::function<void()> onClose;
    std::function<void()> onRightDoubleClick;
    // While set, a close request is let through (the program is shutting down).
    bool closing = false;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PlaceChildren();
    Ui::MainPanel main_;
    Ui::DataPanel data_;
    QMenuBar* menuBar_ = nullptr;
    QWidget* panel_ = nullptr;
    QWidget* dataPanel_ = nullptr;
    bool editorOpen_ = false;
};

}  // namespace qelto::gui
