#include "audio/CSndWavePlayer.h"

#include <new>

#include "audio/CSndDlgSoundCard.h"
#include "audio/K740RXAudioMessages.h"

WAVEFORMATEX CSndWavePlayer::SoundCardFormat() {
    return {WAVE_FORMAT_PCM, 1, 32000, 64000, 2, 16, 18};
}

CSndWavePlayer::CSndWavePlayer(HWND owner, ErrorReporter reportError)
    : reportError_(std::move(reportError)), ownWindow_(GetHandle()), owner_(owner) {
    noise_ = new (std::nothrow) CSndWaveInGeneratorNoise(ownWindow_);
    soundCard_ = new (std::nothrow) CSndWaveInDevice(ownWindow_);
    if (soundCard_ != nullptr) {
        soundCard_->SetFormat(SoundCardFormat());
        soundCard_->SetSavedFormat(SoundCardFormat());
    }
    waveFile_ = new (std::nothrow) CSndWaveInWaveFileStream(ownWindow_);
    output_ = new (std::nothrow) CSndWaveOutDevice(ownWindow_);
    // A test opening of the output tells whether there is sound at all.
    const bool created =
        noise_ != nullptr && soundCard_ != nullptr && waveFile_ != nullptr && output_ != nullptr;
    ready_ = created && OpenOutput() == MMSYSERR_NOERROR ? 1 : 0;
    if (output_ != nullptr) {
        output_->Close();
    }
}

CSndWavePlayer::~CSndWavePlayer() {
    if (noise_ != nullptr) {
        noise_->ResetAndStop();
        noise_->Close();
    }
    if (soundCard_ != nullptr) {
        soundCard_->Close();
    }
    if (waveFile_ != nullptr) {
        waveFile_->ResetAndStop();
        waveFile_->Close();
    }
    if (output_ != nullptr) {
        output_->Close();
    }
    currentSource_ = nullptr;
    currentOutput_ = nullptr;
    delete noise_;
    delete soundCard_;
    delete waveFile_;
    delete output_;
}

void CSndWavePlayer::ReportError(const char* text) {
    if (reportError_) {
        reportError_(text);
    } else {
        CSndDlgSoundCard::Show(owner_, kErrorCaption, text);
    }
}

MMRESULT CSndWavePlayer::OpenOutput() {
    const MMRESULT result = output_->Open();
    if (result != MMSYSERR_NOERROR) {
        ReportError(output_->GetErrorText());
    }
    return result;
}

void CSndWavePlayer::BufferRetirement::Retire(std::deque<CSndWaveBufferRef> buffers) {
    if (buffers.empty()) {
        return;
    }
    batches_.push_back({++lastFence_, std::move(buffers)});
    if (!PostMessage(GetHandle(), WM_AUDIO_RETIRE_FENCE, lastFence_, 0)) {
        batches_.pop_back();  // no message loop: nothing can be waiting for them either
    }
}

std::size_t CSndWavePlayer::BufferRetirement::GetCount() const {
    std::size_t count = 0;
    for (const Batch& batch : batches_) {
        count += batch.buffers.size();
    }
    return count;
}

void CSndWavePlayer::BufferRetirement::OnWindowMessage(const TmyMessage& message) {
    if (message.message == WM_AUDIO_RETIRE_FENCE) {
        while (!batches_.empty() && batches_.front().fence <= message.wParam) {
            batches_.pop_front();
        }
    }
}

CSndWaveInDevice* CSndWavePlayer::ModeSource(int mode) const {
    switch (mode) {
        case PlayerModeNoise:
            return noise_;
        case PlayerModeWaveFile:
            return waveFile_;
        default:
            return soundCard_;
    }
}

