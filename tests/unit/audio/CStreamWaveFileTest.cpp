#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <vector>

#include "WaveImage.h"
#include "audio/CStreamWaveFile.h"

namespace {

uint32_t OpenImage(CStreamWaveFile& reader, const WaveImage& image) {
    return reader.OpenMemory(image.bytes.data(), uint32_t(image.bytes.size()));
}

int16_t SampleAt(const std::vector<uint8_t>& buffer, std::size_t index) {
    int16_t v;
    std::memcpy(&v, buffer.data() + 2 * index, 2);
    return v;
}

TEST(CStreamWaveFile, OpensAPlainFileReadsFromHundredBytesIntoTheDataAndResets) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("tone.wav").toStdString();
    const WaveImage image = WaveImage::Mono16(3000);
    ASSERT_TRUE(image.Save(path));

    CStreamWaveFile reader;
    ASSERT_EQ(reader.Open(path.c_str(), 260), 0u);
    EXPECT_EQ(reader.GetWaveFormat().samplesPerSecond, 48000u);
    EXPECT_EQ(reader.GetDataLength(), 6000u);
    // 12 bytes RIFF header, 24 bytes format chunk, 8 bytes data header, then 100 skipped bytes.
    EXPECT_EQ(reader.GetDataStart(), 44 + 100);
    EXPECT_EQ(reader.GetFileEnd(), int32_t(image.bytes.size()));

    std::vector<uint8_t> buffer(4096);
    ASSERT_EQ(reader.Read(buffer.data(), 4096), 4096);
    EXPECT_EQ(SampleAt(buffer, 0), 50);  // the first 50 samples are never played
    EXPECT_EQ(SampleAt(buffer, 2047), 50 + 2047);
    EXPECT_EQ(reader.GetPosition(), 144 + 4096);
    // The rest up to the end of the file, then nothing.
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 6000 - 100 - 4096);
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 0);
    EXPECT_EQ(reader.Read(nullptr, 10), 0);

    // Reset keeps the file open and rewound; opening again skips the head once more.
    reader.Reset();
    EXPECT_FALSE(reader.IsClosed());
    EXPECT_EQ(reader.GetPosition(), 0);
    ASSERT_EQ(reader.Open(path.c_str(), 260), 0u);
    EXPECT_EQ(reader.GetPosition(), 144);
    ASSERT_EQ(reader.Read(buffer.data(), 2), 2);
    EXPECT_EQ(SampleAt(buffer, 0), 50);

    EXPECT_EQ(reader.Close(), 0u);
    EXPECT_TRUE(reader.IsClosed());
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 0);
}

TEST(CStreamWaveFile, ChunkSearchSkipsOtherChunksAndPadBytes) {
    // A LIST chunk of odd size (with its pad byte) before the format, a "fact" chunk between
    // format and data, and a larger format chunk that still fits.
    WaveImage image;
    image.Header().Text("LIST").U32(5).Text("INFO").Fill(1, 'x').Fill(1, 0);
    image.Format(22050, 1, 16, 18).Text("fact").U32(4).U32(1234);
    image.DataHeader(400).Ramp(200).FixRiffSize();
    CStreamWaveFile reader;
    ASSERT_EQ(OpenImage(reader, image), 0u);
    EXPECT_EQ(reader.GetWaveFormat().samplesPerSecond, 22050u);
    EXPECT_EQ(reader.GetWaveFormat().extraSize, 0);
    EXPECT_EQ(reader.GetDataLength(), 400u);
    std::vector<uint8_t> buffer(4096);
    ASSERT_EQ(reader.Read(buffer.data(), 4096), 300);
    EXPECT_EQ(SampleAt(buffer, 0), 50);
    // Reading goes on past the data chunk's end, up to the end of the file.
    image.Text("junk").U32(2).U16(0x7777);
    ASSERT_EQ(OpenImage(reader, image), 0u);
    EXPECT_EQ(reader.Read(buffer.data(), 4096), 300 + 10);
}

TEST(CStreamWaveFile, RefusesFilesWithoutUsableChunks) {
    CStreamWaveFile reader;
    std::vector<uint8_t> buffer(64);
    struct Case {
        const char* what;
        WaveImage image;
    };
    const Case cases[] = {
        {"empty data chunk", WaveImage().Header().Format().DataHeader(0).FixRiffSize()},
        {"no data chunk", WaveImage().Header().Format().FixRiffSize()},
        {"no format chunk", WaveImage().Header().DataHeader(8).Ramp(4).FixRiffSize()},
        {"not a WAVE form",
         WaveImage().Text("RIFF").U32(100).Text("AVI ").Format().DataHeader(8).Ramp(4)},
        {"format too large for plain PCM",
         WaveImage().Header().Format(48000, 2, 16, 40).DataHeader(8).Ramp(4).FixRiffSize()},
        {"extensible with float samples inside",
         WaveImage().Header().Extensible(48000, 1, 32, 3).DataHeader(8).Ramp(4).FixRiffSize()},
        {"format chunk cut short", WaveImage().Header().Text("fmt ").U32(16).U16(1)},
        {"RIFF size hides the chunks", WaveImage().Header(4).Format().DataHeader(8).Ramp(4)},
        {"garbage", WaveImage().Text("MZ\x90").Fill(200, 0x41)},
        {"nothing", WaveImage()},
    };
    for (const Case& c : cases) {
        EXPECT_NE(OpenImage(reader, c.image), 0u) << c.what;
        EXPECT_TRUE(reader.IsClosed()) << c.what;
        EXPECT_EQ(reader.Read(buffer.data(), 64), 0) << c.what;
    }
    EXPECT_EQ(reader.Open(nullptr, 0), 1u);
    EXPECT_EQ(reader.Open("", 0), 1u);
    EXPECT_EQ(reader.Open("/nonexistent/demo.wav", 260), 1u);
}

