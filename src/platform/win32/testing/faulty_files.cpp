#include "faulty_files.h"

#include <algorithm>

namespace vx::testing {

HANDLE FaultyFiles::openHandle(const QString& path, DWORD access, DWORD disposition) {
    if (m_refuseWriting && (access & GENERIC_WRITE) != 0) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return Win32NumberedFiles::openHandle(path, access, disposition);
}

bool FaultyFiles::writeSome(HANDLE file, const char* data, DWORD size, qint64 offset,
                            DWORD& written) {
    if (m_room < 0)
        return Win32NumberedFiles::writeSome(file, data, size, offset, written);
    if (m_room == 0) {
        ::SetLastError(ERROR_DISK_FULL);
        return false;
    }
    const bool ok = Win32NumberedFiles::writeSome(
        file, data, std::min(size, static_cast<DWORD>(m_room)), offset, written);
    m_room -= ok ? written : 0;
    return ok;
}

} // namespace vx::testing
