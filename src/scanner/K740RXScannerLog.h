#pragma once
// Diagnostics of the scanner subsystem (bar graph, markers and their files), to stderr.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcScanner)
