#pragma once

#include "numbered_files.h"

#include <map>

namespace vx {

// Numbered files on POSIX descriptors. Writes are unbuffered and synced, so a record that was
// counted is on the disk even if the program or the machine dies next.
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
    bool isReadOnly(int fileNumber) const override;

protected:
    // open(2); a test double refuses here what the file system would.
    virtual int openDescriptor(const QByteArray& path, int flags);

private:
    struct OpenFile {
        int fd = -1;
        QString path;
        int recordLength = 0; // 0: a text file
        bool readOnly = false;
    };

    void open(int fileNumber, const QString& path, int flags, int recordLength);
    OpenFile& find(int fileNumber);

    std::map<int, OpenFile> m_files;
};

} // namespace vx
