// Child processes of the benchmarks that measure processor time: spawning one, charging its
// user and system seconds, and the simulated sensor started as a program of its own.
#pragma once

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qelto::bench {

inline double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

// User + system seconds of a rusage.
inline double CpuSeconds(const rusage& usage) {
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// Starts a program with standard input from /dev/null, standard output into `stdoutFd` (or
// /dev/null) and standard error into /dev/null; -1 when it cannot.
inline pid_t Spawn(const std::vector<std::string>& args, int stdoutFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for a child; its user + system seconds, or nothing when it failed.
inline std::optional<double> ReapCpu(pid_t pid) {
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return CpuSeconds(usage);
}

// The simulated sensor as a program of its own, until it says "ready"; what it said before
// (its "listening ..." lines) is its greeting. Ended with the object.
class SimulatorProcess {
  public:
    explicit SimulatorProcess(const std::vector<std::string>& args) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = Spawn(args, fds[1]);
        ::close(fds[1]);
        char buf[256];
        ssize_t n = 0;
        while (pid_ > 0 && greeting_.find("ready") == std::string::npos &&
               (n = ::read(fds[0], buf, sizeof buf)) > 0) {
            greeting_.append(buf, static_cast<std::size_t>(n));
        }
        ::close(fds[0]);
    }
    ~SimulatorProcess() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;
    const std::string& greeting() const { return greeting_; }
    // The TCP port it listens on, from its greeting; 0 when it named none.
    unsigned tcpPort() const {
        unsigned port = 0;
        const auto at = greeting_.find("listening tcp ");
        if (at == std::string::npos ||
            std::sscanf(greeting_.c_str() + at, "listening tcp %*s %u", &port) != 1) {
            return 0;
        }
        return port;
    }

  private:
    pid_t pid_ = -1;
    std::string greeting_;
};

}  // namespace qelto::bench
