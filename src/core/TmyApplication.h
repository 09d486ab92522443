#pragma once
// Owner of a message loop with the quit-flag semantics of the program: requesting the end only sets
// the flag, and the loop notices it before it waits again. The loops of modal boxes run nested in
// it through RunNested, so that the end of the program ends them too, whatever box is open.
#include <vector>

class QEventLoop;

class TmyApplication {
public:
    // The process's own loop owner.
    static TmyApplication& Process();

    void SetInstance(void* instance) { instance_ = instance; }
    void* GetInstance() const { return instance_; }

    // Runs the calling thread's event loop until Quit; returns at once when Quit came first.
    void Run();
    // Runs a loop inside the running one (a modal box's) until it quits or Quit comes; returns at
    // once when Quit came first.
    void RunNested(QEventLoop& loop);
    void Quit();
    bool IsQuitRequested() const { return quit_; }

private:
    void* instance_ = nullptr;
    bool quit_ = false;
    QEventLoop* loop_ = nullptr;
    std::vector<QEventLoop*> nested_;
};

// Waits `ms` milliseconds. On a thread with message targets the wait keeps windows painted (the
// splash during start-up) but holds back posted messages and window timers until it is over, just
// as a blocked window thread would; elsewhere it is a plain sleep.
void TmySleep(unsigned ms);
