#include "audio/ISndAudioBackend.h"

#include <QByteArray>
#include <QtGlobal>

#include "audio/CSndQtAudioBackend.h"
#include "audio/CSndVirtualAudioBackend.h"

ISndAudioBackend& ISndAudioBackend::Get() {
    // Both live for the whole process; the environment picks one at every open, so a test can
    // use the virtual card and the sound server side by side.
    static auto* const virtualCard =
        new CSndVirtualAudioBackend(qEnvironmentVariable("K740RX_AUDIO_OUTPUT"));
    static auto* const soundServer = new CSndQtAudioBackend;
    if (qgetenv("K740RX_AUDIO") == "virtual") {
        return *virtualCard;
    }
    return *soundServer;
}
