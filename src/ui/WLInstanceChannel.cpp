#include "WLInstanceChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// One request: "LOOKUP " and the word in UTF-8, then a newline; the answer
// is "OK\n".
constexpr char kRequest[] = "LOOKUP ";
constexpr int kMaxRequest = 4096;

// A descriptor closed when it goes.
struct Descriptor {
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(left.count()));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

WLInstanceChannel::WLInstanceChannel(QObject *parent) : QObject(parent) {}

WLInstanceChannel::~WLInstanceChannel() = default;

namespace {
// A folder only this user can enter: made with mode 0700 if missing, and
// refused when it is a link, someone else's, or open to others.
bool isPrivateFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat status = {};
    return ::lstat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
}
} // namespace

QString WLInstanceChannel::socketPath(const QString &dictionaryFolderName)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) {
        // The same private folder the page directories live in.
        folder = QDir(QDir::tempPath()).filePath(QStringLiteral("wlreader-%1").arg(::getuid()));
        if (!isPrivateFolder(folder))
            return {};
    }
    const QString path = QDir(folder).filePath(QStringLiteral("wlreader-%1.socket").arg(dictionaryFolderName));
    // A socket's path has room for 107 bytes: a longer one is named by its
    // hash in the private folder of the user under /tmp.
    if (QFile::encodeName(path).size() <= 100)
        return path;
    const QString shortFolder = QStringLiteral("/tmp/wlreader-%1").arg(::getuid());
    if (!isPrivateFolder(shortFolder))
        return {};
    const QByteArray hash =
        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QDir(shortFolder).filePath(QStringLiteral("wlreader-%1.socket").arg(QLatin1String(hash)));
}

bool WLInstanceChannel::handOver(const QString &path, const QString &word, int timeoutMs)
{
    if (path.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    Descriptor socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    if (socket.fd < 0 || ::connect(socket.fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        return false;
    QByteArray request = kRequest + word.toUtf8().left(kMaxRequest).replace('\n', ' ') + '\n';
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    qsizetype sent = 0;
    while (sent < request.size()) {
        if (!waitFor(socket.fd, POLLOUT, deadline))
            return false;
        const ssize_t n = ::send(socket.fd, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR)
            return false;
        sent += n > 0 ? n : 0;
    }
    char answer[4] = {};
    size_t received = 0;
    while (received < 3) {
        if (!waitFor(socket.fd, POLLIN, deadline))
            return false;
        const ssize_t n = ::recv(socket.fd, answer + received, 3 - received, 0);
        if (n <= 0 && errno != EINTR)
            return false;
        received += n > 0 ? size_t(n) : 0;
    }
    return std::strncmp(answer, "OK\n", 3) == 0;
}

bool WLInstanceChannel::listen(const QString &path)
{
    if (path.isEmpty())
        return false;
    mServer = std::make_unique<QLocalServer>();
    mServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!mServer->listen(path)) {
        // Someone answering there is a reader; a socket nobody answers on
        // was left by one that was killed.
        if (handOver(path, {}, 1000))
            return false;
        QLocalServer::removeServer(path);
        if (!mServer->listen(path))
            return false;
    }
    connect(mServer.get(), &QLocalServer::newConnection, this, &WLInstanceChannel::accept);
    return true;
}

void WLInstanceChannel::accept()
{
    while (QLocalSocket *client = mServer->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            if (!client->canReadLine()) {
                if (client->bytesAvailable() > kMaxRequest + 64)
                    client->abort();
                return;
            }
            const QByteArray line = client->readLine(kMaxRequest + 64).chopped(1);
            if (!line.startsWith(kRequest)) {
                client->abort();
                return;
            }
            client->write("OK\n");
            client->flush();
            client->disconnectFromServer();
            Q_EMIT wordReceived(QString::fromUtf8(line.mid(qsizetype(sizeof kRequest) - 1)));
        });
    }
}
