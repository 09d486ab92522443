#include "sync/CnxSystemError.h"

#include <cstring>

std::string CnxSystemErrorText(int errorCode) {
    // Unlike strerror, strerrordesc_np answers null for codes the system does not know.
    const char* text = errorCode > 0 ? strerrordesc_np(errorCode) : nullptr;
    return text != nullptr ? text : "Function Error";
}
