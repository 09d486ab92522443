#include "app/K740RXAppLog.h"

Q_LOGGING_CATEGORY(lcApp, "k740.app")
