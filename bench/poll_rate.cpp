// Polls a second with a counter that answers every poll at once, before and after lines of noise.
// The program's own poll cycle and frame handling run on a scripted port, one tick after the other
// (20 make a second of the program's time). The counter answers each "O" with one three-axis line,
// which is there by the next tick; the lines of noise (the simulator's `noise 16`: printable bytes,
// then a line feed) all come in at once between two ticks. Prints figures; passes or fails nothing.
//
// poll_rate [noise-lines] [seconds]      (default: 40 lines, then 3 seconds)

#include "platform/testing/fakes.h"
#include "platform/testing/scripted_serial.h"
#include "readout/poll_cycle.h"
#include "vx515sim/commands.h"
#include "vx515sim/rng.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

using namespace vx;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int noiseLines = argc > 1 ? std::atoi(argv[1]) : 40;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 3;
    constexpr int TicksPerSecond = 20;
    const QByteArray line = QByteArrayLiteral("X   -12.345 Y   250.000 Z     0.001  M\r\n");

    testing::TestRig rig;
    testing::ScriptedSerial serial;
    MainForm form(serial);
    ModuleState state;
    FrameHandler frames(form, state, rig.platform);
    PollCycle poll(form, state, rig.platform, frames);
    serial.addPort(1);
    serial.setPortOpen(true);
    serial.setInputLen(50);
    // The driver's queue holds all the counter sent since the last tick; the 1024 bytes of the
    // component's buffer would only hide how many lines were asked for.
    serial.setInBufferSize(32767);
    int asked = 0;
    long polls = 0;
    serial.onOutput = [&](int, const QByteArray& bytes) {
        asked += static_cast<int>(bytes.count('O'));
        polls += bytes.count('O');
    };
    form.Timer1.setHandler([&] { poll.Timer1_Timer(); });
    form.Timer1.setEnabled(true);
    // A second of ticks, each after the counter's answers to the polls before it: the polls sent.
    const auto second = [&] {
        const long before = polls;
        for (int tick = 0; tick < TicksPerSecond; ++tick) {
            QByteArray answers;
            for (; asked > 0; --asked)
                answers += line;
            serial.feed(answers);
            form.Timer1.fire();
        }
        return polls - before;
    };

    serial.output(PollCharacter); // the start-up's poll
    second();                     // settling
    std::printf("polls a second, counter answering at once: %ld before the noise\n", second());
    sim::Rng rng(1);
    QByteArray noise;
    for (int i = 0; i < noiseLines; ++i)
        noise += QByteArray::fromStdString(sim::makeNoise(rng, 16));
    serial.feed(noise);
    std::printf("after %d lines of noise:", noiseLines);
    for (int s = 1; s <= seconds; ++s)
        std::printf(" %ld%s", second(), s < seconds ? "," : "\n");
    return 0;
}
