#include "platform/testing/faults.h"
#include "platform/testing/test_process.h"
#include "platform/win32/comm_device.h"
#include "platform/win32/win32_serial.h"
#include "platform/win32/win32_serial_devices.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <windows.h>

using namespace vx;
using vx::testing::errorOf;
using vx::testing::waitUntil;

namespace {

// The simulated counter on a COM port: the run's script maps the port to the simulator's
// pseudo-terminal and names here the pipe of its commands and its log.
class SimulatedCounter {
public:
    SimulatedCounter()
        : m_log(qEnvironmentVariable("VX_TEST_SIM_LOG"))
        , m_port(static_cast<int16_t>(qEnvironmentVariableIntValue("VX_TEST_SIM_PORT"))) {
        const QString commands = qEnvironmentVariable("VX_TEST_SIM_COMMANDS");
        if (!commands.isEmpty())
            m_commands = ::CreateFileW(reinterpret_cast<const wchar_t*>(commands.utf16()),
                                       GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    }
    ~SimulatedCounter() { ::CloseHandle(m_commands); }
    bool ready() const { return m_commands != INVALID_HANDLE_VALUE && m_port > 0; }
    int16_t port() const { return m_port; }

    void command(const QByteArray& line) {
        const QByteArray bytes = line + '\n';
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(m_commands, bytes.constData(), static_cast<DWORD>(bytes.size()),
                                &written, nullptr));
    }
    QByteArray log() const {
        QFile file(m_log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool logShows(const QByteArray& text, qsizetype from) const {
        return waitUntil([&] { return log().indexOf(text, from) >= 0; }, 10000);
    }

private:
    QString m_log;
    int16_t m_port;
    HANDLE m_commands = INVALID_HANDLE_VALUE;
};

// A three-axis line of the counter with its CR LF.
constexpr int LineBytes = 40;

// The port as its driver holds it, through a handle of the test's own: Wine lets a second one
// open a port, so the test sees what the component set and what waits in the driver's queue.
struct DriverView {
    explicit DriverView(int port)
        : handle(::CreateFileW(
              reinterpret_cast<const wchar_t*>(QStringLiteral("\\\\.\\COM%1").arg(port).utf16()),
              GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~DriverView() { ::CloseHandle(handle); }
    DCB line() const {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        ::GetCommState(handle, &dcb);
        return dcb;
    }
    DWORD queued() const {
        COMSTAT status{};
        DWORD errors = 0;
        return ::ClearCommError(handle, &errors, &status) ? status.cbInQue : 0;
    }
    HANDLE handle;
};

// The counter's answer to one poll: a whole line, as the poll tick would collect it.
QByteArray pollLine(Win32Serial& serial) {
    serial.output("O");
    QByteArray line;
    for (const QDeadlineTimer deadline(5000); !line.endsWith("\r\n") && !deadline.hasExpired();)
        line += serial.input();
    return line;
}

class SerialPort : public ::testing::Test {
protected:
    void SetUp() override {
        vx::testing::coreApplication(); // timers and queued events
        if (!m_counter.ready())
            GTEST_SKIP() << "no simulated counter: run by ctest under scripts/windows/wine-run.sh";
    }
    void open(Win32Serial& serial) {
        serial.setCommPort(m_counter.port());
        serial.setPortOpen(true);
    }

    SimulatedCounter m_counter;
    Win32SerialDevices m_devices{{}};
};

TEST_F(SerialPort, TheCounterAnswersAtTheSpeedSetAndSettingsApplyAtOnce) {
    Win32Serial serial{m_devices};
    open(serial);
    qsizetype mark = m_counter.log().size();
    const QByteArray line = pollLine(serial);
    EXPECT_EQ(line.size(), LineBytes) << line.toStdString();
    EXPECT_TRUE(m_counter.logShows("line speed 9600", mark));
    const DriverView driver(m_counter.port());
    DCB dcb = driver.line();
    EXPECT_EQ(std::tuple(dcb.BaudRate, dcb.ByteSize, dcb.Parity, dcb.StopBits),
              std::tuple(9600u, 8, NOPARITY, TWOSTOPBITS));
    EXPECT_FALSE(dcb.fOutxCtsFlow || dcb.fOutX || dcb.fInX) << "no flow control";

    mark = m_counter.log().size();
    serial.setSettings(QStringLiteral("19200,N,8,1"));
    EXPECT_EQ(pollLine(serial).size(), LineBytes);
    EXPECT_TRUE(m_counter.logShows("line speed 19200", mark));
    dcb = driver.line();
    EXPECT_EQ(std::tuple(dcb.BaudRate, dcb.StopBits), std::tuple(19200u, ONESTOPBIT));
    // The poll tick asks what waits every 50 ms: on a quiet line, each answer comes at once.
    const QDeadlineTimer bound(500);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(serial.inBufferCount(), 0);
    EXPECT_FALSE(bound.hasExpired());
    for (const char* refused : {"9600,E,8,2", "9600,N,7,2", "fast"}) { // and change nothing
        EXPECT_EQ(errorOf([&] { serial.setSettings(QString::fromLatin1(refused)); }),
                  err::InvalidSettings);
        EXPECT_EQ(serial.settings(), "19200,N,8,1") << refused;
    }
}

TEST_F(SerialPort, OpeningTellsWhyAPortCannotBeHad) {
    Win32Serial serial{m_devices};
    for (const int16_t bad : {0, 256})
        EXPECT_EQ(errorOf([&] { serial.setCommPort(bad); }), err::InvalidPortNumber) << bad;
    serial.setCommPort(9); // no such port
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }), err::InvalidPortNumber);

    Win32Serial holder{m_devices};
    open(holder);
    EXPECT_EQ(errorOf([&] { holder.setCommPort(2); }), err::PortAlreadyOpen);
    serial.setCommPort(m_counter.port());
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }), err::PortInUse);
    holder.setPortOpen(false);

    // What the device sent while nobody listened is no answer to a request: opening drops it.
    m_counter.command("noise 20");
    const DriverView driver(m_counter.port());
    ASSERT_TRUE(waitUntil([&] { return driver.queued() == 21; }));
    serial.setPortOpen(true);
    EXPECT_EQ(serial.inBufferCount(), 0);
    EXPECT_EQ(pollLine(serial).size(), LineBytes);

    // Where the driver itself refuses a second opener (Windows' own), that is the same answer.
    const std::pair<DWORD, int> causes[] = {{ERROR_ACCESS_DENIED, err::PortInUse},
                                            {ERROR_FILE_NOT_FOUND, err::InvalidPortNumber}};
    for (const auto& [error, number] : causes)
        EXPECT_EQ(comm_device::openFailure(error, 3, QStringLiteral("COM3")).number(), number);
}

