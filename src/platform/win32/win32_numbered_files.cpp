#include "win32_numbered_files.h"

#include "platform/runtime_error.h"

#include <QCoreApplication>
#include <QDir>

namespace vx {

namespace {

QString reason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString result =
        length > 0 ? QString::fromWCharArray(text, static_cast<int>(length)).trimmed() : QString();
    ::LocalFree(text);
    return result.isEmpty() ? QString::number(error) : result;
}

RuntimeError fileError(DWORD error, const QString& path) {
    int number = err::PathFileAccessError;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
        number = err::PathNotFound;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        number = err::DiskFull;
        break;
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        number = err::DeviceIoError;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        number = err::PermissionDenied;
        break;
    default:
        break;
    }
    return {number,
            QStringLiteral("%1：%2 (%3)").arg(standardDescription(number), path, reason(error))};
}

// Text, records and the log are files on a disk; a device or a pipe could block the program or
// take what is written elsewhere, and a link could lead the writes into another user's file.
RuntimeError notAFile(const QString& path) {
    return {
        err::PathFileAccessError,
        QCoreApplication::translate(
            "NumberedFiles", "%1：%2 (不是一般檔案，而是裝置、管道、資料夾或連結；請選一般的檔案)")
            .arg(standardDescription(err::PathFileAccessError), path)};
}

bool isPlainFileAttributes(DWORD attributes) {
    return (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// What was opened is a file on a disk, not a device, a pipe, a folder or a link.
bool isFileOnADisk(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handle, &info) &&
           isPlainFileAttributes(info.dwFileAttributes);
}

const wchar_t* wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

} // namespace

Win32NumberedFiles::~Win32NumberedFiles() {
    for (auto& [number, file] : m_files)
        ::CloseHandle(file.handle);
}

void Win32NumberedFiles::open(int fileNumber, const QString& path, DWORD access, DWORD disposition,
                              int recordLength) {
    if (m_files.count(fileNumber) != 0)
        throw RuntimeError(err::FileAlreadyOpen, QStringLiteral("%1：#%2")
                                                     .arg(standardDescription(err::FileAlreadyOpen))
                                                     .arg(fileNumber));
    if (path.isEmpty())
        throw RuntimeError(err::FileNotFound,
                           QCoreApplication::translate("NumberedFiles", "%1：檔名是空的")
                               .arg(standardDescription(err::FileNotFound)));
    const QString native = QDir::toNativeSeparators(path);
    // A device is not even opened (opening one may act on it); the check after the open catches a
    // name that changed in between.
    if (native.startsWith(QStringLiteral("\\\\.\\")))
        throw notAFile(path);
    const DWORD before = ::GetFileAttributesW(wide(native));
    if (before != INVALID_FILE_ATTRIBUTES && !isPlainFileAttributes(before))
        throw notAFile(path);
    const HANDLE handle = openHandle(native, access, disposition);
    if (handle == INVALID_HANDLE_VALUE)
        throw fileError(::GetLastError(), path);
    if (!isFileOnADisk(handle)) {
        ::CloseHandle(handle);
        throw notAFile(path);
    }
    m_files[fileNumber] = OpenFile{handle, path, recordLength, std::nullopt};
}

// The link itself is opened, never what it leads to, so the check after the open sees it.
HANDLE Win32NumberedFiles::openHandle(const QString& path, DWORD access, DWORD disposition) {
    return ::CreateFileW(wide(path), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                         nullptr);
}

Win32NumberedFiles::OpenFile& Win32NumberedFiles::find(int fileNumber) {
    const auto it = m_files.find(fileNumber);
    if (it == m_files.end())
        throw RuntimeError(err::BadFileNumber, QStringLiteral("%1 (#%2)")
                                                   .arg(standardDescription(err::BadFileNumber))
                                                   .arg(fileNumber));
    return it->second;
}

void Win32NumberedFiles::openRandom(int fileNumber, const QString& path, int recordLength) {
    try {
        open(fileNumber, path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, recordLength);
    } catch (const RuntimeError& refusal) {
        if (refusal.number() != err::PermissionDenied)
            throw;
        // What a file we may not write holds is still worth reading; its writes are refused.
        try {
            open(fileNumber, path, GENERIC_READ, OPEN_EXISTING, recordLength);
        } catch (const RuntimeError&) {
            throw refusal;
        }
        m_files[fileNumber].readOnly = refusal;
    }
}

