#pragma once

#include <QLoggingCategory>

// Failures that a handler drops on purpose, as its documentation asks (a tick that ends quietly, a
// lock that the system could not give, a file that could not be closed): off by default, and on
// for a fault report with QT_LOGGING_RULES="vx.*=true".
Q_DECLARE_LOGGING_CATEGORY(vxSerial)
Q_DECLARE_LOGGING_CATEGORY(vxFiles)
