// qelto-sim: a simulated KORVANEX sensor on a TCP port and/or a pseudo-terminal.
#include <QCoreApplication>
#include <QHostAddress>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim_options.hpp"
#include "sim_server.hpp"

#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#include <memory>
#include <mutex>
#include <thread>

#include <windows.h>
#else
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN

// Windows calls a console control handler on a thread of its own; the handler sets this
// event, which the event loop watches: the one piece of process-wide state it can reach.
HANDLE stopEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    ::SetEvent(stopEvent);
    return TRUE;
}

bool InstallSignalHandlers() {
    stopEvent = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (stopEvent == nullptr) return false;
    auto* notifier = new QWinEventNotifier(stopEvent, QCoreApplication::instance());
    QObject::connect(notifier, &QWinEventNotifier::activated, [] { QCoreApplication::quit(); });
    return ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) != 0;
}

#else

// Write end of the self-pipe that turns SIGINT/SIGTERM into an event-loop event; the one
// piece of process-wide state a signal handler can reach.
int signalWriteFd = -1;

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(signalWriteFd, &byte, 1);
}

bool InstallSignalHandlers() {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
    signalWriteFd = fds[0];
    auto* notifier =
        new QSocketNotifier(fds[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &sa, nullptr) == 0 && ::sigaction(SIGTERM, &sa, nullptr) == 0;
}

#endif

void Say(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Control lines from stdin, read as they arrive. End of input only ends the control input:
// a simulator started with stdin closed keeps serving.
class ControlInput {
  public:
#ifdef Q_OS_WIN
    // Standard input is a console or a pipe there, and neither has a notifier: a thread reads
    // it and posts what comes to the main thread. It may still wait in a read when the program
    // ends, and posts nothing once the control input is gone.
    explicit ControlInput(qelto::sim::SimServer& server)
        : server_(server), mailbox_(std::make_shared<Mailbox>()) {
        mailbox_->receiver = &receiver_;
        std::thread([this, mailbox = mailbox_] {
            const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
            char buf[1024];
            DWORD n = 0;
            while (::ReadFile(in, buf, sizeof buf, &n, nullptr) && n > 0) {
                std::string chunk(buf, n);
                const std::lock_guard lock(mailbox->mutex);
                if (mailbox->receiver == nullptr) return;
                QMetaObject::invokeMethod(
                    mailbox->receiver, [this, chunk] { Take(chunk.data(), chunk.size()); },
                    Qt::QueuedConnection);
            }
        }).detach();
    }
    ~ControlInput() {
        const std::lock_guard lock(mailbox_->mutex);
        mailbox_->receiver = nullptr;
    }
    ControlInput(const ControlInput&) = delete;
    ControlInput& operator=(const ControlInput&) = delete;
#else
    explicit ControlInput(qelto::sim::SimServer& server) : server_(server) {
        notifier_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &server);
        QObject::connect(notifier_, &QSocketNotifier::activated, [this] { Read(); });
    }
#endif

  private:
#ifdef Q_OS_WIN
    struct Mailbox {
        std::mutex mutex;
        QObject* receiver = nullptr;
    };
#else
    void Read() {
        char buf[1024];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            notifier_->setEnabled(false);
            return;
        }
        Take(buf, static_cast<std::size_t>(n));
    }
#endif

    void Take(const char* data, std::size_t size) {
        pending_.append(data, size);
        for (std::size_t nl; (nl = pending_.find('\n')) != std::string::npos;) {
            std::string line = pending_.substr(0, nl);
            pending_.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            bool quit = false;
            Say(qelto::sim::RunControlLine(server_, line, quit));
            if (quit) QCoreApplication::quit();
        }
    }

    qelto::sim::SimServer& server_;
#ifdef Q_OS_WIN
    QObject receiver_;  // the posted input runs in its name, and is dropped with it
    std::shared_ptr<Mailbox> mailbox_;
#else
    QSocketNotifier* notifier_;
#endif
    std::string pending_;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace qelto::sim;
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = ParseSimOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "qelto-sim: %s\nTry 'qelto-sim --help' for the options.\n",
                     error.c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(kSimUsage, stdout);
        std::fputs(kControlHelp, stdout);
        std::fputs(kFaultHelp, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("qelto-sim %s\n", QELTO_VERSION);
        return 0;
    }

    QCoreApplication app(argc, argv);
    if (!InstallSignalHandlers()) {
        std::perror("qelto-sim: signal handlers");
        return 1;
    }

    SensorModel model(options->sensor);
    model.SetPatches(options->patches);
    if (options->taught > 0) model.TeachPatches(options->taught);
    if (options->scene) SelectScene(model, *options->scene);
    if (options->rgb) model.SetPatch(*options->rgb);

    SimServer server(model);
    server.SetBaudRate(Link::Pty, options->ptyBaud);
    server.SetBaudRate(Link::Tcp, options->tcpBaud);
    for (const auto& rule : options->faults)
        server.AddFault(rule);
    server.SetSceneCycle(options->cycleSeconds);
    if (options->verbose) {
        server.log = [](const std::string& line) {
            std::fprintf(stderr, "qelto-sim: %s\n", line.c_str());
            std::fflush(stderr);
        };
    }

    if (options->tcp) {
        QHostAddress address;
        if (options->tcpHost == "localhost") {
            address = QHostAddress::LocalHost;
        } else if (!address.setAddress(QString::fromStdString(options->tcpHost))) {
            std::fprintf(stderr,
                         "qelto-sim: bad value '%s' for --tcp: not an IP address\n"
                         "Try 'qelto-sim --help' for the options.\n",
                         options->tcpHost.c_str());
            return 2;
        }
        if (!server.ListenTcp(address, static_cast<quint16>(options->tcpPort))) {
            std::fprintf(stderr, "qelto-sim: cannot listen on %s:%d: %s\n",
                         options->tcpHost.c_str(), options->tcpPort,
                         server.errorString().toLocal8Bit().constData());
            return 1;
        }
        Say("listening tcp " + address.toString().toStdString() + " " +
            std::to_string(server.tcpPort()));
    }
    if (options->pty) {
        if (!server.OpenPty()) {
            std::fprintf(stderr, "qelto-sim: cannot open a pseudo-terminal: %s\n",
                         server.errorString().toLocal8Bit().constData());
            return 1;
        }
        const auto com = server.ptyComNumber();
        Say("listening pty " + server.ptyPath().toStdString() + " " +
            (com ? std::to_string(*com) : std::string("-")));
    }
    ControlInput control(server);
    Say("ready");
    const int rc = app.exec();
    if (options->verbose) std::fprintf(stderr, "qelto-sim: stopped\n");
    return rc;
}
