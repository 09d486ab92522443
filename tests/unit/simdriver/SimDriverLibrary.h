#pragma once
// The simulated driver library as the program sees it: loaded from the test program's folder and
// bound by name, one member per export. Each test loads its own copy and unloads it at the end, so
// every test starts from a freshly loaded library.
#include <QLibrary>
#include <QString>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "receiver/K740RXDriverApi.h"

class SimDriverLibrary {
public:
    SimDriverLibrary();
    ~SimDriverLibrary() { unload(); }
    SimDriverLibrary(const SimDriverLibrary&) = delete;
    SimDriverLibrary& operator=(const SimDriverLibrary&) = delete;

    // The file beside the test program.
    static QString path();

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
