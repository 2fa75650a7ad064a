#include "sensor_thread.hpp"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>

#include "platform/qt_link.hpp"
#include "sensor/sensor_texts.hpp"

namespace qelto::python {
namespace {

// The attempts after a lost link read nothing: the script asks for what it needs.
ConnectOptions Quietly() {
    ConnectOptions options;
    options.readConfiguration = false;
    return options;
}

using namespace std::chrono_literals;

// How often a wait asks whether its caller gives up: Ctrl-C is seen within this.
constexpr auto kSlice = 20ms;
// A waiting reader is woken once this many samples are there (or at its next slice), not for
// every sample: a wake-up costs more than a sample.
constexpr std::size_t kWakeBatch = 64;
// The most samples taken ahead of a reader that does not keep up; then the stream waits, so
// that a slow loop neither fills the memory nor falls further behind the sensor.
constexpr std::size_t kMaxAhead = 1000;

SampleValues ValuesOf(const LiveData& d, double t, WallClock clock) {
    return {t, clock, d.Red(), d.Green(), d.Blue(), d.X(), d.Y(), d.Int(), d.ColorNo()};
}

}  // namespace

void EnsureQtApplication() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (QCoreApplication::instance() != nullptr) return;
        // Qt keeps argc and argv for the application's lifetime.
        static int argc = 1;
        static char name[] = "qelto";
        static char* argv[] = {name, nullptr};
        // QCoreApplication sets every locale category from the environment; Python expects
        // the numbers of the C locale.
        const std::string locale = std::setlocale(LC_ALL, nullptr);
        // Never deleted: Qt's threads and ports may still need it while the process ends.
        new QCoreApplication(argc, argv);
        std::setlocale(LC_ALL, locale.c_str());
    });
}

SensorThread::SensorThread(bool reconnect)
    : reconnect_(reconnect), thread_(QThread::create([this] { Run(); })) {
    thread_->start();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return ready_; });
}

SensorThread::~SensorThread() {
    Close();
}

void SensorThread::Run() {
    // Made here, so that the ports, their sockets and the pump's timer belong to this thread.
    QtLink link;
    SensorSession session(link.loop, link.serial, link.tcp);
    LinkSupervisor supervisor(session, link.loop);
    QObject context;
    QEventLoop loop;
    {
        std::lock_guard lock(mutex_);
        session_ = &session;
        supervisor_ = &supervisor;
        events_ = &link.loop;
        context_ = &context;
        loop_ = &loop;
        ready_ = true;
    }
    changed_.notify_all();
    // Between calls the loop runs, so that the link hears of a server that ends the
    // conversation when it happens.
    loop.exec();
    if (session.tcpConnected()) session.CloseTcp();
    session.CloseSerialPort(session.settings().ComPort);
    std::lock_guard lock(mutex_);
    session_ = nullptr;
    supervisor_ = nullptr;
    events_ = nullptr;
    context_ = nullptr;
    loop_ = nullptr;
}

void SensorThread::Post() {
    QMetaObject::invokeMethod(
        context_, [this] { Serve(); }, Qt::QueuedConnection);
}

void SensorThread::Serve() {
    // A wait for a reply delivers events, this one among them: whatever runs now picks up
    // what was handed over once it is done (a stream between two samples).
    if (serving_) return;
    serving_ = true;
    for (;;) {
        if (ServeCall()) continue;
        std::unique_lock lock(mutex_);
        if (!stream_.wanted) break;
        lock.unlock();
        RunStream();
    }
    serving_ = false;
}

bool SensorThread::ServeCall() {
    Task task;
    {
        std::lock_guard lock(mutex_);
        if (!call_) return false;
        task = std::move(call_);
        call_ = nullptr;
    }
    // A link lost meanwhile gets one quiet attempt; the call then says how it went.
    if (reconnect_ && supervisor_->phase() == LinkPhase::Lost) supervisor_->TryAgain(Quietly());
    task(*session_);
    {
        std::lock_guard lock(mutex_);
        ++callsDone_;
        abandoned_ = false;
    }
    changed_.notify_all();
    return true;
}

