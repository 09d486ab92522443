#pragma once
// Diagnostics of the application shell, to stderr through Qt's logging.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
