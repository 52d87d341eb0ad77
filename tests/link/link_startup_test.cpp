#include "form_rig.h"
#include "link/link_startup.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

const QByteArray Line = QByteArrayLiteral("X     1.000 Y     2.000 Z     3.000  M\r\n");

QByteArray settingsFile(int port, const QByteArray& speed) {
    QByteArray bytes = PortSettingsFile::portRecord(static_cast<int16_t>(port));
    bytes.append(18, '\0');
    bytes += PortSettingsFile::speedRecord(QString::fromLatin1(speed));
    bytes.append(40 - bytes.size(), '\0');
    return bytes;
}

// The start-up on scripted ports, with a counter on one of them that answers every poll.
struct Bench {
    Bench(std::initializer_list<int> ports, int counter)
        : counterPort(counter) {
        for (int n : ports)
            rig.serial.addPort(n);
        rig.serial.onOutput = [this](int port, const QByteArray& bytes) {
            if (bytes == "O" && port == counterPort)
                rig.serial.feed(reply);
        };
    }
    QString filePath() { return rig.rig.path(PortSettingsFile::FileName); }
    void store(int port, const QByteArray& speed) {
        writeFileBytes(filePath(), settingsFile(port, speed));
    }
    QByteArray stored() { return fileBytes(filePath()); }
    // Runs the load; the seconds its waits took.
    double load() {
        const double start = rig.rig.clock.now;
        startup.Form_Load();
        return rig.rig.clock.now - start;
    }
    ScriptedDialogs& dialogs() { return rig.rig.dialogs; }

    FormRig rig;
    int counterPort;
    QByteArray reply = Line;
    PortSettingsFile file{rig.rig.files, rig.rig.dialogs};
    PortMenus menus{rig.form, rig.state, rig.platform, file};
    LinkStartup startup{rig.form, rig.state, rig.platform, file, menus, &rig.splash.lblProductName};
};

} // namespace

TEST(LinkStartup, CounterAnsweringOnTheStoredPort) {
    Bench b({1, 2, 3}, 2);
    b.store(2, "4800");
    EXPECT_LT(b.load(), 0.1);

    EXPECT_EQ(b.rig.splash.lblProductName.caption(), "Vx電腦顯示");
    EXPECT_EQ(b.rig.serial.openedPorts(), std::vector<int>{2});
    EXPECT_TRUE(b.rig.serial.portOpen());
    EXPECT_EQ(b.rig.serial.settings(), "4800,N,8,2");
    EXPECT_EQ(b.rig.serial.inputLen(), 50);
    EXPECT_EQ(b.rig.checkedPorts(), std::vector<int>{2});
    EXPECT_EQ(b.rig.checkedSpeeds(), std::vector<int>{4800});
    EXPECT_TRUE(b.dialogs().prompts.empty());
    EXPECT_EQ(b.stored(), settingsFile(2, "4800"));
    EXPECT_TRUE(b.rig.form.Timer1.enabled());
    EXPECT_EQ(b.rig.serial.written(), "OO");
}

// A silent counter, and one whose reads never end with the line feed: neither is an answer.
TEST(LinkStartup, NoAnswerScansEightPortsAndStoresNothing) {
    for (const QByteArray& reply : {QByteArray(), Line + "X1"}) {
        Bench b({1, 2, 3}, 2);
        b.reply = reply;
        b.store(2, "9600");
        const double took = b.load();
        EXPECT_EQ(b.rig.splash.lblProductName.caption(), "無信號");
        EXPECT_EQ(b.rig.splash.lblProductName.foreColor(), color::Red);
        EXPECT_EQ(b.rig.serial.openedPorts(), (std::vector<int>{2, 1, 2, 3}));
        EXPECT_EQ(b.rig.state.portNumber, 8);
        EXPECT_EQ(b.rig.serial.commPort(), 8);
        EXPECT_FALSE(b.rig.serial.portOpen());
        EXPECT_TRUE(b.dialogs().prompts.empty());
        EXPECT_TRUE(b.dialogs().messages.empty());
        EXPECT_EQ(b.stored(), settingsFile(2, "9600"));
        EXPECT_EQ(b.rig.checkedPorts(), std::vector<int>{2}); // the scan leaves the menus alone
        EXPECT_TRUE(b.rig.form.Timer1.enabled());
        // One handshake and eight scan waits of a little over 2 seconds each.
        EXPECT_GT(took, 18.0);
        EXPECT_LT(took, 18.5);
    }
}

