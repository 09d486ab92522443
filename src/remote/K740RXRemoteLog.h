#pragma once
// Diagnostics of the remote control (servers, clients), to stderr.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcRemote)
