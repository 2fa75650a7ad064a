// The parameter editor's widgets on the parameter page: the switch into edit mode, a table of
// every parameter (grouped, with its file key and meaning), a table of the teach rows the
// sensor holds, and undo, redo and revert. The tables are views of the program's working copy
// (item models that ask the editor what each cell shows); they hold no value of their own.
// What the operator types goes to onEdit.
#pragma once

#include <QTableView>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/operator_interface.hpp"

class QGridLayout;
class QTabWidget;
class QPushButton;

namespace qelto {
class Editor;
class WorkingCopy;
}  // namespace qelto

namespace qelto::gui {

class EditorModel;
class EvidenceBar;

class EditorView : public QObject {
    Q_OBJECT
  public:
    // Adds the widgets to the parameter page's grid, the editor hidden.
    EditorView(QWidget* page, QGridLayout* grid);
    ~EditorView() override;

    // The tables show the working copy from now on, with the editor's marks.
    void Attach(const Editor& editor, WorkingCopy& working);
    // The buttons, the pages and the headers in the language in force.
    void Retranslate();

    QPushButton* editButton = nullptr;
    QTabWidget* tables = nullptr;  // the two tables, one page each
    QTableView* parameters = nullptr;
    QTableView* teach = nullptr;
    QPushButton* undoButton = nullptr;
    QPushButton* redoButton = nullptr;
    QPushButton* revertButton = nullptr;
    // Under the teach rows: Teach from sensor, Check tolerances, the cloud.
    EvidenceBar* evidence = nullptr;

    // The table row that shows parameter k (grouped), and back.
    int RowOfParameter(int k) const { return rowOfParameter_[static_cast<std::size_t>(k)]; }
    int ParameterOfRow(int row) const;

    // A value typed into a cell, as the program counts cells (ParameterEditor: column 1, row
    // k + 1 for parameter k; TeachEditor: column w + 1, row r + 1). Not a number: NaN.
    std::function<void(Ctrl table, int column, int row, double value)> onEdit;

  private:
    std::vector<int> rowOfParameter_;
    EditorModel* parameterModel_ = nullptr;
    EditorModel* teachModel_ = nullptr;
};

}  // namespace qelto::gui
