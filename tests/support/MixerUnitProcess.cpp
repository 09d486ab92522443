#include "MixerUnitProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>

#include "TestSupport.h"

MixerUnitProcess::MixerUnitProcess(const std::vector<std::string>& arguments) {
    EnsureCoreApp();
    signal(SIGPIPE, SIG_IGN);  // a unit that died must fail the test, not end it
    const std::string program =
        QCoreApplication::applicationDirPath().toStdString() + "/k740rx-mixer-unit";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    int toUnit[2];
    int fromUnit[2];
    if (pipe2(toUnit, O_CLOEXEC) != 0 || pipe2(fromUnit, O_CLOEXEC) != 0) {
        return;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(toUnit[0], STDIN_FILENO);
        dup2(fromUnit[1], STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(toUnit[0]);
    close(fromUnit[1]);
    input_ = toUnit[1];
    output_ = fromUnit[0];
    fcntl(output_, F_SETFL, O_NONBLOCK);
    pollfd entry{output_, POLLIN, 0};
    while (lines_.empty() && poll(&entry, 1, 10000) > 0 && (entry.revents & POLLIN) != 0) {
        Collect();
    }
    if (!lines_.empty()) {
        path_ = lines_.front();
    }
}

MixerUnitProcess::~MixerUnitProcess() {
    Kill();
    close(input_);
    close(output_);
}

void MixerUnitProcess::Do(const std::string& action) {
    const std::string line = action + "\n";
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t count = write(input_, line.data() + sent, line.size() - sent);
        if (count <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(count);
    }
}

std::vector<std::string> MixerUnitProcess::Received() {
    Collect();
    std::vector<std::string> commands;
    const std::string prefix = "received \"";
    for (const std::string& line : lines_) {
        if (line.starts_with(prefix)) {
            const std::size_t end = line.find('"', prefix.size());
            commands.push_back(line.substr(prefix.size(), end - prefix.size()));
        }
    }
    return commands;
}

bool MixerUnitProcess::WaitForReceived(std::size_t count) {
    return PumpUntil([&] { return Received().size() >= count; });
}

void MixerUnitProcess::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

void MixerUnitProcess::Collect() {
    char block[4096];
    ssize_t count;
    while ((count = read(output_, block, sizeof(block))) > 0) {
        partial_.append(block, static_cast<std::size_t>(count));
    }
    std::size_t end;
    while ((end = partial_.find('\n')) != std::string::npos) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
}