// The counter sits on port 3: the scan stops there and stores what the prompt gives, but the port
// stays on the answering one.
TEST(LinkStartup, CounterFoundByTheScanIsConfirmedAndStored) {
    struct Row {
        int storedPort; // 0: no settings file
        std::optional<QString> answer;
        int expectStored;
    };
    for (const Row& row : {Row{5, QStringLiteral("3"), 3}, Row{5, std::nullopt, 3},
                           Row{5, QStringLiteral("6"), 6}, Row{0, QStringLiteral("3"), 3}}) {
        Bench b({1, 2, 3, 4, 5}, 3);
        if (row.storedPort != 0)
            b.store(row.storedPort, "9600");
        if (row.answer)
            b.dialogs().inputAnswers = {*row.answer};
        b.load();
        ASSERT_EQ(b.dialogs().prompts.size(), 1U);
        EXPECT_EQ(b.dialogs().prompts[0].prompt, "請輸入傳輸埠");
        EXPECT_EQ(b.dialogs().prompts[0].title, "傳輸埠錯誤");
        EXPECT_EQ(b.dialogs().prompts[0].defaultText, "3");
        EXPECT_EQ(b.rig.serial.openedPorts().size(), 4U); // ports 4 to 8 are not tried
        EXPECT_EQ(b.rig.serial.commPort(), 3);
        EXPECT_TRUE(b.rig.serial.portOpen());
        EXPECT_EQ(b.stored(), settingsFile(row.expectStored, "9600"));
        EXPECT_EQ(b.rig.checkedPorts(),
                  row.storedPort ? std::vector<int>{row.storedPort} : std::vector<int>{});
        EXPECT_EQ(b.rig.serial.outputs().back(), (std::pair<int, QByteArray>{3, "O"}));
    }
}

// The counter's line comes in the very pass in which the handshake's time runs out: that is no
// answer, and the line end it leaves behind must not make the scan take port 1.
TEST(LinkStartup, AnswerInThePassOfTheTimeLimitIsNoAnswerAndMisleadsNoScan) {
    Bench b({1, 2}, 0);
    b.store(2, "9600");
    const double start = b.rig.rig.clock.now;
    b.rig.rig.events.onDoEvents = [&] {
        b.rig.rig.clock.advance(0.01);
        if (b.counterPort == 0 && b.rig.rig.clock.now - start > 2.0) {
            b.rig.serial.feed(Line); // read in the next pass, after the time is up
            b.counterPort = 2;       // from now on the counter answers at once
        }
    };
    b.dialogs().inputAnswers = {QStringLiteral("2")};
    b.load();
    EXPECT_EQ(b.rig.splash.lblProductName.caption(), "無信號");
    ASSERT_EQ(b.dialogs().prompts.size(), 1U);
    EXPECT_EQ(b.dialogs().prompts[0].defaultText, "2");
    EXPECT_EQ(b.rig.serial.commPort(), 2);
}

