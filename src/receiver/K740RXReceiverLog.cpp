#include "receiver/K740RXReceiverLog.h"

Q_LOGGING_CATEGORY(lcReceiver, "k740.receiver")
