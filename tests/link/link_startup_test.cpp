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

struct LinkStartupTest : ::testing::Test {
    LinkStartupTest() {
        rig.serial.onOutput = [this](int port, const QByteArray& bytes) {
            if (bytes == "O" && port == counterPort && answersLeft != 0) {
                if (answersLeft > 0)
                    --answersLeft;
                rig.serial.feed(reply);
            }
        };
    }
    void ports(std::initializer_list<int> numbers) {
        for (int n : numbers)
            rig.serial.addPort(n);
    }
    QString filePath() { return rig.rig.path(PortSettingsFile::FileName); }
    void load() { startup.Form_Load(); }

    FormRig rig;
    int counterPort = 0;
    int answersLeft = -1; // -1: every poll
    QByteArray reply = Line;
    PortSettingsFile file{rig.rig.files, rig.rig.dialogs};
    PortMenus menus{rig.form, rig.state, rig.platform, file};
    LinkStartup startup{rig.form, rig.state, rig.platform, file, menus, &rig.splash.lblProductName};
};

} // namespace

TEST_F(LinkStartupTest, CounterAnsweringOnTheStoredPort) {
    writeFileBytes(filePath(), settingsFile(2, "4800"));
    ports({1, 2, 3});
    counterPort = 2;
    const double start = rig.rig.clock.now;
    load();

    EXPECT_EQ(rig.splash.lblProductName.caption(), "Vx電腦顯示");
    EXPECT_EQ(rig.serial.openedPorts(), std::vector<int>{2});
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_EQ(rig.serial.settings(), "4800,N,8,2");
    EXPECT_EQ(rig.serial.inputLen(), 50);
    EXPECT_EQ(rig.serial.rThreshold(), 0);
    EXPECT_FALSE(rig.serial.eofEnable());
    EXPECT_EQ(rig.checkedPorts(), std::vector<int>{2});
    EXPECT_EQ(rig.checkedSpeeds(), std::vector<int>{4800});
    EXPECT_TRUE(rig.rig.dialogs.prompts.empty());
    EXPECT_EQ(fileBytes(filePath()), settingsFile(2, "4800"));
    EXPECT_TRUE(rig.form.Timer1.enabled());
    EXPECT_EQ(rig.serial.written(), "OO");
    EXPECT_TRUE(rig.state.deviceFound);
    EXPECT_LT(rig.rig.clock.now - start, 0.1);
}

TEST_F(LinkStartupTest, SilentCounterScansEightPortsAndStoresNothing) {
    writeFileBytes(filePath(), settingsFile(2, "9600"));
    ports({1, 2, 3});
    const double start = rig.rig.clock.now;
    load();

    EXPECT_EQ(rig.splash.lblProductName.caption(), "無信號");
    EXPECT_EQ(rig.splash.lblProductName.foreColor(), color::Red);
    EXPECT_EQ(rig.serial.openedPorts(), (std::vector<int>{2, 1, 2, 3}));
    EXPECT_EQ(rig.state.portNumber, 8);
    EXPECT_EQ(rig.serial.commPort(), 8);
    EXPECT_FALSE(rig.serial.portOpen());
    EXPECT_TRUE(rig.rig.dialogs.prompts.empty());
    EXPECT_EQ(fileBytes(filePath()), settingsFile(2, "9600"));
    EXPECT_EQ(rig.checkedPorts(), std::vector<int>{2}); // the scan leaves the menus alone
    EXPECT_TRUE(rig.form.Timer1.enabled());
    // One handshake and eight scan waits of a little over 2 seconds each.
    EXPECT_GT(rig.rig.clock.now - start, 18.0);
    EXPECT_LT(rig.rig.clock.now - start, 18.5);
}

TEST_F(LinkStartupTest, CounterFoundByTheScanIsConfirmedAndStored) {
    writeFileBytes(filePath(), settingsFile(5, "9600"));
    ports({1, 2, 3, 4, 5});
    counterPort = 3;
    rig.rig.dialogs.inputAnswers = {QStringLiteral("3")};
    load();

    ASSERT_EQ(rig.rig.dialogs.prompts.size(), 1U);
    EXPECT_EQ(rig.rig.dialogs.prompts[0].prompt, "請輸入傳輸埠");
    EXPECT_EQ(rig.rig.dialogs.prompts[0].title, "傳輸埠錯誤");
    EXPECT_EQ(rig.rig.dialogs.prompts[0].defaultText, "3");
    EXPECT_EQ(rig.serial.openedPorts(), (std::vector<int>{5, 1, 2, 3}));
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_EQ(rig.serial.commPort(), 3);
    EXPECT_EQ(fileBytes(filePath()), settingsFile(3, "9600"));
    EXPECT_EQ(rig.checkedPorts(), std::vector<int>{5});
    EXPECT_EQ(rig.serial.outputs().back(), (std::pair<int, QByteArray>{3, "O"}));
}

TEST_F(LinkStartupTest, ScanPromptCancelledOrAnsweredOtherwise) {
    ports({1, 2, 3});
    counterPort = 3;
    writeFileBytes(filePath(), settingsFile(5, "9600"));
    load(); // no answer queued: the prompt is cancelled
    EXPECT_EQ(fileBytes(filePath()), settingsFile(3, "9600"));
    EXPECT_EQ(rig.state.portNumber, 3);
}

