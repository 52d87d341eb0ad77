#pragma once

#include "platform/numbered_files.h"

#include <QtGlobal>
#include <map>
#include <windows.h>

namespace vx {

// Numbered files on Windows file handles. Writes are unbuffered and flushed to the disk, so a
// record that was counted is there even if the program or the machine dies next. Only files on a
// disk are opened: never a device, a pipe or a folder, and never through a link or junction (a
// reparse point) that someone may have planted in its place. Other programs may read the files
// meanwhile, but not delete, move or replace them: the path names the file opened while it is
// open.
class Win32NumberedFiles : public NumberedFiles {
public:
    Win32NumberedFiles() = default;
    ~Win32NumberedFiles() override;
    Win32NumberedFiles(const Win32NumberedFiles&) = delete;
    Win32NumberedFiles& operator=(const Win32NumberedFiles&) = delete;

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
    // CreateFileW; a test double refuses here what the file system would.
    virtual HANDLE openHandle(const QString& path, DWORD access, DWORD disposition);
    // One WriteFile at the offset; a test double puts a full disk here.
    virtual bool writeSome(HANDLE file, const char* data, DWORD size, qint64 offset,
                           DWORD& written);

private:
    struct OpenFile {
        HANDLE handle = INVALID_HANDLE_VALUE;
        QString path;
        int recordLength = 0;                 // 0: a text file
        std::optional<RuntimeError> readOnly; // why it may only be read
    };

    void open(int fileNumber, const QString& path, DWORD access, DWORD disposition,
              int recordLength);
    OpenFile& find(int fileNumber);
    void writeAll(const OpenFile& file, const QByteArray& bytes, qint64 offset);

    std::map<int, OpenFile> m_files;
};

} // namespace vx
