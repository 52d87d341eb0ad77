// The poll tick driven by a script, one event per input byte: a line, half a line, noise, a pulled
// cable, RS, Halt or Go, Close, a new log file on a disk that may fill up, a tick. After every
// event the frame buffer is bounded and the log holds exactly the records counted, each one whole
// line from its "X" to its line feed, followed by CR LF.
#include "datalog/log_commands.h"
#include "readout_rig.h"

#include <cstdint>
#include <cstdlib>
#include <functional>

using namespace vx;

namespace {

const QByteArray Lines[] = {testing::ThreeAxisMetric, testing::ThreeAxisInch, testing::TwoAxis,
                            "X     1.000 Y     2.000TZ     3.000  M\r\n"};

// The number of whole records in the log, or -1 when it holds anything else.
int wholeRecords(const QByteArray& log) {
    int records = 0;
    for (qsizetype at = 0; at < log.size(); ++records) {
        const qsizetype end = log.indexOf('\n', at);
        if (log.at(at) != 'X' || end < 0 || log.mid(end + 1, 2) != "\r\n")
            return -1;
        at = end + 3;
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testing::ReadoutRig r;
    LogCommands log{r.form, r.state, r.platform};
    // Each event gets the byte's tenth and the script from that byte on.
    const std::function<void(int, QByteArrayView)> events[] = {
        [&](int arg, QByteArrayView) { r.serial.feed(Lines[arg % 4]); },
        [&](int arg, QByteArrayView) { r.serial.feed(Lines[arg % 4].left(arg % 38)); },
        [&](int, QByteArrayView noise) { r.serial.feed(noise.toByteArray()); },
        [&](int, QByteArrayView) { r.serial.pullCable(); },
        [&](int, QByteArrayView) { r.keypad.cmdRS_Click(); },
        [&](int, QByteArrayView) { r.keypad.CmdHalt_Click(); },
        [&](int, QByteArrayView) { log.mnuFileClose_Click(); },
        [&](int arg, QByteArrayView) {
            r.rig.dialogs.fileAnswers.push_back(r.logPath());
            log.mnuFileNew_Click();
            arg % 2 ? r.rig.files.fillDiskAfter(arg) : r.rig.files.clearFaults();
        },
    };
    const QByteArrayView script(data, qsizetype(size));
    for (qsizetype i = 0; i < script.size(); ++i) {
        const int arg = data[i] / 10;
        if (data[i] % 10 < 8)
            events[data[i] % 10](arg,
                                 script.sliced(i, std::min<qsizetype>(arg, script.size() - i)));
        else
            r.tick();
        const int records = wholeRecords(r.logBytes());
        const bool open = r.rig.files.isOpen(fileno::LogFile);
        if (r.state.frameBuffer.size() > PollCycle::MaxFrameBytes + 50 || records < 0 ||
            r.state.recordCount != (open ? records : 0))
            std::abort();
    }
    return 0;
}
