#pragma once

#include "platform/posix/posix_numbered_files.h"
#include "platform/testing/faults.h"

namespace vx::testing {

enum class FileOp { Close };

// Real files in the file system, with failures on cue.
class FaultyFiles : public PosixNumberedFiles, public Faults<FileOp> {
public:
    using Op = FileOp;

    // The disk takes `bytes` more bytes, then every write fails with ENOSPC, part way if need be.
    void fillDiskAfter(qsizetype bytes) { m_room = bytes; }
    // Opening for writing fails with EACCES, as in a read-only folder (where root may still write).
    void refuseWriting() { m_refuseWriting = true; }
    void clearFaults() {
        Faults::clearFaults();
        m_room = -1;
    }

    // A close that fails still lets go of the file, as the operating system does.
    void close(int fileNumber) override {
        PosixNumberedFiles::close(fileNumber);
        maybeFail(Op::Close);
    }

protected:
    ssize_t writeSome(int fd, const char* data, size_t size, off_t offset) override;
    int openDescriptor(const QByteArray& path, int flags) override;

private:
    qsizetype m_room = -1; // bytes left on the disk; -1: as much as the real one has
    bool m_refuseWriting = false;
};

} // namespace vx::testing
