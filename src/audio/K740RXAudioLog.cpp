#include "audio/K740RXAudioLog.h"

Q_LOGGING_CATEGORY(lcAudio, "k740.audio")
