#include "platform/InstanceChannel.h"

#include "platform/InstanceLock.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

namespace {
const QByteArray RaiseRequest = "raise";
// The token a Wayland desktop gives a program it starts, with which the running copy may ask the
// compositor to activate its window (xdg-activation).
const char ActivationTokenVariable[] = "XDG_ACTIVATION_TOKEN";
constexpr int ConnectTimeoutMs = 2000;
constexpr int WriteTimeoutMs = 2000;
// How long the compositor has to activate the window before the menu asks for attention instead.
constexpr int ActivationWaitMs = 500;
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
    const QByteArray token = qgetenv(ActivationTokenVariable);
    socket.write(RaiseRequest + (token.isEmpty() ? QByteArray() : ' ' + token) + '\n');
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
            const QList<QByteArray> words = socket->readAll().trimmed().split(' ');
            if (words.first() != RaiseRequest || !window_)
                return;
            if (words.size() > 1)
                qputenv(ActivationTokenVariable, words.at(1));
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
    // A Wayland compositor may refuse to activate a window without the user's say: the window
    // then asks for attention in the desktop's own way.
    QTimer::singleShot(ActivationWaitMs, window, [window] {
        if (!window->isActiveWindow())
            QApplication::alert(window);
    });
}
