#pragma once

#include <QString>
#include <cstdint>

namespace vx {

// The application object: title, version numbers and help-file name.
struct AppInfo {
    QString title = QStringLiteral("Vx");
    int16_t major = 2;
    int16_t minor = 0;
    int16_t revision = 0;
    QString helpFile; // none in this build
};

// "版本 2.0.0": the version as the splash and About show it.
QString versionText(const AppInfo& app);

} // namespace vx
