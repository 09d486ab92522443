#include "SimDriverLibrary.h"

#include <QFileInfo>

SimDriverLibrary::SimDriverLibrary() : library_(path()) {
    if (!library_.load()) {
        missing_.push_back("library: " + library_.errorString().toStdString());
        return;
    }
#define K740_TEST_RESOLVE(name, result, parameters)                         \
    name = reinterpret_cast<result(*) parameters>(library_.resolve(#name)); \
    if (name == nullptr) {                                                  \
        missing_.push_back(#name);                                          \
    }
    K740RX_DRIVER_FUNCTIONS(K740_TEST_RESOLVE)
#undef K740_TEST_RESOLVE
}

QString SimDriverLibrary::path() {
    // No QCoreApplication exists in these tests, so its folder comes from the process itself.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path() +
           QStringLiteral("/libQVK740RXAPI.so");
}

bool SimDriverLibrary::unload() {
    return library_.isLoaded() && library_.unload();
}
