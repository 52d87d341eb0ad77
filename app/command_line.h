#pragma once

#include <QString>
#include <QStringList>

namespace vx::app {

// What the command line asks for. Without arguments the program runs as it always has.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    bool desktopEntry = false; // started from the desktop menu: work in the per-user folder
    QString text;              // the help or version text, or what is wrong
};

// The arguments with the program name first. Needs no application object and no display.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace vx::app
