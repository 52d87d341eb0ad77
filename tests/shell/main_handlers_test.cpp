#include "form_rig.h"
#include "shell/core/main_handlers.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

// The main window with its handlers, the counter's port open, a log file to choose and a count
// and a log file name on show, so that every command leaves a trace of its own.
struct CommandRig : FormRig {
    CommandRig() {
        for (int n = 1; n <= 8; ++n)
            serial.addPort(n);
        serial.setPortOpen(true);
        writeFileBytes(log, "old\r\n");
        rig.dialogs.fileAnswers = {log};
        form.lab計數顯示.setCaption(QStringLiteral("7"));
        form.sbStatusBar.panel(2).setText(QStringLiteral("old.txt"));
    }
    QString log = rig.path(QStringLiteral("log.txt"));
    LoadedForms forms;
    MainHandlers handlers{form, state, platform, forms, nullptr};
    Commands commands = mainWindowCommands(form, handlers);
};

// What the window offers: its buttons, menus and menu items, in a fixed order.
struct Offer {
    Observable* source;
    QString name;
    int index;
};
std::vector<Offer> offered(MainForm& form) {
    std::vector<Offer> all;
    for (Control* control : form.controls())
        if (control->kind() == ControlKind::Button)
            all.push_back({control, control->name(), 0});
    for (MenuItem* menu : form.menuBar()) {
        all.push_back({menu, menu->name(), 0});
        for (MenuItem* item : menu->items())
            if (!item->isSeparator())
                all.push_back({item, item->name(), item->index().value_or(0)});
    }
    return all;
}

using Effect = std::function<bool(CommandRig&, int index)>;
Effect sends(const char* code) {
    return [code](CommandRig& r, int) { return r.serial.written() == code; };
}
Effect shows(const char* prompt) {
    return [prompt](CommandRig& r, int) {
        return r.rig.dialogs.messages.size() == 1 &&
               r.rig.dialogs.messages[0].prompt.startsWith(QString::fromUtf8(prompt));
    };
}
Effect nothing = [](CommandRig& r, int) {
    return r.serial.written().isEmpty() && r.rig.dialogs.messages.empty();
};

// The trace each command must leave: a three-axis counter's key codes, the log commands' files.
const std::map<QString, Effect> Effects = {
    {"cmdX", sends("0")},
    {"cmdY", sends("1")},
    {"cmdZ", sends("2")},
    {"cmdDR", sends("3")},
    {"cmdABS", sends("4")},
    {"cmdIM", sends("5")},
    {"cmdDIV", sends("6")},
    {"cmdTF", sends("8")},
    {"mnuX軸歸零", sends("0")},
    {"mnuY軸歸零", sends("1")},
    {"cmdRS", [](CommandRig& r, int) { return r.state.recordRequest && nothing(r, 0); }},
    {"CmdHalt", [](CommandRig& r, int) { return r.form.CmdHalt.caption() == "Go"; }},
    {"mnu鎖住按鍵",
     [](CommandRig& r, int) { return r.form.mnu鎖住按鍵.checked() && !r.form.cmdX.visible(); }},
    {"mnuFile", nothing},
    {"mnuHelp", nothing},
    {"mnuFileNew",
     [](CommandRig& r, int) { return r.panel(2) == r.log && fileBytes(r.log).isEmpty(); }},
    {"mnuFileOpen",
     [](CommandRig& r, int) { return r.panel(2) == r.log && fileBytes(r.log) == "old\r\n"; }},
    {"mnuFileClose",
     [](CommandRig& r, int) {
         return r.panel(2) == text::NoLogFile && r.form.lab計數顯示.caption() == "0";
     }},
    {"mnuFileExit", [](CommandRig& r, int) { return r.host.unloads == 1; }},
    {"mnuComm", [](CommandRig& r, int) { return !r.form.port.item(1).toolTip().isEmpty(); }},
    {"baud",
     [](CommandRig& r, int index) {
         return r.checkedSpeeds() == std::vector{index} &&
                r.serial.settings() == QStringLiteral("%1,N,8,2").arg(index);
     }},
    {"port",
     [](CommandRig& r, int index) {
         return r.checkedPorts() == std::vector{index} && r.serial.openedPorts().back() == index;
     }},
    {"mnuHelpContents", shows("該程式專接Vx515用")},
    {"mnuHelpAbout", shows("版本 ")},
};

} // namespace

TEST(MainWindowCommands, EveryButtonMenuAndItemRunsItsOwnHandler) {
    CommandRig first;
    const size_t count = offered(first.form).size();
    EXPECT_EQ(first.commands.size(), count) << "a command for something not on the window";
    for (size_t i = 0; i < count; ++i) {
        // A fresh window for each, so that one command's trace cannot pass for another's.
        CommandRig r;
        const auto [source, name, index] = offered(r.form)[i];
        SCOPED_TRACE(QStringLiteral("%1(%2)").arg(name).arg(index).toStdString());
        ASSERT_EQ(r.commands.count(source), 1U) << "no command";
        ASSERT_EQ(Effects.count(name), 1U) << "no effect listed for it here";
        r.serial.clearOutputs();
        r.commands.at(source)();
        EXPECT_TRUE(Effects.at(name)(r, index));
    }
}
