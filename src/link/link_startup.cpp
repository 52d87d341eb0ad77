#include "link_startup.h"

#include "platform/conversions.h"
#include "platform/error_trap.h"

namespace vx {

QString LinkStartup::noSignalText() {
    return tr("無信號");
}

// Unlike the port menu's prompt, without an exclamation mark.
QString LinkStartup::scanPromptTitle() {
    return tr("傳輸埠錯誤");
}

QString LinkStartup::portFailureTitle() {
    return tr("傳輸埠無法開啟");
}

QString LinkStartup::namedDeviceMissing(const QString& description, int port) {
    return tr("%1：這是個人設定 [Ports] %2= 指定的裝置，請接上這個裝置或更正設定")
        .arg(description)
        .arg(port);
}

namespace {
// A wait sleeps at most this long between passes when nothing happens.
constexpr int PassWaitMs = 5;
} // namespace

LinkStartup::LinkStartup(MainForm& form, ModuleState& state, Platform& platform,
                         PortSettingsFile& file, PortMenus& menus, const SerialDevices& devices,
                         Control* noSignalLabel)
    : m_form(form)
    , m_state(state)
    , m_platform(platform)
    , m_file(file)
    , m_menus(menus)
    , m_devices(devices)
    , m_noSignalLabel(noSignalLabel) {}

// One wait of the start-up, the handshake's and each of the scan's alike: each pass reads what
// has come (a failed read is the trap's), lets events run, then tests the time limit before the
// line end, so an answer in the pass in which the time runs out counts as none. Only what this wait
// reads can end it. Returns whether a read ended with a line feed in time.
template <class Trap> bool LinkStartup::waitForLine(Trap& trap) {
    SerialComm& comm = m_form.MSComm1;
    const double start = m_platform.clock.seconds();
    m_state.lastChunk.clear();
    for (;;) {
        trap([&] {
            if (comm.inBufferCount() != 0)
                m_state.lastChunk = comm.input();
        });
        m_platform.events.doEventsOrWait(PassWaitMs);
        if (m_platform.clock.seconds() - start > WaitLimitSeconds)
            return false;
        if (m_state.lastChunk.endsWith(LineEnd))
            return true;
    }
}

// A port that is there but could not be opened (held by another program, no permission) is kept
// with its cause for the operator, and so is a device that the operator named for the port but
// that is not there: that is no cable's fault. A number without a port of the system's own is
// what the scan expects of most.
std::optional<QString> LinkStartup::notePortFailure(const RuntimeError& error) {
    const int port = m_form.MSComm1.commPort();
    if (error.number() == err::PortAlreadyOpen ||
        (error.number() == err::InvalidPortNumber && !m_devices.isNamed(port)))
        return std::nullopt;
    const QString cause = error.number() == err::InvalidPortNumber
                              ? namedDeviceMissing(error.description(), port)
                              : error.description();
    if (!m_state.portFailures.contains(cause))
        m_state.portFailures.append(cause);
    return cause;
}

// Every failure is trapped: a step that fails is skipped, and a speed text that is no number is
// replaced by 9600 in the file.
void LinkStartup::Form_Load() {
    SerialComm& comm = m_form.MSComm1;
    ResumeNext step;

    step([&] { m_file.open(); });
    step([&] { m_state.portNumber = m_file.readPort(); });
    QString speedText;
    step([&] { speedText = m_file.readSpeed(); });
    step([&] { comm.setCommPort(m_state.portNumber); });
    const bool speedApplied = step([&] { comm.setSettings(lineSettingsFor(speedText)); });
    step([&] { m_menus.ClearPort(); });
    step([&] { m_menus.ClearBaud(); });
    step.clear();
    int32_t speed = 0;
    if (!step([&] { speed = toInt32(speedText); })) {
        if (step.number() == err::TypeMismatch)
            step([&] { m_file.writeSpeed(QStringLiteral("9600")); });
    } else if (speedApplied) {
        // A speed the port refused is not in force ("1200.4" reads as 1200), so no item says it is.
        step([&] { m_form.baud.item(speed).setChecked(true); });
    }
    step([&] { m_form.port.item(m_state.portNumber).setChecked(true); });
    step([&] { comm.setInputLen(50); });
    step([&] { comm.setRThreshold(0); });
    step([&] { comm.setEOFEnable(false); });
    // The stored port's cause is told at once, not after the scan has tried every other port.
    if (!step([&] { comm.setPortOpen(true); }))
        if (const std::optional<QString> cause = notePortFailure(*step.error()))
            m_platform.dialogs.msgBox(*cause, mb::Exclamation, portFailureTitle());

    step([&] { comm.output(PollCharacter); });
    m_state.deviceFound = true;
    if (!waitForLine(step)) {
        step([&] {
            if (m_noSignalLabel) {
                m_noSignalLabel->setCaption(noSignalText());
                m_noSignalLabel->setForeColor(color::Red);
            }
        });
        m_state.deviceFound = false;
    }

    if (!m_state.deviceFound)
        ScanPorts();
    m_form.Timer1.setEnabled(true);
    step([&] { comm.output(PollCharacter); });
}

// Every failure is trapped: it marks the counter as not found on this port, and the next step runs.
void LinkStartup::ScanPorts() {
    SerialComm& comm = m_form.MSComm1;
    ResumeNext trap;
    const auto step = [&](auto&& body) {
        if (!trap(body))
            m_state.deviceFound = false;
    };

    m_state.portNumber = 0;
    for (;;) {
        m_state.deviceFound = true;
        m_state.portNumber = static_cast<int16_t>(m_state.portNumber + 1);
        step([&] {
            if (comm.portOpen())
                comm.setPortOpen(false);
        });
        step([&] { comm.setCommPort(m_state.portNumber); });
        if (!trap([&] { comm.setPortOpen(true); })) {
            m_state.deviceFound = false;
            notePortFailure(*trap.error());
        }
        step([&] { comm.output(PollCharacter); });
        if (!waitForLine(step))
            m_state.deviceFound = false;

        if (m_state.deviceFound) {
            m_state.portFailures.clear(); // the counter is found: nothing is left to explain
            const QString entry = m_platform.dialogs.inputBox(
                PortMenus::portPrompt(), scanPromptTitle(), QString::number(m_state.portNumber));
            // An entry that is no number (a cancel gives none) keeps the answering port.
            step([&] { m_state.portNumber = toInt16(entry); });
            m_file.writePort(m_state.portNumber);
            break;
        }
        if (m_state.portNumber >= LastPortScanned)
            break;
    }
    step([&] { comm.output(PollCharacter); });
}

} // namespace vx
