#pragma once

#include <QString>
#include <exception>
#include <string>

namespace vx {

// Run-time error numbers that the handlers test for or raise.
namespace err {
inline constexpr int TypeMismatch = 13;  // text is not a number
inline constexpr int Overflow = 6;       // number outside the range of its type
inline constexpr int BadFileNumber = 52; // numbered file not open
inline constexpr int FileNotFound = 53;
inline constexpr int BadFileMode = 54; // text output to a record file, or the other way
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int DeviceIoError = 57;
inline constexpr int BadRecordLength = 59;
inline constexpr int DiskFull = 61;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccessError = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int NoSuchArrayElement = 340;   // menu item array has no item with that index
inline constexpr int InvalidPropertyValue = 380; // a property set to a value it cannot take
inline constexpr int CancelChosen = 32755;       // file dialog cancelled with CancelError set
inline constexpr int IndexOutOfBounds = 35600;   // status-bar panel number
inline constexpr int HelpUnavailable = 32002;    // help viewer could not be started
inline constexpr int InvalidPortNumber = 8002;
inline constexpr int PortAlreadyOpen = 8005;  // ours: held by this program already
inline constexpr int PortInUse = 8010;        // held by another program
inline constexpr int PortAccessDenied = 8011; // no permission on the device
inline constexpr int InvalidSettings = 8014;  // line settings text not accepted
inline constexpr int CommStateFailed = 8015;  // the driver refused the line settings
inline constexpr int PortNotOpen = 8018;
inline constexpr int CommReadFailed = 8020;
inline constexpr int DeviceGone = 8021; // device control block unavailable: cable pulled
inline constexpr int CommWriteFailed = 8022;
} // namespace err

// A numbered run-time error with its description, as the handlers see it.
class RuntimeError : public std::exception {
public:
    RuntimeError(int number, QString description);
    explicit RuntimeError(int number);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

// The standard description of an error number, used when the raiser has nothing more precise.
QString standardDescription(int number);

} // namespace vx
