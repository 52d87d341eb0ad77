// The poll tick driven by a script, one event per byte: a line, half a line, noise, a pulled cable,
// RS, Halt or Go, Close, a new log on a disk that may fill up, a tick. After each the frame buffer
// is bounded and the log holds the records counted, each line whole from "X" to LF, then CR LF.
#include "datalog/log_commands.h"
#include "readout_rig.h"

#include <QRegularExpression>
#include <cstdint>
#include <cstdlib>
#include <functional>

using namespace vx;

const QByteArray Lines[] = {testing::ThreeAxisMetric, testing::ThreeAxisInch, testing::TwoAxis,
                            "X     1.000 Y     2.000TZ     3.000  M\r\n"};

const QRegularExpression WholeRecords(QStringLiteral("\\A(X[^\n]*\n\r\n)*\\z"));

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testing::ReadoutRig r;
    LogCommands log{r.form, r.state, r.platform};
    int arg = 0; // each event gets its byte's tenth and the script from that byte on
    QByteArrayView rest;
    const std::function<void()> events[] = {
        [&] { r.serial.feed(Lines[arg % 4]); },
        [&] { r.serial.feed(Lines[arg % 4].left(arg % 38)); },
        [&] { r.serial.feed(rest.first(std::min<qsizetype>(arg, rest.size())).toByteArray()); },
        [&] { r.serial.pullCable(); },
        [&] { r.keypad.cmdRS_Click(); },
        [&] { r.keypad.CmdHalt_Click(); },
        [&] { log.mnuFileClose_Click(); },
        [&] {
            r.rig.dialogs.fileAnswers.emplace_back(r.logPath());
            log.mnuFileNew_Click();
            arg % 2 ? r.rig.files.fillDiskAfter(arg) : r.rig.files.clearFaults();
        },
        [&] { r.tick(); }};
    for (size_t i = 0; i < size; ++i) {
        arg = data[i] / 10;
        rest = QByteArrayView(data + i, qsizetype(size - i));
        events[std::min(data[i] % 10, 8)](); // 8 and 9: a tick
        const QString logged = QString::fromLatin1(r.logBytes());
        const bool open = r.rig.files.isOpen(fileno::LogFile);
        if (r.state.frameBuffer.size() > PollCycle::MaxFrameBytes + 50 ||
            !WholeRecords.match(logged).hasMatch() ||
            r.state.recordCount != (open ? logged.count(QStringLiteral("\n\r\n")) : 0))
            std::abort();
    }
    return 0;
}