TEST(CStreamWaveFile, TruncatedAndOversizedDataPlayAsFarAsTheyGo) {
    CStreamWaveFile reader;
    std::vector<uint8_t> buffer(8192);
    // The data chunk claims far more than the file holds.
    WaveImage huge;
    huge.Header().Format().DataHeader(0xFFFFFFF0).Ramp(1000);
    ASSERT_EQ(OpenImage(reader, huge), 0u);
    EXPECT_EQ(reader.GetDataLength(), 0xFFFFFFF0u);
    EXPECT_EQ(reader.Read(buffer.data(), 8192), 2000 - 100);
    // Fewer sample bytes than the skipped head: open, but nothing to read.
    WaveImage tiny;
    tiny.Header().Format().DataHeader(40).Ramp(20).FixRiffSize();
    ASSERT_EQ(OpenImage(reader, tiny), 0u);
    EXPECT_EQ(reader.Read(buffer.data(), 8192), 0);
    // Other layouts are taken over as they are: stereo 8-bit at 11025 Hz.
    WaveImage stereo;
    stereo.Header().Format(11025, 2, 8).DataHeader(300).Fill(300, 0x80).FixRiffSize();
    ASSERT_EQ(OpenImage(reader, stereo), 0u);
    EXPECT_EQ(reader.GetWaveFormat().bitsPerSample, 8);
    EXPECT_EQ(reader.GetWaveFormat().bytesPerSecond, 22050u);
}

TEST(CStreamWaveFile, SeekStaysBetweenFileStartAndEnd) {
    const WaveImage image = WaveImage::Mono16(3000);
    CStreamWaveFile reader;
    ASSERT_EQ(OpenImage(reader, image), 0u);
    const int32_t end = int32_t(image.bytes.size());
    EXPECT_EQ(reader.Seek(1000, 1), 144 + 1000);
    std::vector<uint8_t> buffer(4);
    ASSERT_EQ(reader.Read(buffer.data(), 2), 2);
    EXPECT_EQ(SampleAt(buffer, 0), (144 + 1000 - 44) / 2);
    EXPECT_EQ(reader.Seek(100000, 1), end);
    EXPECT_EQ(reader.Read(buffer.data(), 2), 0);
    // Back by more than the position: the file's start, not the data's.
    EXPECT_EQ(reader.Seek(200, 0), end - 200);
    EXPECT_EQ(reader.Seek(100000, 0), 0);
    ASSERT_EQ(reader.Read(buffer.data(), 4), 4);
    EXPECT_EQ(std::memcmp(buffer.data(), "RIFF", 4), 0);
}

TEST(CStreamWaveFile, AnExtensibleFileWithPcmInsideReadsAsPcm) {
    WaveImage image;
    image.Header().Extensible(44100, 2, 16, 1).DataHeader(800).Ramp(400).FixRiffSize();
    CStreamWaveFile reader;
    ASSERT_EQ(OpenImage(reader, image), 0u);
    const WAVEFORMATEX& format = reader.GetWaveFormat();
    EXPECT_EQ(format.formatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_EQ(format.extraSize, 0);
    // 12 bytes RIFF header, 48 bytes format chunk, 8 bytes data header, 100 skipped bytes.
    EXPECT_EQ(reader.GetDataStart(), 68 + 100);
    std::vector<uint8_t> buffer(4096);
    ASSERT_EQ(reader.Read(buffer.data(), 4096), 700);
    EXPECT_EQ(SampleAt(buffer, 0), 50);
}

TEST(CStreamWaveFile, AFormatChunkTooShortForItsFieldsIsRefusedAndNothingOfTheLastFileStays) {
    CStreamWaveFile reader;
    ASSERT_EQ(OpenImage(reader, WaveImage::Mono16(1000, 22050)), 0u);
    ASSERT_EQ(reader.GetWaveFormat().bitsPerSample, 16);
    // The format chunk ends after the block alignment: no bits per sample.
    WaveImage shortFormat;
    shortFormat.Header().Text("fmt ").U32(14).U16(1).U16(1).U32(8000).U32(16000).U16(2);
    shortFormat.DataHeader(400).Ramp(200).FixRiffSize();
    EXPECT_NE(OpenImage(reader, shortFormat), 0u);
    EXPECT_TRUE(reader.IsClosed());

    // Refused too when its bytes would be read over a cleared format.
    CStreamWaveFile fresh;
    EXPECT_NE(OpenImage(fresh, shortFormat), 0u);
}

}  // namespace
