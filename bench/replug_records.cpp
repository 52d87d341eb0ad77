// Records asked for on the first line after a replug that reach the log file whole. The simulator
// sends each line in two parts; when a tick has read the first part, its cable is pulled. The
// message box about the lost link is answered by asking the counter for a record on its next line
// and plugging the cable back in; the poll cycle opens the port again and polls. The program's own
// poll cycle, frame handling and log writing run in this process on the real serial component.
// Prints figures; passes or fails nothing.
//
// replug_records [path-to-vx515sim] [pulls]      (default: the built simulator, 100 pulls)

#include "platform/posix/posix_serial.h"
#include "platform/posix/posix_serial_devices.h"
#include "platform/testing/fakes.h"
#include "readout/poll_cycle.h"
#include "vx515sim/line_format.h"
#include "vx515sim/testing/sim_process.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

using namespace vx;
using namespace std::chrono_literals;
using sim::testing::waitUntil;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string simulator = argc > 1 ? argv[1] : VX515SIM_PATH;
    const int pulls = argc > 2 ? std::atoi(argv[2]) : 100;

    testing::TestRig rig;
    const std::string dir = rig.dir.path().toStdString();
    ::setenv("VX_SERIAL_PORT_DIR", dir.c_str(), 1);
    sim::testing::SimProcess counter(simulator,
                                     {"--dir", dir, "--port", "1", "--log", dir + "/sim.log"});
    const std::optional<std::string> link = counter.waitReady(5000ms);
    if (!link) {
        std::fprintf(stderr, "replug_records: the simulator did not start\n");
        return 1;
    }
    counter.command("split on");

    const PosixSerialDevices devices({});
    PosixSerial serial{devices};
    MainForm form(serial);
    ModuleState state;
    FrameHandler frames(form, state, rig.platform);
    PollCycle poll(form, state, rig.platform, frames);
    const QString log = rig.path(QStringLiteral("log.txt"));
    rig.files.openOutput(fileno::LogFile, log);
    serial.setCommPort(1);
    serial.setInputLen(50);
    serial.setPortOpen(true);
    serial.output(PollCharacter);
    form.Timer1.setHandler([&] { poll.Timer1_Timer(); });
    form.Timer1.setEnabled(true);
    rig.dialogs.whileMessageOpen = [&](const testing::ScriptedDialogs::Message&) {
        counter.command("record");
        counter.command("plug");
        waitUntil([&] { return std::filesystem::exists(*link); }, 5000ms);
    };
    // One tick every 50 ms until the condition holds or the deadline passes.
    const auto tickUntil = [&](const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            QCoreApplication::processEvents();
            form.Timer1.fire();
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(50ms);
        }
    };

    int midLine = 0;
    for (int pull = 0; pull < pulls; ++pull) {
        const int before = state.recordCount;
        midLine += tickUntil([&] { return !state.frameBuffer.isEmpty(); }, 5000ms) ? 1 : 0;
        counter.command("pull");
        if (!tickUntil([&] { return state.recordCount > before; }, 10000ms))
            std::fprintf(stderr, "pull %d: no record within 10 s\n", pull + 1);
    }

    QFile file(log);
    file.open(QIODevice::ReadOnly);
    const QList<QByteArray> records = file.readAll().split('\n');
    int whole = 0; // a record is the line, its CR LF, then CR LF: two line feeds
    for (qsizetype i = 0; i + 1 < records.size(); i += 2)
        whole += records[i].size() == sim::ThreeAxisLineLength + 1 && records[i].count('X') == 1 &&
                 records[i + 1] == "\r";
    std::printf("pulls: %d, in the middle of a line: %d\n", pulls, midLine);
    std::printf("records asked for on the first line after the replug: %d, in the file: %lld, "
                "whole: %d\n",
                pulls, static_cast<long long>(records.size() / 2), whole);
    return 0;
}
