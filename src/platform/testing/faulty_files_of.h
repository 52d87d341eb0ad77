#pragma once

#include "faults.h"

namespace vx::testing {

enum class FileOp { Close };

// The operating system's real files, with failures on cue; its side says how each one shows.
template <class Files> class FaultyFilesOf : public Files, public Faults<FileOp> {
public:
    using Op = FileOp;

    // The disk takes `bytes` more bytes, then every write fails as on a full disk, part way if
    // need be.
    void fillDiskAfter(qsizetype bytes) { m_room = bytes; }
    // Opening for writing is refused, as in a folder the user may only read (where root may still
    // write).
    void refuseWriting() { m_refuseWriting = true; }
    void clearFaults() {
        Faults::clearFaults();
        m_room = -1;
    }

    // A close that fails still lets go of the file, as the operating system does.
    void close(int fileNumber) override {
        Files::close(fileNumber);
        maybeFail(Op::Close);
    }

protected:
    qsizetype m_room = -1; // bytes left on the disk; -1: as much as the real one has
    bool m_refuseWriting = false;
};

} // namespace vx::testing
