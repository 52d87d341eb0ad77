#include "form_rig.h"
#include "platform/runtime_error.h"
#include "shell/core/help_commands.h"
#include "shell/core/main_handlers.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

// The counter's port open, a log file to choose, a count and a log file name on show.
struct CommandRig : FormRig {
    CommandRig() {
        for (int n = 1; n <= 8; ++n)
            serial.addPort(n);
        serial.setPortOpen(true);
        serial.clearOutputs();
        writeFileBytes(log, "old\r\n");
        rig.files.openRandom(fileno::PortSettings, rig.path(QStringLiteral("s")), 20);
        rig.dialogs.fileAnswers = {log};
        form.lab計數顯示.setCaption(QStringLiteral("7"));
        form.sbStatusBar.panel(2).setText(QStringLiteral("old.txt"));
    }
    // All that a command can leave on the window, the port, the files and the screen.
    QString trace() {
        const QString file = fileBytes(log) == "old\r\n" ? "log kept" : "log emptied";
        const QString count = form.lab計數顯示.caption();
        QStringList t = {serial.written().isEmpty() ? "" : "sent " + serial.written(),
                         state.recordRequest ? "record" : "",
                         state.paused ? "halted" : "",
                         form.mnu鎖住按鍵.checked() && !form.cmdX.visible() ? "locked" : "",
                         panel(2) == log ? file : "",
                         panel(2) == MainForm::noLogFileText() ? "no log" : "",
                         count == "7" ? "" : "count " + count,
                         host.unloads > 0 ? "unloaded" : "",
                         form.port.item(1).toolTip().isEmpty() ? "" : "tooltips"};
        t.removeAll(QString());
        for (const int speed : checkedSpeeds())
            t << QStringLiteral("speed %1 as %2").arg(speed).arg(serial.settings());
        for (const int port : checkedPorts())
            t << QStringLiteral("port %1 on %2").arg(port).arg(serial.openedPorts().back());
        for (const ScriptedDialogs::Message& message : rig.dialogs.messages)
            t << message.prompt.section(' ', 0, 0);
        return t.join(", ");
    }
    QString log = rig.path(QStringLiteral("log.txt"));
    LoadedForms forms;
    MainHandlers handlers{form, state, platform, forms, rig.devices, nullptr};
    Commands commands = mainWindowCommands(form, handlers);
};

// What the window offers, in a fixed order: its buttons, menus and menu items, with their index.
std::vector<std::tuple<Observable*, QString, int>> offered(MainForm& form) {
    std::vector<std::tuple<Observable*, QString, int>> all;
    for (Control* control : form.controls())
        if (control->kind() == ControlKind::Button)
            all.emplace_back(control, control->name(), 0);
    for (MenuItem* menu : form.menuBar()) {
        all.emplace_back(menu, menu->name(), 0);
        for (MenuItem* item : menu->items())
            if (!item->isSeparator())
                all.emplace_back(item, item->name(), item->index().value_or(0));
    }
    return all;
}

// The trace each command must leave (%1: the item's index).
// clang-format off
const std::map<QString, const char*> Expected = {
    {"cmdX", "sent 0"}, {"cmdY", "sent 1"}, {"cmdZ", "sent 2"}, {"cmdDR", "sent 3"},
    {"cmdABS", "sent 4"}, {"cmdIM", "sent 5"}, {"cmdDIV", "sent 6"}, {"cmdTF", "sent 8"},
    {"mnuX軸歸零", "sent 0"}, {"mnuY軸歸零", "sent 1"}, {"cmdRS", "record"}, {"CmdHalt", "halted"},
    {"mnu鎖住按鍵", "locked"}, {"mnuFile", ""}, {"mnuHelp", ""},
    {"mnuFileNew", "log emptied, count 0"}, {"mnuFileOpen", "log kept, count 0"},
    {"mnuFileClose", "no log, count 0"}, {"mnuFileExit", "unloaded"}, {"mnuComm", "tooltips"},
    {"baud", "speed %1 as %1,N,8,2"}, {"port", "port %1 on %1"},
    {"mnuHelpContents", "該程式專接Vx515用"}, {"mnuHelpAbout", "版本"}};
// clang-format on

} // namespace

TEST(MainWindowCommands, EveryButtonMenuAndItemRunsItsOwnHandler) {
    CommandRig first;
    const size_t count = offered(first.form).size();
    EXPECT_EQ(first.commands.size(), count) << "a command for something not on the window";
    for (size_t i = 0; i < count; ++i) {
        CommandRig r; // a fresh window for each, so that no trace can pass for another's
        const auto [source, name, index] = offered(r.form)[i];
        SCOPED_TRACE(QStringLiteral("%1(%2)").arg(name).arg(index).toStdString());
        ASSERT_TRUE(r.commands.count(source) && Expected.count(name)) << "no command or no trace";
        r.commands.at(source)();
        const QString expected = QString::fromUtf8(Expected.at(name));
        EXPECT_EQ(r.trace(), expected.contains("%1") ? expected.arg(index) : expected);
    }
}

// The handlers as the program wires them: with [Log] Csv on, a record in the log file is a row of
// the CSV file beside it; off or unset, there is no such file.
TEST(MainWindowCommands, RecordsAreRowsBesideTheLogWhenTheSettingsSaySo) {
    const std::pair<const char*, int> rows[] = {{"true", 1}, {"1", 1}, {"false", 0}, {nullptr, 0}};
    for (const auto& [setting, csvRows] : rows) {
        SCOPED_TRACE(setting ? setting : "unset");
        CommandRig r;
        if (setting)
            r.rig.settings.values["Log/Csv"] = QString::fromLatin1(setting);
        r.handlers.log.mnuFileOpen_Click();
        r.handlers.keypad.cmdRS_Click();
        r.handlers.frames.handleFrame("X   -12.345 Y     7.500 \r\n");
        EXPECT_TRUE(fileBytes(r.log).endsWith("7.500 \r\n\r\n"));
        EXPECT_EQ(fileBytes(r.log + ".csv").count("-12.345,7.500"), csvRows);
    }
}

// Without a help file, Contents names the counter under the window's current caption; with one,
// the file opens quietly, or the operator is told why it cannot.
TEST(HelpCommands, ContentsNamesTheCounterOrOpensTheHelpFile) {
    FormRig rig;
    HelpCommands help(rig.form, rig.platform);
    rig.form.window.setCaption(QStringLiteral("二軸顯示"));
    help.mnuHelpContents_Click();
    rig.rig.app.helpFile = QStringLiteral("/usr/share/doc/vx/vx.html");
    help.mnuHelpContents_Click();
    EXPECT_EQ(rig.rig.help.shown, std::vector<QString>{"/usr/share/doc/vx/vx.html"});
    rig.rig.help.failWith = err::HelpUnavailable;
    help.mnuHelpContents_Click();
    const auto& told = rig.rig.dialogs.messages;
    ASSERT_EQ(told.size(), 2U);
    EXPECT_EQ(told[0].type, mb::Information);
    EXPECT_EQ(told[0].title, "二軸顯示");
    EXPECT_EQ(told[1].prompt, standardDescription(err::HelpUnavailable));
    EXPECT_EQ(told[1].title, "Vx");
}
