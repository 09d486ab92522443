#include "receiver/CnxK740RXTraceLog.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "receiver/K740RXReceiverLog.h"
#include "sync/CnxAtomic.h"

namespace {

// Tick of the previous line per radio; the processing threads of several radios write here.
std::array<CnxAtomic<uint32_t>, CnxK740RXTraceLog::kTableSize> g_previousTick;

CnxAtomic<uint32_t>& TableEntry(uint32_t entry) {
    return g_previousTick[entry < CnxK740RXTraceLog::kTableSize
                              ? entry
                              : CnxK740RXTraceLog::kTableSize - 1];
}

uint32_t TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

std::string CnxK740RXTraceLog::FileName(const char* attachmentWord, K7Handle handle) {
    char name[128];
    std::snprintf(name, sizeof name, "%s%s-log% 3d.txt", "k74", attachmentWord,
                  static_cast<int>(handle) - 1);
    return name;
}

void CnxK740RXTraceLog::ClearEntry(uint32_t entry) {
    TableEntry(entry) = 0;
}

void CnxK740RXTraceLog::Write(const std::string& folder, const char* attachmentWord,
                              K7Handle handle, int64_t frequency, int32_t level, int32_t raw,
                              int32_t rssi, int32_t agc, std::uintmax_t maxFileBytes) {
    const uint32_t tick = TickCount();
    CnxAtomic<uint32_t>& previous = TableEntry(handle);
    const uint32_t elapsed = tick - previous.load();
    previous = tick;

    const std::string path = folder + "/" + FileName(attachmentWord, handle);
    std::error_code error;
    if (const std::uintmax_t size = std::filesystem::file_size(path, error);
        !error && size >= maxFileBytes) {
        std::filesystem::rename(path, path + ".old", error);
    }
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (file == nullptr) {
        // Said once: a scan would repeat it for every step.
        static CnxAtomic<bool> reported{false};
        if (!reported) {
            reported = true;
            qCDebug(lcReceiver) << "Cannot write the trace file" << path.c_str();
        }
        return;
    }
    if (frequency != 0) {
        std::fprintf(file,
                     "Radio[%d]: Tics [% 10ld] - Freq: [%ld] - SS: [%d] rawSS: [%d] -  RSSI: [%d] "
                     "- AGC: [%d] - [%ld ms]",
                     static_cast<int>(handle), static_cast<long>(tick),
                     static_cast<long>(frequency), level, raw, rssi, agc,
                     static_cast<long>(elapsed));
    } else {
        std::fputs(
            "-------------------------------------Chyba------------------------------------\n",
            file);
    }
    std::fputs("\n", file);
    std::fclose(file);
}
