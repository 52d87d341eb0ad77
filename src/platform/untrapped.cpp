#include "untrapped.h"

#include <QCoreApplication>

namespace vx {

QString untrappedMessage(const RuntimeError& error) {
    return QCoreApplication::translate("RuntimeError", "執行階段錯誤 '%1'：\n\n%2")
        .arg(error.number())
        .arg(error.description());
}

} // namespace vx
