#pragma once
// Writes 16-bit mono samples to a WAV file. The header is rewritten with the sizes so far at least
// once a second, so the file stays valid when the program dies while recording. When the file
// cannot take more (a full disk, a size limit, a write error) the recorder cuts the file after the
// last whole sample written, makes its header count exactly those, closes it and keeps the reason.
#include <QDateTime>
#include <QString>
#include <chrono>
#include <cstdint>

class CSndWaveRecorder {
public:
    static constexpr auto kHeaderInterval = std::chrono::seconds(1);

    CSndWaveRecorder() = default;
    ~CSndWaveRecorder();
    CSndWaveRecorder(const CSndWaveRecorder&) = delete;
    CSndWaveRecorder& operator=(const CSndWaveRecorder&) = delete;

    // Creates (or replaces) the file, and its folder when missing. False with GetError() saying
    // why when the file cannot be made.
    bool Open(const QString& path, uint32_t sampleRate);
    // Appends samples; false when the file cannot take them, and then the recording has ended
    // (the file closed and valid, GetError() saying why).
    bool Write(const int16_t* samples, uint32_t count);
    // Rewrites the header with the sizes so far.
    bool Flush();
    void Close();

    bool IsOpen() const { return fd_ >= 0; }
    const QString& GetPath() const { return path_; }
    uint64_t GetSampleCount() const { return dataBytes_ / 2; }
    // Why the last Open failed or the last recording ended early; empty when neither happened.
    const QString& GetError() const { return error_; }

    // "<settings folder>/Recordings"
    static QString Folder(const QString& settingsFolder);
    // "2024-05-01 13-45-10 Receiver 1 154000000 Hz.wav": `receiver` counts from 1.
    static QString FileName(const QDateTime& when, int receiver, int32_t frequency);

private:
    bool WriteHeader();
    // Ends the recording after a failed write: what reached the file stays, counted.
    void EndAfterFailure(int error);
    void Fail(const QString& what, int error);

    int fd_ = -1;
    QString path_;
    QString error_;
    uint32_t sampleRate_ = 0;
    uint32_t dataBytes_ = 0;
    std::chrono::steady_clock::time_point lastHeader_;
};
