#pragma once
// The thread on which every sound-server stream of the process lives. Work reaches it through a
// queue of its own, taken every few milliseconds together with feeding the open outputs, so the
// window thread never waits for it and no Qt object crosses between the two.
#include <QThread>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class CSndQtAudioWorker;

class CSndQtAudioThread : public QThread {
public:
    static constexpr int kTickMs = 10;

    // Started on first use; stopped when the application object goes.
    static CSndQtAudioThread& Get();

    // Any thread. The stream is made and later dropped on the audio thread.
    int Add(std::function<std::unique_ptr<CSndQtAudioWorker>()> make);
    void Remove(int id);

protected:
    void run() override;

private:
    friend class CSndQtAudioTicker;
    void Tick();

    std::mutex mutex_;
    std::vector<std::pair<int, std::function<std::unique_ptr<CSndQtAudioWorker>()>>> added_;
    std::vector<int> removed_;
    int nextId_ = 1;
    // Audio thread only.
    std::map<int, std::unique_ptr<CSndQtAudioWorker>> workers_;
};
