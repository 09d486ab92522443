#include "calibration/K740RXCalibrationLog.h"

Q_LOGGING_CATEGORY(lcCalibration, "k740.calibration")
