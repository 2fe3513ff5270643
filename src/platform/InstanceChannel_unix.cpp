#include "platform/InstanceChannel.h"

#include "platform/Attention.h"
#include "platform/InstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>

namespace {
const QByteArray RaiseRequest = "raise";
// The token a Wayland desktop gives a program it starts, with which the running copy may ask the
// compositor to activate its window (xdg-activation).
const char ActivationTokenVariable[] = "XDG_ACTIVATION_TOKEN";
constexpr int ConnectTimeoutMs = 2000;
constexpr int WriteTimeoutMs = 2000;

// Whether the copy at the other end of socket runs as this user: another user may listen where a
// copy of this user's would, and must neither stop this start nor receive its activation token.
bool PeerIsThisUser(const QLocalSocket &socket)
{
    ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == ::getuid();
}

bool ConnectToOwnCopy(QLocalSocket &socket, const QString &serverName)
{
    if (serverName.isEmpty())
        return false;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return false;
    if (PeerIsThisUser(socket))
        return true;
    socket.abort();
    return false;
}

// How long the compositor has to activate the window before the menu asks for attention instead.
constexpr int ActivationWaitMs = 500;
} // namespace

InstanceChannel::InstanceChannel(const QString &windowClass, const QString &caption, QObject *parent)
    : QObject(parent)
    , ownFolder_(InstanceLock::OwnFolder())
    , ownName_(ownFolder_ + QLatin1Char('/') + windowClass + QLatin1Char('-') + caption)
{
    const QString runtime = InstanceLock::RuntimeFolder();
    if (!runtime.isEmpty())
        runtimeName_ = runtime + QLatin1Char('/') + windowClass + QLatin1Char('-') + caption + QLatin1Char('-') +
                       QString::number(::getuid());
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::RaiseRunningCopy() const
{
    QLocalSocket socket;
    // The folder of its own is checked as the running copy checks it before listening there.
    if (!ConnectToOwnCopy(socket, runtimeName_) &&
        !(InstanceLock::IsPrivateFolder(ownFolder_) && ConnectToOwnCopy(socket, ownName_)))
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
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::Answer);
    if (!runtimeName_.isEmpty() && ListenAt(runtimeName_))
        return true;
    const QString runtimeError =
        runtimeName_.isEmpty() ? QStringLiteral("no folder of this user's own") : server_->errorString();
    const bool ownFolder = InstanceLock::MakePrivateFolder(ownFolder_);
    if (ownFolder && ListenAt(ownName_))
        return true;
    const QString ownError = ownFolder ? server_->errorString() : QStringLiteral("the folder cannot be made private");
    // The menu runs on; only a later start cannot find it and opens a second one.
    qWarning("Brindlemoor: a later start will not find this menu: cannot listen at %s (%s) nor at %s (%s)",
             qPrintable(runtimeName_), qPrintable(runtimeError), qPrintable(ownName_), qPrintable(ownError));
    return false;
}

bool InstanceChannel::ListenAt(const QString &serverName)
{
    QLocalServer::removeServer(serverName);
    return server_->listen(serverName);
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
            Attention::Ask(window);
    });
}
