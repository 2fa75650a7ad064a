// The parameter editor's widgets on the parameter page: the switch into edit mode, a table of
// every parameter (grouped, with its file key and meaning), a table of the teach rows the
// sensor holds, and undo, redo and revert. The program fills and marks the cells; the window
// only lays them out, keeps typed values to numbers and hands edits on.
#pragma once

#include <QTableWidget>
#include <QWidget>
#include <vector>

class QGridLayout;
class QTabWidget;
class QPushButton;

namespace qelto::gui {

class EditorView : public QObject {
    Q_OBJECT
  public:
    // Adds the widgets to the parameter page's grid, the editor hidden.
    EditorView(QWidget* page, QGridLayout* grid);

    QPushButton* editButton = nullptr;
    QTabWidget* tables = nullptr;  // the two tables, one page each
    QTableWidget* parameters = nullptr;
    QTableWidget* teach = nullptr;
    QPushButton* undoButton = nullptr;
    QPushButton* redoButton = nullptr;
    QPushButton* revertButton = nullptr;

    // The table row that shows parameter k (grouped), and back.
    int RowOfParameter(int k) const { return rowOfParameter_[static_cast<std::size_t>(k)]; }
    int ParameterOfRow(int row) const;

  private:
    std::vector<int> rowOfParameter_;
};

}  // namespace qelto::gui