TEST_F(LinkStartupTest, ScanPromptWithAnotherNumberStoresItButStaysOnTheAnsweringPort) {
    ports({1, 2, 3});
    counterPort = 3;
    writeFileBytes(filePath(), settingsFile(5, "9600"));
    rig.rig.dialogs.inputAnswers = {QStringLiteral("6")};
    load();
    EXPECT_EQ(fileBytes(filePath()), settingsFile(6, "9600"));
    EXPECT_EQ(rig.serial.commPort(), 3);
    EXPECT_TRUE(rig.serial.portOpen());
}

TEST_F(LinkStartupTest, ALineFeedFollowedByMoreIsNoAnswer) {
    writeFileBytes(filePath(), settingsFile(2, "9600"));
    ports({1, 2});
    counterPort = 2;
    reply = Line + QByteArrayLiteral("X1");
    load();
    EXPECT_EQ(rig.splash.lblProductName.caption(), "無信號");
    EXPECT_TRUE(rig.rig.dialogs.prompts.empty());
    EXPECT_EQ(rig.state.portNumber, 8);
}

// The counter's line comes in the very pass in which the handshake's time runs out: that is no
// answer, and the line end it leaves behind must not make the scan take port 1.
TEST_F(LinkStartupTest, AnswerInThePassOfTheTimeLimitIsNoAnswerAndMisleadsNoScan) {
    writeFileBytes(filePath(), settingsFile(2, "9600"));
    ports({1, 2});
    counterPort = 2;
    answersLeft = 0;
    const double start = rig.rig.clock.now;
    bool late = false;
    rig.rig.events.onDoEvents = [&] {
        rig.rig.clock.advance(0.01);
        if (!late && rig.rig.clock.now - start > 2.0) {
            late = true;
            rig.serial.feed(Line); // read in the next pass, after the time is up
            answersLeft = -1;      // from now on the counter answers at once
        }
    };
    rig.rig.dialogs.inputAnswers = {QStringLiteral("2")};
    load();
    EXPECT_EQ(rig.splash.lblProductName.caption(), "無信號");
    ASSERT_EQ(rig.rig.dialogs.prompts.size(), 1U);
    EXPECT_EQ(rig.rig.dialogs.prompts[0].defaultText, "2");
    EXPECT_EQ(rig.serial.commPort(), 2);
}

TEST_F(LinkStartupTest, FirstRunCreatesTheFileWithTheDefaultSpeed) {
    ports({1, 2});
    counterPort = 1; // the port the component starts with
    load();
    EXPECT_EQ(fileBytes(filePath()), settingsFile(0, "9600"));
    EXPECT_TRUE(rig.checkedPorts().empty());
    EXPECT_TRUE(rig.checkedSpeeds().empty());
    EXPECT_EQ(rig.serial.settings(), "9600,N,8,2");
    EXPECT_EQ(rig.serial.openedPorts(), std::vector<int>{1});
    EXPECT_TRUE(rig.rig.dialogs.messages.empty());
}

TEST_F(LinkStartupTest, FirstRunWithTheCounterElsewhereStoresWhatTheScanFound) {
    ports({1, 2, 3});
    counterPort = 3;
    rig.rig.dialogs.inputAnswers = {QStringLiteral("3")};
    load();
    EXPECT_EQ(fileBytes(filePath()), settingsFile(3, "9600"));
}

TEST_F(LinkStartupTest, StoredSpeedsThatAreNoMenuChoice) {
    ports({1});
    counterPort = 1;
    struct Case {
        QByteArray stored;
        QByteArray after;
        QString settings;
    };
    const std::vector<Case> cases = {
        {"abc", "9600", "9600,N,8,2"},     // no number: replaced
        {"70000", "70000", "70000,N,8,2"}, // beyond 16 bits: kept, applied, nothing checked
        {"300", "300", "300,N,8,2"},       // a number without item: applied, nothing checked
    };
    for (const Case& c : cases) {
        FormRig fresh;
        fresh.serial.addPort(1);
        PortSettingsFile freshFile{fresh.rig.files, fresh.rig.dialogs};
        PortMenus freshMenus{fresh.form, fresh.state, fresh.platform, freshFile};
        LinkStartup freshStartup{fresh.form, fresh.state, fresh.platform,
                                 freshFile,  freshMenus,  nullptr};
        writeFileBytes(fresh.rig.path(PortSettingsFile::FileName), settingsFile(1, c.stored));
        fresh.serial.onOutput = [&](int, const QByteArray&) { fresh.serial.feed(Line); };
        freshStartup.Form_Load();
        EXPECT_EQ(fileBytes(fresh.rig.path(PortSettingsFile::FileName)), settingsFile(1, c.after))
            << c.stored.constData();
        EXPECT_EQ(fresh.serial.settings(), c.settings) << c.stored.constData();
        EXPECT_TRUE(fresh.checkedSpeeds().empty()) << c.stored.constData();
        EXPECT_EQ(fresh.checkedPorts(), std::vector<int>{1});
    }
}

TEST_F(LinkStartupTest, SettingsFileThatCannotBeOpenedIsToldAndTheLinkStillStarts) {
    ports({1});
    counterPort = 1;
    rig.rig.files.failNext(FaultyFiles::Op::OpenRandom, err::PermissionDenied);
    load();
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 1U);
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_TRUE(rig.form.Timer1.enabled());
    EXPECT_EQ(rig.serial.written(), "OO");
}
