#include "effect/CBiquad.h"

#include "effect/math/KrvMath.h"

void CBiquad::design() {
    a0 = a1 = a2 = b0 = b1 = b2 = 1.0;
    if (frequency > 0.499 * sampleRate) frequency = 0.499 * sampleRate;
    if (type != kHighPass && type != kLowPass) return;

    const double w = frequency * 6.283185307179586 / sampleRate;
    // Lower the effective Q as the cut-off nears half the rate; the two responses use
    // different constants.
    const double e = type == kHighPass ? krvmath::pow(frequency / (sampleRate * 0.5001), 6.0)
                                       : krvmath::pow(frequency / (sampleRate * 0.50001), 8.0);
    if (type == kLowPass) offset = 1e-12;
    const double qEffective = (1.0 - e) * q;
    const krvmath::SinCos sc = krvmath::sinCos(w);
    const double cosW = sc.cos;
    const double alpha = sc.sin / (2.0 * qEffective);
    a0 = 1.0 + alpha;
    a1 = -2.0 * cosW / a0;
    a2 = (1.0 - alpha) / a0;
    if (type == kHighPass) {
        b0 = (1.0 + cosW) * 0.5 / a0;
        b1 = -(1.0 + cosW) / a0;
        b2 = (1.0 + cosW) * 0.5 / a0;
    } else {
        b0 = (1.0 - cosW) * 0.5 / a0;
        b1 = (1.0 - cosW) / a0;
        b2 = (1.0 - cosW) * 0.5 / a0;
    }
}