MMRESULT CSndWavePlayer::CloseModeSource() {
    switch (mode_) {
        case PlayerModeNoise:
            return noise_->ResetAndStop() + noise_->Close();
        case PlayerModeSoundCard:
            return soundCard_->Close();
        case PlayerModeWaveFile:
            return waveFile_->ResetAndStop() + waveFile_->Close();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT CSndWavePlayer::Play(int mode) {
    if (paused_) {
        // Resume what was paused, whatever mode is asked for.
        MMRESULT sum = MMSYSERR_NOERROR;
        if (mode_ == PlayerModeNoise) {
            sum += noise_->Start();
        } else if (mode_ == PlayerModeWaveFile) {
            sum += waveFile_->Start();
        }
        paused_ = 0;
        return sum + output_->Restart();
    }
    MMRESULT sum = output_->Close();
    sum += CloseModeSource();
    retirement_.Retire(ModeSource(mode_)->TakeHeldBuffers());
    mode_ = mode;
    switch (mode) {
        case PlayerModeNoise:
            return PlayNoise(sum);
        case PlayerModeWaveFile:
            return PlayWaveFile(sum);
        default:
            break;
    }
    currentSource_ = soundCard_;
    currentOutput_ = output_;
    if (sum != MMSYSERR_NOERROR) {
        return sum;
    }
    output_->SetFormat(output_->GetSavedFormat());
    if (const MMRESULT result = OpenOutput(); result != MMSYSERR_NOERROR) {
        return result;
    }
    OnFormat.Raise(this, soundCard_->GetSavedFormat());
    return MMSYSERR_NOERROR;
}

MMRESULT CSndWavePlayer::PlayNoise(MMRESULT sum) {
    sum += OpenOutput();
    if (sum != MMSYSERR_NOERROR) {
        return sum;
    }
    if (const MMRESULT result = noise_->Open(); result != MMSYSERR_NOERROR) {
        ReportError(noise_->GetErrorText());
        return result;
    }
    sum += noise_->Start();
    if (sum != MMSYSERR_NOERROR) {
        return sum;
    }
    currentSource_ = noise_;
    currentOutput_ = output_;
    OnFormat.Raise(this, output_->GetSavedFormat());
    return MMSYSERR_NOERROR;
}

MMRESULT CSndWavePlayer::PlayWaveFile(MMRESULT sum) {
    if (sum != MMSYSERR_NOERROR) {
        currentSource_ = soundCard_;
        currentOutput_ = output_;
        return sum;
    }
    if (const MMRESULT result = waveFile_->Open(); result != MMSYSERR_NOERROR) {
        if (waveFile_->IsFileUnusable()) {
            return PlayNoiseForUnusableFile();
        }
        ReportError(waveFile_->GetErrorText());
        return result;
    }
    fileProblemTold_ = false;  // should it fail again, that is news
    sum += OpenOutput();       // playing on without an output keeps the source's clock going
    currentOutput_ = output_;
    sum += PrefillAndStartWaveFile();
    currentSource_ = waveFile_;
    const WAVEFORMATEX format = waveFile_->GetFormat();
    OnFormat.Raise(this, format);
    seekStep_ = format.bytesPerSecond;
    return sum;
}

MMRESULT CSndWavePlayer::PlayNoiseForUnusableFile() {
    if (!fileProblemTold_) {
        fileProblemTold_ = true;
        ReportError((std::string("The demo sound file ") + waveFile_->GetFileName() +
                     " is missing or cannot be read. Noise is played instead.")
                        .c_str());
    }
    mode_ = PlayerModeNoise;
    return PlayNoise(MMSYSERR_NOERROR);
}

MMRESULT CSndWavePlayer::PrefillAndStartWaveFile() {
    // The owner gets a reserve of blocks before the card has recorded anything.
    for (uint32_t i = 0; i < kPrefillBlocks; ++i) {
        // Cleared, so that a short read plays silence rather than stale memory.
        CSndWaveBufferRef buffer(CSndWaveBuffer::CreateInput(waveFile_->GetBufferSize(), true));
        if (!buffer) {
            continue;
        }
        waveFile_->Read(buffer->GetData(), static_cast<int32_t>(buffer->GetLength()));
        PostMessage(owner_, WM_AUDIO_BLOCK, reinterpret_cast<WPARAM>(buffer->GetData()),
                    static_cast<LPARAM>(buffer->GetLength()));
        waveFile_->HoldBuffer(std::move(buffer));
    }
    return waveFile_->Start();
}

MMRESULT CSndWavePlayer::Stop() {
    MMRESULT sum = MMSYSERR_NOERROR;
    if (paused_) {
        if (mode_ == PlayerModeNoise) {
            sum += noise_->Start();
        } else if (mode_ == PlayerModeWaveFile) {
            sum += waveFile_->Start();
        }
        paused_ = 0;
    }
    switch (mode_) {
        case PlayerModeNoise:
            sum += noise_->ResetAndStop();
            break;
        case PlayerModeSoundCard:
            sum += soundCard_->ResetAndStop();
            break;
        case PlayerModeWaveFile:
            sum += waveFile_->ResetAndStop();
            break;
        default:
            break;
    }
    return sum + output_->PauseAndReset();
}

MMRESULT CSndWavePlayer::Pause() {
    MMRESULT sum = MMSYSERR_NOERROR;
    if (mode_ == PlayerModeNoise) {
        sum = noise_->Stop();
    } else if (mode_ == PlayerModeWaveFile) {
        sum = waveFile_->Stop();
    }
    paused_ = 1;
    return sum;
}

uint32_t CSndWavePlayer::SetWaveFileName(const char* name, uint32_t) {
    return waveFile_ != nullptr ? waveFile_->SetFileName(name) : 0;
}

MMRESULT CSndWavePlayer::Seek(uint32_t bytes, int direction) {
    if (mode_ != PlayerModeWaveFile) {
        return MMSYSERR_NOERROR;
    }
    const uint32_t delta = bytes == 0xFFFFFFFF ? seekStep_ : bytes;
    const int32_t position =
        waveFile_->CStreamWaveFile::Seek(static_cast<int32_t>(delta), direction);
    waveFile_->OnPosition.Raise(waveFile_, position);
    return MMSYSERR_NOERROR;
}

MMRESULT CSndWavePlayer::SeekBack(uint32_t bytes) {
    return Seek(bytes, 0);
}

MMRESULT CSndWavePlayer::SeekForward(uint32_t bytes) {
    return Seek(bytes, 1);
}

MMRESULT CSndWavePlayer::SetInputDeviceId(uint32_t id) {
    Stop();
    noise_->SetDeviceId(id);
    waveFile_->SetDeviceId(id);
    return Play(mode_);
}

void CSndWavePlayer::RestartWaveFile() {
    if (waveFile_ == nullptr) {
        return;
    }
    // Closed first, so its buffers go the way of every closed source's.
    waveFile_->Close();
    retirement_.Retire(waveFile_->TakeHeldBuffers());
    if (waveFile_->Open() != MMSYSERR_NOERROR) {
        ReportError(waveFile_->GetErrorText());
        return;
    }
    PrefillAndStartWaveFile();
}

void CSndWavePlayer::OnWindowMessage(const TmyMessage& message) {
    auto* header = reinterpret_cast<WAVEHDR*>(message.lParam);
    if (message.message == MM_WOM_DONE) {
        if (currentOutput_ != nullptr) {
            currentOutput_->OnDone(header);
        }
    } else if (message.message == MM_WIM_DATA) {
        if (currentSource_ == nullptr) {
            return;
        }
        if (currentSource_->OnData(header) == CSndWaveInWaveFileStream::kFinished) {
            OnFinished.Raise(this, 1);
            return;
        }
        PostMessage(owner_, WM_AUDIO_BLOCK, reinterpret_cast<WPARAM>(header->lpData),
                    static_cast<LPARAM>(header->dwBytesRecorded));
    }
}
