#include "main_window.hpp"

#include <QCloseEvent>
#include <QMouseEvent>

#include "app/program.hpp"

namespace qelto::gui {

MainWindow::MainWindow(QWidget* parent) : QWidget(parent) {
    main_.setupUi(this);
    dataPanel_ = new QWidget(this);
    data_.setupUi(dataPanel_);
    dataPanel_->setObjectName(QStringLiteral("DataPanel"));
    // The banner stays a strip across the top; everything below it grows with the window.
    main_.banner->lower();
    resize(kStandardWidth, kStandardHeight);
    PlaceChildren();
}

MainWindow::~MainWindow() = default;

void MainWindow::PlaceChildren() {
    const int w = width();
    const int h = height();
    main_.banner->setGeometry(0, 0, w, kDataPanelTop);
    main_.leftColumn->setGeometry(0, kDataPanelTop, wide_ ? w : kDataPanelLeft, h - kDataPanelTop);
    dataPanel_->setGeometry(kDataPanelLeft, kDataPanelTop, w - kDataPanelLeft, h - kDataPanelTop);
    dataPanel_->setVisible(!wide_);
}

void MainWindow::SetWideLeftColumn(bool wide) {
    if (wide == wide_) return;
    wide_ = wide;
    PlaceChildren();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    PlaceChildren();
    QWidget::resizeEvent(event);
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
