#include "fleet_runner.hpp"

#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <algorithm>
#include <memory>

#include "platform/qt_link.hpp"
#include "sensor/sensor_session.hpp"

namespace qelto::cli {

void FleetRunner::Run(const Report& report) {
    QObject here;  // lives on the calling thread: what the workers post to
    QEventLoop loop;
    const std::size_t count =
        std::min(entries_.size(), static_cast<std::size_t>(std::max(jobs_, 1)));
    std::size_t running = count;
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::size_t t = 0; t < count; ++t) {
        threads.emplace_back(QThread::create([this, &here, &report] {
            while (!stop_) {
                const std::size_t i = next_++;
                if (i >= entries_.size()) break;
                FleetResult result;
                {
                    // A fresh session for every sensor: nothing of one carries over to the next.
                    QtLink link;
                    SensorSession session(link.loop, link.serial, link.tcp);
                    result = RunFleetJob(session, entries_[i], plan_);
                }
                QMetaObject::invokeMethod(
                    &here, [&report, result = std::move(result)] { report(result); },
                    Qt::QueuedConnection);
            }
        }));
        // Posted after the thread's last result, so that every result has been reported when
        // the last thread's end is heard.
        QObject::connect(threads.back().get(), &QThread::finished, &here, [&] {
            if (--running == 0) loop.quit();
        });
    }
    for (const auto& thread : threads)
        thread->start();
    if (running != 0) loop.exec();
    for (const auto& thread : threads)
        thread->wait();
    for (std::size_t i = std::min(next_.load(), entries_.size()); i < entries_.size(); ++i)
        report(SkippedFleetJob(entries_[i], "not started: the run was stopped"));
}

}  // namespace qelto::cli
