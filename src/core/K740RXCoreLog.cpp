#include "core/K740RXCoreLog.h"

Q_LOGGING_CATEGORY(lcCore, "k740.core")
