#include "posix_single_copy.h"

#include "platform/log_categories.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

// A real folder (no link) of the user's own that nobody else may enter.
bool isPrivateFolder(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// Where the lock and the socket live: $XDG_RUNTIME_DIR/vx, in the folder the system keeps for the
// user alone; without one, $XDG_CACHE_HOME/vx (~/.cache/vx) in the user's home. Either is made
// 0700 and used only as a private folder, so no other user can plant, hold or remove what is in
// it. Empty when there is none.
QString runtimeFolder() {
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(base) || !isPrivateFolder(base)) {
        base = qEnvironmentVariable("XDG_CACHE_HOME");
        if (!QDir::isAbsolutePath(base))
            base = QDir::homePath() + QStringLiteral("/.cache");
        QDir().mkpath(base);
    }
    const QString folder = base + QStringLiteral("/vx");
    const QByteArray native = QFile::encodeName(folder);
    struct stat st {};
    if (::mkdir(native.constData(), 0700) != 0 && errno == EEXIST &&
        ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid())
        ::chmod(native.constData(), 0700); // ours, but opened up to others since
    return isPrivateFolder(folder) ? folder : QString();
}

} // namespace

PosixSingleCopy::PosixSingleCopy(const QString& workingDirectory, QObject* parent)
    : QObject(parent) {
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return;
    const QByteArray key = QCryptographicHash::hash(QDir(workingDirectory).canonicalPath().toUtf8(),
                                                    QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    const QString name = folder + QLatin1Char('/') + QString::fromLatin1(key);
    m_lockPath = QFile::encodeName(name + QStringLiteral(".lock"));
    m_socketPath = QFile::encodeName(name + QStringLiteral(".socket"));
}

// Nothing of this copy stays behind: the socket and the lock go while the lock is still held.
PosixSingleCopy::~PosixSingleCopy() {
    m_notifier.reset();
    if (m_server >= 0) {
        ::close(m_server);
        ::unlink(m_socketPath.constData());
    }
    if (m_lock >= 0) {
        ::unlink(m_lockPath.constData());
        ::close(m_lock); // the lock goes with the descriptor
    }
}

bool PosixSingleCopy::claim() {
    if (m_lock >= 0)
        return true;
    if (m_lockPath.isEmpty()) {
        qCInfo(vxFiles,
               "no private folder for the lock of one copy per folder: this copy runs alone");
        return true;
    }
    // A copy that ends removes the file it held: a lock taken on a file that is no longer in the
    // folder holds nothing, and the claim is tried again on the file there now.
    for (int tries = 0; tries < 8; ++tries) {
        const int fd =
            ::open(m_lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            return true; // nowhere to keep a lock: nothing says another copy runs here
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool held = errno == EWOULDBLOCK;
            ::close(fd);
            return !held;
        }
        struct stat locked {};
        struct stat named {};
        if (::fstat(fd, &locked) == 0 && ::lstat(m_lockPath.constData(), &named) == 0 &&
            locked.st_dev == named.st_dev && locked.st_ino == named.st_ino) {
            m_lock = fd; // held until this copy ends, or dies: the system lets go of it then
            listen();
            return true;
        }
        ::close(fd);
    }
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
