#include "faulty_files.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

namespace vx::testing {

int FaultyFiles::openDescriptor(const QByteArray& path, int flags) {
    if (m_refuseWriting && (flags & O_ACCMODE) != O_RDONLY) {
        errno = EACCES;
        return -1;
    }
    return PosixNumberedFiles::openDescriptor(path, flags);
}

ssize_t FaultyFiles::writeSome(int fd, const char* data, size_t size, off_t offset) {
    if (m_room < 0)
        return PosixNumberedFiles::writeSome(fd, data, size, offset);
    if (m_room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = PosixNumberedFiles::writeSome(
        fd, data, std::min(size, static_cast<size_t>(m_room)), offset);
    m_room -= std::max<ssize_t>(n, 0);
    return n;
}

} // namespace vx::testing
