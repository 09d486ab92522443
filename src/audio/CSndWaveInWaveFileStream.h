#pragma once
// The demo's wave-file source: a recording device used only as a clock, whose blocks are
// overwritten with the next bytes of a WAV file. At the file's end (a block that cannot be filled)
// the file starts over, so it plays in a loop.
#include "audio/CSndWaveInDevice.h"
#include "audio/CStreamWaveFile.h"
#include "core/TmyEvents.h"

class CSndWaveInWaveFileStream : public CSndWaveInDevice, public CStreamWaveFile {
public:
    // OnData's result once the file could not be read any more.
    static constexpr MMRESULT kFinished = 65535;

    explicit CSndWaveInWaveFileStream(HWND callback);
    // Closes the device while the file can still serve the blocks it hands back.
    ~CSndWaveInWaveFileStream() override;

    // Checks the file by opening and closing it: 1 when it is at 64000 Hz (refused), 0 when
    // usable, the reader's failure otherwise. The name is kept in every case.
    uint32_t SetFileName(const char* name);
    const char* GetFileName() const { return fileName_; }

    // Opens the file and then the input device in the file's format.
    MMRESULT Open() override;
    // The last Open failed on the file itself (missing, unreadable, not a usable WAVE file) and
    // did not touch the device.
    bool IsFileUnusable() const { return fileUnusable_; }
    using CStreamWaveFile::Open;
    MMRESULT Close() override;
    MMRESULT OnData(WAVEHDR* header) override;

    // Raised with the read position every fifth block.
    TmyEventList<int32_t> OnPosition;

private:
    char fileName_[kMaxPath] = {};
    uint32_t lastRead_ = 0;
    bool fileUnusable_ = false;
};
