// A table to read and act upon (Check tolerances: a row per taught colour, its verdict marked,
// and the proposals to apply): the heading above, the notes below, the accept button beside
// Close. Enter and Escape close it: applying is a choice of its own.
#pragma once

#include <QDialog>

#include "app/operator_interface.hpp"

class QPushButton;
class QTableWidget;

namespace qelto::gui {

class TablePopup : public QDialog {
    Q_OBJECT
  public:
    TablePopup(const TablePopupRequest& request, QWidget* parent);
    QTableWidget* table() const { return table_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* closeButton() const { return close_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QTableWidget* table_ = nullptr;
    QPushButton* accept_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace qelto::gui
