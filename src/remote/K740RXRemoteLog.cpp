#include "remote/K740RXRemoteLog.h"

Q_LOGGING_CATEGORY(lcRemote, "k740.remote")
