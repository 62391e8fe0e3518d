// The ±1e-10 noise added to both channels after the drive: three shift-register
// generators, stepped twice per sample (once per channel).
#pragma once

#include <cstdint>

struct NoiseFloor {
    uint32_t state1 = 592;
    uint32_t state2 = 153768;
    uint32_t state3 = 1526;

    // The next noise word: the XOR of the three states after one step of each.
    uint32_t nextWord() {
        state1 = ((((state1 >> 9) ^ state1) >> 6) & 0x1FFFu) ^ (state1 << 13);
        state2 = ((((state2 >> 2) ^ state2) >> 7) & 0xFFFFFu) ^ (state2 << 20);
        state3 = ((((state3 >> 6) ^ state3) >> 8) & 0x1FFFFu) ^ (state3 << 17);
        return state1 ^ state2 ^ state3;
    }

    // A word as a value uniform in about ±1e-10.
    static double toNoise(uint32_t word) {
        return (static_cast<double>(word) * 2.3283064365e-10 * 2.0 - 1.0) * 1e-10;
    }
};
