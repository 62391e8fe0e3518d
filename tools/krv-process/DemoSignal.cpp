#include "tools/krv-process/DemoSignal.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr double kBeat = 0.5;  // 120 beats per minute
constexpr int kBeats = 16;

// Deterministic noise so every demo is the same file.
struct Noise {
    uint32_t state = 0x2545F491u;
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state / 2147483648.0 - 1.0;
    }
};

void addKick(std::vector<double>& left, std::vector<double>& right, int start) {
    double phase = 0.0;
    for (int i = 0; i < kRate / 2 && start + i < static_cast<int>(left.size()); ++i) {
        double t = static_cast<double>(i) / kRate;
        double frequency = 45.0 + 110.0 * std::exp(-t * 35.0);
        phase += 2.0 * M_PI * frequency / kRate;
        double v = 0.9 * std::exp(-t * 9.0) * std::sin(phase);
        left[start + i] += v;
        right[start + i] += v;
    }
}

void addSnare(std::vector<double>& left, std::vector<double>& right, int start, Noise& noise) {
    for (int i = 0; i < kRate / 4 && start + i < static_cast<int>(left.size()); ++i) {
        double t = static_cast<double>(i) / kRate;
        double body = 0.35 * std::exp(-t * 25.0) * std::sin(2.0 * M_PI * 190.0 * t);
        double rattle = 0.45 * std::exp(-t * 18.0) * noise.next();
        left[start + i] += body + rattle * 0.9;
        right[start + i] += body + rattle;
    }
}

void addHat(std::vector<double>& left, std::vector<double>& right, int start, Noise& noise) {
    double previous = 0.0;
    for (int i = 0; i < kRate / 20 && start + i < static_cast<int>(left.size()); ++i) {
        double t = static_cast<double>(i) / kRate;
        double white = noise.next();
        double bright = white - previous;  // a first difference leaves the highs
        previous = white;
        double v = 0.12 * std::exp(-t * 80.0) * bright;
        left[start + i] += 0.6 * v;
        right[start + i] += v;
    }
}

void addBass(std::vector<double>& left, std::vector<double>& right) {
    const double notes[4] = {55.0, 55.0, 65.41, 49.0};
    for (size_t i = 0; i < left.size(); ++i) {
        double t = static_cast<double>(i) / kRate;
        int beat = static_cast<int>(t / kBeat);
        double inBeat = t - beat * kBeat;
        double frequency = notes[(beat / 4) % 4];
        double v = 0.18 * (1.0 - std::exp(-inBeat * 60.0)) * std::exp(-inBeat * 2.0) *
                   std::sin(2.0 * M_PI * frequency * t);
        left[i] += v;
        right[i] += v;
    }
}

}  // namespace

bool writeDemoSignal(const std::string& path, std::string& error) {
    const int frames = static_cast<int>(kBeats * kBeat * kRate);
    std::vector<double> left(frames), right(frames);
    Noise noise;
    addBass(left, right);
    for (int beat = 0; beat < kBeats; ++beat) {
        int start = static_cast<int>(beat * kBeat * kRate);
        if (beat % 2 == 0) addKick(left, right, start);
        if (beat % 4 == 3) addKick(left, right, start + static_cast<int>(0.25 * kRate));
        if (beat % 2 == 1) addSnare(left, right, start, noise);
        addHat(left, right, start, noise);
        addHat(left, right, start + static_cast<int>(0.25 * kRate), noise);
    }
    std::vector<double> interleaved(2 * static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        interleaved[2 * i] = 0.8 * left[i];
        interleaved[2 * i + 1] = 0.8 * right[i];
    }
    SF_INFO info{};
    info.channels = 2;
    info.samplerate = kRate;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    bool written = sf_writef_double(file, interleaved.data(), frames) == frames;
    sf_close(file);
    if (!written) error = "cannot write " + path;
    return written;
}
