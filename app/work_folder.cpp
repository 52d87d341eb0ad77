#include "work_folder.h"

#include <QCoreApplication>
#include <QFile>
#include <filesystem>
#include <system_error>

namespace vx::app {

QString enterFolder(const QString& path) {
    namespace fs = std::filesystem;
    const fs::path folder(QFile::encodeName(path).toStdString());
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
