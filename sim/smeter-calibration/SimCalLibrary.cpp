#include "SimCalLibrary.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include "SimCalResults.h"

namespace {

using namespace SimCalResult;

// The file's text, one byte more than a table may have when it is longer, or nothing.
std::optional<std::string> ReadFile(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::string text(SimCalTable::kMaxFileBytes + 1, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? std::nullopt : std::optional<std::string>(std::move(text));
}

// Writes beside the target and renames, so a failed save leaves the old file whole.
bool WriteFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int32_t ResultOf(SimCalTable::Edit edit) {
    switch (edit) {
        case SimCalTable::Edit::kDone:
            return kDone;
        case SimCalTable::Edit::kBadArgument:
            return kBadArgument;
        case SimCalTable::Edit::kNotFound:
            return kNotFound;
        case SimCalTable::Edit::kRefused:
            return kRefused;
        case SimCalTable::Edit::kFull:
            return kFull;
    }
    return kBadArgument;
}

}  // namespace

SimCalLibrary& SimCalLibrary::Instance() {
    static SimCalLibrary library;
    return library;
}

template <typename Action>
int32_t SimCalLibrary::WithTable(int32_t handle, Action action) const {
    std::shared_lock lock(mutex_);
    const auto it = tables_.find(handle);
    return it == tables_.end() ? kUnknownHandle : action(it->second);
}

template <typename Action>
int32_t SimCalLibrary::EditTable(int32_t handle, Action action) {
    std::unique_lock lock(mutex_);
    const auto it = tables_.find(handle);
    return it == tables_.end() ? kUnknownHandle : ResultOf(action(it->second));
}

int32_t SimCalLibrary::Load(const char* path) {
    if (path == nullptr) {
        return kBadArgument;
    }
    const std::optional<std::string> text = ReadFile(path);
    if (!text) {
        std::fprintf(stderr, "smetersdk: cannot read %s: %s\n", path, std::strerror(errno));
        return kFileError;
    }
    std::string error;
    std::optional<SimCalTable> table = SimCalTable::Parse(*text, &error);
    if (!table) {
        std::fprintf(stderr, "smetersdk: %s refused: %s\n", path, error.c_str());
        return kBadFile;
    }
    std::unique_lock lock(mutex_);
    for (int32_t handle = 1; handle <= kMaxHandles; ++handle) {
        if (tables_.try_emplace(handle, std::move(*table)).second) {
            return handle;
        }
    }
    return kFull;
}

int32_t SimCalLibrary::Unload(int32_t handle) {
    std::unique_lock lock(mutex_);
    return tables_.erase(handle) != 0 ? kDone : kUnknownHandle;
}

int32_t SimCalLibrary::Calibrate(int32_t handle, const char* model, int32_t mode, int64_t hertz,
                                 CalRecord* record) const {
    if (model == nullptr || record == nullptr || record->size != sizeof(CalRecord) || hertz <= 0) {
        return kBadArgument;
    }
    return WithTable(handle, [&](const SimCalTable& table) {
        const std::optional<double> level =
            table.Model() == model ? table.Level(mode, hertz, record->raw) : std::nullopt;
        if (!level) {
            return kNotFound;
        }
        record->dbm = *level;
        // The rest of the record: the level in hundredths of a dBm and the mode, for a reader
        // that wants integers.
        const int32_t extra[2] = {int32_t(*level * 100.0 + (*level < 0 ? -0.5 : 0.5)), mode};
        std::memset(record->reserved, 0, sizeof record->reserved);
        std::memcpy(record->reserved, extra, sizeof extra);
        return kDone;
    });
}

int32_t SimCalLibrary::Save(int32_t handle, const char* path) const {
    if (path == nullptr) {
        return kBadArgument;
    }
    return WithTable(handle, [path](const SimCalTable& table) {
        return WriteFile(path, table.Write()) ? kDone : kFileError;
    });
}

int32_t SimCalLibrary::Put(int32_t handle, int32_t mode, int32_t hertz, int32_t raw,
                           int32_t centiDbm, int32_t create) {
    return EditTable(handle, [&](SimCalTable& table) {
        return table.Put(mode, hertz, raw, centiDbm, create != 0);
    });
}

int32_t SimCalLibrary::Modes(int32_t handle, int32_t index) const {
    return WithTable(handle, [index](const SimCalTable& table) {
        const auto& modes = table.Modes();
        if (index < 0) {
            return int32_t(modes.size());
        }
        return size_t(index) < modes.size() ? modes[size_t(index)].mode : kNotFound;
    });
}

int32_t SimCalLibrary::Frequencies(int32_t handle, int32_t mode, int32_t index) const {
    return WithTable(handle, [mode, index](const SimCalTable& table) {
        for (const SimCalTable::Mode& m : table.Modes()) {
            if (m.mode != mode) {
                continue;
            }
            if (index < 0) {
                return int32_t(m.frequencies.size());
            }
            return size_t(index) < m.frequencies.size() ? m.frequencies[size_t(index)].hertz
                                                        : kNotFound;
        }
        return kNotFound;
    });
}

int32_t SimCalLibrary::DeleteMode(int32_t handle, int32_t mode) {
    return EditTable(handle, [mode](SimCalTable& table) { return table.RemoveMode(mode); });
}

int32_t SimCalLibrary::DeleteFrequency(int32_t handle, int32_t mode, int32_t hertz, int32_t raw) {
    return EditTable(handle, [&](SimCalTable& table) {
        return raw < 0 ? table.RemoveFrequency(mode, hertz) : table.RemovePoint(mode, hertz, raw);
    });
}