void SensorThread::RunStream() {
    std::optional<std::uint64_t> count;
    {
        std::lock_guard lock(mutex_);
        stream_.wanted = false;
        stream_.running = true;
        count = stream_.count;
    }
    std::uint64_t taken = 0;
    // Times as the live CSV has them: from the start of the stream, and on the wall.
    const auto start = std::chrono::steady_clock::now();
    WallClockSource wallClock;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] {
                return stream_.samples.size() < kMaxAhead || stream_.stop || call_;
            });
            if (stream_.stop || (count && taken >= *count)) break;
        }
        // A call made while the stream runs goes between two samples.
        if (ServeCall()) continue;
        const auto sample = session_->ReadLiveSample();
        const std::chrono::duration<double> t = std::chrono::steady_clock::now() - start;
        const WallClock clock = wallClock.Now();
        if (!sample && reconnect_ && supervisor_->phase() == LinkPhase::Lost) {
            const std::optional<SensorError> why = AwaitSensorBack(sample.error(), t.count());
            std::lock_guard lock(mutex_);
            if (!why) continue;
            if (why->kind != SensorFault::Quit) stream_.error = why;
            break;
        }
        std::lock_guard lock(mutex_);
        if (!sample) {
            stream_.error = sample.error();
            break;
        }
        stream_.samples.push_back(ValuesOf(*sample, t.count(), clock));
        ++taken;
        if (stream_.consumerWaiting && stream_.samples.size() >= kWakeBatch) {
            changed_.notify_all();
        }
    }
    {
        std::lock_guard lock(mutex_);
        stream_.running = false;
    }
    changed_.notify_all();
}

std::optional<SensorError> SensorThread::AwaitSensorBack(const SensorError& cause, double t) {
    for (;;) {
        const double due = supervisor_->nextAttemptAt();
        while (events_->Timer() < due) {
            {
                std::lock_guard lock(mutex_);
                if (stream_.stop || closing_) return SensorError{SensorFault::Quit, {}, {}, {}};
            }
            // A tenth of a second at a time, so that a stop is not kept waiting.
            events_->WaitForEvents(std::min(due, events_->Timer() + 0.1));
        }
        switch (supervisor_->TryAgain(Quietly())) {
            case LinkSupervisor::Attempt::Failed:
                continue;
            case LinkSupervisor::Attempt::SameSensor:
                std::fprintf(stderr,
                             "qelto: link lost at t=%.3f s (%s), back after %.1f s: live data goes "
                             "on\n",
                             t, OneLine(cause.message).c_str(), supervisor_->gap());
                return std::nullopt;
            case LinkSupervisor::Attempt::OtherSensor:
                return SensorError{SensorFault::LinkClosed,
                                   "another sensor answers (" +
                                       SensorLine(supervisor_->otherSensor()) +
                                       "), not the one that was connected (" +
                                       SensorLine(supervisor_->expected()) + ")",
                                   "nothing was written to it",
                                   {}};
        }
    }
}

bool SensorThread::WaitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done,
                             const Interrupted& interrupted) {
    while (!done()) {
        changed_.wait_for(lock, kSlice);
        if (done()) break;
        if (interrupted) {
            lock.unlock();
            const bool giveUp = interrupted();
            lock.lock();
            if (giveUp) return false;
        }
    }
    return true;
}

