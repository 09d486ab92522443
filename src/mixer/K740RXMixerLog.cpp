#include "mixer/K740RXMixerLog.h"

Q_LOGGING_CATEGORY(lcMixer, "k740.mixer")
