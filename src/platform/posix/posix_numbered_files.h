#pragma once

#include "platform/numbered_files.h"

#include <map>
#include <sys/types.h>

namespace vx {

// Numbered files on POSIX descriptors. Writes are unbuffered and synced, so a record that was
// counted is on the disk even if the program or the machine dies next. Only regular files are
// opened, never a pipe or a device, and opening never waits. What is opened for writing is opened
// without following a link (O_NOFOLLOW), apart from the user's own link to a file that is there.
class PosixNumberedFiles : public NumberedFiles {
public:
    PosixNumberedFiles() = default;
    ~PosixNumberedFiles() override;
    PosixNumberedFiles(const PosixNumberedFiles&) = delete;
    PosixNumberedFiles& operator=(const PosixNumberedFiles&) = delete;

    void openRandom(int fileNumber, const QString& path, int recordLength) override;
    QByteArray getRecord(int fileNumber, int recordNumber) override;
    void putRecord(int fileNumber, int recordNumber, const QByteArray& bytes) override;
    void openAppend(int fileNumber, const QString& path) override;
    void openOutput(int fileNumber, const QString& path) override;
    void print(int fileNumber, const QByteArray& bytes) override;
    void close(int fileNumber) override;
    bool isOpen(int fileNumber) const override;
    std::optional<RuntimeError> whyReadOnly(int fileNumber) const override;

protected:
    // open(2); a test double refuses here what the file system would.
    virtual int openDescriptor(const QByteArray& path, int flags);

protected:
    // One write(2) at the end of the file (offset -1) or pwrite(2) at the offset; a test double
    // puts a full disk here.
    virtual ssize_t writeSome(int fd, const char* data, size_t size, off_t offset);

private:
    struct OpenFile {
        int fd = -1;
        QString path;
        int recordLength = 0;                 // 0: a text file
        std::optional<RuntimeError> readOnly; // why it may only be read
        dev_t device = 0;                     // the file opened, which the path must still name
        ino_t inode = 0;
    };

    void open(int fileNumber, const QString& path, int flags, int recordLength);
    static QByteArray ownLinkTarget(const QString& path, const QByteArray& native);
    OpenFile& find(int fileNumber);
    void writeAll(const OpenFile& file, const QByteArray& bytes, off_t offset);

    std::map<int, OpenFile> m_files;
};

} // namespace vx
