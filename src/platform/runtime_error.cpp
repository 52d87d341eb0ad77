#include "runtime_error.h"

#include <QCoreApplication>

namespace vx {

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toStdString()) {}

RuntimeError::RuntimeError(int number)
    : RuntimeError(number, standardDescription(number)) {}

QString standardDescription(int number) {
    switch (number) {
    case err::Overflow:
        return QCoreApplication::translate("RuntimeError", "數值超出範圍");
    case err::TypeMismatch:
        return QCoreApplication::translate("RuntimeError", "型態不符合：文字不是數字");
    case err::BadFileNumber:
        return QCoreApplication::translate("RuntimeError", "檔案名稱或代碼錯誤：檔案未開啟");
    case err::FileNotFound:
        return QCoreApplication::translate("RuntimeError", "找不到檔案");
    case err::BadFileMode:
        return QCoreApplication::translate("RuntimeError", "檔案模式錯誤");
    case err::BadRecordLength:
        return QCoreApplication::translate("RuntimeError", "記錄長度錯誤");
    case err::FileAlreadyOpen:
        return QCoreApplication::translate("RuntimeError", "檔案已開啟");
    case err::DeviceIoError:
        return QCoreApplication::translate("RuntimeError", "裝置輸入/輸出錯誤");
    case err::DiskFull:
        return QCoreApplication::translate("RuntimeError", "磁碟已滿");
    case err::PermissionDenied:
        return QCoreApplication::translate("RuntimeError", "沒有使用權限");
    case err::PathFileAccessError:
        return QCoreApplication::translate("RuntimeError", "路徑/檔案存取錯誤");
    case err::PathNotFound:
        return QCoreApplication::translate("RuntimeError", "找不到路徑");
    case err::InvalidPropertyValue:
        return QCoreApplication::translate("RuntimeError", "屬性值無效");
    case err::NoSuchArrayElement:
        return QCoreApplication::translate("RuntimeError", "控制項陣列元素不存在");
    case err::CancelChosen:
        return QCoreApplication::translate("RuntimeError", "已選擇取消");
    case err::IndexOutOfBounds:
        return QCoreApplication::translate("RuntimeError", "索引超出範圍");
    case err::HelpUnavailable:
        return QCoreApplication::translate("RuntimeError", "無法開啟說明檔");
    case err::InvalidPortNumber:
        return QCoreApplication::translate("RuntimeError", "傳輸埠號碼無效");
    case err::PortAlreadyOpen:
        return QCoreApplication::translate("RuntimeError", "傳輸埠已開啟");
    case err::PortInUse:
        return QCoreApplication::translate("RuntimeError", "傳輸埠正被其他程式使用");
    case err::PortAccessDenied:
        return QCoreApplication::translate("RuntimeError", "沒有開啟傳輸埠的權限");
    case err::InvalidSettings:
        return QCoreApplication::translate("RuntimeError", "傳輸設定無效");
    case err::CommStateFailed:
        return QCoreApplication::translate("RuntimeError", "無法設定傳輸埠狀態");
    case err::PortNotOpen:
        return QCoreApplication::translate("RuntimeError", "傳輸埠未開啟");
    case err::CommReadFailed:
        return QCoreApplication::translate("RuntimeError", "讀取傳輸埠時發生錯誤");
    case err::DeviceGone:
        return QCoreApplication::translate("RuntimeError", "USB斷線或裝置已移除");
    case err::CommWriteFailed:
        return QCoreApplication::translate("RuntimeError", "寫入傳輸埠時發生錯誤");
    default:
        return QCoreApplication::translate("RuntimeError", "應用程式定義或物件定義錯誤");
    }
}

} // namespace vx
