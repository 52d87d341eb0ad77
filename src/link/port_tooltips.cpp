#include "port_tooltips.h"

namespace vx {

QString PortToolTips::toolTipFor(const SerialDeviceInfo& device) {
    QString tip = device.path;
    if (device.named)
        tip += device.device.isEmpty() ? tr("（設定指定）")
                                       : tr("（設定指定，現為 %1）").arg(device.device);
    else if (!device.stableName.isEmpty())
        tip += tr("（%1）").arg(device.stableName);
    tip += device.present ? tr("：已連接") : tr("：未連接");
    return tip;
}

void PortToolTips::refresh() {
    for (MenuItem* item : m_form.port.items())
        item->setToolTip(toolTipFor(m_devices.describe(item->index().value_or(0))));
}

} // namespace vx
