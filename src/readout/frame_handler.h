#pragma once

#include "form/frame_decoding.h"
#include "form/main_form.h"
#include "form/module_state.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <functional>

namespace vx {

// One complete line from the counter: show it, arrange the window for two or three axes, show the
// unit, and write it to the log file when a record is asked for.
class FrameHandler {
    Q_DECLARE_TR_FUNCTIONS(FrameHandler)

public:
    FrameHandler(MainForm& form, ModuleState& state, Platform& platform)
        : m_form(form)
        , m_state(state)
        , m_platform(platform) {}

    // Handles one complete line, line end included. Run-time errors leave it for the poll tick's
    // trap.
    void handleFrame(const QByteArray& line);

    // The three-axis arrangement, or the shorter two-axis one without the Z row.
    void showLayout(bool threeAxes);

    static constexpr int ThreeAxisFrameHeight = 3375;
    static constexpr int TwoAxisFrameHeight = 2295;

    // Told of each record as soon as it is in the log file (the CSV rows); must not raise.
    std::function<void(const QByteArray& line)> recordWritten;

private:
    void writeRecord(const QByteArray& line);

    MainForm& m_form;
    ModuleState& m_state;
    Platform& m_platform;
};

} // namespace vx
