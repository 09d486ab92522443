#pragma once
// Marsaglia and Tsang's ziggurat generator (2000): normal and exponential variates from tables
// over the SHR3 shift-register generator. State and tables are one set for the whole process,
// so every generator object draws from the same sequence.
#include <cstdint>

class CRandomGenerator {
public:
    static constexpr uint32_t kStartState = 123456789;

    // XORs the seed into the shared state and rebuilds the tables.
    explicit CRandomGenerator(uint32_t seed);

    float Normal();       // mean 0, deviation 1 (RNOR)
    float Exponential();  // mean 1 (REXP)
    float Uniform();      // (0, 1) (UNI)
    uint32_t Next();      // the raw 32-bit SHR3 value

    // The shift register's current value.
    static uint32_t State();

private:
    static void BuildTables();
    float NormalTail();
    float ExponentialTail();
};
