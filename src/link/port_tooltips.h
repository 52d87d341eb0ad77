#pragma once

#include "form/main_form.h"
#include "platform/serial_devices.h"

#include <QCoreApplication>

namespace vx {

// Each port item's tooltip tells which device its number stands for and whether it is there now,
// so the operator can tell which item is the counter. The captions stay as they are.
class PortToolTips {
    Q_DECLARE_TR_FUNCTIONS(PortToolTips)

public:
    PortToolTips(MainForm& form, const SerialDevices& devices)
        : m_form(form)
        , m_devices(devices) {}

    void refresh();
    static QString toolTipFor(const SerialDeviceInfo& device);

private:
    MainForm& m_form;
    const SerialDevices& m_devices;
};

} // namespace vx