// A first run (no file) and stored speeds that are no menu choice: a speed that is no number is
// replaced by 9600 in the file; any other is applied if the port takes it; no speed item is
// checked, also not the one a refused speed rounds to.
TEST(LinkStartup, StoredSpeedsThatAreNoMenuChoice) {
    struct Row {
        int port; // 0: no settings file
        QByteArray stored, after, inForce;
    };
    for (const Row& row : {Row{0, "", "9600", "9600"}, Row{1, "abc", "9600", "9600"},
                           Row{1, "70000", "70000", "70000"}, Row{1, "300", "300", "300"},
                           Row{1, "1200.4", "1200.4", "9600"}}) {
        SCOPED_TRACE(row.stored.constData());
        Bench b({1}, 1); // port 1: the one the component starts with
        if (row.port != 0)
            b.store(row.port, row.stored);
        b.load();
        EXPECT_EQ(b.stored(), settingsFile(row.port, row.after)); // no scan wrote port 1
        EXPECT_EQ(b.rig.serial.settings(), QString::fromLatin1(row.inForce + ",N,8,2"));
        EXPECT_TRUE(b.rig.checkedSpeeds().empty());
        EXPECT_EQ(b.rig.checkedPorts(), row.port ? std::vector<int>{1} : std::vector<int>{});
        EXPECT_TRUE(b.dialogs().messages.empty());
    }
}

// A read-only folder or file: what the file holds is used, one that is not there is not made, the
// link starts all the same, and the operator hears once that changes are not kept.
TEST(LinkStartup, SettingsFileThatCanOnlyBeReadIsUsedAndToldOnce) {
    for (const bool present : {true, false}) {
        Bench b({1, 3}, present ? 3 : 1);
        if (present)
            b.store(3, "19200");
        b.rig.rig.files.refuseWriting();
        b.load();
        EXPECT_EQ(b.rig.serial.openedPorts(), std::vector<int>{present ? 3 : 1});
        EXPECT_EQ(b.rig.serial.settings(), present ? "19200,N,8,2" : "9600,N,8,2");
        EXPECT_EQ(b.rig.checkedSpeeds(), present ? std::vector<int>{19200} : std::vector<int>{});
        EXPECT_TRUE(b.rig.form.Timer1.enabled());
        EXPECT_EQ(b.rig.serial.written(), "OO");
        EXPECT_EQ(b.dialogs().messages.size(), 1U); // told at the start, not at the first change
        b.menus.baud_Click(9600);
        ASSERT_EQ(b.dialogs().messages.size(), 1U);
        EXPECT_TRUE(b.dialogs().messages[0].prompt.contains(PortSettingsFile::FileName));
        EXPECT_EQ(b.stored(), present ? settingsFile(3, "19200") : QByteArray());
    }
}

// A port that is there but cannot be had is named with its cause: the stored one at once, before
// the handshake waits; those the scan meets are kept for the poll tick's final word, unless the
// counter is found.
TEST(LinkStartup, PortsThatAreThereButCannotBeOpenedAreNamed) {
    struct Row {
        int stored, held, number, counter;
        bool toldAtOnce, kept;
    };
    for (const Row& row :
         {Row{2, 2, err::PortInUse, 0, true, true}, Row{2, 2, err::PortAccessDenied, 0, true, true},
          Row{1, 3, err::PortInUse, 0, false, true}, Row{2, 2, err::PortInUse, 3, true, false}}) {
        Bench b({1, 2, 3}, row.counter);
        b.store(row.stored, "9600");
        b.rig.serial.holdPort(row.held, row.number);
        const double start = b.rig.rig.clock.now;
        double toldAt = -1;
        b.dialogs().whileMessageOpen = [&](auto&) { toldAt = b.rig.rig.clock.now; };
        b.load();
        const QString cause = standardDescription(row.number);
        ASSERT_EQ(b.dialogs().messages.size(), row.toldAtOnce ? 1U : 0U) << cause.toStdString();
        if (row.toldAtOnce) {
            EXPECT_EQ(b.dialogs().messages[0].prompt, cause);
            EXPECT_EQ(b.dialogs().messages[0].title, "傳輸埠無法開啟");
            EXPECT_EQ(toldAt, start); // before any wait
        }
        EXPECT_EQ(b.rig.state.portFailures, row.kept ? QStringList{cause} : QStringList{});
        EXPECT_EQ(b.dialogs().prompts.size(), row.counter ? 1U : 0U);
    }
}