Handed SensorThread::Call(Task task, const Interrupted& interrupted) {
    std::unique_lock lock(mutex_);
    if (closing_) return Handed::Closed;
    if (callsDone_ != callsHanded_) {
        if (!abandoned_) return Handed::Busy;
        // What a Ctrl-C left running ends first: one exchange at a time on the link.
        if (!WaitUntil(
                lock, [this] { return callsDone_ == callsHanded_; }, interrupted)) {
            return Handed::Interrupted;
        }
        if (closing_) return Handed::Closed;
    }
    call_ = std::move(task);
    const std::uint64_t ticket = ++callsHanded_;
    abandoned_ = false;
    Post();
    // A stream waiting for room runs the call between two samples.
    changed_.notify_all();
    if (!WaitUntil(
            lock, [this, ticket] { return callsDone_ >= ticket; }, interrupted)) {
        if (callsDone_ < ticket) abandoned_ = true;
        return Handed::Interrupted;
    }
    return Handed::Done;
}

Handed SensorThread::StartStream(std::optional<std::uint64_t> count, std::uint64_t& id,
                                 const Interrupted& interrupted) {
    std::unique_lock lock(mutex_);
    if (closing_) return Handed::Closed;
    if (callsDone_ != callsHanded_ && !abandoned_) return Handed::Busy;
    if (!stream_.ended() && !stream_.stop) return Handed::Busy;
    // A stream being stopped ends after its sample in progress; a call left behind by a
    // Ctrl-C ends within the link's time limits.
    if (!WaitUntil(
            lock, [this] { return stream_.ended() && callsDone_ == callsHanded_; }, interrupted)) {
        return Handed::Interrupted;
    }
    if (closing_) return Handed::Closed;
    stream_ = Stream{};
    stream_.id = ++lastStreamId_;
    stream_.count = count;
    stream_.wanted = true;
    id = stream_.id;
    Post();
    return Handed::Done;
}

Taken SensorThread::TakeSamples(std::uint64_t id, std::vector<SampleValues>& out,
                                std::optional<SensorError>& error, const Interrupted& interrupted) {
    std::unique_lock lock(mutex_);
    if (stream_.id != id) return Taken::End;
    stream_.consumerWaiting = true;
    const bool waited = WaitUntil(
        lock, [this] { return !stream_.samples.empty() || stream_.ended(); }, interrupted);
    stream_.consumerWaiting = false;
    if (!waited) return Taken::Interrupted;
    if (!stream_.samples.empty()) {
        // The emptied vector goes back to the stream with its room: no allocation per batch.
        out.swap(stream_.samples);
        lock.unlock();
        changed_.notify_all();
        return Taken::Samples;
    }
    if (stream_.error) {
        error = std::move(stream_.error);
        stream_.error.reset();
        return Taken::Failed;
    }
    return Taken::End;
}

void SensorThread::StopStream(std::uint64_t id) {
    {
        std::lock_guard lock(mutex_);
        if (stream_.id != id || stream_.ended()) return;
        stream_.stop = true;
    }
    changed_.notify_all();
}

bool SensorThread::AwaitStreamEnd(std::uint64_t id, std::chrono::milliseconds limit,
                                  const Interrupted& interrupted) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock lock(mutex_);
    const auto ended = [this, id] { return stream_.id != id || stream_.ended(); };
    while (!ended()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return false;
        changed_.wait_for(lock,
                          std::min<std::chrono::steady_clock::duration>(kSlice, deadline - now));
        if (ended()) break;
        if (interrupted) {
            lock.unlock();
            const bool giveUp = interrupted();
            lock.lock();
            if (giveUp) return ended();
        }
    }
    return true;
}

void SensorThread::Close() {
    {
        std::unique_lock lock(mutex_);
        if (closed_) return;
        closing_ = true;
        stream_.stop = true;
        changed_.notify_all();
        // The sample in progress and the call in progress end within the link's time limits.
        changed_.wait(lock, [this] { return stream_.ended() && callsDone_ == callsHanded_; });
        closed_ = true;
        // Closing the link and leaving the loop happen on the thread, where nothing runs now.
        QMetaObject::invokeMethod(
            context_, [this] { loop_->quit(); }, Qt::QueuedConnection);
    }
    thread_->wait();
}

}  // namespace qelto::python
