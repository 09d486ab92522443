#include "core/CnxInterfaceDll.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>

#include "core/K740RXCoreLog.h"

CnxInterfaceDll::CnxInterfaceDll() = default;

CnxInterfaceDll::CnxInterfaceDll(const char* fileName) {
    Load(fileName);
}

CnxInterfaceDll::~CnxInterfaceDll() {
    Release();
}

std::string CnxInterfaceDll::PlatformFileName(const std::string& fileName) {
    const QString name = QString::fromStdString(fileName);
    if (!name.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive)) {
        return fileName;
    }
    const QFileInfo info(name);
    // A bare name would be searched by the loader inside Qt's own library, whose run path does
    // not know the program's folder.
    const QString folder = name.contains(QLatin1Char('/')) ? info.absolutePath()
                                                           : QCoreApplication::applicationDirPath();
    return (folder + QLatin1String("/lib") + info.completeBaseName() + QLatin1String(".so"))
        .toStdString();
}

bool CnxInterfaceDll::Load(const char* fileName) {
    if (fileName == nullptr) {
        return false;
    }
    fileName_ = fileName;
    Release();
    auto library = std::make_unique<QLibrary>(QString::fromStdString(PlatformFileName(*fileName_)));
    if (!library->load()) {
        qCDebug(lcCore) << "Cannot load library" << fileName << ":" << library->errorString();
        return false;
    }
    library_ = std::move(library);
    return true;
}

DllProc CnxInterfaceDll::GetFunction(const char* name, DllProc fallback) {
    if (!library_) {
        return nullptr;
    }
    const QFunctionPointer function = library_->resolve(name);
    return function != nullptr ? function : fallback;
}

bool CnxInterfaceDll::Release() {
    if (!library_) {
        return false;
    }
    // The binding lets go of the library but leaves its code mapped: other bindings of the same
    // library may still call into it, and QLibrary does not count a binding made after the first
    // load, so its unload() would unmap the code under them.
    library_.reset();
    return true;
}

bool CnxInterfaceDll::IsLoaded() const {
    return library_ != nullptr;
}

const char* CnxInterfaceDll::GetFileName() const {
    return fileName_ ? fileName_->c_str() : nullptr;
}
