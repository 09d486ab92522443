#include "audio/CSndWaveBufferRef.h"

CSndWaveBufferRef::CSndWaveBufferRef(const CSndWaveBufferRef& other)
    : buffer_(other.buffer_), result_(other.result_) {
    if (buffer_ != nullptr) {
        buffer_->AddRef();
    }
}

CSndWaveBufferRef& CSndWaveBufferRef::operator=(CSndWaveBufferRef other) noexcept {
    std::swap(buffer_, other.buffer_);
    std::swap(result_, other.result_);
    return *this;
}

void CSndWaveBufferRef::Reset() {
    if (buffer_ == nullptr) {
        return;
    }
    if (buffer_->GetReferences() == 1 && buffer_->IsPrepared()) {
        result_ = buffer_->Unprepare();
    }
    std::exchange(buffer_, nullptr)->Release();
}

bool CSndWaveBufferRef::Prepare(SndWaveDevice* device) {
    result_ = buffer_ != nullptr ? buffer_->Prepare(device) : MMSYSERR_INVALPARAM;
    return result_ == MMSYSERR_NOERROR;
}

bool CSndWaveBufferRef::Unprepare() {
    result_ = buffer_ != nullptr ? buffer_->Unprepare() : MMSYSERR_INVALPARAM;
    return result_ == MMSYSERR_NOERROR;
}
