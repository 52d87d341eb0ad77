#pragma once

#include "form/module_state.h"
#include "platform/dialogs.h"
#include "platform/numbered_files.h"
#include "platform/runtime_error.h"

#include <QCoreApplication>
#include <QString>
#include <cstdint>

namespace vx {

// The port-settings file in the working directory: 20-byte records, record 1 the port number
// (signed 16-bit little-endian), record 2 the line speed (16-bit length, then up to 18 characters).
// It stays open as file number 2 from start-up to shutdown and every change is written at once.
//
// The program must run without it: a file that cannot be opened or written is reported to the
// operator once, and the program goes on with what it has. A file that may only be read is read.
class PortSettingsFile {
    Q_DECLARE_TR_FUNCTIONS(PortSettingsFile)

public:
    static constexpr int FileNumber = fileno::PortSettings;
    static constexpr int RecordLength = 20;
    static constexpr int PortRecord = 1;
    static constexpr int SpeedRecord = 2;
    static constexpr int MaxSpeedLength = RecordLength - 2;
    static const QString FileName;

    PortSettingsFile(NumberedFiles& files, Dialogs& dialogs)
        : m_files(files)
        , m_dialogs(dialogs) {}

    // Opens (creating) the file as number 2 in the working directory.
    void open();
    // Reads raise run-time errors (52 when the file is not open).
    int16_t readPort();
    QString readSpeed();
    void writePort(int16_t portNumber);
    void writeSpeed(const QString& speedText);

    // The bytes of the records, and back.
    static QByteArray portRecord(int16_t portNumber);
    static int16_t portFrom(const QByteArray& record);
    static QByteArray speedRecord(const QString& speedText);
    static QString speedFrom(const QByteArray& record);

private:
    void reportOnce(const RuntimeError& error);

    NumberedFiles& m_files;
    Dialogs& m_dialogs;
    bool m_reported = false;
};

} // namespace vx
