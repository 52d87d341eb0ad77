#include "main_handlers.h"

namespace vx {

MainHandlers::MainHandlers(MainForm& form, ModuleState& state, Platform& platform,
                           LoadedForms& forms, const SerialDevices& devices, Control* noSignalLabel)
    : file(platform.files, platform.dialogs)
    , menus(form, state, platform, file)
    , startup(form, state, platform, file, menus, devices, noSignalLabel)
    , events(form, platform)
    , toolTips(form, devices)
    , frames(form, state, platform)
    , poll(form, state, platform, frames)
    , keypad(form, state, platform)
    , log(form, state, platform)
    , csv(platform)
    , shutdown(form, platform, forms)
    , help(form, platform) {
    frames.recordWritten = [this](const QByteArray& line) { csv.recordWritten(line); };
    log.logOpened = [this](const QString& path, bool emptied) { csv.logOpened(path, emptied); };
    csv.showStatus = [&form](const QString& text) {
        form.sbStatusBar.panel(MainForm::PanelLink).setText(text);
    };
}

Commands mainWindowCommands(MainForm& f, MainHandlers& h) {
    Commands commands = {
        {&f.cmdX, [&h] { h.keypad.cmdX_Click(); }},
        {&f.cmdY, [&h] { h.keypad.cmdY_Click(); }},
        {&f.cmdZ, [&h] { h.keypad.cmdZ_Click(); }},
        {&f.cmdDR, [&h] { h.keypad.cmdDR_Click(); }},
        {&f.cmdABS, [&h] { h.keypad.cmdABS_Click(); }},
        {&f.cmdDIV, [&h] { h.keypad.cmdDIV_Click(); }},
        {&f.cmdIM, [&h] { h.keypad.cmdIM_Click(); }},
        {&f.cmdTF, [&h] { h.keypad.cmdTF_Click(); }},
        {&f.cmdRS, [&h] { h.keypad.cmdRS_Click(); }},
        {&f.CmdHalt, [&h] { h.keypad.CmdHalt_Click(); }},
        {&f.mnuFile, [] {}},
        {&f.mnuFileNew, [&h] { h.log.mnuFileNew_Click(); }},
        {&f.mnuFileOpen, [&h] { h.log.mnuFileOpen_Click(); }},
        {&f.mnuFileClose, [&h] { h.log.mnuFileClose_Click(); }},
        {&f.mnuFileExit, [&h] { h.shutdown.mnuFileExit_Click(); }},
        // Opening the speed and port menu refreshes what each port item stands for.
        {&f.mnuComm, [&h] { h.toolTips.refresh(); }},
        {&f.mnuHelp, [] {}},
        {&f.mnuHelpContents, [&h] { h.help.mnuHelpContents_Click(); }},
        {&f.mnuX軸歸零, [&h] { h.keypad.mnuX軸歸零_Click(); }},
        {&f.mnuY軸歸零, [&h] { h.keypad.mnuY軸歸零_Click(); }},
        {&f.mnu鎖住按鍵, [&h] { h.keypad.mnu鎖住按鍵_Click(); }},
        {&f.mnuHelpAbout, [&h] { h.help.mnuHelpAbout_Click(); }},
    };
    // An item array's items share one handler, which is told the item's index.
    for (MenuItem* item : f.baud.items()) {
        const int index = item->index().value_or(0);
        commands.emplace(item, [&h, index] { h.menus.baud_Click(index); });
    }
    for (MenuItem* item : f.port.items()) {
        const int index = item->index().value_or(0);
        commands.emplace(item, [&h, index] { h.menus.port_Click(index); });
    }
    return commands;
}

} // namespace vx
