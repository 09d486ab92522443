#pragma once
// How the operator arranged the main window's inside, kept with its placement: the heights of the
// bar graph and its sweep history, of the scan area and the audio spectrum (pixels; 0: never
// arranged, the layout's own shares apply), and whether the all-receivers overview is shown.
#include <cstdint>

struct SnxWindowLayout {
    int32_t graph = 0;
    int32_t history = 0;
    int32_t scans = 0;
    int32_t spectrum = 0;
    int32_t overview = 0;

    bool operator==(const SnxWindowLayout&) const = default;
};
