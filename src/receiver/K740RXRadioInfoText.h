#pragma once
// The text fields of a driver radio record, read without trusting their terminating NUL.
#include <cstring>
#include <string_view>

#include "receiver/K740RXDriverApi.h"

inline std::string_view RadioSerial(const RadioInfo& info) {
    return {info.serial, strnlen(info.serial, sizeof info.serial)};
}

inline std::string_view RadioProductName(const RadioInfo& info) {
    return {info.productName, strnlen(info.productName, sizeof info.productName)};
}
