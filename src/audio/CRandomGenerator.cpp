#include "audio/CRandomGenerator.h"

#include <cmath>

namespace {

// Shared by every generator: the shift register and the ziggurat tables.
uint32_t g_jsr = CRandomGenerator::kStartState;
int32_t g_hz = 0;
uint32_t g_jz = 0;
uint32_t g_iz = 0;
uint32_t g_kn[128];
float g_wn[128];
float g_fn[128];
uint32_t g_ke[256];
float g_we[256];
float g_fe[256];

uint32_t Shr3() {
    const uint32_t previous = g_jsr;
    g_jsr ^= g_jsr << 13;
    g_jsr ^= g_jsr >> 17;
    g_jsr ^= g_jsr << 5;
    return previous + g_jsr;
}

}  // namespace

CRandomGenerator::CRandomGenerator(uint32_t seed) {
    g_jsr ^= seed;
    BuildTables();
}

uint32_t CRandomGenerator::State() {
    return g_jsr;
}

uint32_t CRandomGenerator::Next() {
    return Shr3();
}

float CRandomGenerator::Uniform() {
    return static_cast<float>(0.5 + static_cast<int32_t>(Shr3()) * 0.2328306e-9);
}

float CRandomGenerator::Normal() {
    g_hz = static_cast<int32_t>(Shr3());
    g_iz = static_cast<uint32_t>(g_hz) & 127;
    if (std::fabs(static_cast<double>(g_hz)) < g_kn[g_iz]) {
        return static_cast<float>(g_hz) * g_wn[g_iz];
    }
    return NormalTail();
}

float CRandomGenerator::NormalTail() {
    constexpr float kR = 3.442620f;  // where the right tail starts
    for (;;) {
        const float x = static_cast<float>(g_hz) * g_wn[g_iz];
        if (g_iz == 0) {
            // The base strip: sample the tail beyond kR by Marsaglia's method.
            float tx;
            float ty;
            do {
                tx = static_cast<float>(-std::log(Uniform()) * 0.2904764);  // 1 / kR
                ty = static_cast<float>(-std::log(Uniform()));
            } while (ty + ty < tx * tx);
            return g_hz > 0 ? kR + tx : -kR - tx;
        }
        if (g_fn[g_iz] + Uniform() * (g_fn[g_iz - 1] - g_fn[g_iz]) < std::exp(-0.5 * x * x)) {
            return x;
        }
        g_hz = static_cast<int32_t>(Shr3());
        g_iz = static_cast<uint32_t>(g_hz) & 127;
        if (std::fabs(static_cast<double>(g_hz)) < g_kn[g_iz]) {
            return static_cast<float>(g_hz) * g_wn[g_iz];
        }
    }
}

float CRandomGenerator::Exponential() {
    g_jz = Shr3();
    g_iz = g_jz & 255;
    if (g_jz < g_ke[g_iz]) {
        return static_cast<float>(g_jz) * g_we[g_iz];
    }
    return ExponentialTail();
}

float CRandomGenerator::ExponentialTail() {
    for (;;) {
        if (g_iz == 0) {
            return static_cast<float>(7.69711 - std::log(Uniform()));
        }
        const float x = static_cast<float>(g_jz) * g_we[g_iz];
        if (g_fe[g_iz] + Uniform() * (g_fe[g_iz - 1] - g_fe[g_iz]) < std::exp(-x)) {
            return x;
        }
        g_jz = Shr3();
        g_iz = g_jz & 255;
        if (g_jz < g_ke[g_iz]) {
            return static_cast<float>(g_jz) * g_we[g_iz];
        }
    }
}

void CRandomGenerator::BuildTables() {
    const double m1 = 2147483648.0;
    const double m2 = 4294967296.0;

    // Normal: 128 strips of equal area vn, the last ending at dn.
    double dn = 3.442619855899;
    double tn = dn;
    const double vn = 9.91256303526217e-3;
    double q = vn / std::exp(-0.5 * dn * dn);
    g_kn[0] = static_cast<uint32_t>((dn / q) * m1);
    g_kn[1] = 0;
    g_wn[0] = static_cast<float>(q / m1);
    g_wn[127] = static_cast<float>(dn / m1);
    g_fn[0] = 1.0f;
    g_fn[127] = static_cast<float>(std::exp(-0.5 * dn * dn));
    for (int i = 126; i >= 1; --i) {
        dn = std::sqrt(-2.0 * std::log(vn / dn + std::exp(-0.5 * dn * dn)));
        g_kn[i + 1] = static_cast<uint32_t>((dn / tn) * m1);
        tn = dn;
        g_fn[i] = static_cast<float>(std::exp(-0.5 * dn * dn));
        g_wn[i] = static_cast<float>(dn / m1);
    }

    // Exponential: 256 strips of equal area ve, the last ending at de.
    double de = 7.697117470131487;
    double te = de;
    const double ve = 3.949659822581572e-3;
    q = ve / std::exp(-de);
    g_ke[0] = static_cast<uint32_t>((de / q) * m2);
    g_ke[1] = 0;
    g_we[0] = static_cast<float>(q / m2);
    g_we[255] = static_cast<float>(de / m2);
    g_fe[0] = 1.0f;
    g_fe[255] = static_cast<float>(std::exp(-de));
    for (int i = 254; i >= 1; --i) {
        de = -std::log(ve / de + std::exp(-de));
        g_ke[i + 1] = static_cast<uint32_t>((de / te) * m2);
        te = de;
        g_fe[i] = static_cast<float>(std::exp(-de));
        g_we[i] = static_cast<float>(de / m2);
    }
}
