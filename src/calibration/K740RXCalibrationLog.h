#pragma once
// Diagnostics of the S-meter calibration, to stderr through Qt's logging.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCalibration)
