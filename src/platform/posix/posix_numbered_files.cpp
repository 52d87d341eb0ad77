#include "posix_numbered_files.h"

#include "platform/runtime_error.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

RuntimeError fileError(int errnum, const QString& path) {
    const QString reason = QString::fromLocal8Bit(std::strerror(errnum));
    int number = err::PathFileAccessError;
    switch (errnum) {
    case ENOENT:
    case ENOTDIR:
        number = err::PathNotFound;
        break;
    case ENOSPC:
    case EDQUOT:
        number = err::DiskFull;
        break;
    case EIO:
    case ENXIO:
    case ENODEV:
        number = err::DeviceIoError;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = err::PermissionDenied;
        break;
    default:
        break;
    }
    return {number, QCoreApplication::translate("PosixNumberedFiles", "%1：%2 (%3)")
                        .arg(standardDescription(number), path, reason)};
}

// Text, records and the log are files on a disk; a pipe or a device could block the program or
// take what is written elsewhere.
RuntimeError notAFile(const QString& path) {
    return {
        err::PathFileAccessError,
        QCoreApplication::translate("PosixNumberedFiles",
                                    "%1：%2 (不是一般檔案，而是管道、裝置或資料夾；請選一般的檔案)")
            .arg(standardDescription(err::PathFileAccessError), path)};
}

// What another user planted is never written through: the file is refused, with the reason.
enum class Refusal { OthersLink, DanglingLink, Link, OthersFile };

RuntimeError refused(const QString& path, Refusal why) {
    const char* reason = nullptr;
    switch (why) {
    case Refusal::OthersLink:
        reason =
            QT_TRANSLATE_NOOP("PosixNumberedFiles", "是其他使用者建立的符號連結，不會經由它寫入");
        break;
    case Refusal::DanglingLink:
        reason = QT_TRANSLATE_NOOP("PosixNumberedFiles",
                                   "是指向不存在檔案的符號連結，不會經由它建立檔案");
        break;
    case Refusal::Link:
        reason = QT_TRANSLATE_NOOP("PosixNumberedFiles",
                                   "是符號連結，而它指向的不是一般檔案，不會經由它寫入");
        break;
    case Refusal::OthersFile:
        reason = QT_TRANSLATE_NOOP("PosixNumberedFiles", "屬於其他使用者，不會寫入");
        break;
    }
    return {err::PermissionDenied,
            QStringLiteral("%1：%2 (%3)")
                .arg(standardDescription(err::PermissionDenied), path,
                     QCoreApplication::translate("PosixNumberedFiles", reason))};
}

bool ownedByUserOrRoot(const struct stat& st) {
    return st.st_uid == ::geteuid() || st.st_uid == 0;
}

struct DescriptorCloser {
    int fd;
    ~DescriptorCloser() { ::close(fd); }
};

} // namespace

PosixNumberedFiles::~PosixNumberedFiles() {
    for (auto& [number, file] : m_files)
        ::close(file.fd);
}

