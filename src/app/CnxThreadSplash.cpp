#include "app/CnxThreadSplash.h"

#include <QCoreApplication>
#include <QThread>
#include <QWidget>

#include "app/CnxK740RXDlgSplash.h"
#include "core/TmyComponent.h"

namespace {
bool OnWindowThread() {
    return QCoreApplication::instance() != nullptr &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}
}  // namespace

CnxThreadSplash::CnxThreadSplash(QWidget* owner)
    : owner_(owner), window_(std::make_unique<CnxK740RXDlgSplash>(nullptr)) {
    handle_ = window_->GetHandle();
    window_->CenterOnDesktop();
    window_->show();
    window_->raise();
    // Map and paint it now: the window thread stays busy with start-up for a while.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    window_->repaint();
}

CnxThreadSplash::~CnxThreadSplash() {
    Release();
}

bool CnxThreadSplash::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle_ == 0) {
        return false;
    }
    if (OnWindowThread()) {
        window_->DispatchNow(message, wParam, lParam);
        return true;
    }
    return PostMessage(handle_, message, wParam, lParam);
}

void CnxThreadSplash::SetText(const std::string& text, int length) {
    auto* copy = new std::string(text);  // the window takes it over
    if (!Post(WM_SPLASH_TEXT, reinterpret_cast<WPARAM>(copy), length)) {
        delete copy;
    }
}

void CnxThreadSplash::SetPosition(int percent) {
    Post(WM_SPLASH_PROGRESS, WPARAM(percent), 0);
}

void CnxThreadSplash::Show(bool visible) {
    if (window_) {
        window_->setVisible(visible);
    }
}

void CnxThreadSplash::Close() {
    Post(WM_CLOSE, 0, 0);
}

void CnxThreadSplash::Release() {
    if (!window_) {
        return;
    }
    handle_ = 0;
    window_.reset();
    if (owner_ != nullptr) {
        owner_->raise();
        owner_->activateWindow();
    }
}
