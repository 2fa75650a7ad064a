// Many sensors at once: each sensor of an inventory done by RunFleetJob on one of N threads,
// each thread with a session and Qt ports of its own (Qt's ports belong to the thread that made
// them), and the results handed back to the calling thread one by one as they finish. Never a
// process per sensor: a job is a few exchanges, and a thread waits for its sensor without
// costing a core.
#pragma once

#include <atomic>
#include <functional>
#include <vector>

#include "sensor/fleet.hpp"
#include "sensor/inventory.hpp"

namespace qelto::cli {

class FleetRunner {
  public:
    using Report = std::function<void(const FleetResult&)>;

    FleetRunner(const std::vector<InventoryEntry>& entries, const FleetPlan& plan, int jobs)
        : entries_(entries), plan_(plan), jobs_(jobs) {}

    // Does every sensor, at most `jobs` at a time, in the inventory's order. `report` runs on
    // the calling thread, whose event loop runs meanwhile, once for each sensor as it finishes,
    // so whatever it prints comes whole. Returns when every sensor is done.
    void Run(const Report& report);
    // From the calling thread's events (Ctrl-C): the sensors in progress finish, no other
    // starts; those are reported as skipped.
    void Stop() { stop_ = true; }

  private:
    const std::vector<InventoryEntry>& entries_;
    const FleetPlan& plan_;
    const int jobs_;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> next_{0};  // the next entry to start
};

}  // namespace qelto::cli
