#pragma once

#include "form/main_form.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <optional>

namespace vx {

// Line events and communication errors of the serial port, shown with the time of day in the first
// status-bar panel. A display only: no event changes the link.
class SerialEvents {
    Q_DECLARE_TR_FUNCTIONS(SerialEvents)

public:
    SerialEvents(MainForm& form, Platform& platform)
        : m_form(form)
        , m_platform(platform) {}

    void MSComm1_OnComm();

    // The message for an event code, if it has one.
    static std::optional<QString> messageFor(int code);

private:
    MainForm& m_form;
    Platform& m_platform;
};

} // namespace vx
