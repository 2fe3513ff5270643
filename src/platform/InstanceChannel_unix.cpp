#include "platform/InstanceChannel.h"

#include "platform/Attention.h"
#include "platform/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray RaiseRequest = "raise";
// The token a Wayland desktop gives a program it starts, with which the running copy may ask the
// compositor to activate its window (xdg-activation).
const char ActivationTokenVariable[] = "XDG_ACTIVATION_TOKEN";
constexpr int ConnectTimeoutMs = 2000;
constexpr int WriteTimeoutMs = 2000;

// Makes folder this user's private folder; false where it cannot be had or someone else owns it.
bool MakePrivateFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info = {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    return (info.st_mode & 077) == 0 || ::chmod(path.constData(), 0700) == 0;
}
// How long the compositor has to activate the window before the menu asks for attention instead.
constexpr int ActivationWaitMs = 500;
} // namespace

InstanceChannel::InstanceChannel(const QString &windowClass, const QString &caption, QObject *parent)
    : QObject(parent)
    , runtimeName_(InstanceLock::RuntimeFolder() + QLatin1Char('/') + windowClass + QLatin1Char('-') + caption +
                   QLatin1Char('-') + QString::number(::getuid()))
    , ownFolder_(QDir::tempPath() + QStringLiteral("/brindlemoor-") + QString::number(::getuid()))
    , ownName_(ownFolder_ + QLatin1Char('/') + windowClass + QLatin1Char('-') + caption)
{
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::RaiseRunningCopy() const
{
    QLocalSocket socket;
    socket.connectToServer(runtimeName_);
    if (!socket.waitForConnected(ConnectTimeoutMs)) {
        socket.connectToServer(ownName_);
        if (!socket.waitForConnected(ConnectTimeoutMs))
            return false;
    }
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
    if (ListenAt(runtimeName_))
        return true;
    const QString runtimeError = server_->errorString();
    const bool ownFolder = MakePrivateFolder(ownFolder_);
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
