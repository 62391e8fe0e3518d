// Peak and RMS over all channels of a signal, in dBFS.
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
            double magnitude = std::fabs(v);
            if (magnitude > peak) peak = magnitude;
            sumOfSquares += v * v;
        }
        this->count += count;
    }
    double peakDb() const { return toDb(peak); }
    double rmsDb() const { return count ? toDb(std::sqrt(sumOfSquares / count)) : toDb(0.0); }

private:
    static double toDb(double level) {
        return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
    }
    double peak = 0.0;
    double sumOfSquares = 0.0;
    size_t count = 0;
};
