#pragma once
// Diagnostics of the receiver subsystem (library binding, receivers, manager), to stderr.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcReceiver)
