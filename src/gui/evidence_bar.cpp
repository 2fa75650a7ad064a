#include "evidence_bar.hpp"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>

#include "app/teach_evidence.hpp"

namespace qelto::gui {

EvidenceBar::EvidenceBar(QWidget* parent) : QWidget(parent) {
    teachButton = new QPushButton(tr("Teach from sensor"), this);
    samples = new QSpinBox(this);
    samples->setRange(kTeachSamplesLeast, kTeachSamplesMost);
    samples->setValue(kTeachSamplesDefault);
    samples->setSuffix(tr(" samples"));
    samples->setAccelerated(true);
    checkButton = new QPushButton(tr("Chec&k tolerances\u2026"), this);
    cloudButton = new QPushButton(tr("Cloud"), this);
    cloudButton->setCheckable(true);
    cloudButton->setChecked(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(teachButton);
    row->addWidget(samples);
    row->addStretch(1);
    row->addWidget(checkButton);
    row->addWidget(cloudButton);
}

}  // namespace qelto::gui
