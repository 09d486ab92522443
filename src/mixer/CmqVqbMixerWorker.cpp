#include "mixer/CmqVqbMixerWorker.h"

#include "core/TmyComponent.h"
#include "mixer/CmqSerialPort.h"
#include "mixer/CmqVqbMixerCom.h"
#include "mixer/K740RXMixerLog.h"
#include "mixer/K740RXMixerMessages.h"

CmqVqbMixerWorker::CmqVqbMixerWorker(CmqVqbMixerCom& mixer, CmqSerialPort& port, HWND window)
    : mixer_(mixer), port_(port), window_(window) {}

CmqVqbMixerWorker::~CmqVqbMixerWorker() {
    RequestEnd();
    while (!Stop()) {
    }
}

void CmqVqbMixerWorker::RequestEnd() {
    RequestStop();
    port_.Wake();
}

void CmqVqbMixerWorker::Run() {
    qCDebug(lcMixer, "COM starting thread");
    parser_.Clear();
    while (!IsStopRequested()) {
        const CmqSerialPort::Wait wait = port_.WaitForInput(kWaitSliceMs);
        if (wait == CmqSerialPort::Wait::Lost) {
            qCDebug(lcMixer, "COM port lost");
            PostMessage(window_, WM_MIXER_LOST, 0, 0);
            break;
        }
        if (wait != CmqSerialPort::Wait::Input) {
            continue;  // a quiet slice, or woken to end
        }
        parser_.Append(mixer_.Read());
        SmqMixerReport report;
        while (parser_.Next(report)) {
            Dispatch(report);
        }
    }
    qCDebug(lcMixer, "COM ends");
}

void CmqVqbMixerWorker::Dispatch(const SmqMixerReport& report) {
    switch (report.kind) {
        case SmqMixerReport::Kind::Buttons:
            PostMessage(
                window_, WM_MIXER_BUTTONS,
                static_cast<WPARAM>(report.buttons) << 16 | static_cast<WPARAM>(report.mode), 0);
            break;
        case SmqMixerReport::Kind::Position:
            PostMessage(window_, WM_MIXER_POSITION, 0, report.position);
            break;
        case SmqMixerReport::Kind::Noise: {
            const auto code = static_cast<unsigned char>(report.character);
            qCDebug(lcMixer, "COM purging [%x] %c", code, report.character);
            break;
        }
    }
}
