#include "scanner/K740RXScannerLog.h"

Q_LOGGING_CATEGORY(lcScanner, "k740.scanner")
