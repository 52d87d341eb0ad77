#include "form_rig.h"
#include "link/link_startup.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

const QByteArray Line = QByteArrayLiteral("X     1.000 Y     2.000 Z     3.000  M\r\n");

QByteArray settingsFile(int port, const QByteArray& speed) {
    return PortSettingsFile::portRecord(static_cast<int16_t>(port)) + QByteArray(18, '\0') +
           PortSettingsFile::speedRecord(QString::fromLatin1(speed)).leftJustified(20, '\0');
}

// The start-up on scripted ports, with a counter on one of them that answers every poll.
struct Bench : FormRig {
    Bench(std::initializer_list<int> ports, int counter, int stored = 0,
          const QByteArray& speed = "9600")
        : counterPort(counter) {
        for (int n : ports)
            serial.addPort(n);
        serial.onOutput = [this](int port, const QByteArray& bytes) {
            if (bytes == "O" && port == counterPort)
                serial.feed(reply);
        };
        if (stored != 0)
            writeFileBytes(rig.path(PortSettingsFile::FileName), settingsFile(stored, speed));
    }
    QByteArray stored() { return fileBytes(rig.path(PortSettingsFile::FileName)); }
    // Runs the load; the seconds its waits took.
    double load() {
        const double start = rig.clock.now;
        startup.Form_Load();
        return rig.clock.now - start;
    }

    int counterPort;
    QByteArray reply = Line;
    ScriptedDialogs& dialogs = rig.dialogs;
    PortSettingsFile file{rig.files, rig.dialogs};
    PortMenus menus{form, state, platform, file};
    LinkStartup startup{form, state, platform, file, menus, rig.devices, &splash.lblProductName};
};

} // namespace

// The counter answers on the stored port, or on port 1 at a first run (no file). A stored speed
// that is no number is replaced by 9600 in the file; any other is applied if the port takes it;
// only a menu choice is checked, not even the one a refused speed rounds to.
TEST(LinkStartup, CounterAnsweringOnTheStoredPort) {
    for (const auto& [port, stored, after, inForce, checked] :
         {std::tuple{2, "4800", "4800", "4800", 4800}, std::tuple{0, "", "9600", "9600", 0},
          std::tuple{2, "abc", "9600", "9600", 0}, std::tuple{2, "70000", "70000", "70000", 0},
          std::tuple{2, "1200.4", "1200.4", "9600", 0}}) {
        Bench b({1, 2, 3}, port != 0 ? port : 1, port, stored);
        EXPECT_LT(b.load(), 0.1) << stored;
        EXPECT_EQ(b.splash.lblProductName.caption(), "Vx電腦顯示");
        EXPECT_EQ(b.serial.openedPorts(), std::vector<int>{port != 0 ? port : 1});
        EXPECT_EQ(b.serial.settings(), QString::fromLatin1(inForce) + ",N,8,2");
        EXPECT_EQ(b.serial.inputLen(), 50);
        EXPECT_EQ(b.checkedPorts(), port != 0 ? std::vector<int>{port} : std::vector<int>{});
        EXPECT_EQ(b.checkedSpeeds(), checked != 0 ? std::vector<int>{checked} : std::vector<int>{});
        EXPECT_EQ(b.stored(), settingsFile(port, after)); // no scan wrote port 1
        EXPECT_TRUE(b.form.Timer1.enabled());
        EXPECT_EQ(b.serial.written(), "OO");
        EXPECT_TRUE(b.dialogs.prompts.empty() && b.dialogs.messages.empty());
    }
    // The menu's fastest speed, however fast (a test build adds 115200), is checked as stored.
    Bench fastest({2}, 2, 2);
    int top = 0;
    for (const MenuItem* item : fastest.form.baud.items())
        top = std::max(top, item->index().value_or(0));
    writeFileBytes(fastest.rig.path(PortSettingsFile::FileName),
                   settingsFile(2, QByteArray::number(top)));
    fastest.load();
    EXPECT_EQ(fastest.checkedSpeeds(), std::vector<int>{top});
}

// A silent counter, and one whose reads never end with the line feed: neither is an answer. The
// handshake and eight scan waits take a little over 2 seconds each; the scan leaves the menus and
// the file alone.
TEST(LinkStartup, NoAnswerScansEightPortsAndStoresNothing) {
    for (const QByteArray& reply : {QByteArray(), Line + "X1"}) {
        Bench b({1, 2, 3}, 2, 2);
        b.reply = reply;
        const double took = b.load();
        EXPECT_EQ(b.splash.lblProductName.caption(), LinkStartup::noSignalText());
        EXPECT_EQ(b.splash.lblProductName.foreColor(), color::Red);
        EXPECT_EQ(b.serial.openedPorts(), (std::vector<int>{2, 1, 2, 3}));
        EXPECT_EQ(b.serial.commPort(), 8);
        EXPECT_FALSE(b.serial.portOpen());
        EXPECT_TRUE(b.dialogs.prompts.empty() && b.dialogs.messages.empty());
        EXPECT_EQ(b.stored(), settingsFile(2, "9600"));
        EXPECT_EQ(b.checkedPorts(), std::vector<int>{2});
        EXPECT_GT(took, 18.0);
        EXPECT_LT(took, 18.5);
    }
}

