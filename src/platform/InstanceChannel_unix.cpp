#include "platform/InstanceChannel.h"

#include "platform/Attention.h"
#include "platform/InstanceLock.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <functional>
#include <utility>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const QByteArray RaiseRequest = "raise";
// The token a Wayland desktop gives a program it starts, with which the running copy may ask the
// compositor to activate its window (xdg-activation).
const char ActivationTokenVariable[] = "XDG_ACTIVATION_TOKEN";
// How long a later start waits for a busy copy to take its connection and its request.
constexpr int SendTimeoutMs = 2000;
// A request is one short line; a connection that sends more without ending it is dropped.
constexpr qsizetype MaxRequest = 4096;
// How long the compositor has to activate the window before the menu asks for attention instead.
constexpr int ActivationWaitMs = 500;

// The socket address of path, and its length; a length of 0 where the path cannot be one.
std::pair<sockaddr_un, socklen_t> addressOf(const QString &path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.size() >= qsizetype(sizeof address.sun_path) || name.contains('\0'))
        return {address, 0};
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return {address, socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name.size()) + 1)};
}

// Whether the process at the other end of socket runs as this user: another user may listen where
// a copy of this user's would, and must neither stop this start nor receive its activation token;
// nor may another user's process make this menu come forward.
bool peerIsThisUser(int socket)
{
    ucred peer = {};
    socklen_t size = sizeof peer;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::getuid();
}

// A connection to a copy of this user's listening at path; -1 where there is none.
int connectToOwnCopy(const QString &path)
{
    const auto [address, length] = addressOf(path);
    if (length == 0)
        return -1;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return -1;
    // A copy too busy to take the connection at once is given a while, as is its reading of it.
    const timeval timeout{SendTimeoutMs / 1000, (SendTimeoutMs % 1000) * 1000};
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (::connect(socket, reinterpret_cast<const sockaddr *>(&address), length) == 0 && peerIsThisUser(socket))
        return socket;
    ::close(socket);
    return -1;
}

void sendAll(int socket, const QByteArray &bytes)
{
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t written = ::send(socket, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // the copy went away: there is no one left to raise
        sent += written;
    }
}

// One later start's connection: reads its request line as it comes, hands it over once, and
// closes the connection.
class RequestReader : public QObject
{
public:
    RequestReader(int socket, std::function<void(const QByteArray &)> answer, QObject *parent)
        : QObject(parent), socket_(socket), answer_(std::move(answer)), notifier_(socket, QSocketNotifier::Read)
    {
        connect(&notifier_, &QSocketNotifier::activated, this, &RequestReader::read);
    }
    ~RequestReader() override
    {
        notifier_.setEnabled(false);
        ::close(socket_);
    }
    RequestReader(const RequestReader &) = delete;
    RequestReader &operator=(const RequestReader &) = delete;

private:
    void read()
    {
        char chunk[512];
        const ssize_t received = ::recv(socket_, chunk, sizeof chunk, 0);
        if (received < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (received > 0)
            request_.append(chunk, received);
        const qsizetype end = request_.indexOf('\n');
        if (received > 0 && end < 0 && request_.size() <= MaxRequest)
            return; // the rest is still on its way
        notifier_.setEnabled(false);
        if (end >= 0)
            answer_(request_.left(end));
        else if (received == 0 && !request_.isEmpty())
            answer_(request_);
        deleteLater();
    }

    int socket_;
    std::function<void(const QByteArray &)> answer_;
    QSocketNotifier notifier_;
    QByteArray request_;
};
} // namespace

// The socket the running copy listens at, and the file that names it.
struct InstanceChannel::Listener
{
    Listener(int socket, QString path, const struct stat &file)
        : socket(socket)
        , path(std::move(path))
        , device(file.st_dev)
        , inode(file.st_ino)
        , notifier(socket, QSocketNotifier::Read)
    {
    }
    ~Listener()
    {
        // Removed unless a later copy has put a socket of its own in its place.
        const QByteArray name = QFile::encodeName(path);
        struct stat file = {};
        if (::lstat(name.constData(), &file) == 0 && file.st_dev == device && file.st_ino == inode)
            ::unlink(name.constData());
        notifier.setEnabled(false);
        ::close(socket);
    }
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

    int socket;
    QString path;
    dev_t device;
    ino_t inode;
    QSocketNotifier notifier;
};

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
    // The folder of its own is checked as the running copy checks it before listening there.
    int socket = connectToOwnCopy(runtimeName_);
    if (socket < 0 && InstanceLock::IsPrivateFolder(ownFolder_))
        socket = connectToOwnCopy(ownName_);
    if (socket < 0)
        return false;
    const QByteArray token = qgetenv(ActivationTokenVariable);
    // Sent whole before this start ends; closing the connection does not take it back.
    sendAll(socket, RaiseRequest + (token.isEmpty() ? QByteArray() : ' ' + token) + '\n');
    ::close(socket);
    return true;
}

bool InstanceChannel::Listen(QWidget *window)
{
    window_ = window;
    QString runtimeError = QStringLiteral("no folder of this user's own");
    if (!runtimeName_.isEmpty() && ListenAt(runtimeName_, runtimeError))
        return true;
    QString ownError = QStringLiteral("the folder cannot be made private");
    if (InstanceLock::MakePrivateFolder(ownFolder_) && ListenAt(ownName_, ownError))
        return true;
    // The menu runs on; only a later start cannot find it and opens a second one.
    qWarning("Brindlemoor: a later start will not find this menu: cannot listen at %s (%s) nor at %s (%s)",
             qPrintable(runtimeName_), qPrintable(runtimeError), qPrintable(ownName_), qPrintable(ownError));
    return false;
}

bool InstanceChannel::ListenAt(const QString &path, QString &error)
{
    const auto [address, length] = addressOf(path);
    if (length == 0) {
        error = QStringLiteral("the path is too long for a socket");
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    // What is there was left by a copy that crashed: this start holds the start-up lock.
    ::unlink(name.constData());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    struct stat file = {};
    if (socket < 0 || ::bind(socket, reinterpret_cast<const sockaddr *>(&address), length) != 0 ||
        ::chmod(name.constData(), 0600) != 0 || ::lstat(name.constData(), &file) != 0 ||
        ::listen(socket, SOMAXCONN) != 0) {
        error = qt_error_string(errno);
        if (socket >= 0)
            ::close(socket);
        return false;
    }
    listener_ = std::make_unique<Listener>(socket, path, file);
    connect(&listener_->notifier, &QSocketNotifier::activated, this, &InstanceChannel::Answer);
    return true;
}

void InstanceChannel::Answer()
{
    for (;;) {
        const int socket = ::accept4(listener_->socket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (socket < 0 && errno == EINTR)
            continue;
        if (socket < 0)
            return; // every waiting start taken
        if (!peerIsThisUser(socket)) {
            ::close(socket);
            continue;
        }
        new RequestReader(
            socket,
            [this](const QByteArray &request) {
                const QList<QByteArray> words = request.trimmed().split(' ');
                if (words.first() != RaiseRequest || !window_)
                    return;
                if (words.size() > 1)
                    qputenv(ActivationTokenVariable, words.at(1));
                BringForward(window_);
            },
            this);
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
