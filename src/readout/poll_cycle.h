#pragma once

#include "form/main_form.h"
#include "form/module_state.h"
#include "frame_handler.h"
#include "platform/platform.h"
#include "platform/runtime_error.h"

#include <QCoreApplication>

namespace vx {

// The 50 ms poll tick: re-poll a silent counter, drain the serial input, assemble lines, hand every
// complete "X" line to the frame handling and ask for the next line. Readings that no longer
// follow the counter (link lost, counter silent) turn grey until the next line.
class PollCycle {
    Q_DECLARE_TR_FUNCTIONS(PollCycle)

public:
    PollCycle(MainForm& form, ModuleState& state, Platform& platform, FrameHandler& frames)
        : m_form(form)
        , m_state(state)
        , m_platform(platform)
        , m_frames(frames) {}

    void Timer1_Timer();

    static constexpr int IdleTicksBeforePoll = 25; // the 27th empty tick polls again
    static constexpr qsizetype MaxFrameBytes = 4096;
    static QString linkLostMessage();
    static QString linkLostTitle();
    static QString portClosedMessage();
    static QString portsFailedMessage(const QStringList& causes);
    static QString portsFailedTitle();
    static QString linkBackMessage();

private:
    void tick();
    void react(const RuntimeError& error);
    void reopenPort();
    bool reopenLostLink();
    void showWhyNotReopened(const RuntimeError& error);
    void showLinkStatus(const QString& text);

    MainForm& m_form;
    ModuleState& m_state;
    Platform& m_platform;
    FrameHandler& m_frames;
    // The port was lost and could not be opened again: each tick tries to open it until it works.
    bool m_linkLost = false;
    QString m_lostCause;                 // what the status bar says about the lost link
    int m_bufferOpenCount = 0;           // the port's open count when the frame buffer was filled
    bool m_answeredSinceIdlePoll = true; // a line came since the last idle poll
};

} // namespace vx
