// Second-order recursive section in double precision: the compressor's side-chain
// high-passes, detector averages, opto cell and meter smoother.
#pragma once

class CBiquad {
public:
    enum Type { kPassThrough = 0, kHighPass = 1, kLowPass = 8 };

    CBiquad(double sampleRate, int type, double frequency, double q)
        : sampleRate(sampleRate), type(type), frequency(frequency), q(q) {}

    // Coefficients from sampleRate, type, frequency and q; the history is kept.
    void design();

    double step(double in) {
        if (type == kPassThrough) return in;
        // The sign-flipping offset rides in the history so that silence never decays
        // into denormal numbers.
        offset = -offset;
        double xs = in + offset;
        x = xs;
        return advance(xs);
    }

    // Four samples of the same input: the opto cell's attack.
    double stepFourTimes(double in) {
        if (type == kPassThrough) return in;
        offset = -offset;
        double xs = in + offset;
        x = xs;
        advance(xs);
        advance(xs);
        advance(xs);
        return advance(xs);
    }

    void clear() { x = x1 = x2 = y = y1 = y2 = 0.0; }

    double sampleRate;
    int type;
    double frequency;  // the design limits it to 0.499 * sampleRate and keeps the limited value
    double q;
    double offset = 1e-14;
    double a0 = 1.0, a1 = 1.0, a2 = 1.0, b0 = 1.0, b1 = 1.0, b2 = 1.0;
    double x = 0.0, x1 = 0.0, x2 = 0.0;
    double y = 0.0, y1 = 0.0, y2 = 0.0;

private:
    double advance(double xs) {
        double out = b0 * xs + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = xs;
        y2 = y1;
        y1 = out + offset;
        y = out;
        return out;
    }
};
