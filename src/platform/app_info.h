#pragma once

#include <QString>
#include <cstdint>

namespace vx {

struct VersionNumbers {
    int16_t major = 0;
    int16_t minor = 0;
    int16_t revision = 0;
};

// The version this program was built as: the project's version in the build.
VersionNumbers buildVersion();

// The application object: title, version numbers and help-file name.
struct AppInfo {
    QString title = QStringLiteral("Vx");
    int16_t major = buildVersion().major;
    int16_t minor = buildVersion().minor;
    int16_t revision = buildVersion().revision;
    QString helpFile; // none in this build
};

// "2.0.0"
QString versionNumber(const AppInfo& app);
// "版本 2.0.0": the version as the splash and About show it.
QString versionText(const AppInfo& app);

} // namespace vx
