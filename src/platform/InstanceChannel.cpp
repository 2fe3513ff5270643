#include "platform/InstanceChannel.h"

#include "platform/InstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <unistd.h>

namespace {
const QByteArray RaiseRequest = "raise\n";
constexpr int ConnectTimeoutMs = 2000;
constexpr int WriteTimeoutMs = 2000;
} // namespace

InstanceChannel::InstanceChannel(const QString &windowClass, const QString &caption, QObject *parent)
    : QObject(parent)
    , serverName_(InstanceLock::RuntimeFolder() + QLatin1Char('/') + windowClass + QLatin1Char('-') + caption +
                  QLatin1Char('-') + QString::number(::getuid()))
{
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::RaiseRunningCopy() const
{
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    socket.write(RaiseRequest);
    // The request must be sent before this start ends.
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(WriteTimeoutMs))
            break;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(WriteTimeoutMs);
    return true;
}

bool InstanceChannel::Listen(QWidget *window)
{
    window_ = window;
    QLocalServer::removeServer(serverName_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::Answer);
    return server_->listen(serverName_);
}

void InstanceChannel::Answer()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->readAll().contains(RaiseRequest.trimmed()))
                return;
            if (window_)
                BringForward(window_);
        });
    }
}

void InstanceChannel::BringForward(QWidget *window)
{
    if (window->isMinimized()) {
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
}
