#pragma once

#include "dialogs.h"
#include "runtime_error.h"

#include <utility>

namespace vx {

// The text shown for a run-time error that no handler trapped.
QString untrappedMessage(const RuntimeError& error);

// Runs a handler that traps nothing itself. A run-time error that leaves it is shown to the
// operator with its number and description, and the program goes on.
template <class Handler> void runUntrapped(Dialogs& dialogs, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const RuntimeError& error) {
        dialogs.msgBox(untrappedMessage(error), mb::Critical);
    }
}

} // namespace vx
