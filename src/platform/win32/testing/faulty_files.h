#pragma once

#include "platform/testing/faulty_files_of.h"
#include "platform/win32/win32_numbered_files.h"

namespace vx::testing {

// A full disk is ERROR_DISK_FULL, a folder that may only be read ERROR_ACCESS_DENIED.
class FaultyFiles : public FaultyFilesOf<Win32NumberedFiles> {
protected:
    HANDLE openHandle(const QString& path, DWORD access, DWORD disposition) override;
    bool writeSome(HANDLE file, const char* data, DWORD size, qint64 offset,
                   DWORD& written) override;
};

} // namespace vx::testing
