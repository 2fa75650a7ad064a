#include "platform/qt_serial_port.hpp"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <cmath>

#include "link/transport.hpp"

#if defined(__linux__)
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif
#if defined(Q_OS_UNIX)
#include <poll.h>
#endif

namespace qelto {
namespace {

// False where the counters cannot be had: pseudo-terminals, many USB adapters, other systems.
bool ReadLineErrorCounts(QSerialPort& serial, LineErrorCounts& out) {
#if defined(__linux__)
    serial_icounter_struct icount{};
    const int fd = serial.handle();
    if (fd < 0 || ioctl(fd, TIOCGICOUNT, &icount) != 0) return false;
    out = {icount.parity, icount.frame, icount.overrun, icount.brk, icount.buf_overrun};
    return true;
#else
    (void)serial;
    (void)out;
    return false;
#endif
}

// The line has hung up: the device at its end closed or went away (a USB adapter pulled, the
// other side of a pseudo-terminal closed).
bool HungUp(const QSerialPort& serial) {
#if defined(Q_OS_UNIX)
    pollfd line{static_cast<int>(serial.handle()), 0, 0};
    return line.fd >= 0 && ::poll(&line, 1, 0) == 1 && (line.revents & (POLLHUP | POLLNVAL)) != 0;
#else
    (void)serial;
    return false;
#endif
}

// Why a port that reported `error` can serve no more, in a person's words; empty when it still
// can. A device that went away fails every read (Qt reports it hundreds of thousands of times a
// second); a failed write counts once the line has hung up. A read that finds the end of the
// line leaves no system error behind, so the words are ours.
std::string LostReason(QSerialPort& serial, QSerialPort::SerialPortError error,
                       const std::string& path) {
    const bool hungUp = HungUp(serial);
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError &&
        !(error == QSerialPort::WriteError && hungUp)) {
        return {};
    }
#if defined(Q_OS_UNIX)
    // Unplugged devices and closed pseudo-terminals take their device file with them.
    if (!QFileInfo::exists(QString::fromStdString(path))) return path + ": the device was removed";
#endif
    if (hungUp) return path + ": the device hung up";
    if (error == QSerialPort::ResourceError) {
        return path + ": the device is no longer available (" + serial.errorString().toStdString() +
               ")";
    }
    return path + ": the device can no longer be read";
}

}  // namespace

int LineErrorBits(const LineErrorCounts& before, const LineErrorCounts& now) {
    // The counters only grow (and may wrap): any change is a new error.
    int bits = 0;
    if (now.parity != before.parity) bits |= kParityErrorBit;
    if (now.frame != before.frame) bits |= kFramingErrorBit;
    if (now.overrun != before.overrun) bits |= kOverrunErrorBit;
    if (now.brk != before.brk) bits |= kBreakBit;
    if (now.bufOverrun != before.bufOverrun) bits |= kBufferOverrunBit;
    return bits;
}

SerialDeviceAccess ProbeSerialDeviceAccess(const std::string& path) {
    SerialDeviceAccess access;
    access.device = path;
    const QFileInfo info(QString::fromStdString(path));
    access.exists = info.exists();
    if (!access.exists) return access;
    // QFileInfo answers readable and writable by asking the system (access()), so supplementary
    // groups count and root is never refused.
    access.permissionDenied = !info.isReadable() || !info.isWritable();
    access.group = info.group().toStdString();
    const auto perms = info.permissions();
    access.groupMayReadWrite =
        perms.testFlag(QFileDevice::ReadGroup) && perms.testFlag(QFileDevice::WriteGroup);
    return access;
}

QtSerialPort::~QtSerialPort() {
    for (auto& [n, p] : ports_) {
        if (p.serial) {
            p.serial->disconnect(this);
            p.serial->close();
            delete p.serial.data();
        }
    }
}

QtSerialPort::Port* QtSerialPort::find(int port) {
    auto it = ports_.find(port);
    if (it == ports_.end() || !it->second.serial || !it->second.serial->isOpen()) return nullptr;
    return &it->second;
}

