#pragma once
// Text for a failed system call, as the synchronisation classes put it into their exceptions.
#include <string>

// The system's description of `errorCode` (an errno value), or "Function Error" when the system has
// none for it.
std::string CnxSystemErrorText(int errorCode);
