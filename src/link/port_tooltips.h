#pragma once

#include "form/main_form.h"
#include "platform/serial_device.h"

#include <functional>

namespace vx {

// Each port item's tooltip tells which device its number stands for and whether it is there now,
// so the operator can tell which item is the counter. The captions stay as they are.
class PortToolTips {
public:
    using Describe = std::function<SerialDeviceInfo(int portNumber)>;

    explicit PortToolTips(
        MainForm& form, Describe describe = [](int n) { return describeSerialDevice(n); })
        : m_form(form)
        , m_describe(std::move(describe)) {}

    void refresh();
    static QString toolTipFor(const SerialDeviceInfo& device);

private:
    MainForm& m_form;
    Describe m_describe;
};

} // namespace vx
