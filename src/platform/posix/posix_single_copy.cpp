#include "posix_single_copy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vx {

namespace {

// The socket's address, or false when the path does not fit one.
bool addressOf(const QByteArray& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

} // namespace

PosixSingleCopy::PosixSingleCopy(const QString& workingDirectory, QObject* parent)
    : QObject(parent) {
    const QByteArray folder = QDir(workingDirectory).canonicalPath().toUtf8();
    const QString key =
        QStringLiteral("vx-%1-%2")
            .arg(::getuid())
            .arg(QString::fromLatin1(
                QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16)));
    const QDir temp(QDir::tempPath());
    m_lockPath = temp.filePath(key + QStringLiteral(".lock"));
    m_socketPath = QFile::encodeName(temp.filePath(key + QStringLiteral(".socket")));
}

PosixSingleCopy::~PosixSingleCopy() {
    m_notifier.reset();
    if (m_server >= 0) {
        ::close(m_server);
        ::unlink(m_socketPath.constData());
    }
    if (m_lock >= 0)
        ::close(m_lock); // the lock goes with the descriptor
}

bool PosixSingleCopy::claim() {
    if (m_lock >= 0)
        return true;
    const int fd =
        ::open(QFile::encodeName(m_lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // nowhere to keep a lock: nothing says another copy runs here
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held;
    }
    m_lock = fd; // held until this copy ends, or dies: the system lets go of it then
    listen();
    return true;
}

void PosixSingleCopy::listen() {
    sockaddr_un address;
    if (!addressOf(m_socketPath, address))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    ::unlink(m_socketPath.constData()); // left by a copy that died; we hold the lock now
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 4) != 0) {
        ::close(fd);
        return; // this copy runs alone all the same; a second one cannot call it forward
    }
    m_server = fd;
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { acceptCallers(); });
}

void PosixSingleCopy::acceptCallers() {
    for (;;) {
        const int caller = ::accept4(m_server, nullptr, nullptr, SOCK_CLOEXEC);
        if (caller < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        ::close(caller);
        called();
    }
}

void PosixSingleCopy::callFirstCopy() {
    sockaddr_un address;
    if (!addressOf(m_socketPath, address))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    // A local connection is taken into the listener's queue at once, or refused; this copy ends
    // either way, so a refusal has nobody to tell.
    (void)::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::close(fd);
}

} // namespace vx
