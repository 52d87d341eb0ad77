#include "port_tooltips.h"

namespace vx {

QString PortToolTips::toolTipFor(const SerialDeviceInfo& device) {
    QString tip = device.path;
    if (device.named)
        tip += device.device.isEmpty() ? QStringLiteral("（設定指定）")
                                       : QStringLiteral("（設定指定，現為 %1）").arg(device.device);
    else if (!device.stableName.isEmpty())
        tip += QStringLiteral("（%1）").arg(device.stableName);
    tip += device.present ? QStringLiteral("：已連接") : QStringLiteral("：未連接");
    return tip;
}

void PortToolTips::refresh() {
    for (MenuItem* item : m_form.port.items())
        item->setToolTip(toolTipFor(m_devices.describe(item->index().value_or(0))));
}

} // namespace vx
