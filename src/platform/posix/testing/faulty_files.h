#pragma once

#include "platform/posix/posix_numbered_files.h"
#include "platform/testing/faulty_files_of.h"

namespace vx::testing {

// A full disk is ENOSPC, a folder that may only be read EACCES.
class FaultyFiles : public FaultyFilesOf<PosixNumberedFiles> {
protected:
    ssize_t writeSome(int fd, const char* data, size_t size, off_t offset) override;
    int openDescriptor(const QByteArray& path, int flags) override;
};

} // namespace vx::testing
