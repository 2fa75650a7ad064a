#include "sim_server.hpp"

#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sstream>
#include <utility>

#include "protocol/com_ports.hpp"
#include "protocol/frame.hpp"

#ifdef __linux__
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace qelto::sim {
namespace {

// A request the host leaves unfinished this long is dropped, so that one lost byte does not
// swallow the next request.
constexpr int kIdleDropMs = 250;
// Replies not yet taken by the terminal are kept up to this much; beyond it they are lost, as
// they would be on a line nobody reads.
constexpr std::size_t kPtyBacklogLimit = 64 * 1024;

const char* LinkName(Link link) {
    return link == Link::Tcp ? "tcp" : "pty";
}

std::string Describe(std::span<const std::uint8_t> frame) {
    std::ostringstream s;
    if (frame.size() >= kHeaderSize && frame[0] == kStartByte && crc8(frame.first(7)) == frame[7]) {
        s << "cmd " << int(frame[1]) << " arg " << GetU16(frame.data() + 2) << " len "
          << GetU16(frame.data() + 4);
    } else {
        s << "broken header";
        for (std::size_t i = 0; i < frame.size() && i < kHeaderSize; ++i) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            s << ' ' << kHex[frame[i] >> 4] << kHex[frame[i] & 0xF];
        }
    }
    return s.str();
}

}  // namespace

struct SimServer::Output {
    struct Byte {
        double due;  // seconds on the server's clock
        std::uint8_t value;
    };
    int baud = 0;
    std::uint64_t session = 0;
    std::vector<std::uint8_t> lastReply;  // as the sensor made it, for the stale fault
    std::deque<Byte> queue;
    double lineFreeAt = 0;
    QTimer timer;
};

SimServer::SimServer(SensorModel& model, QObject* parent)
    : QObject(parent),
      model_(model),
      faults_(model.config().seed),
      tcpOut_(std::make_unique<Output>()),
      ptyOut_(std::make_unique<Output>()) {
    clock_.start();
    for (Link link : {Link::Tcp, Link::Pty}) {
        QTimer& t = out(link).timer;
        t.setSingleShot(true);
        t.setTimerType(Qt::PreciseTimer);
        connect(&t, &QTimer::timeout, this, [this, link] { Pump(link); });
        QTimer& i = idle(link);
        i.setSingleShot(true);
        i.setInterval(kIdleDropMs);
        connect(&i, &QTimer::timeout, this, [this, link] {
            if (!framer(link).HasPartial()) return;
            framer(link).DropPartial();
            Log(std::string("-- ") + LinkName(link) + ": unfinished request dropped");
        });
    }
    connect(&sceneTimer_, &QTimer::timeout, this, [this] {
        model_.NextPatch();
        Log("-- scene: " + model_.CurrentPatch().name);
    });
}

SimServer::~SimServer() {
    delete ptyReadNotifier_;
    delete ptyWriteNotifier_;
#ifdef __linux__
    if (ptyMaster_ >= 0) ::close(ptyMaster_);
    if (ptySlave_ >= 0) ::close(ptySlave_);
#endif
    if (tcpClient_) tcpClient_->disconnect(this);
}

SimServer::Output& SimServer::out(Link link) {
    return link == Link::Tcp ? *tcpOut_ : *ptyOut_;
}
RequestFramer& SimServer::framer(Link link) {
    return link == Link::Tcp ? tcpFramer_ : ptyFramer_;
}
QTimer& SimServer::idle(Link link) {
    return link == Link::Tcp ? tcpIdle_ : ptyIdle_;
}

// --- TCP --------------------------------------------------------------------------------------

bool SimServer::ListenTcp(const QHostAddress& address, quint16 port) {
    if (tcpServer_ == nullptr) {
        tcpServer_ = new QTcpServer(this);
        connect(tcpServer_, &QTcpServer::newConnection, this, [this] { OnTcpConnection(); });
    }
    if (!tcpServer_->listen(address, port)) {
        error_ = tcpServer_->errorString();
        return false;
    }
    return true;
}

quint16 SimServer::tcpPort() const {
    return tcpServer_ ? tcpServer_->serverPort() : 0;
}

bool SimServer::tcpClientConnected() const {
    return !tcpClient_.isNull();
}

void SimServer::OnTcpConnection() {
    if (!tcpClient_) TakeNextTcpClient();
}

