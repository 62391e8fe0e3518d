// Peak and RMS over all channels of a signal, in dBFS. Samples that are not finite (NaN or
// infinite) would make both meaningless: they are counted apart and left out.
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>

class LevelMeter {
public:
    template <typename Sample>
    void add(const Sample* samples, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            double v = samples[i];
            if (!std::isfinite(v)) {
                ++nonFinite;
                continue;
            }
            double magnitude = std::fabs(v);
            if (magnitude > peak) peak = magnitude;
            sumOfSquares += v * v;
            ++finite;
        }
    }
    double peakDb() const { return toDb(peak); }
    double rmsDb() const { return finite ? toDb(std::sqrt(sumOfSquares / finite)) : toDb(0.0); }
    size_t nonFiniteSamples() const { return nonFinite; }

private:
    static double toDb(double level) {
        return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
    }
    double peak = 0.0;
    double sumOfSquares = 0.0;
    size_t finite = 0;
    size_t nonFinite = 0;
};
