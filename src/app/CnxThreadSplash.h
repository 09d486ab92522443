#pragma once
// Owner of the start-up window. Text and progress travel as posted messages, so any thread may
// report; a report from the window thread itself is shown and painted at once, because that
// thread is busy starting the program and will not get back to its event loop for a while.
#include <memory>
#include <string>

#include "core/TmyTypes.h"
#include "receiver/InxProgressDisplay.h"

class QWidget;
class CnxK740RXDlgSplash;

class CnxThreadSplash : public InxProgressDisplay {
public:
    explicit CnxThreadSplash(QWidget* owner);
    ~CnxThreadSplash() override;

    void SetText(const std::string& text, int length) override;
    void SetPosition(int percent) override;
    void Show(bool visible);
    void Close();
    bool Post(UINT message, WPARAM wParam, LPARAM lParam);
    HWND GetWindowHandle() const { return handle_; }
    const CnxK740RXDlgSplash* Window() const { return window_.get(); }

    // Ends the splash: the window goes and the owner comes to the front.
    void Release();

private:
    QWidget* owner_;
    std::unique_ptr<CnxK740RXDlgSplash> window_;
    HWND handle_ = 0;
};
