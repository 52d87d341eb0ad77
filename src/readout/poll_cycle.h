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
    void appendChunk(const QByteArray& chunk);
    void poll();
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
    // At most one poll is outstanding: the next goes out when a frame answers it, or when it has
    // gone unanswered as long as the idle wait. Ticks since the last poll, up to just past that.
    int m_ticksSincePoll = IdleTicksBeforePoll + 1;
    int m_pollOpenCount = 0;       // the port's open count that m_ticksSincePoll belongs to
    int m_lossCount = 0;           // the port's count of dropped input, as last seen
    bool m_skipBrokenLine = false; // bytes of the line now arriving were dropped
};

} // namespace vx
