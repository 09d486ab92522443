#include "mixer/K740RXMixerLog.h"

// Debug lines (the serial traffic among them) only when asked for through the logging rules.
Q_LOGGING_CATEGORY(lcMixer, "k740.mixer", QtInfoMsg)