int QtSerialPort::OpenComConfig(int port, int baud) {
    CloseCom(port);
    openFailures_.erase(port);
    const std::string path = ComPortDevicePath(port);
    if (path.empty()) return kRs232InvalidPortNumber;
    auto* s = new QSerialPort(this);
    s->setPortName(QString::fromStdString(path));
    if (!s->setBaudRate(baud) || !s->setDataBits(QSerialPort::Data8) ||
        !s->setParity(QSerialPort::NoParity) || !s->setStopBits(QSerialPort::OneStop)) {
        delete s;
        return kRs232InvalidBaudrate;
    }
    s->setFlowControl(QSerialPort::NoFlowControl);
    if (!s->open(QIODevice::ReadWrite)) {
        const auto err = s->error();
        SerialDeviceAccess said;
        said.device = path;
        said.systemError = s->errorString().toStdString();
        delete s;
        openFailures_[port] = said;
        switch (err) {
            case QSerialPort::DeviceNotFoundError:
                return kRs232NoSerialPortFound;
            case QSerialPort::PermissionError:
            case QSerialPort::OpenError:
                // Refused for want of permission, or held by another program: the probe tells.
                openFailures_[port] = ProbeSerialDeviceAccess(path);
                openFailures_[port].systemError = said.systemError;
                return kRs232CannotOpenPort;
            case QSerialPort::UnsupportedOperationError:
                return kRs232InvalidBaudrate;
            default:
                return kRs232UnknownSystemError;
        }
    }
    // Settings made before open() are applied by open(); a rate the device refuses shows here.
    if (s->baudRate() != baud) {
        s->close();
        delete s;
        return kRs232InvalidBaudrate;
    }
    Port opened{s, 2.0, 0, false, {}, {}};
    opened.counted = ReadLineErrorCounts(*s, opened.counts);  // errors count from here on
    ports_[port] = opened;
    QObject::connect(s, &QSerialPort::readyRead, this, [this] {
        if (dataArrived_) dataArrived_();
    });
    QObject::connect(s, &QSerialPort::errorOccurred, this,
                     [this, port](QSerialPort::SerialPortError e) { OnError(port, e); });
    return 0;
}

void QtSerialPort::OnError(int port, QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError) return;
    auto it = ports_.find(port);
    if (it == ports_.end()) return;
    Port& p = it->second;
    p.errorBits |= kLineErrorBit;
    if (p.serial && p.serial->isOpen() && p.lost.empty()) {
        p.lost = LostReason(*p.serial, error, ComPortDevicePath(port));
        // A vanished device reports errors without end, a core's worth: it is closed at once,
        // which also releases its lock for the device's return.
        if (!p.lost.empty()) p.serial->close();
    }
    // Last: whoever is told may close or reopen the port.
    if (dataArrived_) dataArrived_();
}

void QtSerialPort::CloseCom(int port) {
    auto it = ports_.find(port);
    if (it == ports_.end()) return;
    if (it->second.serial) {
        it->second.serial->disconnect(this);
        it->second.serial->close();
        it->second.serial->deleteLater();
    }
    ports_.erase(it);
}

void QtSerialPort::SetComTime(int port, double seconds) {
    if (Port* p = find(port)) p->timeLimit = seconds;
}

void QtSerialPort::SetCTSMode(int port, int mode) {
    if (Port* p = find(port)) {
        p->serial->setFlowControl(mode ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl);
    }
}

void QtSerialPort::FlushInQ(int port) {
    if (Port* p = find(port)) {
        p->serial->clear(QSerialPort::Input);
        p->serial->readAll();
    }
}

void QtSerialPort::FlushOutQ(int port) {
    if (Port* p = find(port)) p->serial->clear(QSerialPort::Output);
}

int QtSerialPort::ComWrt(int port, const std::uint8_t* data, int count) {
    Port* p = find(port);
    if (p == nullptr) return kRs232PortNotOpen;
    const qint64 n = p->serial->write(reinterpret_cast<const char*>(data), count);
    p->serial->flush();
    return n < 0 ? -4 : static_cast<int>(n);
}

int QtSerialPort::ComRd(int port, std::uint8_t* data, int count) {
    Port* p = find(port);
    if (p == nullptr) return kRs232PortNotOpen;
    if (p->serial->bytesAvailable() < count) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QPointer<QSerialPort> s = p->serial;
        QObject::connect(s, &QSerialPort::readyRead, &loop, [&] {
            if (!s || s->bytesAvailable() >= count) loop.quit();
        });
        QObject::connect(s, &QSerialPort::errorOccurred, &loop, &QEventLoop::quit);
        timer.start(static_cast<int>(std::ceil(p->timeLimit * 1000.0)));
        loop.exec();
        p = find(port);
        if (p == nullptr) return kRs232PortNotOpen;
    }
    const qint64 n = p->serial->read(reinterpret_cast<char*>(data), count);
    return n < 0 ? -4 : static_cast<int>(n);
}

int QtSerialPort::GetInQLen(int port) {
    Port* p = find(port);
    return p == nullptr ? 0 : static_cast<int>(p->serial->bytesAvailable());
}

int QtSerialPort::GetComStat(int port) {
    auto it = ports_.find(port);
    if (it == ports_.end()) return 0;
    Port& p = it->second;
    int bits = p.errorBits;
    p.errorBits = 0;
    LineErrorCounts now;
    if (p.counted && p.serial && p.serial->isOpen() && ReadLineErrorCounts(*p.serial, now)) {
        bits |= LineErrorBits(p.counts, now);
        p.counts = now;
    }
    return bits;
}

SerialDeviceAccess QtSerialPort::OpenFailureAccess(int port) {
    const auto it = openFailures_.find(port);
    return it == openFailures_.end() ? SerialDeviceAccess{} : it->second;
}

std::string QtSerialPort::ComLostReason(int port) {
    const auto it = ports_.find(port);
    return it == ports_.end() ? std::string() : it->second.lost;
}

void QtSerialPort::SetDataArrivedHandler(std::function<void()> handler) {
    dataArrived_ = std::move(handler);
}

}  // namespace qelto
