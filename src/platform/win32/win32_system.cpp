#include "win32_system.h"

#include "win32_numbered_files.h"
#include "win32_serial.h"
#include "win32_serial_devices.h"
#include "win32_single_copy.h"

#include <QDir>
#include <cstdio>
#include <shlobj.h>
#include <windows.h>

namespace vx {

void Win32System::prepareProcess() const {
    // A file on a drive with no medium, or a port that failed, is an error that a handler reports,
    // not a box of the system's that stops the program until someone answers it.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // A windowed program has no console: --help and --version answer in the one of the command
    // prompt that started it, unless their output goes to a file or a pipe already.
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::FILE* stream = nullptr;
        (void)::freopen_s(&stream, "CONOUT$", "w", stdout);
        (void)::freopen_s(&stream, "CONOUT$", "w", stderr);
    }
}

// The language the user chose for Windows' own texts, as a locale name with an underscore.
QString Win32System::userLanguage() const {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LCID locale = MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (::LCIDToLocaleName(locale, name, LOCALE_NAME_MAX_LENGTH, 0) <= 1)
        return {};
    return QString::fromWCharArray(name).replace(QLatin1Char('-'), QLatin1Char('_'));
}

// %LOCALAPPDATA%\Vx: the user's own folder on this machine, which a roaming profile leaves here.
QString Win32System::menuLaunchFolder() const {
    wchar_t* folder = nullptr;
    QString base;
    if (::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &folder) == S_OK)
        base = QString::fromWCharArray(folder);
    ::CoTaskMemFree(folder);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/AppData/Local");
    return QDir::toNativeSeparators(QDir::cleanPath(base + QStringLiteral("/Vx")));
}

std::unique_ptr<NumberedFiles> Win32System::makeNumberedFiles() const {
    return std::make_unique<Win32NumberedFiles>();
}

std::unique_ptr<SerialDevices> Win32System::makeSerialDevices(NamedPorts named) const {
    return std::make_unique<Win32SerialDevices>(std::move(named));
}

std::unique_ptr<SerialComm> Win32System::makeSerial(const SerialDevices& devices) const {
    return std::make_unique<Win32Serial>(devices);
}

std::unique_ptr<SingleCopy> Win32System::makeSingleCopy(const QString& workFolder) const {
    return std::make_unique<Win32SingleCopy>(workFolder);
}

} // namespace vx
