#pragma once
// The inner loop of the sample-rate converter: one output sample from 8 history samples and one
// table row, in pure integer arithmetic, saturated to 16 bits. A vector form does four samples at
// a time and gives the same bits as the plain form.
#include <cstdint>

class CSndResamplerKernel {
public:
    struct Job {
        const int16_t* table;    // 2049 rows of 8 coefficients, 16-byte aligned
        const int16_t* history;  // n + 17 samples: 16 kept, the block, and a spare
        uint32_t n;
        uint32_t position;  // 16.16, in history samples
        uint32_t step;
        int16_t* out;
        uint32_t count;
    };

    // Both return the read position after the last sample.
    static uint32_t RunScalar(const Job& job);
    static uint32_t RunVector(const Job& job);
};
