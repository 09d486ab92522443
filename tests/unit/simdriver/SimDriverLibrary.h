#pragma once
// The simulated driver library as the program sees it: loaded from the test program's folder and
// bound by name, one member per export. Each test loads its own copy and unloads it at the end, so
// every test starts from a freshly loaded library.
#include <QLibrary>
#include <QString>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "receiver/K740RXDriverApi.h"

class SimDriverLibrary {
public:
    SimDriverLibrary();
    ~SimDriverLibrary() { unload(); }
    SimDriverLibrary(const SimDriverLibrary&) = delete;
    SimDriverLibrary& operator=(const SimDriverLibrary&) = delete;

    // The file beside the test program.
    static QString path();

    bool isLoaded() const { return library_.isLoaded(); }
    bool unload();
    // Exports that could not be resolved.
    const std::vector<std::string>& missing() const { return missing_; }

#define K740_TEST_MEMBER(name, result, parameters) result(*name) parameters = nullptr;
    K740RX_DRIVER_FUNCTIONS(K740_TEST_MEMBER)
#undef K740_TEST_MEMBER

private:
    QLibrary library_;
    std::vector<std::string> missing_;
};

// Polls `condition` every 10 ms until it holds or `limit` has passed.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
