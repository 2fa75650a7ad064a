// The controls of teaching with evidence, under the editor's teach rows: Teach from sensor on
// the selected row with its sample count, Check tolerances, and the cloud in the graphs.
#pragma once

#include <QWidget>

class QPushButton;
class QSpinBox;

namespace qelto::gui {

class EvidenceBar : public QWidget {
    Q_OBJECT
  public:
    explicit EvidenceBar(QWidget* parent);

    QPushButton* teachButton = nullptr;
    QSpinBox* samples = nullptr;
    QPushButton* checkButton = nullptr;
    QPushButton* cloudButton = nullptr;
};

}  // namespace qelto::gui
