#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

#include "AudioTestSupport.h"
#include "audio/CSndWaveRecorder.h"

namespace {

TEST(CSndWaveRecorder, WritesAValidFileAndNamesItByDateReceiverAndFrequency) {
    QTemporaryDir dir;
    const QString folder = CSndWaveRecorder::Folder(dir.path());
    EXPECT_EQ(folder, dir.path() + "/Recordings");
    const QDateTime when(QDate(2024, 5, 1), QTime(13, 45, 10));
    const QString name = CSndWaveRecorder::FileName(when, 2, 154000000);
    EXPECT_EQ(name, "2024-05-01 13-45-10 Receiver 2 154000000 Hz.wav");

    CSndWaveRecorder recorder;
    ASSERT_TRUE(recorder.Open(folder + "/" + name, 64000));  // makes the folder
    std::vector<int16_t> samples{1, -2, 300, -32768, 32767};
    ASSERT_TRUE(recorder.Write(samples.data(), 5));
    ASSERT_TRUE(recorder.Write(samples.data(), 2));
    EXPECT_EQ(recorder.GetSampleCount(), 7u);
    recorder.Close();
    EXPECT_FALSE(recorder.Write(samples.data(), 1));
    const WaveFileContents w = ReadWaveFile(folder + "/" + name);
    ASSERT_TRUE(w.valid);
    EXPECT_EQ(w.sampleRate, 64000u);
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.riffSize, 36u + 14u);
    EXPECT_EQ(w.samples, (std::vector<int16_t>{1, -2, 300, -32768, 32767, 1, -2}));
    EXPECT_FALSE(recorder.Open("/proc/no/such/folder/x.wav", 64000));
}

TEST(CSndWaveRecorder, FileStaysValidWhenTheProcessIsKilledWhileRecording) {
    QTemporaryDir dir;
    const QString path = dir.filePath("killed.wav");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Record a ramp for a while, then die without closing anything.
        CSndWaveRecorder recorder;
        if (!recorder.Open(path, 8000)) {
            _exit(2);
        }
        std::vector<int16_t> block(80);
        int16_t next = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
        while (std::chrono::steady_clock::now() < end) {
            for (auto& s : block) {
                s = next++;
            }
            recorder.Write(block.data(), uint32_t(block.size()));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const WaveFileContents w = ReadWaveFile(path);
    ASSERT_TRUE(w.valid);  // the header's sizes lie within the file
    EXPECT_EQ(w.riffSize, 36 + w.dataSize);
    // At least the first second's header rewrite counted samples, and they are the ramp.
    ASSERT_GE(w.samples.size(), 8000u);
    for (std::size_t i = 0; i < w.samples.size(); ++i) {
        ASSERT_EQ(w.samples[i], int16_t(i)) << i;
    }
}

TEST(CSndWaveRecorder, AFullDiskEndsTheRecordingAndLeavesAValidFileOfWhatWasWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("full.wav");
    std::vector<int16_t> block(1000);
    std::iota(block.begin(), block.end(), int16_t(0));
    CSndWaveRecorder recorder;
    {
        // Room for the header, two blocks and a quarter, and half a sample more.
        const FileSizeLimit limit(44 + 4000 + 500 + 1);
        ASSERT_TRUE(recorder.Open(path, 8000));
        EXPECT_TRUE(recorder.Write(block.data(), 1000));
        EXPECT_TRUE(recorder.Write(block.data(), 1000));
        EXPECT_FALSE(recorder.Write(block.data(), 1000));
        EXPECT_FALSE(recorder.IsOpen());  // the recording has ended
        EXPECT_FALSE(recorder.Write(block.data(), 1));
    }
    EXPECT_EQ(recorder.GetError(), "Recording to " + path + " stopped: File too large");
    const WaveFileContents w = ReadWaveFile(path);
    ASSERT_TRUE(w.valid);
    EXPECT_EQ(w.riffSize, 36 + w.dataSize);
    EXPECT_EQ(QFileInfo(path).size(), 44 + w.dataSize);  // the half sample is cut off
    ASSERT_EQ(w.samples.size(), 2250u);
    for (std::size_t i = 0; i < w.samples.size(); ++i) {
        ASSERT_EQ(w.samples[i], int16_t(i % 1000)) << i;
    }

    // A new recording starts afresh.
    ASSERT_TRUE(recorder.Open(dir.filePath("next.wav"), 8000));
    EXPECT_TRUE(recorder.GetError().isEmpty());
    recorder.Close();
}

TEST(CSndWaveRecorder, ARecordingThatCannotStartSaysWhyAndLeavesNoFile) {
    QTemporaryDir dir;
    // Its folder would have to be made inside a file.
    const QString blocker = dir.filePath("file");
    ASSERT_TRUE(QFile(blocker).open(QIODevice::WriteOnly));
    CSndWaveRecorder recorder;
    const QString below = blocker + "/Recordings/x.wav";
    EXPECT_FALSE(recorder.Open(below, 8000));
    EXPECT_FALSE(recorder.IsOpen());
    EXPECT_EQ(recorder.GetError(), below + " cannot be created: Not a directory");

    // The disk cannot take even the header.
    const QString path = dir.filePath("empty.wav");
    {
        const FileSizeLimit limit(20);
        EXPECT_FALSE(recorder.Open(path, 8000));
    }
    EXPECT_FALSE(recorder.IsOpen());
    EXPECT_EQ(recorder.GetError(), path + " cannot be written: File too large");
    EXPECT_FALSE(QFileInfo::exists(path));
}

}  // namespace