void PosixNumberedFiles::open(int fileNumber, const QString& path, int flags, int recordLength) {
    if (m_files.count(fileNumber) != 0)
        throw RuntimeError(err::FileAlreadyOpen,
                           QCoreApplication::translate("PosixNumberedFiles", "%1：#%2")
                               .arg(standardDescription(err::FileAlreadyOpen))
                               .arg(fileNumber));
    if (path.isEmpty())
        throw RuntimeError(err::FileNotFound,
                           QCoreApplication::translate("PosixNumberedFiles", "%1：檔名是空的")
                               .arg(standardDescription(err::FileNotFound)));
    const QByteArray native = QFile::encodeName(path);
    const bool writing = (flags & O_ACCMODE) != O_RDONLY;
    QByteArray target = native;
    if (writing) {
        target = ownLinkTarget(path, native);
        if (target != native)
            flags &= ~O_CREAT; // never created through a link
    }
    // A file is emptied only once it is known to be the user's own.
    const bool empty = (flags & O_TRUNC) != 0;
    flags &= ~O_TRUNC;
    struct stat st {};
    // A device is not even opened (opening one may act on it); the check after the open catches a
    // name that changed in between.
    if (::stat(target.constData(), &st) == 0 && !S_ISREG(st.st_mode))
        throw notAFile(path);
    int fd = -1;
    do { // without waiting, should the name have become a pipe meanwhile
        fd = openDescriptor(target, flags | O_CLOEXEC | O_NONBLOCK | (writing ? O_NOFOLLOW : 0));
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && writing && errno == ELOOP) // a link put there since it was looked at
        throw refused(path, Refusal::Link);
    if (fd < 0)
        throw fileError(errno, path);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw notAFile(path);
    }
    if (writing && !ownedByUserOrRoot(st)) {
        ::close(fd);
        throw refused(path, Refusal::OthersFile);
    }
    if (empty && ::ftruncate(fd, 0) != 0) {
        const int e = errno;
        ::close(fd);
        throw fileError(e, path);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_files[fileNumber] = OpenFile{fd, path, recordLength, std::nullopt, st.st_dev, st.st_ino};
}

// A path that is a symbolic link is written through only when the link is the user's own (the
// operator's choice) and leads to a file that is there; the file it leads to is opened without
// following a link again. Any other path is itself.
QByteArray PosixNumberedFiles::ownLinkTarget(const QString& path, const QByteArray& native) {
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return native;
    // The link is read through a descriptor of its own, so the text is that of the link checked.
    const int link = ::open(native.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (link < 0)
        throw fileError(errno, path);
    const DescriptorCloser closer{link};
    if (::fstat(link, &st) != 0 || !S_ISLNK(st.st_mode))
        throw refused(path, Refusal::Link);
    if (st.st_uid != ::geteuid())
        throw refused(path, Refusal::OthersLink);
    char text[PATH_MAX];
    const ssize_t n = ::readlinkat(link, "", text, sizeof text);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof text)
        throw refused(path, Refusal::Link);
    QByteArray target(text, n);
    if (!target.startsWith('/') && native.contains('/'))
        target.prepend(native.left(native.lastIndexOf('/') + 1));
    if (::lstat(target.constData(), &st) != 0) {
        if (errno == ENOENT)
            throw refused(path, Refusal::DanglingLink);
        throw fileError(errno, path);
    }
    if (S_ISLNK(st.st_mode))
        throw refused(path, Refusal::Link);
    return target;
}

int PosixNumberedFiles::openDescriptor(const QByteArray& path, int flags) {
    return ::open(path.constData(), flags, 0666);
}

PosixNumberedFiles::OpenFile& PosixNumberedFiles::find(int fileNumber) {
    const auto it = m_files.find(fileNumber);
    if (it == m_files.end())
        throw RuntimeError(err::BadFileNumber, QStringLiteral("%1 (#%2)")
                                                   .arg(standardDescription(err::BadFileNumber))
                                                   .arg(fileNumber));
    return it->second;
}

void PosixNumberedFiles::openRandom(int fileNumber, const QString& path, int recordLength) {
    try {
        open(fileNumber, path, O_RDWR | O_CREAT, recordLength);
    } catch (const RuntimeError& refusal) {
        if (refusal.number() != err::PermissionDenied)
            throw;
        // What a file we may not write holds is still worth reading; its writes are refused.
        try {
            open(fileNumber, path, O_RDONLY, recordLength);
        } catch (const RuntimeError&) {
            throw refusal;
        }
        m_files[fileNumber].readOnly = refusal;
    }
}

QByteArray PosixNumberedFiles::getRecord(int fileNumber, int recordNumber) {
    OpenFile& file = find(fileNumber);
    if (file.recordLength <= 0 || recordNumber < 1)
        throw RuntimeError(err::BadFileNumber);
    QByteArray record(file.recordLength, '\0');
    const off_t offset = static_cast<off_t>(recordNumber - 1) * file.recordLength;
    qsizetype done = 0;
    while (done < record.size()) {
        const ssize_t n =
            ::pread(file.fd, record.data() + done, record.size() - done, offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw fileError(errno, file.path);
        }
        if (n == 0)
            break; // beyond the end: the rest stays zero
        done += n;
    }
    return record;
}

