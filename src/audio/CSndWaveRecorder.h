#pragma once
// Writes 16-bit mono samples to a WAV file. The header is rewritten with the sizes so far at least
// once a second, so the file stays valid when the program dies while recording.
#include <QDateTime>
#include <QString>
#include <chrono>
#include <cstdint>
#include <cstdio>

class CSndWaveRecorder {
public:
    static constexpr auto kHeaderInterval = std::chrono::seconds(1);

    CSndWaveRecorder() = default;
    ~CSndWaveRecorder();
    CSndWaveRecorder(const CSndWaveRecorder&) = delete;
    CSndWaveRecorder& operator=(const CSndWaveRecorder&) = delete;

    // Creates (or replaces) the file, and its folder when missing.
    bool Open(const QString& path, uint32_t sampleRate);
    // Appends samples; false when the file cannot take them (closed, full or a write error).
    bool Write(const int16_t* samples, uint32_t count);
    // Rewrites the header with the sizes so far.
    bool Flush();
    void Close();

    bool IsOpen() const { return file_ != nullptr; }
    const QString& GetPath() const { return path_; }
    uint64_t GetSampleCount() const { return dataBytes_ / 2; }

    // "<settings folder>/Recordings"
    static QString Folder(const QString& settingsFolder);
    // "2024-05-01 13-45-10 Receiver 1 154000000 Hz.wav": `receiver` counts from 1.
    static QString FileName(const QDateTime& when, int receiver, int32_t frequency);

private:
    bool WriteHeader();

    std::FILE* file_ = nullptr;
    QString path_;
    uint32_t sampleRate_ = 0;
    uint32_t dataBytes_ = 0;
    std::chrono::steady_clock::time_point lastHeader_;
};
