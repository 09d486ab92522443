// What the program plays, recorded from the sound server's null sink: the demo sound on a demo
// frequency, noise elsewhere.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include "ProgramProcess.h"
#include "PulseTestSupport.h"
#include "audio/CSndResampler.h"
#include "unit/audio/AudioTestSupport.h"

namespace {

int FreePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress(QHostAddress::LocalHost), 0) ? probe.serverPort() : 0;
}

// The demo sound as the program plays it: converted from 48000 to 64000 samples per second.
std::vector<int16_t> DemoSoundAt64k() {
    const std::vector<int16_t> demo =
        ReadWaveFile(QCoreApplication::applicationDirPath() + "/demo.wav").samples;
    CSndResampler converter;
    converter.Configure(48000, 64000, 2048);
    std::vector<int16_t> converted;
    for (std::size_t at = 0; at + 2048 <= demo.size(); at += 2048) {
        uint32_t count = 0;
        const int16_t* out = converter.Process(demo.data() + at, 2048, &count);
        converted.insert(converted.end(), out, out + count);
    }
    return converted;
}

double Rms(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (int16_t s : samples) {
        sum += double(s) * s;
    }
    return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

TEST(ProgramAudio, ADemoReceiverPlaysTheDemoSoundOnItsFrequencyAndNoiseElsewhere) {
    App();
    PulseTestServer server;
    ASSERT_TRUE(server.Ensure()) << "no PulseAudio server; scripts/install-deps installs one";
    const std::vector<int16_t> reference = DemoSoundAt64k();
    ASSERT_GE(reference.size(), 3u * 64000);

    // The first demo receiver remembers 154 MHz, one of the demo sound's frequencies.
    Folders dirs;
    dirs.WriteSettings(
        "[MAIN]\n[RECEIVER 0]\nSerialNumber=DEMO\nProductName=DEMO\nFrequency=154000000\n");
    const int port = FreePort();
    ASSERT_NE(port, 0);

    NullrecCapture recording;
    ASSERT_TRUE(recording.Start(64000));  // an idle null sink takes a while to consume anything
    Program program(dirs.home.path(), dirs.runtime.path());
    program.SetEnvironment("K740RX_AUDIO");  // the real sound server
    ASSERT_TRUE(program.StartShown({QString("-rigctl=%1").arg(port)}))
        << program.Output().toStdString();
    const std::vector<int16_t> onSignal = recording.Collect(4000);

    // Half a second from the sound's second second is in what was played.
    const std::vector<int16_t> stretch(reference.begin() + 64000, reference.begin() + 96000);
    EXPECT_GT(BestCorrelation(onSignal, stretch), 0.8)
        << onSignal.size() << " samples, rms " << Rms(onSignal) << "\n"
        << program.Output().toStdString();

    QTcpSocket remote;
    remote.connectToHost(QHostAddress(QHostAddress::LocalHost), static_cast<quint16>(port));
    ASSERT_TRUE(remote.waitForConnected(10000));
    remote.write("F 136000000\n");
    ASSERT_TRUE(remote.waitForReadyRead(10000));
    EXPECT_EQ(remote.readAll(), "RPRT 0\n");
    recording.Collect(1000);  // the switch
    const std::vector<int16_t> elsewhere = recording.Collect(3000);
    recording.Stop();
    EXPECT_LT(BestCorrelation(elsewhere, stretch), 0.5);
    EXPECT_GT(Rms(elsewhere), 50.0) << "noise is heard: " << elsewhere.size() << " samples";

    ASSERT_TRUE(program.EndInOrder()) << program.Output().toStdString();
}

}  // namespace
