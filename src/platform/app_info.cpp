#include "app_info.h"

#include <QCoreApplication>

#if !defined(VX_VERSION_MAJOR) || !defined(VX_VERSION_MINOR) || !defined(VX_VERSION_PATCH)
#error "the build passes the project's version as VX_VERSION_MAJOR, _MINOR and _PATCH"
#endif

namespace vx {

VersionNumbers buildVersion() {
    return {VX_VERSION_MAJOR, VX_VERSION_MINOR, VX_VERSION_PATCH};
}

QString versionNumber(const AppInfo& app) {
    return QStringLiteral("%1.%2.%3").arg(app.major).arg(app.minor).arg(app.revision);
}

QString versionText(const AppInfo& app) {
    return QCoreApplication::translate("AppInfo", "版本 ") + versionNumber(app);
}

} // namespace vx
