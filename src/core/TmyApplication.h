#pragma once
// Owner of a message loop with the quit-flag semantics of the program: requesting the end only sets
// the flag, and the loop notices it before it waits again.
class QEventLoop;

class TmyApplication {
public:
    // The process's own loop owner.
    static TmyApplication& Process();

    void SetInstance(void* instance) { instance_ = instance; }
    void* GetInstance() const { return instance_; }

    // Runs the calling thread's event loop until Quit; returns at once when Quit came first.
    void Run();
    void Quit();
    bool IsQuitRequested() const { return quit_; }

private:
    void* instance_ = nullptr;
    bool quit_ = false;
    QEventLoop* loop_ = nullptr;
};

// Waits `ms` milliseconds. On a thread with message targets the wait keeps windows painted (the
// splash during start-up) but holds back posted messages and window timers until it is over, just
// as a blocked window thread would; elsewhere it is a plain sleep.
void TmySleep(unsigned ms);
