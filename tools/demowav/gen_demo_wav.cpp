// Writes the demo sound: eight seconds at 48000 Hz, mono, 16-bit, of a synthetic underwater scene
// as a sonobuoy hears it. A ship's machinery lines (a 50 Hz shaft family and a 440 Hz auxiliary
// line), a slowly gliding tonal, propeller cavitation (broadband noise that swells at the blade
// rate) and a sonar ping every two seconds, over a low sea-noise floor. Everything is generated
// here from fixed seeds, so every build makes the same file.
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "audio/CSndWaveRecorder.h"

namespace {

constexpr int kRate = 48000;
constexpr int kSeconds = 8;
// Full scale would clip once the player's volume is applied; the program plays demo blocks at up
// to eight times their level at the default volume.
constexpr double kPeak = 3600;

double Sample(int n, std::mt19937& random, std::normal_distribution<double>& gauss,
              double& lowNoise) {
    const double t = double(n) / kRate;
    double s = 0;
    // Shaft-rate family.
    s += 0.20 * std::sin(2 * M_PI * 50 * t) + 0.12 * std::sin(2 * M_PI * 100 * t + 0.3) +
         0.08 * std::sin(2 * M_PI * 150 * t + 1.1);
    s += 0.10 * std::sin(2 * M_PI * 440 * t);
    // A tonal gliding between 900 and 1100 Hz over four seconds (phase of a sine-swept tone).
    const double glide = 1000 * t + (100 * 4 / (2 * M_PI)) * (1 - std::cos(2 * M_PI * t / 4));
    s += 0.10 * std::sin(2 * M_PI * glide);
    // Cavitation: white noise swelling at 7.5 Hz (a three-blade screw at 150 rpm x 3).
    const double swell = 0.55 + 0.45 * std::sin(2 * M_PI * 7.5 * t);
    s += 0.18 * swell * gauss(random);
    // Sea noise: low-passed noise.
    lowNoise = 0.995 * lowNoise + 0.05 * gauss(random);
    s += 0.15 * lowNoise;
    // A 3.5 kHz ping of 80 ms every two seconds, with a soft onset and decay.
    const double sincePing = std::fmod(t, 2.0);
    if (sincePing < 0.08) {
        const double envelope = std::sin(M_PI * sincePing / 0.08);
        s += 0.35 * envelope * std::sin(2 * M_PI * 3500 * t);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.wav>\n", argv[0]);
        return 2;
    }
    std::mt19937 random(20240501);
    std::normal_distribution<double> gauss(0.0, 1.0);
    double lowNoise = 0;
    std::vector<double> signal(kRate * kSeconds);
    double largest = 0;
    for (int n = 0; n < int(signal.size()); ++n) {
        signal[n] = Sample(n, random, gauss, lowNoise);
        largest = std::max(largest, std::fabs(signal[n]));
    }
    std::vector<int16_t> samples(signal.size());
    for (std::size_t n = 0; n < signal.size(); ++n) {
        samples[n] = static_cast<int16_t>(std::lround(signal[n] / largest * kPeak));
    }
    CSndWaveRecorder writer;
    if (!writer.Open(QString::fromLocal8Bit(argv[1]), kRate) ||
        !writer.Write(samples.data(), uint32_t(samples.size()))) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    writer.Close();
    return 0;
}
