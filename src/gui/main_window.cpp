#include "main_window.hpp"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "app/program.hpp"

namespace qelto::gui {
namespace {

// The share of the window's width (in per cent) the left column takes while the editor is open.
constexpr int kEditorShare = 60;

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar_ = new QMenuBar(this);
    panel_ = new QWidget(this);
    layout->setMenuBar(menuBar_);
    layout->addWidget(panel_);
    main_.setupUi(panel_);
    dataPanel_ = new QWidget(panel_);
    data_.setupUi(dataPanel_);
    dataPanel_->setObjectName(QStringLiteral("DataPanel"));
    // The banner stays a strip across the top; everything below it grows with the window.
    main_.banner->lower();
    panel_->installEventFilter(this);
    // The editor has the width only while its page is in front.
    connect(main_.tabs, &QTabWidget::currentChanged, this, [this] { PlaceChildren(); });
    resize(kStandardWidth, kStandardHeight);
    PlaceChildren();
}

MainWindow::~MainWindow() = default;

void MainWindow::PlaceChildren() {
    const int w = panel_->width();
    const int h = panel_->height();
    main_.banner->setGeometry(0, 0, w, kDataPanelTop);
    // The editor needs width, and the operator still wants the live values, the colour number
    // and the graphs while editing: the left column widens and the data panel stays beside it,
    // narrower.
    int left = kDataPanelLeft;
    if (editorOpen_ && main_.tabs->currentIndex() == kParameterPage) {
        const int dataMinimum = dataPanel_->minimumSizeHint().width();
        left = std::max(kDataPanelLeft, std::min(w * kEditorShare / 100, w - dataMinimum));
    }
    dataPanel_->setGeometry(left, kDataPanelTop, w - left, h - kDataPanelTop);
    main_.leftColumn->setGeometry(0, kDataPanelTop, left, h - kDataPanelTop);
}

void MainWindow::SetEditorOpen(bool open) {
    if (open == editorOpen_) return;
    editorOpen_ = open;
    PlaceChildren();
}

void MainWindow::UpdateMinimumSize() {
    // The banner's texts sit at fixed places: the window is at least as wide as they reach.
    int bannerRight = 0;
    for (const QLabel* l : main_.banner->findChildren<QLabel*>()) {
        if (!l->isHidden()) bannerRight = std::max(bannerRight, l->geometry().right() + 1);
    }
    const QSize left = main_.leftColumn->minimumSizeHint();
    const QSize data = dataPanel_->minimumSizeHint();
    const int width = std::max({bannerRight + 8, kDataPanelLeft + data.width()});
    const int height =
        menuBar_->sizeHint().height() + kDataPanelTop + std::max(left.height(), data.height());
    setMinimumSize(width, height);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && event->type() == QEvent::Resize) PlaceChildren();
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing) {
        event->accept();
        return;
    }
    // The program decides: the close path stores the settings and ends the event loop.
    event->ignore();
    if (onClose) onClose();
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && onRightDoubleClick) {
        event->accept();
        onRightDoubleClick();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace qelto::gui
