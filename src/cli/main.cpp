// qelto-cli: the sensor from the command line.
#include <QCoreApplication>
#include <QStandardPaths>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli_app.hpp"
#include "cli_options.hpp"
#include "files/file_header.hpp"

#ifdef Q_OS_WIN
#include <QWinEventNotifier>

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
std::atomic<HANDLE> interruptEvent{nullptr};
std::atomic<bool> interruptTaken{false};

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    const HANDLE event = interruptEvent.load();
    // A second Ctrl-C, before the stream has wound down, goes on to Windows' own handler,
    // which ends the program at once.
    if (event == nullptr || interruptTaken.exchange(true)) return FALSE;
    ::SetEvent(event);
    return TRUE;
}

// Routes Ctrl-C to the live stream while it runs; at any other moment Ctrl-C ends the program
// as usual (nothing is half-written then: files are replaced in one step).
class InterruptRouter {
  public:
    explicit InterruptRouter(qelto::cli::CliApp& app) : app_(app) {
        const HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (event == nullptr) return;
        interruptEvent = event;
        notifier_ = new QWinEventNotifier(event);
        QObject::connect(notifier_, &QWinEventNotifier::activated, [this] { Activated(); });
        ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    }
    ~InterruptRouter() {
        ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
        delete notifier_;
        const HANDLE event = interruptEvent.exchange(nullptr);
        if (event != nullptr) ::CloseHandle(event);
    }
    InterruptRouter(const InterruptRouter&) = delete;
    InterruptRouter& operator=(const InterruptRouter&) = delete;

  private:
    void Activated() {
        if (app_.takesInterrupt()) {
            app_.Interrupt();
        } else {
            ::ExitProcess(STATUS_CONTROL_C_EXIT);  // as Windows' own handler does
        }
    }
    qelto::cli::CliApp& app_;
    QWinEventNotifier* notifier_ = nullptr;
};

// argv holds the arguments in the ANSI code page, which cannot spell every file name: Qt reads
// them from the wide command line. The application object must exist for that.
std::vector<std::string> Arguments(int, char**) {
    std::vector<std::string> args;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        args.push_back(all[i].toStdString());
    return args;
}

#else

// Write end of the self-pipe that turns Ctrl-C into an event-loop event: the one piece of
// process-wide state a signal handler can reach.
std::atomic<int> interruptWriteFd{-1};

void OnInterrupt(int) {
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(interruptWriteFd.load(), &byte, 1);
}

// Routes Ctrl-C to the live stream while it runs; at any other moment Ctrl-C ends the program
// as usual (nothing is half-written then: files are replaced in one step).
class InterruptRouter {
  public:
    explicit InterruptRouter(qelto::cli::CliApp& app) : app_(app) {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return;
        readFd_ = fds[1];
        interruptWriteFd = fds[0];
        notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read);
        QObject::connect(notifier_, &QSocketNotifier::activated, [this] { Activated(); });
        struct sigaction sa {};
        sa.sa_handler = OnInterrupt;
        sigemptyset(&sa.sa_mask);
        // A second Ctrl-C, before the stream has wound down, ends the program at once.
        sa.sa_flags = SA_RESTART | SA_RESETHAND;
        ::sigaction(SIGINT, &sa, nullptr);
    }
    ~InterruptRouter() {
        ::signal(SIGINT, SIG_DFL);
        delete notifier_;
        if (readFd_ >= 0) ::close(readFd_);
        const int w = interruptWriteFd.exchange(-1);
        if (w >= 0) ::close(w);
    }
    InterruptRouter(const InterruptRouter&) = delete;
    InterruptRouter& operator=(const InterruptRouter&) = delete;

  private:
    void Activated() {
        char buf[16];
        [[maybe_unused]] const auto n = ::read(readFd_, buf, sizeof buf);
        if (app_.takesInterrupt()) {
            app_.Interrupt();
        } else {
            ::signal(SIGINT, SIG_DFL);
            ::raise(SIGINT);
        }
    }
    qelto::cli::CliApp& app_;
    int readFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

// The bytes as given: a file name need not be UTF-8.
std::vector<std::string> Arguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

#endif

}  // namespace

int main(int argc, char** argv) {
    using namespace qelto::cli;
#ifdef Q_OS_WIN
    QCoreApplication app(argc, argv);
#endif
    const std::vector<std::string> args = Arguments(argc, argv);
    std::string error;
    const auto options = ParseCliOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "qelto-cli: %s\nTry 'qelto-cli --help' for more information.\n",
                     error.c_str());
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(kCliUsage, stdout);
        return kExitOk;
    }
    if (options->version) {
        std::printf("qelto-cli %s (%s)\n", QELTO_VERSION, qelto::kProgramTitle);
        return kExitOk;
    }

#ifndef Q_OS_WIN
    QCoreApplication app(argc, argv);
#endif
    QCoreApplication::setOrganizationName(kSettingsOrganization);
    QCoreApplication::setApplicationName(kSettingsApplication);
    CliEnvironment env;
    env.programDirectory = QCoreApplication::applicationDirPath().toStdString();
    env.userConfigDirectory =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();

    CliApp cli(*options, env, stdout, stderr);
    InterruptRouter interrupts(cli);
    return cli.Run();
}
