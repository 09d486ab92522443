// Feeds arbitrary bytes to the band file loader as a band file, then looks up frequencies across
// and around every band it produced.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <span>
#include <string_view>

#include "settings/CnxChannelPlan.h"
#include "settings/CnxFrequencyBandList.h"

namespace {

constexpr std::size_t kProbedBands = 16;

void Probe(const CnxFrequencyBandList& list, int64_t frequency) {
    const nxFrequencyBand* band = list.Find(frequency);
    if (band && (band->start > frequency || band->end < frequency ||
                 band->name.size() > CnxFrequencyBandList::kMaxTextLength)) {
        std::abort();
    }
    CnxChannelPlan::ChannelText(frequency);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CnxFrequencyBandList list;
    list.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    // Every lookup walks the list: probing the edges of every band of a long list would cost the
    // square of its length, while the bands further down take the same path as the first ones.
    const std::size_t probed = std::min<std::size_t>(list.GetCount(), kProbedBands);
    for (const nxFrequencyBand& band : std::span(list.GetBands()).first(probed)) {
        for (int64_t f : {int64_t{band.start} - 1, int64_t{band.start}, int64_t{band.end},
                          int64_t{band.end} + 1}) {
            Probe(list, f);
        }
    }
    for (int64_t f : {int64_t{0}, int64_t{136000000}, int64_t{161125000}, int64_t{173500000},
                      int64_t{std::numeric_limits<int32_t>::max()}}) {
        Probe(list, f);
    }
    return 0;
}
