#include "audio/CSndQtAudioBackend.h"

#include <QAudioDevice>
#include <QMediaDevices>

#include "audio/CSndQtAudioEngine.h"
#include "audio/K740RXAudioLog.h"

namespace {

QAudioFormat ToQt(const WAVEFORMATEX& format) {
    QAudioFormat qt;
    qt.setSampleRate(int(format.samplesPerSecond));
    qt.setChannelCount(format.channels);
    qt.setSampleFormat(format.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return qt;
}

}  // namespace

MMRESULT CSndQtAudioBackend::Open(const std::shared_ptr<CSndWaveQueue>& queue, uint32_t device,
                                  std::unique_ptr<ISndAudioEngine>* engine) {
    const bool output = queue->GetDirection() == CSndWaveQueue::Direction::Output;
    const QList<QAudioDevice> devices =
        output ? QMediaDevices::audioOutputs() : QMediaDevices::audioInputs();
    if (devices.isEmpty()) {
        qCWarning(lcAudio) << "No sound" << (output ? "output" : "input") << "device";
        return MMSYSERR_NODRIVER;
    }
    QAudioDevice chosen;
    if (device == WAVE_MAPPER) {
        chosen = output ? QMediaDevices::defaultAudioOutput() : QMediaDevices::defaultAudioInput();
    } else if (device < uint32_t(devices.size())) {
        chosen = devices[int(device)];
    }
    if (chosen.isNull()) {
        return MMSYSERR_BADDEVICEID;
    }
    const QAudioFormat format = ToQt(queue->GetFormat());
    if (!chosen.isFormatSupported(format)) {
        qCWarning(lcAudio) << chosen.description() << "refuses" << format;
        return WAVERR_BADFORMAT;
    }
    *engine = std::make_unique<CSndQtAudioEngine>(queue, chosen, format);
    return MMSYSERR_NOERROR;
}
