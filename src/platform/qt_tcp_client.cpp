#include "platform/qt_tcp_client.hpp"

#include <QEventLoop>
#include <QTimer>
#include <string>

namespace qelto {
namespace {

int ConnectErrorCode(QAbstractSocket::SocketError error) {
    switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
            return kTcpUnableToEstablishConnection;
        case QAbstractSocket::HostNotFoundError:
            return kTcpServerNotRegistered;
        case QAbstractSocket::SocketTimeoutError:
            return kTcpTimeOutError;
        default:
            return kTcpFailedToConnect;
    }
}

}  // namespace

QtTcpClient::~QtTcpClient() {
    for (auto& [h, s] : sockets_) {
        if (s) {
            s->disconnect(this);
            s->abort();
            delete s.data();
        }
    }
}

QTcpSocket* QtTcpClient::socket(std::uint32_t handle) const {
    auto it = sockets_.find(handle);
    return it == sockets_.end() ? nullptr : it->second.data();
}

int QtTcpClient::ConnectToTCPServerEx(std::uint32_t& handle, int port, const std::string& host,
                                      Callback callback, int timeoutMs) {
    lastConnectError_.clear();
    if (host.empty() || port < 0 || port > 65535) {
        lastConnectError_ = host.empty() ? "no server named" : "no such port";
        return kTcpInvalidParameter;
    }
    auto* s = new QTcpSocket(this);
    s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the limit is a floor, like the reply waits'.
    timer.setTimerType(Qt::PreciseTimer);
    bool timedOut = false;
    QObject::connect(s, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(s, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    // Unbuffered: a request goes straight to the socket and a read takes the bytes from the
    // socket itself, one system call each, instead of passing through Qt's buffers and
    // switching its write notifier on and off for every request.
    s->connectToHost(QString::fromStdString(host), static_cast<quint16>(port),
                     QIODevice::ReadWrite | QIODevice::Unbuffered);
    timer.start(timeoutMs);
    if (s->state() != QAbstractSocket::ConnectedState &&
        s->state() != QAbstractSocket::UnconnectedState) {
        loop.exec();
    }
    if (s->state() != QAbstractSocket::ConnectedState) {
        const int code = timedOut ? kTcpTimeOutError : ConnectErrorCode(s->error());
        lastConnectError_ = timedOut ? "no answer within " + std::to_string(timeoutMs) + " ms"
                                     : s->errorString().toStdString();
        s->disconnect();
        s->abort();
        s->deleteLater();
        return code == 0 ? kTcpNoConnectionEstablished : code;
    }
    s->disconnect(&loop);
    const std::uint32_t h = nextHandle_++;
    sockets_[h] = s;
    callbacks_[h] = callback;
    QObject::connect(s, &QTcpSocket::readyRead, this, [this, callback, h] {
        callback(h, kTcpDataReady, 0);
        // An unbuffered socket learns of the server's close from the read that finds the end
        // of the stream, and Qt then emits no disconnected().
        QTcpSocket* sock = socket(h);
        if (sock != nullptr && sock->state() != QAbstractSocket::ConnectedState) {
            Closed(h, callback);
        }
    });
    QObject::connect(s, &QTcpSocket::disconnected, this,
                     [this, callback, h] { Closed(h, callback); });
    handle = h;
    return 0;
}

void QtTcpClient::Closed(std::uint32_t handle, const Callback& callback) {
    QTcpSocket* s = socket(handle);
    if (s == nullptr) return;  // reported already, or ended by us
    sockets_.erase(handle);
    callbacks_.erase(handle);
    s->disconnect(this);
    s->deleteLater();
    callback(handle, kTcpDisconnect, 0);
}

int QtTcpClient::DisconnectFromTCPServer(std::uint32_t handle) {
    QTcpSocket* s = socket(handle);
    if (s == nullptr) return kTcpInvalidParameter;
    sockets_.erase(handle);
    callbacks_.erase(handle);
    // A conversation we end ourselves reports nothing.
    s->disconnect(this);
    s->abort();
    s->deleteLater();
    return 0;
}

int QtTcpClient::ClientTCPWrite(std::uint32_t handle, const std::uint8_t* data, int count, int) {
    QTcpSocket* s = socket(handle);
    if (s == nullptr) return kTcpNoConnectionEstablished;
    const qint64 n = s->write(reinterpret_cast<const char*>(data), count);
    if (n < 0) {
        // As a buffered socket does when its flush fails: the conversation is over, and
        // disconnected() tells the link so.
        s->abort();
        return kTcpFailedToConnect;
    }
    return static_cast<int>(n);
}

int QtTcpClient::ClientTCPRead(std::uint32_t handle, std::uint8_t* data, int maxCount, int) {
    QTcpSocket* s = socket(handle);
    if (s == nullptr) return kTcpNoConnectionEstablished;
    const qint64 n = s->read(reinterpret_cast<char*>(data), maxCount);
    if (s->state() != QAbstractSocket::ConnectedState) {
        // A read outside the data event (the link reading out stale bytes) that finds the end
        // of the stream: the close reaches the link from the event loop, as it would have.
        QTimer::singleShot(0, this, [this, handle] {
            const auto it = callbacks_.find(handle);
            if (it != callbacks_.end()) Closed(handle, Callback(it->second));
        });
    }
    return n < 0 ? kTcpFailedToConnect : static_cast<int>(n);
}

}  // namespace qelto
