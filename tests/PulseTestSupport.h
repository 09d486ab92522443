#pragma once
// Sound tests against a real PulseAudio server: the one the test run started (PULSE_SERVER), or
// one started here the same way (a null sink "null" at 48000 Hz and "nullrec", a source that
// records what the sink plays). parec records from nullrec; FFTW finds how well a recording
// matches what was meant to be played.
#include <fftw3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

class PulseTestServer {
public:
    // True when a server answers, started here if the environment names none.
    bool Ensure() {
        if (!qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
            return Answers();
        }
        const QString pulseaudio = QStandardPaths::findExecutable("pulseaudio");
        if (pulseaudio.isEmpty() || !dir_.isValid()) {
            return false;
        }
        qputenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit());
        qputenv("PULSE_SERVER", ("unix:" + dir_.filePath("pulse.sock")).toLocal8Bit());
        server_ = std::make_unique<QProcess>();
        server_->setProcessChannelMode(QProcess::MergedChannels);
        server_->start(pulseaudio,
                       {"--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-n",
                        "--load=module-null-sink sink_name=null rate=48000",
                        "--load=module-remap-source master=null.monitor source_name=nullrec",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" +
                            dir_.filePath("pulse.sock")});
        for (int i = 0; i < 100; ++i) {
            if (Answers()) {
                return true;
            }
            QThread::msleep(100);
        }
        return false;
    }

    ~PulseTestServer() {
        if (server_) {
            server_->kill();
            server_->waitForFinished(5000);
        }
    }

    static bool Answers() {
        QProcess info;
        info.start("pactl", {"info"});
        return info.waitForFinished(5000) && info.exitCode() == 0;
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<QProcess> server_;
};

// Records what the null sink plays, as 16-bit mono at `rate`, until Stop.
class NullrecCapture {
public:
    bool Start(int rate) {
        process_.start("parec", {"-d", "nullrec", "--raw", "--format=s16le", "--channels=1",
                                 "--rate=" + QString::number(rate), "--latency-msec=20"});
        return process_.waitForStarted(5000);
    }
    std::vector<int16_t> Stop() {
        process_.terminate();
        process_.waitForFinished(5000);
        pending_ += process_.readAllStandardOutput();
        return TakePending();
    }
    // Records on for `milliseconds` and returns what came in since the last call, so one stream
    // can be cut into stretches (a new recording stream takes a while to deliver anything).
    std::vector<int16_t> Collect(int milliseconds) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < milliseconds) {
            process_.waitForReadyRead(50);
            pending_ += process_.readAllStandardOutput();
        }
        return TakePending();
    }

private:
    std::vector<int16_t> TakePending() {
        std::vector<int16_t> samples(std::size_t(pending_.size()) / 2);
        if (!samples.empty()) {
            std::memcpy(samples.data(), pending_.constData(), samples.size() * 2);
        }
        pending_.remove(0, qsizetype(samples.size() * 2));
        return samples;
    }

    QProcess process_;
    QByteArray pending_;
};

// The largest normalised cross-correlation of `reference` against any stretch of `recording`
// (1 for a scaled copy, about 0 for unrelated signals).
inline double BestCorrelation(const std::vector<int16_t>& recording,
                              const std::vector<int16_t>& reference) {
    if (reference.empty() || recording.size() < reference.size()) {
        return 0;
    }
    std::size_t n = 1;
    while (n < recording.size() + reference.size()) {
        n *= 2;
    }
    const std::size_t bins = n / 2 + 1;
    std::vector<double> a(n, 0), b(n, 0), product(n);
    std::copy(recording.begin(), recording.end(), a.begin());
    std::copy(reference.begin(), reference.end(), b.begin());
    auto* fa = fftw_alloc_complex(bins);
    auto* fb = fftw_alloc_complex(bins);
    fftw_plan pa = fftw_plan_dft_r2c_1d(int(n), a.data(), fa, FFTW_ESTIMATE);
    fftw_plan pb = fftw_plan_dft_r2c_1d(int(n), b.data(), fb, FFTW_ESTIMATE);
    fftw_execute(pa);
    fftw_execute(pb);
    for (std::size_t k = 0; k < bins; ++k) {  // A x conj(B)
        const double re = fa[k][0] * fb[k][0] + fa[k][1] * fb[k][1];
        const double im = fa[k][1] * fb[k][0] - fa[k][0] * fb[k][1];
        fa[k][0] = re;
        fa[k][1] = im;
    }
    fftw_plan back = fftw_plan_dft_c2r_1d(int(n), fa, product.data(), FFTW_ESTIMATE);
    fftw_execute(back);
    // Running energy of each recording stretch of the reference's length.
    std::vector<double> energy(recording.size() + 1, 0);
    for (std::size_t i = 0; i < recording.size(); ++i) {
        energy[i + 1] = energy[i] + double(recording[i]) * recording[i];
    }
    double referenceEnergy = 0;
    for (int16_t s : reference) {
        referenceEnergy += double(s) * s;
    }
    double best = 0;
    const std::size_t m = reference.size();
    for (std::size_t lag = 0; lag + m <= recording.size(); ++lag) {
        const double stretch = energy[lag + m] - energy[lag];
        if (stretch > 0 && referenceEnergy > 0) {
            best = std::max(best, product[lag] / double(n) / std::sqrt(stretch * referenceEnergy));
        }
    }
    fftw_destroy_plan(pa);
    fftw_destroy_plan(pb);
    fftw_destroy_plan(back);
    fftw_free(fa);
    fftw_free(fb);
    return best;
}
