#include "qt_rig.hpp"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "link/transport.hpp"

namespace qelto {

QtRig::QtRig() {
    ui.onUnexpectedPopup = [](const PopupRecord& r) {
        ADD_FAILURE() << "unexpected popup: " << r.title << " / " << r.message;
    };
}

void QtLinkRig::ConnectTcp(const std::string& host, int port) {
    link.conn.Protocol = kTcpIp;
    CopyText(link.conn.IpAddress, host);
    link.conn.TcpPort = port;
    InitTCP_IP(link);
}

Status QtRig::OpenSession(const std::string& host, int port) {
    ctx.settings.link = LinkDescription::Tcp(host, port);
    return sensor.Open(ctx.settings.link.Settings());
}

void QtRig::Spin(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

ScriptedPeer::ScriptedPeer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = server_.nextPendingConnection()) {
            client_ = s;
            s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            QObject::connect(s, &QTcpSocket::readyRead, this, [this] { OnData(); });
        }
    });
}

void ScriptedPeer::Send(Bytes bytes) {
    if (client_) {
        client_->write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<qint64>(bytes.size()));
        client_->flush();
    }
}

void ScriptedPeer::CloseClient() {
    if (client_) client_->disconnectFromHost();
}

void ScriptedPeer::OnData() {
    if (!client_) return;
    const QByteArray data = client_->readAll();
    pending_.insert(pending_.end(), data.begin(), data.end());
    while (pending_.size() >= 8) {
        const std::size_t len = pending_[4] | (pending_[5] << 8);
        if (pending_.size() < 8 + len) break;
        Bytes req(pending_.begin(), pending_.begin() + static_cast<long>(8 + len));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(8 + len));
        requests.push_back(req);
        if (!responder) continue;
        int at = 0;
        for (Chunk& c : responder(req)) {
            at += c.delayMs;
            auto send = [this, c] {
                if (c.close) {
                    CloseClient();
                } else {
                    Send(c.bytes);
                }
            };
            if (at == 0) {
                send();
            } else {
                QTimer::singleShot(at, this, send);
            }
        }
    }
}

Bytes ReplyFrame(std::uint8_t command, std::uint16_t argument, const Bytes& data) {
    Bytes out(8 + data.size());
    BuildFrame(command, argument, data, out.data());
    return out;
}

}  // namespace qelto
