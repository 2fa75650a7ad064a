// The transaction over loopback TCP, next to the raw round-trip rate of plain blocking sockets
// (the two taking turns), and the processor time one timed-out wait costs.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "bench_pairs.hpp"
#include "bench_util.hpp"
#include "qt_rig.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// A responder on its own thread: answers every 8-byte request with a 42-byte live-data reply,
// or stays silent when asked to.
class Responder {
  public:
    explicit Responder(bool silent) : silent_(silent) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(listen_, 4);
        socklen_t len = sizeof addr;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        reply_.resize(50);
        std::vector<std::uint8_t> data(42, 0x11);
        qelto::BuildFrame(8, 0, data, reply_.data());
        thread_ = std::thread([this] { Serve(); });
    }
    ~Responder() {
        stop_ = true;
        ::shutdown(listen_, SHUT_RDWR);
        ::close(listen_);
        thread_.join();
    }
    int port() const { return port_; }

  private:
    void Serve() {
        while (!stop_) {
            const int c = ::accept(listen_, nullptr, nullptr);
            if (c < 0) return;
            int one = 1;
            ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            std::uint8_t req[8];
            for (;;) {
                std::size_t got = 0;
                while (got < 8) {
                    const ssize_t n = ::recv(c, req + got, 8 - got, 0);
                    if (n <= 0) break;
                    got += static_cast<std::size_t>(n);
                }
                if (got < 8) break;
                if (!silent_) ::send(c, reply_.data(), reply_.size(), MSG_NOSIGNAL);
            }
            ::close(c);
        }
    }
    bool silent_;
    int listen_ = -1;
    int port_ = 0;
    std::vector<std::uint8_t> reply_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

double RawRoundTripsPerSecond(int port, int count) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    // 0 when the loop broke off: a broken connection would otherwise look fast.
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(s);
        return 0;
    }
    std::uint8_t req[8] = {0x55, 0x08, 0, 0, 0, 0, 0xAA, 0x76};
    std::uint8_t buf[64];
    const auto start = Clock::now();
    int done = 0;
    for (; done < count; ++done) {
        if (::send(s, req, sizeof req, MSG_NOSIGNAL) != sizeof req) break;
        std::size_t got = 0;
        while (got < 50) {
            const ssize_t n = ::recv(s, buf, sizeof buf, 0);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        if (got < 50) break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::close(s);
    return done == count ? count / seconds : 0;
}

double ExchangesPerSecond(int port, int count) {
    qelto::QtLinkRig rig;
    rig.ConnectTcp("127.0.0.1", port);
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        if (qelto::Exchange(rig.link, 8, 0) != 1) return 0;
    }
    return count / std::chrono::duration<double>(Clock::now() - start).count();
}

double CpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int kCount = 8000;
    std::optional<qelto::bench::Pair> pair;
    {
        Responder responder(false);
        // Warm-up: the first transaction also pays for the event loop's first use.
        RawRoundTripsPerSecond(responder.port(), kCount);
        ExchangesPerSecond(responder.port(), kCount);
        pair = qelto::bench::Interleave(
            "transaction_vs_raw", [&] { return ExchangesPerSecond(responder.port(), kCount); },
            [&] { return RawRoundTripsPerSecond(responder.port(), kCount); });
    }
    if (!pair) return 1;
    qelto::bench::Report("raw_tcp_round_trips", qelto::bench::Median(pair->b), "per_s", ">", 0);
    qelto::bench::Report("transaction_round_trips", qelto::bench::Median(pair->a), "per_s", ">", 0);
    qelto::bench::Report("transaction_vs_raw", pair->Ratio(), "ratio", ">=", 0.5);

    Responder silent(true);
    qelto::QtLinkRig rig;
    rig.ConnectTcp("127.0.0.1", silent.port());
    const double before = CpuSeconds();
    qelto::Exchange(rig.link, 8, 0);
    qelto::bench::Report("cpu_of_timed_out_wait", CpuSeconds() - before, "s", "<", 0.15);
    return 0;
}
