#include "serial_events.h"

#include "platform/error_trap.h"

namespace vx {

std::optional<QString> SerialEvents::messageFor(int code) {
    switch (code) {
    case comm::ErBreak:
        return QStringLiteral("信號斷接");
    case comm::ErFrame:
        return QStringLiteral("接收信號框架錯誤");
    case comm::ErOverrun:
        return QStringLiteral("發射信號過多無法處理");
    case comm::ErRxOver:
        return QStringLiteral("接收信號過多無法處理");
    case comm::ErRxParity:
        return QStringLiteral("接收信號檢查碼錯誤");
    case comm::ErTxFull:
        return QStringLiteral("發射緩衝器滿載");
    case comm::ErDCB:
        return QStringLiteral("Unexpected error retrieving DCB");
    case comm::EvDSR:
        return QStringLiteral("DSR信號有變化");
    case comm::EvRing:
        return QStringLiteral("收到震鈴信號");
    case comm::EvReceive:
        return QStringLiteral("收得足夠字元");
    case comm::EvSend:
        return QStringLiteral("送出足夠字元");
    case comm::EvEOF:
        return QStringLiteral("收到EOF(chr(26))");
    default:
        return std::nullopt;
    }
}

// Every failure is ignored.
void SerialEvents::MSComm1_OnComm() {
    ResumeNext step;
    int code = 0;
    step([&] { code = m_form.MSComm1.commEvent(); });
    const std::optional<QString> message = messageFor(code);
    if (!message)
        return;
    step([&] {
        m_form.sbStatusBar.panel(MainForm::PanelLink)
            .setText(*message + m_platform.clock.timeOfDay());
    });
}

} // namespace vx
