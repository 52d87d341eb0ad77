#pragma once

#include "platform/testing/faults.h"
#include "platform/win32/win32_numbered_files.h"

namespace vx::testing {

enum class FileOp { Close };

// Real files in the file system, with failures on cue.
class FaultyFiles : public Win32NumberedFiles, public Faults<FileOp> {
public:
    using Op = FileOp;

    // The disk takes `bytes` more bytes, then every write fails with a full disk, part way if need
    // be.
    void fillDiskAfter(qsizetype bytes) { m_room = bytes; }
    // Opening for writing is refused with access denied, as in a folder the user may only read.
    void refuseWriting() { m_refuseWriting = true; }
    void clearFaults() {
        Faults::clearFaults();
        m_room = -1;
    }

    // A close that fails still lets go of the file, as the operating system does.
    void close(int fileNumber) override {
        Win32NumberedFiles::close(fileNumber);
        maybeFail(Op::Close);
    }

protected:
    HANDLE openHandle(const QString& path, DWORD access, DWORD disposition) override;
    bool writeSome(HANDLE file, const char* data, DWORD size, qint64 offset,
                   DWORD& written) override;

private:
    qsizetype m_room = -1; // bytes left on the disk; -1: as much as the real one has
    bool m_refuseWriting = false;
};

} // namespace vx::testing
