#include "app_info.h"

namespace vx {

QString versionText(const AppInfo& app) {
    return QStringLiteral("版本 %1.%2.%3").arg(app.major).arg(app.minor).arg(app.revision);
}

} // namespace vx
