#include "MixerUnitProcess.h"

#include <QCoreApplication>
#include <algorithm>

#include "TestSupport.h"

MixerUnitProcess::MixerUnitProcess(const QStringList& arguments) {
    EnsureCoreApp();
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QCoreApplication::applicationDirPath() + "/k740rx-mixer-unit", arguments);
    if (!process_.waitForStarted(10000)) {
        return;
    }
    while (lines_.empty() && process_.waitForReadyRead(10000)) {
        Collect();
    }
    if (!lines_.empty()) {
        path_ = lines_.front();
    }
}

MixerUnitProcess::~MixerUnitProcess() {
    Kill();
}

void MixerUnitProcess::Do(const std::string& action) {
    process_.write((action + "\n").c_str());
    process_.waitForBytesWritten(10000);
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

bool MixerUnitProcess::HasPrinted(const std::string& line) {
    Collect();
    return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
}

void MixerUnitProcess::Kill() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(10000);
    }
}

void MixerUnitProcess::Collect() {
    partial_ += process_.readAllStandardOutput().toStdString();
    std::size_t end;
    while ((end = partial_.find('\n')) != std::string::npos) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
}