QByteArray Win32NumberedFiles::getRecord(int fileNumber, int recordNumber) {
    OpenFile& file = find(fileNumber);
    if (file.recordLength <= 0 || recordNumber < 1)
        throw RuntimeError(err::BadFileNumber);
    QByteArray record(file.recordLength, '\0');
    const qint64 offset = static_cast<qint64>(recordNumber - 1) * file.recordLength;
    qsizetype done = 0;
    while (done < record.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        DWORD got = 0;
        if (!::ReadFile(file.handle, record.data() + done, static_cast<DWORD>(record.size() - done),
                        &got, &at)) {
            const DWORD e = ::GetLastError();
            if (e == ERROR_HANDLE_EOF)
                break;
            throw fileError(e, file.path);
        }
        if (got == 0)
            break; // beyond the end: the rest stays zero
        done += got;
    }
    return record;
}

void Win32NumberedFiles::putRecord(int fileNumber, int recordNumber, const QByteArray& bytes) {
    OpenFile& file = find(fileNumber);
    if (file.recordLength <= 0 || recordNumber < 1)
        throw RuntimeError(err::BadFileNumber);
    if (file.readOnly)
        throw *file.readOnly;
    if (bytes.size() > file.recordLength)
        throw RuntimeError(
            err::BadRecordLength,
            QStringLiteral("%1：%2").arg(standardDescription(err::BadRecordLength), file.path));
    QByteArray record = bytes;
    record.append(file.recordLength - bytes.size(), '\0');
    writeAll(file, record, static_cast<qint64>(recordNumber - 1) * file.recordLength);
}

void Win32NumberedFiles::openAppend(int fileNumber, const QString& path) {
    open(fileNumber, path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, OPEN_ALWAYS, 0);
}

void Win32NumberedFiles::openOutput(int fileNumber, const QString& path) {
    open(fileNumber, path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, CREATE_ALWAYS, 0);
}

void Win32NumberedFiles::print(int fileNumber, const QByteArray& bytes) {
    OpenFile& file = find(fileNumber);
    if (file.recordLength > 0)
        throw RuntimeError(err::BadFileMode, QStringLiteral("%1：%2").arg(
                                                 standardDescription(err::BadFileMode), file.path));
    LARGE_INTEGER end{};
    if (!::GetFileSizeEx(file.handle, &end))
        throw fileError(::GetLastError(), file.path);
    // A record is in the file whole or not at all: what a failed write left is cut back off.
    try {
        writeAll(file, bytes, end.QuadPart);
    } catch (const RuntimeError&) {
        if (!::SetFilePointerEx(file.handle, end, nullptr, FILE_BEGIN) ||
            !::SetEndOfFile(file.handle)) {
            // the file keeps a torn end; the failure being raised says the record is not whole
        }
        throw;
    }
}

// Writes all bytes at the offset, continuing after short writes, then flushes them to the disk.
void Win32NumberedFiles::writeAll(const OpenFile& file, const QByteArray& bytes, qint64 offset) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!writeSome(file.handle, bytes.constData() + done,
                       static_cast<DWORD>(bytes.size() - done), offset + done, written))
            throw fileError(::GetLastError(), file.path);
        if (written == 0)
            throw fileError(ERROR_WRITE_FAULT, file.path);
        done += written;
    }
    if (!::FlushFileBuffers(file.handle))
        throw fileError(::GetLastError(), file.path);
}

bool Win32NumberedFiles::writeSome(HANDLE file, const char* data, DWORD size, qint64 offset,
                                   DWORD& written) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ::WriteFile(file, data, size, &written, &at) != 0;
}

void Win32NumberedFiles::close(int fileNumber) {
    const auto it = m_files.find(fileNumber);
    if (it == m_files.end())
        return;
    const OpenFile file = it->second;
    m_files.erase(it);
    // Every write was flushed already; a failing close still frees the number, but is reported.
    if (!::CloseHandle(file.handle))
        throw fileError(::GetLastError(), file.path);
}

bool Win32NumberedFiles::isOpen(int fileNumber) const {
    return m_files.count(fileNumber) != 0;
}

std::optional<RuntimeError> Win32NumberedFiles::whyReadOnly(int fileNumber) const {
    const auto it = m_files.find(fileNumber);
    return it == m_files.end() ? std::nullopt : it->second.readOnly;
}

} // namespace vx