void SimServer::TakeNextTcpClient() {
    while (tcpServer_ && tcpServer_->hasPendingConnections()) {
        QTcpSocket* s = tcpServer_->nextPendingConnection();
        if (s->state() != QAbstractSocket::ConnectedState) {
            s->deleteLater();
            continue;
        }
        tcpClient_ = s;
        ++clients_;
        tcpFramer_.Reset();
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(s, &QTcpSocket::readyRead, this, [this] { OnTcpData(); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
            Log("-- tcp: client left");
            s->deleteLater();
            if (tcpClient_ == s) {
                tcpClient_ = nullptr;
                ++tcpOut_->session;
                tcpOut_->lastReply.clear();
                tcpOut_->queue.clear();
                tcpOut_->timer.stop();
                tcpFramer_.Reset();
                TakeNextTcpClient();
            }
        });
        Log("-- tcp: client " + s->peerAddress().toString().toStdString() + ":" +
            std::to_string(s->peerPort()));
        // Bytes may have come with the connection while it waited to be taken.
        if (s->bytesAvailable() > 0) OnTcpData();
        return;
    }
}

void SimServer::OnTcpData() {
    if (!tcpClient_) return;
    const QByteArray data = tcpClient_->readAll();
    Received(Link::Tcp, reinterpret_cast<const std::uint8_t*>(data.constData()),
             static_cast<std::size_t>(data.size()));
}

void SimServer::CloseTcpClient() {
    if (!tcpClient_) return;
    ++tcpOut_->session;
    tcpOut_->lastReply.clear();
    tcpOut_->queue.clear();
    tcpOut_->timer.stop();
    tcpClient_->disconnectFromHost();
}

// --- Pseudo-terminal --------------------------------------------------------------------------

bool SimServer::OpenPty() {
#ifdef __linux__
    if (ptyMaster_ >= 0) return true;
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ptyMaster_ = master;
    ptySlave_ = slave;
    ptyPath_ = QString::fromLocal8Bit(name);
    ptyReadNotifier_ = new QSocketNotifier(master, QSocketNotifier::Read);
    connect(ptyReadNotifier_, &QSocketNotifier::activated, this, [this] { OnPtyReadable(); });
    ptyWriteNotifier_ = new QSocketNotifier(master, QSocketNotifier::Write);
    ptyWriteNotifier_->setEnabled(false);
    connect(ptyWriteNotifier_, &QSocketNotifier::activated, this, [this] { OnPtyWritable(); });
    return true;
#else
    error_ = QStringLiteral("pseudo-terminals are not available on this platform");
    return false;
#endif
}

void SimServer::ClosePty() {
    delete ptyReadNotifier_;
    delete ptyWriteNotifier_;
    ptyReadNotifier_ = nullptr;
    ptyWriteNotifier_ = nullptr;
#ifdef __linux__
    if (ptyMaster_ >= 0) ::close(ptyMaster_);
    if (ptySlave_ >= 0) ::close(ptySlave_);
#endif
    ptyMaster_ = ptySlave_ = -1;
    ptyPath_.clear();
    ptyBacklog_.clear();
    ptyFramer_.Reset();
    ptyIdle_.stop();
    // Replies still on their way belong to the terminal that went.
    ++ptyOut_->session;
    ptyOut_->queue.clear();
    ptyOut_->timer.stop();
    ptyOut_->lastReply.clear();
}

std::optional<int> SimServer::ptyComNumber() const {
    if (ptyPath_.isEmpty()) return std::nullopt;
    return ComPortNumberForPath(ptyPath_.toStdString());
}