// The counter sits on port 3: the scan stops there and stores what the prompt gives (a cancel keeps
// the answering port), but the port stays on the answering one.
TEST(LinkStartup, CounterFoundByTheScanIsConfirmedAndStored) {
    for (const auto& [storedPort, answer, expectStored] :
         {std::tuple{5, "3", 3}, std::tuple{5, "", 3}, std::tuple{5, "6", 6},
          std::tuple{0, "3", 3}}) {
        Bench b({1, 2, 3, 4, 5}, 3, storedPort);
        b.dialogs.inputAnswers = {QString::fromLatin1(answer)};
        b.load();
        ASSERT_EQ(b.dialogs.prompts.size(), 1U);
        EXPECT_EQ(b.dialogs.prompts[0].title, LinkStartup::scanPromptTitle());
        EXPECT_EQ(b.dialogs.prompts[0].defaultText, "3");
        EXPECT_EQ(b.serial.openedPorts().size(), 4U); // ports 4 to 8 are not tried
        EXPECT_EQ(b.serial.commPort(), 3);
        EXPECT_EQ(b.stored(), settingsFile(expectStored, "9600"));
        EXPECT_EQ(b.checkedPorts(),
                  storedPort != 0 ? std::vector<int>{storedPort} : std::vector<int>{});
    }
}

// The counter's line comes in the very pass in which the handshake's time runs out: that is no
// answer, and the line end it leaves behind must not make the scan take port 1.
TEST(LinkStartup, AnswerInThePassOfTheTimeLimitIsNoAnswerAndMisleadsNoScan) {
    Bench b({1, 2}, 0, 2);
    const double start = b.rig.clock.now;
    b.rig.events.onDoEvents = [&] {
        b.rig.clock.advance(0.01);
        if (b.counterPort == 0 && b.rig.clock.now - start > 1.9) {
            b.serial.feed(Line);             // read in the next pass,
            b.rig.clock.now = start + 1.995; // whose events run past the time limit
            b.counterPort = 2;               // from now on the counter answers at once
        }
    };
    b.load();
    EXPECT_EQ(b.splash.lblProductName.caption(), LinkStartup::noSignalText());
    ASSERT_EQ(b.dialogs.prompts.size(), 1U);
    EXPECT_EQ(b.dialogs.prompts[0].defaultText, "2");
}

// A read-only folder or file: what the file holds is used, none is made, the link starts all the
// same, and the operator hears once, at the start, that changes are not kept.
TEST(LinkStartup, SettingsFileThatCanOnlyBeReadIsUsedAndToldOnce) {
    for (const bool present : {true, false}) {
        Bench b({1, 3}, present ? 3 : 1, present ? 3 : 0, "19200");
        b.rig.files.refuseWriting();
        b.load();
        EXPECT_EQ(b.serial.openedPorts(), std::vector<int>{present ? 3 : 1});
        EXPECT_EQ(b.serial.settings(), present ? "19200,N,8,2" : "9600,N,8,2");
        EXPECT_EQ(b.checkedSpeeds(), present ? std::vector<int>{19200} : std::vector<int>{});
        EXPECT_EQ(b.dialogs.messages.size(), 1U);
        b.menus.baud_Click(9600);
        ASSERT_EQ(b.dialogs.messages.size(), 1U);
        EXPECT_TRUE(b.dialogs.messages[0].prompt.contains(PortSettingsFile::FileName));
        EXPECT_EQ(b.stored(), present ? settingsFile(3, "19200") : QByteArray());
    }
}

// A port that is there but cannot be had, or a device named for a port that is not there, is named
// with its cause: the stored one at once, before the handshake waits; those the scan meets are kept
// for the poll tick's final word, unless the counter is found.
TEST(LinkStartup, PortsThatAreThereButCannotBeOpenedAreNamed) {
    for (const auto& [stored, held, number, counter] :
         {std::tuple{2, 2, err::PortInUse, 0}, std::tuple{2, 2, err::PortAccessDenied, 0},
          std::tuple{1, 3, err::PortInUse, 0}, std::tuple{2, 2, err::PortInUse, 3},
          std::tuple{4, 4, err::InvalidPortNumber, 0},
          std::tuple{1, 5, err::InvalidPortNumber, 0}}) {
        Bench b({1, 2, 3}, counter, stored);
        if (number == err::InvalidPortNumber) // named, but not plugged in
            b.rig.devices.named[held] = QStringLiteral("/dev/serial/by-id/usb-Vx515");
        else
            b.serial.holdPort(held, number);
        const double start = b.rig.clock.now;
        double toldAt = -1;
        b.dialogs.whileMessageOpen = [&](auto&) { toldAt = b.rig.clock.now; };
        b.load();
        QString cause = standardDescription(number);
        if (number == err::InvalidPortNumber)
            cause = LinkStartup::namedDeviceMissing(cause, held);
        ASSERT_EQ(b.dialogs.messages.size(), stored == held ? 1U : 0U) << cause.toStdString();
        if (stored == held) {
            EXPECT_EQ(b.dialogs.messages[0].prompt, cause);
            EXPECT_EQ(b.dialogs.messages[0].title, LinkStartup::portFailureTitle());
            EXPECT_EQ(toldAt, start); // before any wait
        }
        EXPECT_EQ(b.state.portFailures, counter == 0 ? QStringList{cause} : QStringList{});
        EXPECT_EQ(b.dialogs.prompts.size(), counter != 0 ? 1U : 0U);
    }
}
