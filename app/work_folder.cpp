#include "work_folder.h"

#include <QCoreApplication>
#include <filesystem>
#include <system_error>

namespace vx::app {

QString enterFolder(const QString& path) {
    namespace fs = std::filesystem;
    // From UTF-16, which names every folder on both systems (a Windows user name in Chinese too).
    const fs::path folder(path.toStdU16String());
    std::error_code error;
    // Private to its user, as the base directory rules ask of the folders they create.
    if (fs::create_directories(folder, error))
        fs::permissions(folder, fs::perms::owner_all, error);
    if (!error)
        fs::current_path(folder, error);
    if (error)
        return QCoreApplication::translate("WorkFolder", "無法使用資料夾 %1：%2")
            .arg(path, QString::fromLocal8Bit(error.message()));
    return {};
}

} // namespace vx::app