void PosixNumberedFiles::putRecord(int fileNumber, int recordNumber, const QByteArray& bytes) {
    OpenFile& file = find(fileNumber);
    if (file.recordLength <= 0 || recordNumber < 1)
        throw RuntimeError(err::BadFileNumber);
    if (file.readOnly)
        throw *file.readOnly;
    if (bytes.size() > file.recordLength)
        throw RuntimeError(err::BadRecordLength,
                           QCoreApplication::translate("PosixNumberedFiles", "%1：%2")
                               .arg(standardDescription(err::BadRecordLength), file.path));
    QByteArray record = bytes;
    record.append(file.recordLength - bytes.size(), '\0');
    writeAll(file, record, static_cast<off_t>(recordNumber - 1) * file.recordLength);
}

void PosixNumberedFiles::openAppend(int fileNumber, const QString& path) {
    open(fileNumber, path, O_WRONLY | O_CREAT | O_APPEND, 0);
}

void PosixNumberedFiles::openOutput(int fileNumber, const QString& path) {
    open(fileNumber, path, O_WRONLY | O_CREAT | O_TRUNC, 0);
}

void PosixNumberedFiles::print(int fileNumber, const QByteArray& bytes) {
    OpenFile& file = find(fileNumber);
    if (file.recordLength > 0)
        throw RuntimeError(err::BadFileMode,
                           QCoreApplication::translate("PosixNumberedFiles", "%1：%2")
                               .arg(standardDescription(err::BadFileMode), file.path));
    // A record is in the file whole or not at all: what a failed write left is taken back.
    const off_t before = ::lseek(file.fd, 0, SEEK_END);
    try {
        writeAll(file, bytes, -1);
    } catch (const RuntimeError&) {
        if (before >= 0 && ::ftruncate(file.fd, before) != 0) {
            // the file keeps a torn end; the failure being raised says the record is not whole
        }
        throw;
    }
}

// Writes all bytes at the offset (or at the end for -1), retrying short writes and interrupts.
// Bytes written to a file that the path no longer leads to would be lost without a word.
void PosixNumberedFiles::writeAll(const OpenFile& file, const QByteArray& bytes, off_t offset) {
    struct stat named {};
    if (::stat(QFile::encodeName(file.path).constData(), &named) != 0 ||
        named.st_dev != file.device || named.st_ino != file.inode)
        throw RuntimeError(err::FileNotFound,
                           QStringLiteral("%1：%2 (%3)")
                               .arg(standardDescription(err::FileNotFound), file.path,
                                    QCoreApplication::translate("PosixNumberedFiles",
                                                                "開啟之後已被刪除、移走或取代")));
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            writeSome(file.fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done),
                      offset < 0 ? -1 : offset + done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw fileError(errno, file.path);
        }
        done += n;
    }
    if (::fdatasync(file.fd) != 0 && errno != EINVAL && errno != EROFS)
        throw fileError(errno, file.path);
}

ssize_t PosixNumberedFiles::writeSome(int fd, const char* data, size_t size, off_t offset) {
    return offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
}

void PosixNumberedFiles::close(int fileNumber) {
    const auto it = m_files.find(fileNumber);
    if (it == m_files.end())
        return;
    const OpenFile file = it->second;
    m_files.erase(it);
    // Every write was synced already; a failing close still frees the number, but is reported.
    if (::close(file.fd) != 0 && errno != EINTR)
        throw fileError(errno, file.path);
}

bool PosixNumberedFiles::isOpen(int fileNumber) const {
    return m_files.count(fileNumber) != 0;
}

std::optional<RuntimeError> PosixNumberedFiles::whyReadOnly(int fileNumber) const {
    const auto it = m_files.find(fileNumber);
    return it == m_files.end() ? std::nullopt : it->second.readOnly;
}

} // namespace vx