void SimServer::OnPtyReadable() {
#ifdef __linux__
    std::uint8_t buf[4096];
    for (;;) {
        const ssize_t n = ::read(ptyMaster_, buf, sizeof buf);
        if (n > 0) {
            Received(Link::Pty, buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return;
        // End of file or a hard error: the notifier would fire without end.
        Log("-- pty: read failed, pseudo-terminal no longer served");
        ptyReadNotifier_->setEnabled(false);
        return;
    }
#endif
}

void SimServer::OnPtyWritable() {
#ifdef __linux__
    while (!ptyBacklog_.empty()) {
        const ssize_t n = ::write(ptyMaster_, ptyBacklog_.data(), ptyBacklog_.size());
        if (n > 0) {
            ptyBacklog_.erase(ptyBacklog_.begin(), ptyBacklog_.begin() + n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) ptyBacklog_.clear();
        break;
    }
    ptyWriteNotifier_->setEnabled(!ptyBacklog_.empty());
#endif
}

// --- Requests and replies ---------------------------------------------------------------------

void SimServer::Received(Link link, const std::uint8_t* data, std::size_t n) {
    RequestFramer& f = framer(link);
    f.Feed({data, n});
    while (auto request = f.Next())
        Answer(link, *request);
    if (f.HasPartial()) {
        idle(link).start();
    } else {
        idle(link).stop();
    }
}

void SimServer::Answer(Link link, const std::vector<std::uint8_t>& request) {
    const std::string where = LinkName(link);
    Log("> " + where + ": " + Describe(request));
    std::vector<std::uint8_t> reply = model_.HandleRequest(request);
    const int command = request.size() > 1 ? request[1] : -1;
    const std::optional<FaultRule> fault = faults_.Pick(command);
    std::string line = "< " + where + ": " + Describe(reply);
    if (fault) {
        ++faultsApplied_;
        line += " [fault " + DescribeFault(*fault) + "]";
    }
    Log(line);
    std::vector<std::uint8_t> previous = std::exchange(out(link).lastReply, reply);
    ReplyPlan plan = PlanReply(std::move(reply), fault ? &*fault : nullptr, std::move(previous));
    if (plan.close) {
        if (link == Link::Tcp) CloseTcpClient();
        return;
    }
    const std::uint64_t session = out(link).session;
    int at = 0;
    for (ReplyPiece& piece : plan.pieces) {
        at += piece.delayMs;
        if (at == 0) {
            Send(link, session, std::move(piece.bytes));
        } else {
            QTimer::singleShot(at, Qt::PreciseTimer, this,
                               [this, link, session, bytes = std::move(piece.bytes)]() mutable {
                                   Send(link, session, std::move(bytes));
                               });
        }
    }
}

void SimServer::SetBaudRate(Link link, int baud) {
    out(link).baud = baud > 0 ? baud : 0;
}

int SimServer::baudRate(Link link) const {
    return link == Link::Tcp ? tcpOut_->baud : ptyOut_->baud;
}

void SimServer::Send(Link link, std::uint64_t session, std::vector<std::uint8_t> bytes) {
    Output& o = out(link);
    if (session != o.session || bytes.empty()) return;
    if (o.baud == 0) {
        WriteNow(link, bytes.data(), bytes.size());
        return;
    }
    // Each byte leaves when the line has shifted out the one before it: 10 bit times (8N1).
    const double byteTime = 10.0 / o.baud;
    const double now = clock_.nsecsElapsed() * 1e-9;
    double t = std::max(now, o.lineFreeAt);
    for (std::uint8_t b : bytes) {
        t += byteTime;
        o.queue.push_back({t, b});
    }
    o.lineFreeAt = t;
    Pump(link);
}

void SimServer::Pump(Link link) {
    Output& o = out(link);
    const double now = clock_.nsecsElapsed() * 1e-9;
    std::vector<std::uint8_t> due;
    while (!o.queue.empty() && o.queue.front().due <= now) {
        due.push_back(o.queue.front().value);
        o.queue.pop_front();
    }
    if (!due.empty()) WriteNow(link, due.data(), due.size());
    if (!o.queue.empty()) {
        const double wait = o.queue.front().due - now;
        o.timer.start(std::max(1, static_cast<int>(std::ceil(wait * 1000.0))));
    }
}

void SimServer::WriteNow(Link link, const std::uint8_t* data, std::size_t n) {
    if (link == Link::Tcp) {
        if (!tcpClient_) return;
        tcpClient_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(n));
        tcpClient_->flush();
        return;
    }
#ifdef __linux__
    if (ptyMaster_ < 0) return;
    std::size_t done = 0;
    while (ptyBacklog_.empty() && done < n) {
        const ssize_t w = ::write(ptyMaster_, data + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
        } else if (w < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    if (done < n) {
        const std::size_t room = kPtyBacklogLimit - std::min(kPtyBacklogLimit, ptyBacklog_.size());
        ptyBacklog_.insert(ptyBacklog_.end(), data + done, data + done + std::min(room, n - done));
        ptyWriteNotifier_->setEnabled(!ptyBacklog_.empty());
    }
#endif
}

void SimServer::SetSceneCycle(double seconds) {
    if (seconds > 0) {
        sceneTimer_.start(std::max(1, static_cast<int>(std::lround(seconds * 1000.0))));
    } else {
        sceneTimer_.stop();
    }
}

}  // namespace qelto::sim
