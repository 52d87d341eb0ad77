#include "serial_events.h"

#include "platform/error_trap.h"

namespace vx {

std::optional<QString> SerialEvents::messageFor(int code) {
    switch (code) {
    case comm::ErBreak:
        return tr("信號斷接");
    case comm::ErFrame:
        return tr("接收信號框架錯誤");
    case comm::ErOverrun:
        return tr("發射信號過多無法處理");
    case comm::ErRxOver:
        return tr("接收信號過多無法處理");
    case comm::ErRxParity:
        return tr("接收信號檢查碼錯誤");
    case comm::ErTxFull:
        return tr("發射緩衝器滿載");
    case comm::ErDCB:
        return tr("Unexpected error retrieving DCB");
    case comm::EvDSR:
        return tr("DSR信號有變化");
    case comm::EvRing:
        return tr("收到震鈴信號");
    case comm::EvReceive:
        return tr("收得足夠字元");
    case comm::EvSend:
        return tr("送出足夠字元");
    case comm::EvEOF:
        return tr("收到EOF(chr(26))");
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
            .setText(MainForm::linkStatusText(*message, m_platform.clock.timeOfDay()));
    });
}

} // namespace vx
