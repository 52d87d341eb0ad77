#include "runtime_error.h"

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
        return QStringLiteral("數值超出範圍");
    case err::TypeMismatch:
        return QStringLiteral("型態不符合：文字不是數字");
    case err::BadFileNumber:
        return QStringLiteral("檔案名稱或代碼錯誤：檔案未開啟");
    case err::FileNotFound:
        return QStringLiteral("找不到檔案");
    case err::BadFileMode:
        return QStringLiteral("檔案模式錯誤");
    case err::BadRecordLength:
        return QStringLiteral("記錄長度錯誤");
    case err::FileAlreadyOpen:
        return QStringLiteral("檔案已開啟");
    case err::DeviceIoError:
        return QStringLiteral("裝置輸入/輸出錯誤");
    case err::DiskFull:
        return QStringLiteral("磁碟已滿");
    case err::PermissionDenied:
        return QStringLiteral("沒有使用權限");
    case err::PathFileAccessError:
        return QStringLiteral("路徑/檔案存取錯誤");
    case err::PathNotFound:
        return QStringLiteral("找不到路徑");
    case err::InvalidPropertyValue:
        return QStringLiteral("屬性值無效");
    case err::NoSuchArrayElement:
        return QStringLiteral("控制項陣列元素不存在");
    case err::CancelChosen:
        return QStringLiteral("已選擇取消");
    case err::IndexOutOfBounds:
        return QStringLiteral("索引超出範圍");
    case err::HelpUnavailable:
        return QStringLiteral("無法開啟說明檔");
    case err::InvalidPortNumber:
        return QStringLiteral("傳輸埠號碼無效");
    case err::PortAlreadyOpen:
        return QStringLiteral("傳輸埠已開啟");
    case err::PortInUse:
        return QStringLiteral("傳輸埠正被其他程式使用");
    case err::PortAccessDenied:
        return QStringLiteral("沒有開啟傳輸埠的權限");
    case err::InvalidSettings:
        return QStringLiteral("傳輸設定無效");
    case err::CommStateFailed:
        return QStringLiteral("無法設定傳輸埠狀態");
    case err::PortNotOpen:
        return QStringLiteral("傳輸埠未開啟");
    case err::CommReadFailed:
        return QStringLiteral("讀取傳輸埠時發生錯誤");
    case err::DeviceGone:
        return QStringLiteral("USB斷線或裝置已移除");
    case err::CommWriteFailed:
        return QStringLiteral("寫入傳輸埠時發生錯誤");
    default:
        return QStringLiteral("應用程式定義或物件定義錯誤");
    }
}

} // namespace vx
