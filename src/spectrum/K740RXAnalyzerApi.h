#pragma once
// The calling contract of the spectrum analyzer library (libaspect_vcl.so). The program binds it
// by name at run time; the stand-in in sim/spectrum-analyzer implements exactly these exports.
#include <cstdint>

struct AspectAnalyzer;                 // the library's own object
using AspectHandle = AspectAnalyzer*;  // null: no analyzer

// What the library tells its user, with a value in Hz where one applies.
using AspectNotify = void (*)(std::int32_t code, std::int32_t value, void* context);
enum AspectNotifyCode : std::int32_t {
    kAspectIFShift = 1,
    kAspectIFBandwidth = 2,
    kAspectFilterPos = 3,
    kAspectFilterBandwidth = 4,
    kAspectRedraw = 5,
};

// Colours of the picture, each 0x00RRGGBB. Passed by value across the library boundary.
struct AspectVisColors {
    std::uint32_t background;
    std::uint32_t grid;
    std::uint32_t trace;
    std::uint32_t traceFill;
    std::uint32_t peak;
    std::uint32_t passband;  // blended over the picture
    std::uint32_t passbandEdge;
    std::uint32_t ifShift;
    std::uint32_t readingHelper;
    std::uint32_t squelched;  // the trace while the signal is squelched
    std::uint32_t reserved[30];
};
static_assert(sizeof(AspectVisColors) == 160, "the colour record is 160 bytes");

// Every export, as X(name, return type, parameter list), in the order the binding resolves them.
// All but CreateAnalyzer take the analyzer first. The last seven stand in for the operations the
// library's own object model offers: the picture and the mouse.
#define K740RX_ANALYZER_FUNCTIONS(X)                                                             \
    X(CreateAnalyzer, AspectHandle,                                                              \
      (std::uintptr_t parent, std::int32_t x, std::int32_t y, std::int32_t width,                \
       std::int32_t height, std::uint32_t style, std::int32_t reserved))                         \
    X(DestroyAnalyzer, std::int32_t, (AspectHandle h))                                           \
    X(SetVisRange, std::int32_t, (AspectHandle h, std::int32_t hz))                              \
    X(Display, std::int32_t,                                                                     \
      (AspectHandle h, const float* samples, std::int32_t count, std::int32_t a, std::int32_t b, \
       std::int32_t flag))                                                                       \
    X(SetVisReadingHelperEnable, std::int32_t, (AspectHandle h, std::int32_t on))                \
    X(FFTSuggest, std::int32_t, (AspectHandle h, std::int32_t hz))                               \
    X(SetVisOverlap, std::int32_t, (AspectHandle h, std::int32_t percent))                       \
    X(SetIFShiftMode, std::int32_t, (AspectHandle h, std::int32_t mode))                         \
    X(SetIFShift, std::int32_t, (AspectHandle h, std::int32_t hz))                               \
    X(SetIFBandwidth, std::int32_t, (AspectHandle h, std::int32_t hz))                           \
    X(SetFFTSize, std::int32_t, (AspectHandle h, std::int32_t size))                             \
    X(SetSampleRate, std::int32_t, (AspectHandle h, std::int32_t hz))                            \
    X(Zoom, std::int32_t, (AspectHandle h, float factor, std::int32_t centreHz))                 \
    X(SetVisFilterEnable, std::int32_t, (AspectHandle h, std::int32_t on))                       \
    X(SetVisEnable, std::int32_t, (AspectHandle h, std::int32_t on))                             \
    X(SetVisSource, std::int32_t, (AspectHandle h, std::int32_t source))                         \
    X(SetVisColor, std::int32_t, (AspectHandle h, AspectVisColors colors))                       \
    X(SetVisDrawPeak, std::int32_t, (AspectHandle h, std::int32_t on))                           \
    X(SetFilterPos, std::int32_t, (AspectHandle h, std::int32_t hz))                             \
    X(SetFilterBandwidth, std::int32_t, (AspectHandle h, std::int32_t hz))                       \
    X(SetNotifyCallback, std::int32_t, (AspectHandle h, AspectNotify callback, void* context))   \
    X(SetMaxIFShift, std::int32_t, (AspectHandle h, std::int32_t hz))                            \
    X(SetMaxIFBandwidth, std::int32_t, (AspectHandle h, std::int32_t hz))                        \
    X(SetVisZeroOffset, std::int32_t, (AspectHandle h, std::int32_t hz))                         \
    X(SetVisDisplayPlayback, std::int32_t, (AspectHandle h, std::int32_t on))                    \
    X(SetVisSquelched, std::int32_t, (AspectHandle h, std::int32_t on))                          \
    X(SetViewSize, std::int32_t, (AspectHandle h, std::int32_t width, std::int32_t height))      \
    X(RenderView, std::int32_t,                                                                  \
      (AspectHandle h, std::uint32_t * pixels, std::int32_t width, std::int32_t height,          \
       std::int32_t bytesPerLine))                                                               \
    X(GetVisFrequencyRange, std::int32_t,                                                        \
      (AspectHandle h, std::int32_t * lowHz, std::int32_t * highHz))                             \
    X(HitTest, std::int32_t, (AspectHandle h, std::int32_t x, std::int32_t y))                   \
    X(MouseDown, std::int32_t, (AspectHandle h, std::int32_t x, std::int32_t y))                 \
    X(MouseMove, std::int32_t, (AspectHandle h, std::int32_t x, std::int32_t y))                 \
    X(MouseUp, std::int32_t, (AspectHandle h, std::int32_t x, std::int32_t y))
