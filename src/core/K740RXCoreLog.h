#pragma once
// Diagnostics of the message layer and the library binding, to stderr through Qt's logging.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCore)
