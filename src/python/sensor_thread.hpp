// The thread a Python Sensor's link lives on. Qt's device ports belong to the thread that made
// them and Python may call from any thread, so each sensor has a thread of its own whose event
// loop owns the session and the ports; callers hand it work and wait. Nothing here knows
// Python: a wait asks a callback, slice by slice, whether to give up (Ctrl-C).
#pragma once

#include <QThread>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "files/live_csv.hpp"
#include "sensor/link_supervisor.hpp"
#include "sensor/sensor_error.hpp"
#include "sensor/sensor_session.hpp"

class QEventLoop;
class QObject;

namespace qelto::python {

// One live sample as a script sees it, with when it came: seconds since the stream began (a
// monotonic clock) and the clock on the wall.
struct SampleValues {
    double t = 0;
    WallClock clock;
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t intensity = 0;
    std::int16_t colorNo = 0;
};

// Asked between two slices of a wait, without the lock held: true gives the wait up.
using Interrupted = std::function<bool()>;

enum class Handed {
    Done,         // the work was handed over (and, for a call, has run)
    Busy,         // another call is waiting for the sensor; nothing was handed over
    Closed,       // the sensor has been closed
    Interrupted,  // the caller gave up waiting; a call handed over runs to its end regardless
};

enum class Taken {
    Samples,      // some samples (at least one)
    End,          // the stream has ended: its count was reached, or it was stopped
    Failed,       // the stream has ended with a failure, and every sample before it was taken
    Interrupted,  // the caller gave up waiting
};

// Makes Qt's application object when the process has none (a script has no Qt application),
// once; it lives until the process ends. Leaves the C locale as it was: a Python process
// keeps its own number formats.
void EnsureQtApplication();

class SensorThread {
  public:
    using Task = std::function<void(SensorSession&)>;

    // Starts the thread and waits until it has made the session and its ports. A Qt
    // application object must exist. `reconnect`: after a lost link, a stream waits for the
    // link supervisor's quiet attempts and goes on with the sensor that was connected (its t
    // jumps by the gap, said in one line on stderr); a call first makes one attempt.
    explicit SensorThread(bool reconnect = false);
    // Close(), then the thread ends.
    ~SensorThread();
    SensorThread(const SensorThread&) = delete;
    SensorThread& operator=(const SensorThread&) = delete;

    // Runs `task` on the thread and waits until it has run. Tasks run one at a time; while a
    // stream runs, a call runs between two of its samples. A call that a caller gave up on
    // finishes before the next one starts (each exchange ends within the link's time limits).
    Handed Call(Task task, const Interrupted& interrupted);

    // Starts taking live samples, `count` of them or until stopped. Busy while a call waits or
    // another stream runs; a stream that is being stopped is waited for.
    Handed StartStream(std::optional<std::uint64_t> count, std::uint64_t& id,
                       const Interrupted& interrupted);
    // Moves the samples taken so far into `out` (which must be empty), waiting until there
    // are some or the stream has ended. `error` is the failure that ended it.
    Taken TakeSamples(std::uint64_t id, std::vector<SampleValues>& out,
                      std::optional<SensorError>& error, const Interrupted& interrupted);
    // The stream ends after the sample in progress; nothing else is sent for it.
    void StopStream(std::uint64_t id);
    // Waits until stream `id` has ended, at most `limit`, or until `interrupted`. True when it
    // has ended.
    bool AwaitStreamEnd(std::uint64_t id, std::chrono::milliseconds limit,
                        const Interrupted& interrupted = {});

    // Ends a stream after its sample in progress, waits for the call in progress, closes the
    // link on its own thread and ends the thread. Afterwards every call is Closed.
    void Close();

  private:
    struct Stream {
        std::uint64_t id = 0;
        std::optional<std::uint64_t> count;
        bool wanted = false;   // handed over, not yet begun
        bool running = false;  // taking samples
        bool stop = false;
        bool consumerWaiting = false;
        std::vector<SampleValues> samples;  // taken, not yet moved out
        std::optional<SensorError> error;
        bool ended() const { return !wanted && !running; }
    };

    void Run();
    // Queues Serve() on the thread.
    void Post();
    // On the thread: runs what was handed over until nothing is left.
    void Serve();
    // On the thread: runs the call handed over, if there is one. False when there was none.
    bool ServeCall();
    void RunStream();
    // On the thread, in a stream whose link was lost: the attempts until the sensor that was
    // connected is back (nullopt) or the stream is stopped or another sensor answers (why).
    std::optional<SensorError> AwaitSensorBack(const SensorError& cause, double t);
    // Waits on changed_ until `done`, asking `interrupted` every slice. False when interrupted.
    bool WaitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done,
                   const Interrupted& interrupted);

    std::mutex mutex_;
    std::condition_variable changed_;
    // Guarded by mutex_.
    bool ready_ = false;
    bool closing_ = false;
    bool closed_ = false;
    Task call_;                       // handed over, not yet taken
    std::uint64_t callsHanded_ = 0;   // calls handed over so far
    std::uint64_t callsDone_ = 0;     // calls that have run
    bool abandoned_ = false;          // the caller of the latest call gave up waiting
    std::uint64_t lastStreamId_ = 0;  // streams started so far
    Stream stream_;

    // The thread's own; set before ready_, gone after it ends.
    SensorSession* session_ = nullptr;
    LinkSupervisor* supervisor_ = nullptr;
    EventLoop* events_ = nullptr;
    const bool reconnect_;
    QObject* context_ = nullptr;
    QEventLoop* loop_ = nullptr;
    bool serving_ = false;  // only touched on the thread

    std::unique_ptr<QThread> thread_;
};

}  // namespace qelto::python
