#pragma once

#include <QString>

namespace vx::app {

// The per-user working folder of a start from the desktop menu, which has no useful folder of its
// own: $XDG_DATA_HOME/vx, or ~/.local/share/vx when XDG_DATA_HOME is unset or not absolute.
QString desktopEntryFolder();

// Creates the folder if it is missing and makes it the working folder. On failure, returns what
// went wrong, for the user.
QString enterFolder(const QString& path);

} // namespace vx::app
