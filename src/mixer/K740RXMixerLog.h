#pragma once
// Diagnostics of the mixer unit (discovery, serial traffic, control), to stderr.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMixer)
