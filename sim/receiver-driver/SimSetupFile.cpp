#include "SimSetupFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kMaxFileBytes = 1 << 20;

// The file's whole text; nothing when it cannot be read, is implausibly large or is no regular
// file. Opened without waiting, so a pipe or a device named by mistake can neither block the
// caller (a pipe's open waits for a writer) nor feed it without end.
std::optional<std::string> readText(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        text.emplace();
        char block[4096];
        for (;;) {
            const ssize_t count = ::read(fd, block, sizeof(block));
            if (count == 0) {
                break;
            }
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count < 0 || text->size() + static_cast<size_t>(count) > kMaxFileBytes) {
                text.reset();
                break;
            }
            text->append(block, static_cast<size_t>(count));
        }
    }
    ::close(fd);
    return text;
}

std::string variableValue() {
    const char* value = std::getenv(SimSetupFile::kVariable);
    return value ? value : "";
}

}  // namespace

const SimSetup& SimSetupFile::current(bool immediately) {
    std::string path = variableValue();
    const Clock::time_point now = Clock::now();
    const bool pathChanged = !checked_ || path != path_;
    if (!pathChanged && !immediately && now - lastCheck_ < kCheckInterval) {
        return setup_;
    }
    checked_ = true;
    lastCheck_ = now;
    if (pathChanged) {
        path_ = std::move(path);
        hasAdopted_ = false;
        hasCandidate_ = false;
    }
    if (path_.empty()) {
        setup_ = SimSetup{};
        lastProblem_.clear();
        return setup_;
    }
    reread(immediately || pathChanged);
    return setup_;
}

void SimSetupFile::reread(bool trustOneRead) {
    Content content = readText(path_);
    if (hasAdopted_ && content == adopted_) {
        hasCandidate_ = false;
        return;
    }
    if (!trustOneRead && !(hasCandidate_ && content == candidate_)) {
        candidate_ = std::move(content);
        hasCandidate_ = true;
        return;
    }
    hasCandidate_ = false;
    adopt(std::move(content));
}

void SimSetupFile::adopt(Content content) {
    hasAdopted_ = true;
    adopted_ = std::move(content);
    setup_ = SimSetup{};
    if (!adopted_) {
        report("cannot read " + path_ + ": no radios");
        return;
    }
    std::string error;
    std::optional<SimSetup> parsed = SimSetup::parse(*adopted_, error);
    if (!parsed) {
        report(path_ + ": " + error + ": no radios");
        return;
    }
    setup_ = std::move(*parsed);
    lastProblem_.clear();
    std::fprintf(stderr, "libQVK740RXAPI: %s: %zu radio(s), %zu signal(s)\n", path_.c_str(),
                 setup_.radios.size(), setup_.signals.size());
}

// Each distinct problem is told once, not at every look at the file.
void SimSetupFile::report(const std::string& problem) {
    if (problem != lastProblem_) {
        lastProblem_ = problem;
        std::fprintf(stderr, "libQVK740RXAPI: %s\n", problem.c_str());
    }
}
