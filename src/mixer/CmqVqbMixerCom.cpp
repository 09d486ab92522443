#include "mixer/CmqVqbMixerCom.h"

#include <string_view>
#include <thread>

#include "mixer/CmqSerialPortList.h"
#include "mixer/CmqVqbMixerWorker.h"
#include "mixer/K740RXMixerLog.h"
#include "mixer/K740RXMixerMessages.h"

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string Trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) {
        ++first;
    }
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

// The first line of what the unit said, without the blanks around it.
std::string IdentificationLine(const std::string& received) {
    std::string line = Trimmed(received);
    if (const std::size_t end = line.find('\n'); end != std::string::npos) {
        line = Trimmed(line.substr(0, end));
    }
    return line;
}

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

CmqVqbMixerCom::CmqVqbMixerCom()
    : window_("VqbMixer", [this](const TmyMessage& message) { OnWindowMessage(message); }) {}

CmqVqbMixerCom::~CmqVqbMixerCom() {
    Close();
}

int CmqVqbMixerCom::Open() {
    Close();
    const std::vector<std::string> ports = CmqSerialPortList::Candidates();
    std::size_t number = 0;
    while (number < ports.size() && !Probe(ports[number])) {
        ++number;
    }
    if (number == ports.size()) {
        return 0;
    }
    qCDebug(lcMixer, "Found mixer on COM%zu", number);
    portName_ = "COM" + std::to_string(number);
    BeginSession();
    worker_ = std::make_unique<CmqVqbMixerWorker>(*this, port_, window_.GetHandle());
    if (!worker_->Start()) {
        qCDebug(lcMixer, "Cannot start the mixer thread");
        worker_.reset();
        port_.Close();
        return 0;
    }
    SetOpen(true);
    qCDebug(lcMixer, "Created mixer");
    return 1;
}

bool CmqVqbMixerCom::Probe(const std::string& path) {
    qCDebug(lcMixer, "Trying port %s", path.c_str());
    if (!port_.Open(path)) {
        return false;
    }
    port_.ClearBreak();
    qCDebug(lcMixer, "Set DTR OFF: %d", port_.ApplyLineSettings(false) ? 1 : 0);
    // Whatever the unit said before it was asked is stale.
    Pause(kProbePhaseMs);
    if (!Read().empty()) {
        qCDebug(lcMixer, "purging..");
    }
    qCDebug(lcMixer, "Set DTR ON: %d", port_.ApplyLineSettings(true) ? 1 : 0);
    Pause(kProbePhaseMs);
    identification_ = IdentificationLine(Read());
    if (std::string_view(identification_).starts_with(kIdentificationPrefix)) {
        return true;
    }
    port_.Close();
    qCDebug(lcMixer, "incorrect read [%zu] %s", identification_.size(), identification_.c_str());
    identification_.clear();
    portName_.clear();
    return false;
}

int CmqVqbMixerCom::Close() {
    if (!IsOpen()) {
        return 1;
    }
    qCDebug(lcMixer, "Close COM sends last CRLF");
    worker_->RequestEnd();
    Write("\r\n");
    qCDebug(lcMixer, "Close waiting for the thread");
    while (!worker_->Stop()) {
    }
    worker_.reset();
    qCDebug(lcMixer, "Thread stopped");
    port_.Close();
    SetOpen(false);
    qCDebug(lcMixer, "Close ended");
    return 1;
}

std::string CmqVqbMixerCom::Read() {
    const int waiting = port_.WaitingBytes();
    if (waiting <= 0) {
        return {};
    }
    const CmqSerialPort::ReadResult result =
        port_.Read(static_cast<std::size_t>(waiting), kTransferTimeoutMs);
    if (result.atOnce) {
        qCDebug(lcMixer, "READ [%zu/%d] %s", result.text.size(), waiting, result.text.c_str());
        return result.text;
    }
    if (result.error != 0) {
        qCDebug(lcMixer, "read error = %d", result.error);
    }
    qCDebug(lcMixer, "READ overlapped [%zu/%d] %s", result.text.size(), waiting,
            result.text.c_str());
    return result.text;
}

int CmqVqbMixerCom::Write(const std::string& text) {
    if (!port_.IsOpen()) {
        return 0;  // no unit: the command goes nowhere
    }
    const CmqSerialPort::WriteResult result = port_.Write(text, kTransferTimeoutMs);
    if (!result.atOnce) {
        if (result.timedOut) {
            qCDebug(lcMixer, "Write operation cancelled [%zu/%zu] %s", result.written, text.size(),
                    text.c_str());
        } else {
            qCDebug(lcMixer, "WRITE [%zu/%zu] %s", result.written, text.size(), text.c_str());
        }
    }
    return static_cast<int>(result.written);
}

void CmqVqbMixerCom::OnWindowMessage(const TmyMessage& message) {
    if (!IsOpen()) {
        return;  // posted before the session ended
    }
    switch (message.message) {
        case WM_MIXER_BUTTONS: {
            SmqMixerReport report;
            report.kind = SmqMixerReport::Kind::Buttons;
            report.buttons = static_cast<int>(message.wParam >> 16);
            report.mode = static_cast<int>(message.wParam & 0xFFFF);
            HandleReport(report);
            break;
        }
        case WM_MIXER_POSITION: {
            SmqMixerReport report;
            report.kind = SmqMixerReport::Kind::Position;
            report.position = static_cast<int16_t>(message.lParam);
            HandleReport(report);
            break;
        }
        case WM_MIXER_LOST:
            qCDebug(lcMixer, "Mixer on %s lost", portName_.c_str());
            Close();
            break;
        default:
            break;
    }
}
