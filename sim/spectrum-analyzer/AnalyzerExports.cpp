// The library's exported entry points. Each looks its analyzer up among the live ones (an unknown
// handle is refused with 0) and holds it for the length of the call, so destroying an analyzer
// while another thread is inside one of its calls is safe. The declarations come from the
// program's own list of analyzer functions, so names and signatures cannot drift apart.
#include <map>
#include <memory>
#include <mutex>

#include "SimAnalyzer.h"
#include "spectrum/K740RXAnalyzerApi.h"

#define K740_SIM_DECLARE_EXPORT(name, result, parameters) \
    extern "C" __attribute__((visibility("default"))) result name parameters;
K740RX_ANALYZER_FUNCTIONS(K740_SIM_DECLARE_EXPORT)
#undef K740_SIM_DECLARE_EXPORT

namespace {

class Registry {
public:
    AspectHandle Add(std::shared_ptr<SimAnalyzer> analyzer) {
        const auto handle = reinterpret_cast<AspectHandle>(analyzer.get());
        std::lock_guard guard(lock_);
        live_.emplace(handle, std::move(analyzer));
        return handle;
    }
    std::shared_ptr<SimAnalyzer> Find(AspectHandle handle) {
        std::lock_guard guard(lock_);
        const auto found = live_.find(handle);
        return found != live_.end() ? found->second : nullptr;
    }
    bool Remove(AspectHandle handle) {
        std::shared_ptr<SimAnalyzer> last;  // released after the lock
        std::lock_guard guard(lock_);
        const auto found = live_.find(handle);
        if (found == live_.end()) {
            return false;
        }
        last = std::move(found->second);
        live_.erase(found);
        return true;
    }

private:
    std::mutex lock_;
    std::map<AspectHandle, std::shared_ptr<SimAnalyzer>> live_;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

// Runs the call on the live analyzer, or answers 0 for an unknown handle.
template <typename Call>
int32_t With(AspectHandle h, Call call) {
    const std::shared_ptr<SimAnalyzer> analyzer = registry().Find(h);
    return analyzer ? call(*analyzer) : 0;
}

int32_t SetField(AspectHandle h, int SimAnalyzerSettings::*field, int32_t value) {
    return With(h, [&](SimAnalyzer& a) { return a.Set(field, value); });
}

int32_t SetFlag(AspectHandle h, bool SimAnalyzerSettings::*field, int32_t on) {
    return With(h, [&](SimAnalyzer& a) { return a.SetFlag(field, on); });
}

}  // namespace

AspectHandle CreateAnalyzer(std::uintptr_t, int32_t, int32_t, int32_t width, int32_t height,
                            uint32_t, int32_t) {
    return registry().Add(std::make_shared<SimAnalyzer>(width, height));
}
int32_t DestroyAnalyzer(AspectHandle h) {
    return registry().Remove(h) ? 1 : 0;
}
int32_t SetVisRange(AspectHandle h, int32_t hz) {
    return SetField(h, &SimAnalyzerSettings::visRange, hz);
}
int32_t Display(AspectHandle h, const float* samples, int32_t count, int32_t, int32_t,
                int32_t flag) {
    return With(h, [&](SimAnalyzer& a) { return a.Display(samples, count, flag != 0); });
}
int32_t SetVisReadingHelperEnable(AspectHandle h, int32_t on) {
    return SetFlag(h, &SimAnalyzerSettings::readingHelper, on);
}
int32_t FFTSuggest(AspectHandle h, int32_t hz) {
    return With(h, [&](SimAnalyzer& a) { return a.SuggestFftSize(hz); });
}
int32_t SetVisOverlap(AspectHandle h, int32_t percent) {
    return With(h, [&](SimAnalyzer& a) { return a.SetOverlap(percent); });
}
int32_t SetIFShiftMode(AspectHandle h, int32_t mode) {
    return SetField(h, &SimAnalyzerSettings::ifShiftMode, mode);
}
int32_t SetIFShift(AspectHandle h, int32_t hz) {
    return SetField(h, &SimAnalyzerSettings::ifShift, hz);
}
int32_t SetIFBandwidth(AspectHandle h, int32_t hz) {
    return With(h, [&](SimAnalyzer& a) { return a.SetIFBandwidth(hz); });
}
int32_t SetFFTSize(AspectHandle h, int32_t size) {
    return With(h, [&](SimAnalyzer& a) { return a.SetFftSize(size); });
}
int32_t SetSampleRate(AspectHandle h, int32_t hz) {
    return With(h, [&](SimAnalyzer& a) { return a.SetSampleRate(hz); });
}
int32_t Zoom(AspectHandle h, float factor, int32_t centreHz) {
    return With(h, [&](SimAnalyzer& a) { return a.SetZoom(factor, centreHz); });
}
int32_t SetVisFilterEnable(AspectHandle h, int32_t on) {
    return SetFlag(h, &SimAnalyzerSettings::filterEnabled, on);
}
int32_t SetVisEnable(AspectHandle h, int32_t on) {
    return SetFlag(h, &SimAnalyzerSettings::enabled, on);
}
int32_t SetVisSource(AspectHandle h, int32_t source) {
    return SetField(h, &SimAnalyzerSettings::source, source);
}
int32_t SetVisColor(AspectHandle h, AspectVisColors colors) {
    return With(h, [&](SimAnalyzer& a) { return a.SetColors(colors); });
}
int32_t SetVisDrawPeak(AspectHandle h, int32_t on) {
    return With(h, [&](SimAnalyzer& a) { return a.SetDrawPeak(on); });
}
int32_t SetFilterPos(AspectHandle h, int32_t hz) {
    return SetField(h, &SimAnalyzerSettings::filterPos, hz);
}
int32_t SetFilterBandwidth(AspectHandle h, int32_t hz) {
    return SetField(h, &SimAnalyzerSettings::filterBandwidth, hz < 0 ? 0 : hz);
}
int32_t SetNotifyCallback(AspectHandle h, AspectNotify callback, void* context) {
    return With(h, [&](SimAnalyzer& a) { return a.SetCallback(callback, context); });
}
int32_t SetMaxIFShift(AspectHandle h, int32_t hz) {
    return SetField(h, &SimAnalyzerSettings::maxIFShift, hz < 0 ? 0 : hz);
}
int32_t SetMaxIFBandwidth(AspectHandle h, int32_t hz) {
    return SetField(h, &SimAnalyzerSettings::maxIFBandwidth, hz);
}
int32_t SetVisZeroOffset(AspectHandle h, int32_t hz) {
    return With(h, [&](SimAnalyzer& a) { return a.SetZeroOffset(hz); });
}
int32_t SetVisDisplayPlayback(AspectHandle h, int32_t on) {
    return SetFlag(h, &SimAnalyzerSettings::playback, on);
}
int32_t SetVisSquelched(AspectHandle h, int32_t on) {
    return SetFlag(h, &SimAnalyzerSettings::squelched, on);
}
int32_t SetViewSize(AspectHandle h, int32_t width, int32_t height) {
    return With(h, [&](SimAnalyzer& a) { return a.SetViewSize(width, height); });
}
int32_t RenderView(AspectHandle h, uint32_t* pixels, int32_t width, int32_t height,
                   int32_t bytesPerLine) {
    return With(h, [&](SimAnalyzer& a) { return a.Render(pixels, width, height, bytesPerLine); });
}
int32_t GetVisFrequencyRange(AspectHandle h, int32_t* lowHz, int32_t* highHz) {
    return With(h, [&](SimAnalyzer& a) { return a.GetRange(lowHz, highHz); });
}
int32_t HitTest(AspectHandle h, int32_t x, int32_t y) {
    return With(h, [&](SimAnalyzer& a) { return a.HitTest(x, y); });
}
int32_t MouseDown(AspectHandle h, int32_t x, int32_t y) {
    return With(h, [&](SimAnalyzer& a) { return a.MouseDown(x, y); });
}
int32_t MouseMove(AspectHandle h, int32_t x, int32_t y) {
    return With(h, [&](SimAnalyzer& a) { return a.MouseMove(x, y); });
}
int32_t MouseUp(AspectHandle h, int32_t x, int32_t y) {
    return With(h, [&](SimAnalyzer& a) { return a.MouseUp(x, y); });
}
