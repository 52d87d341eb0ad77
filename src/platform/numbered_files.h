#pragma once

#include "runtime_error.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace vx {

// Files reached by small numbers, as the handlers know them: number 1 is the log file, number 2 the
// port-settings file. Every failure is a RuntimeError: 52 for a number that is not open, 55 for
// one that is, 53/61/57/75/76 for the file system's refusals, each with the path in its
// description.
//
// A file is only written where it is the user's own: a regular file of the user's or root's, never
// through a link another user made, and never created through a link. Such a file is refused with
// 70, its path and the reason.
class NumberedFiles {
public:
    virtual ~NumberedFiles() = default;

    // Record access with fixed-length records; the file is created when missing. A file that may
    // be read but not written (or that is refused for writing) is opened for reading only: its
    // writes raise 70.
    virtual void openRandom(int fileNumber, const QString& path, int recordLength) = 0;
    // Why the number was opened for reading only: the error that refused writing; nothing when it
    // may be written, or is not open.
    virtual std::optional<RuntimeError> whyReadOnly(int fileNumber) const = 0;
    // Record n (from 1): recordLength bytes, the part beyond the end of the file as zero bytes.
    virtual QByteArray getRecord(int fileNumber, int recordNumber) = 0;
    // Writes one whole record at once (zero-padded to recordLength); it reaches the operating
    // system before the call returns. Bytes longer than a record are refused.
    virtual void putRecord(int fileNumber, int recordNumber, const QByteArray& bytes) = 0;

    // Text output: append keeps what the file holds, output empties it; both create it.
    virtual void openAppend(int fileNumber, const QString& path) = 0;
    virtual void openOutput(int fileNumber, const QString& path) = 0;
    // Writes the bytes as they are; they are on the disk when the call returns. A file that was
    // deleted, moved or replaced since it was opened is not written: its path leads elsewhere.
    virtual void print(int fileNumber, const QByteArray& bytes) = 0;

    // Closes the number; a number that is not open is left alone without error.
    virtual void close(int fileNumber) = 0;
    virtual bool isOpen(int fileNumber) const = 0;
};

} // namespace vx
