// Feeds arbitrary bytes to the band file loader as a band file, then looks up frequencies across
// and around every band it produced.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "settings/CnxChannelPlan.h"
#include "settings/CnxFrequencyBandList.h"

namespace {

// The input goes through a real file; an in-memory one keeps the disk out of the loop.
std::string TempFilePath() {
    const int memory = memfd_create("k740-fuzz-bands", 0);
    if (memory >= 0) {
        return "/proc/self/fd/" + std::to_string(memory);
    }
    char pattern[] = "/tmp/k740-fuzz-bands-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) {
        std::abort();
    }
    close(fd);
    return pattern;
}

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
    static const std::string path = TempFilePath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CnxFrequencyBandList list;
    if (!list.LoadFromFile(path)) {
        std::abort();
    }
    for (const nxFrequencyBand& band : list.GetBands()) {
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
