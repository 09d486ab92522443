#pragma once
// The wave-audio functions the device classes are written against, with the platform's calling
// conventions: every call returns a result code (0 = success), buffers are prepared before use,
// and each finished buffer is announced to the callback window (MM_WOM_DONE, MM_WIM_DATA) with
// the device handle and the buffer. Devices run on the backend this process chose
// (ISndAudioBackend). Handles and buffers are used on the thread of the callback window.
#include <cstdint>

#include "audio/SndWaveTypes.h"

struct SndWaveDevice;
using HWAVEOUT = SndWaveDevice*;
using HWAVEIN = SndWaveDevice*;

MMRESULT waveOutOpen(HWAVEOUT* device, uint32_t deviceId, const WAVEFORMATEX* format,
                     HWND callback);
MMRESULT waveOutClose(HWAVEOUT device);
MMRESULT waveOutReset(HWAVEOUT device);
MMRESULT waveOutPause(HWAVEOUT device);
MMRESULT waveOutRestart(HWAVEOUT device);
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t size);
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, uint32_t size);
MMRESULT waveOutGetErrorText(MMRESULT error, char* text, uint32_t size);

MMRESULT waveInOpen(HWAVEIN* device, uint32_t deviceId, const WAVEFORMATEX* format, HWND callback);
MMRESULT waveInClose(HWAVEIN device);
MMRESULT waveInReset(HWAVEIN device);
MMRESULT waveInStart(HWAVEIN device);
MMRESULT waveInStop(HWAVEIN device);
MMRESULT waveInPrepareHeader(HWAVEIN device, WAVEHDR* header, uint32_t size);
MMRESULT waveInUnprepareHeader(HWAVEIN device, WAVEHDR* header, uint32_t size);
MMRESULT waveInAddBuffer(HWAVEIN device, WAVEHDR* header, uint32_t size);
MMRESULT waveInGetErrorText(MMRESULT error, char* text, uint32_t size);
