#include "log_categories.h"

Q_LOGGING_CATEGORY(vxSerial, "vx.serial", QtWarningMsg)
Q_LOGGING_CATEGORY(vxFiles, "vx.files", QtWarningMsg)
