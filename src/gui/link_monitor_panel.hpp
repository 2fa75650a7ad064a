// The link monitor: a window beside the main one listing every request and reply the link
// traced, with its local time, command, argument, length and result, the bytes in hex when
// asked for. It follows the record a few times a second while it is open; it can pause, clear,
// filter by command, show every live-data exchange and save what it shows as text.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <vector>

#include "app/link_monitor.hpp"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace qelto::gui {

// The rows the panel shows: its own copy of the record (so that a paused view stays as it is
// while the record moves on), filtered.
class MonitorTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Time, Direction, Command, Argument, Length, Result, Bytes, ColumnCount };

    explicit MonitorTableModel(QObject* parent = nullptr);
    // Takes what the record gained since the last look; true when rows changed.
    bool Follow(const LinkMonitor& monitor);
    void Clear();
    void SetFilter(const MonitorFilter& filter);
    const MonitorFilter& filter() const { return filter_; }
    const std::deque<MonitorEntry>& entries() const { return copy_; }
    const MonitorEntry& entryAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    void Rebuild();
    std::deque<MonitorEntry> copy_;
    std::vector<std::uint64_t> rows_;  // numbers of the entries the filter lets through
    MonitorFilter filter_;
    std::uint64_t seenRevision_ = ~std::uint64_t{0};
};

class LinkMonitorPanel : public QDialog {
    Q_OBJECT
  public:
    LinkMonitorPanel(LinkMonitor& monitor, QWidget* parent);

    MonitorTableModel& model() { return model_; }
    QTableView* view() const { return view_; }
    void SetPaused(bool paused);
    // Looks at the record now (the panel also does so on its own timer).
    void Follow();
    // Writes what the panel shows as text; false with the reason in `error`.
    bool SaveText(const QString& fileName, QString* error) const;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void AskAndSave();
    void UpdateStatus();

    LinkMonitor& monitor_;
    MonitorTableModel model_;
    QTimer timer_;
    QTableView* view_ = nullptr;
    QPushButton* pause_ = nullptr;
    QComboBox* filter_ = nullptr;
    QCheckBox* everyLiveData_ = nullptr;
    QCheckBox* bytes_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace qelto::gui
