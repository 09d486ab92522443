#include "settings/CnxFileModuleInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

std::string RunningExecutablePath() {
    // Qt only answers once the application object exists; tools and tests without one still need
    // the program folder, which the kernel tells directly.
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationFilePath().toStdString();
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget().toStdString();
}

// The program does not move while it runs: asked once, not for every file object.
const std::string& ExecutablePath() {
    static const std::string path = RunningExecutablePath();
    return path;
}

}  // namespace

CnxFileModuleInfo::CnxFileModuleInfo() : modulePath_(ExecutablePath()) {
    const size_t slash = modulePath_.rfind('/');
    programDir_ = slash == std::string::npos ? std::string() : modulePath_.substr(0, slash);
    moduleFileName_ = slash == std::string::npos ? modulePath_ : modulePath_.substr(slash + 1);
    const size_t dot = moduleFileName_.rfind('.');
    moduleBaseName_ = moduleFileName_.substr(0, dot);
    moduleExtension_ = dot == std::string::npos ? std::string() : moduleFileName_.substr(dot + 1);
}
