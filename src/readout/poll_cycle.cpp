#include "poll_cycle.h"

#include "form/frame_decoding.h"
#include "platform/error_trap.h"
#include "platform/log_categories.h"

namespace vx {

QString PollCycle::linkLostMessage() {
    return tr("USB斷線或Vx515沒開機");
}

QString PollCycle::linkLostTitle() {
    return tr("USB無信號");
}

QString PollCycle::portClosedMessage() {
    return tr("傳輸埠未開啟，無法讀取Vx515，程式即將結束。\n"
              "請確認USB線已接上、Vx515已開機，再重新啟動程式。");
}

// The causes one a line.
QString PollCycle::portsFailedMessage(const QStringList& causes) {
    return tr("傳輸埠未開啟，無法讀取Vx515，程式即將結束。\n%1\n請排除上述問題，再重新啟動程式。")
        .arg(causes.join(QLatin1Char('\n')));
}

QString PollCycle::portsFailedTitle() {
    return tr("傳輸埠無法開啟");
}

QString PollCycle::linkBackMessage() {
    return tr("USB已重新連線");
}

// The first failure ends the tick; the serial component's numbers and a closed port have
// reactions, everything else ends it quietly.
void PollCycle::Timer1_Timer() {
    if (m_linkLost && !reopenLostLink())
        return;
    endOnError([this] { tick(); }, [this](const RuntimeError& error) { react(error); });
}

void PollCycle::tick() {
    SerialComm& comm = m_form.MSComm1;
    const int opened = comm.openCount();
    if (m_pollOpenCount != opened) { // a poll sent before the port was last opened is lost
        m_pollOpenCount = opened;
        m_ticksSincePoll = IdleTicksBeforePoll + 1;
    } else if (m_ticksSincePoll <= IdleTicksBeforePoll) {
        ++m_ticksSincePoll;
    }

    if (comm.inBufferCount() == 0) {
        if (m_state.idleTicks <= IdleTicksBeforePoll) {
            m_state.idleTicks = static_cast<int16_t>(m_state.idleTicks + 1);
        } else if (m_ticksSincePoll > IdleTicksBeforePoll) {
            // The poll went out as long ago as the idle wait and has no answer: it is lost. A
            // counter that answered no line since the last idle poll is off or unplugged.
            if (!m_answeredSinceIdlePoll)
                m_form.markReadingsStale();
            m_answeredSinceIdlePoll = false;
            poll();
            m_state.idleTicks = 0;
        } // else a poll is on its way: the idle count waits at its top for it to go unanswered
    }

    while (comm.inBufferCount() != 0) {
        m_state.lastChunk = comm.input();
        // Half a line from before the port was last closed is no part of what comes now.
        if (m_bufferOpenCount != opened) {
            m_state.frameBuffer.clear();
            m_bufferOpenCount = opened;
            m_skipBrokenLine = false;
        }
        // The chunk ends where bytes were dropped: the line it leaves open is broken.
        const bool bytesLost = comm.lossCount() != m_lossCount;
        m_lossCount = comm.lossCount();
        appendChunk(m_state.lastChunk);
        // Each complete line is a frame of its own, in order; what follows the last one waits.
        for (qsizetype end = 0; (end = m_state.frameBuffer.indexOf(LineEnd)) >= 0;) {
            const QByteArray line = m_state.frameBuffer.left(end + 1);
            // Only a frame answers the poll: a line of noise asks for no other, or every such
            // line would leave one more poll outstanding for good.
            const bool frame = isFrame(line);
            if (frame) {
                m_frames.handleFrame(line);
                m_answeredSinceIdlePoll = true;
                // Handlers ran meanwhile. A closed window is not touched again, and a port closed
                // by a port change gets no poll: what is left of its input is dropped next time.
                if (!m_form.window.loaded() || !comm.portOpen() || comm.openCount() != opened)
                    return;
            }
            m_state.frameBuffer.remove(0, line.size());
            if (frame)
                poll();
        }
        // A line that lost bytes, or one too long to be the counter's (it would grow without
        // bound), is broken: it goes whole, up to its line end, so no part of it passes as a line.
        if (bytesLost || m_state.frameBuffer.size() > MaxFrameBytes) {
            m_state.frameBuffer.clear();
            m_skipBrokenLine = true;
        }
    }
}

// While a broken line is skipped, its rest up to its line end goes too.
void PollCycle::appendChunk(const QByteArray& chunk) {
    if (!m_skipBrokenLine) {
        m_state.frameBuffer += chunk;
        return;
    }
    const qsizetype end = chunk.indexOf(LineEnd);
    if (end < 0)
        return;
    m_skipBrokenLine = false;
    m_state.frameBuffer += chunk.mid(end + 1);
}

void PollCycle::poll() {
    m_form.MSComm1.output(PollCharacter);
    m_ticksSincePoll = 0;
}

void PollCycle::react(const RuntimeError& error) {
    switch (error.number()) {
    case err::DeviceGone: {
        m_form.markReadingsStale();
        ResumeNext close; // closing a port whose device has gone is quiet
        close([this] { m_form.MSComm1.setPortOpen(false); });
        m_platform.dialogs.msgBox(linkLostMessage(), mb::Exclamation, linkLostTitle());
        reopenPort();
        break;
    }
    case err::InvalidPortNumber:
        m_form.markReadingsStale();
        m_platform.dialogs.msgBox(linkLostMessage(), mb::Exclamation, linkLostTitle());
        reopenPort();
        break;
    case err::PortNotOpen:
        // No port could be opened: the program ends, but not without saying why. A port that is
        // there but could not be opened is named with its cause; the cable is not to blame.
        if (m_state.portFailures.isEmpty())
            m_platform.dialogs.msgBox(portClosedMessage(), mb::Exclamation, linkLostTitle());
        else
            m_platform.dialogs.msgBox(portsFailedMessage(m_state.portFailures), mb::Exclamation,
                                      portsFailedTitle());
        m_form.window.unload();
        break;
    default: // a read or a write that failed otherwise: the next tick tries again
        qCInfo(vxSerial).noquote() << "tick ended:" << error.number() << error.description();
        break;
    }
}

// After OK the port is opened again. When the counter is still away, the port stays closed and
// later ticks keep trying, so the readings come back by themselves once it is there again.
void PollCycle::reopenPort() {
    try {
        m_form.MSComm1.setPortOpen(true);
    } catch (const RuntimeError& error) {
        if (error.number() == err::PortAlreadyOpen)
            return;
        m_linkLost = true;
        m_lostCause.clear();
        showWhyNotReopened(error);
    }
}

bool PollCycle::reopenLostLink() {
    ResumeNext open;
    if (!open([this] { m_form.MSComm1.setPortOpen(true); }) &&
        open.number() != err::PortAlreadyOpen) {
        showWhyNotReopened(*open.error());
        return false;
    }
    m_linkLost = false;
    showLinkStatus(linkBackMessage());
    return true;
}

// A port that is not there (or a device that went away) is the cable or the counter; a port that
// is there has a cause of its own, such as another program holding it. The status bar shows the
// cause when it changes, with the time at which it did.
void PollCycle::showWhyNotReopened(const RuntimeError& error) {
    const QString cause =
        error.number() == err::InvalidPortNumber || error.number() == err::DeviceGone
            ? linkLostMessage()
            : standardDescription(error.number());
    if (cause == m_lostCause)
        return;
    m_lostCause = cause;
    showLinkStatus(cause);
}

void PollCycle::showLinkStatus(const QString& text) {
    ResumeNext show;
    show([&] {
        m_form.sbStatusBar.panel(MainForm::PanelLink)
            .setText(MainForm::linkStatusText(text, m_platform.clock.timeOfDay()));
    });
}

} // namespace vx
