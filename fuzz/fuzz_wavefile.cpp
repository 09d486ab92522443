// The RIFF/WAVE reader on arbitrary bytes: open, read to the end, seek both ways, read again.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "audio/CStreamWaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > std::numeric_limits<uint32_t>::max()) {
        return 0;
    }
    CStreamWaveFile reader;
    if (reader.OpenMemory(data, static_cast<uint32_t>(size)) != 0) {
        return 0;
    }
    char buffer[4096];
    for (int blocks = 0; blocks < 64 && reader.Read(buffer, sizeof buffer) > 0; ++blocks) {
    }
    reader.Seek(reader.GetPosition() / 2 + 1, 0);
    reader.Read(buffer, 100);
    reader.Seek(static_cast<int32_t>(reader.GetDataLength() & 0x7FFFFFFF), 1);
    reader.Read(buffer, sizeof buffer);
    reader.Close();
    return 0;
}
