// The start-up on a settings file made of the input: ports 1 to 8 exist as the first byte's bits
// say, the counter answers on the port the second byte names. Whatever the file holds, the
// start-up ends with the poll timer running, at most one check mark in each menu array, and a
// checked speed only when it is the one in force ("09600" is in force as 9600).
#include "form_rig.h"
#include "link/link_startup.h"

#include <cstdint>
#include <cstdlib>

using namespace vx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 64)
        return 0;
    testing::FormRig rig;
    for (int port = 1; port <= 8; ++port)
        if ((data[0] >> (port - 1)) & 1)
            rig.serial.addPort(port);
    rig.serial.onOutput = [&](int port, const QByteArray&) {
        if (port == data[1] % 9)
            rig.serial.feed("X     1.000 Y     2.000 Z     3.000  M\r\n");
    };
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    testing::writeFileBytes(rig.rig.path(PortSettingsFile::FileName), bytes);
    rig.rig.events.onDoEvents = [&] { rig.rig.clock.advance(0.25); }; // eight passes a wait
    PortSettingsFile file{rig.rig.files, rig.rig.dialogs};
    PortMenus menus{rig.form, rig.state, rig.platform, file};
    LinkStartup startup{rig.form,
                        rig.state,
                        rig.platform,
                        file,
                        menus,
                        rig.rig.devices,
                        &rig.splash.lblProductName};
    startup.Form_Load();
    const std::vector<int> speeds = rig.checkedSpeeds();
    if (!rig.form.Timer1.enabled() || speeds.size() > 1 || rig.checkedPorts().size() > 1 ||
        (!speeds.empty() && rig.serial.line().baud != speeds[0]))
        std::abort();
    return 0;
}