TEST_F(SerialPort, InputComesInPiecesOfInputLenAndAFullBufferTellsOnce) {
    Win32Serial serial{m_devices};
    std::vector<int16_t> events;
    serial.setOnComm([&] { events.push_back(serial.commEvent()); });
    open(serial);
    serial.setSettings(QStringLiteral("19200,N,8,2"));
    serial.output("OOO");
    ASSERT_TRUE(waitUntil([&] { return serial.inBufferCount() == 3 * LineBytes; }));
    serial.setInputLen(50);
    const QByteArray first = serial.input();
    EXPECT_EQ(first.size(), 50);
    EXPECT_EQ(serial.inBufferCount(), 3 * LineBytes - 50);
    serial.setInputLen(0);
    EXPECT_TRUE((first + serial.input()).endsWith("\r\n"));

    // 40 lines are 1600 bytes: what comes beyond 1024 is dropped and told once, from the loop.
    serial.output(QByteArray(40, 'O'));
    ASSERT_TRUE(waitUntil([&] { return serial.inBufferCount() == 1024; }));
    EXPECT_TRUE(events.empty()) << "events come from the event loop only";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !events.empty(); }, 5000));
    EXPECT_EQ(events, std::vector<int16_t>{comm::ErRxOver});
    QTest::qWait(1000); // the rest of the lines arrive, and are dropped too
    serial.inBufferCount();
    EXPECT_FALSE(QTest::qWaitFor([&] { return events.size() > 1; }, 300)) << "once per episode";
    EXPECT_TRUE(serial.input().left(LineBytes).endsWith("\r\n")) << "the oldest bytes are kept";
    EXPECT_EQ(serial.lossCount(), 1) << "the read ended where bytes were lost";
}

// A pulled cable fails every call with 8021 until the port is closed; once it is plugged back,
// the port opens again and the counter answers as before.
TEST_F(SerialPort, APulledCableIsDeviceGoneUntilThePortOpensAgain) {
    Win32Serial serial{m_devices};
    open(serial);
    ASSERT_EQ(pollLine(serial).size(), LineBytes);
    qsizetype mark = m_counter.log().size();
    m_counter.command("pull");
    ASSERT_TRUE(m_counter.logShows("STATE pulled", mark));
    EXPECT_TRUE(
        waitUntil([&] { return errorOf([&] { serial.inBufferCount(); }) == err::DeviceGone; }));
    EXPECT_EQ(errorOf([&] { serial.output("O"); }), err::DeviceGone);
    EXPECT_EQ(errorOf([&] { serial.input(); }), err::DeviceGone);
    serial.setPortOpen(false);
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }), err::InvalidPortNumber);

    mark = m_counter.log().size();
    m_counter.command("plug");
    ASSERT_TRUE(m_counter.logShows("STATE plugged", mark));
    EXPECT_TRUE(waitUntil([&] { return errorOf([&] { serial.setPortOpen(true); }) == 0; }, 10000));
    EXPECT_EQ(serial.inBufferCount(), 0) << "nothing left over from before";
    EXPECT_EQ(pollLine(serial).size(), LineBytes);
}

TEST_F(SerialPort, PortNumbersAreComNamesAndANamedPortLeadsToItsDevice) {
    const QString com = QStringLiteral("COM%1").arg(m_counter.port());
    const Win32SerialDevices devices([&](int port) { return port == 4 ? com : QString(); });
    EXPECT_EQ(devices.pathOf(3), "COM3");
    EXPECT_TRUE(devices.describe(m_counter.port()).present);
    EXPECT_FALSE(devices.describe(9).present);
    const SerialDeviceInfo named = devices.describe(4);
    EXPECT_TRUE(named.named && named.present && named.path == com);
    EXPECT_TRUE(named.device.startsWith("\\Device\\")) << named.device.toStdString();
}

} // namespace
