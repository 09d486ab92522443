#pragma once
// Diagnostics of the sound devices, to stderr through Qt's logging.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAudio)
