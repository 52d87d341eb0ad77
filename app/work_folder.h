#pragma once

#include <QString>

namespace vx::app {

// Creates the folder if it is missing (private to its user) and makes it the working folder. On
// failure, returns what went wrong, for the user.
QString enterFolder(const QString& path);

} // namespace vx::app
