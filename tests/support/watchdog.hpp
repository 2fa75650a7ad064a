// Every test runs against a budget: one that has not finished when it runs out hangs (a wait
// that nothing ends, a loop whose stop was missed), and the program ends at once naming it,
// instead of CTest's time limit ending it minutes later without a word. Header only, so that
// the unit tests (no Qt) use it as well as the others.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace qelto::testing {

class Watchdog : public ::testing::EmptyTestEventListener {
  public:
    explicit Watchdog(std::chrono::seconds budget) : budget_(budget), thread_([this] { Run(); }) {}
    ~Watchdog() override {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void OnTestStart(const ::testing::TestInfo& test) override {
        const std::lock_guard lock(mutex_);
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        deadline_ = std::chrono::steady_clock::now() + budget_;
        ++started_;
        running_ = true;
        changed_.notify_all();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        const std::lock_guard lock(mutex_);
        running_ = false;
        changed_.notify_all();
    }

  private:
    void Run() {
        std::unique_lock lock(mutex_);
        while (!done_) {
            if (!running_) {
                changed_.wait(lock);
                continue;
            }
            const long test = started_;
            const bool ended = changed_.wait_until(
                lock, deadline_, [&] { return done_ || !running_ || started_ != test; });
            if (ended) continue;
            std::fprintf(stderr,
                         "\n[ WATCHDOG ] %s has not finished within %lld s: it waits for "
                         "something that does not happen, or loops without end.\n",
                         name_.c_str(), static_cast<long long>(budget_.count()));
            std::fflush(stdout);
            std::fflush(stderr);
            std::_Exit(1);
        }
    }

    const std::chrono::seconds budget_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string name_;
    std::chrono::steady_clock::time_point deadline_;
    long started_ = 0;
    bool running_ = false;
    bool done_ = false;
    std::thread thread_;  // last: it starts once everything it reads is there
};

// Puts every test of the program under a watchdog (GoogleTest owns and ends it). The sanitizers'
// build runs everything a few times slower: there the budget is twice as long.
inline void WatchEveryTest(std::chrono::seconds budget) {
#if defined(__SANITIZE_ADDRESS__)
    budget *= 2;
#endif
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog(budget));
}

}  // namespace qelto::testing
