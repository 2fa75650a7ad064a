// The link monitor: a window of its own beside the main one (never kept above it) listing every
// request and reply the link traced, with its local time, command, argument, length and
// result; asked for, the bytes in hex, and below the list the selected line's frames with
// offsets and their ASCII. It follows the record a few times a second while it is open; it can
// pause, clear, filter by command or to the failures, show every live-data exchange and save
// what it shows as text, headed by the date, the link and the sensor.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "app/link_monitor.hpp"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
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
    // The frames of the selected line (or the newest), shown while Bytes is ticked.
    QPlainTextEdit* bytesView() const { return dump_; }
    void SetPaused(bool paused);
    void SetShowBytes(bool on);
    void SetFailuresOnly(bool on);
    // Looks at the record now (the panel also does so on its own timer).
    void Follow();
    // Writes what the panel shows as text; false with the reason in `error`, in the system's
    // words.
    bool SaveText(const QString& fileName, QString* error) const;
    // When it is saved, over which link and to which sensor: the text's first lines.
    std::function<MonitorHeading()> heading;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void AskAndSave();
    void UpdateStatus();
    void UpdateFilter();
    void ShowBytesOfCurrent();
    void PlaceBesideParent();

    LinkMonitor& monitor_;
    MonitorTableModel model_;
    QTimer timer_;
    QTableView* view_ = nullptr;
    QPushButton* pause_ = nullptr;
    QComboBox* filter_ = nullptr;
    QCheckBox* everyLiveData_ = nullptr;
    QCheckBox* bytes_ = nullptr;
    QCheckBox* failuresOnly_ = nullptr;
    QPlainTextEdit* dump_ = nullptr;
    QLabel* status_ = nullptr;
    QString saveFolder_;  // where the operator last saved the text, this run
    bool placed_ = false;
};

}  // namespace qelto::gui
