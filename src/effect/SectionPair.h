// Two CBiquad sections stepped side by side, one in each lane of an SSE2 register. Each lane
// performs exactly the operations of CBiquad::step in the same order, so the results are
// those of two separate steps, bit for bit.
#pragma once

#include <emmintrin.h>

#include "effect/CBiquad.h"

class SectionPair {
public:
    // Low lane from low, high lane from high; both must be high- or low-passes.
    SectionPair(const CBiquad& low, const CBiquad& high)
        : b0(_mm_set_pd(high.b0, low.b0)), b1(_mm_set_pd(high.b1, low.b1)),
          b2(_mm_set_pd(high.b2, low.b2)), a1(_mm_set_pd(high.a1, low.a1)),
          a2(_mm_set_pd(high.a2, low.a2)), offset(_mm_set_pd(high.offset, low.offset)),
          x(_mm_set_pd(high.x, low.x)), x1(_mm_set_pd(high.x1, low.x1)),
          x2(_mm_set_pd(high.x2, low.x2)), y(_mm_set_pd(high.y, low.y)),
          y1(_mm_set_pd(high.y1, low.y1)), y2(_mm_set_pd(high.y2, low.y2)) {}

    __m128d step(__m128d in) {
        offset = _mm_xor_pd(offset, _mm_set1_pd(-0.0));
        const __m128d xs = _mm_add_pd(in, offset);
        x = xs;
        __m128d out = _mm_mul_pd(b0, xs);
        out = _mm_add_pd(out, _mm_mul_pd(b1, x1));
        out = _mm_add_pd(out, _mm_mul_pd(b2, x2));
        out = _mm_sub_pd(out, _mm_mul_pd(a1, y1));
        out = _mm_sub_pd(out, _mm_mul_pd(a2, y2));
        x2 = x1;
        x1 = xs;
        y2 = y1;
        y1 = _mm_add_pd(out, offset);
        y = out;
        return out;
    }

    // Writes the history and the offsets back; the coefficients are unchanged.
    void store(CBiquad& low, CBiquad& high) const {
        storeField(offset, low.offset, high.offset);
        storeField(x, low.x, high.x);
        storeField(x1, low.x1, high.x1);
        storeField(x2, low.x2, high.x2);
        storeField(y, low.y, high.y);
        storeField(y1, low.y1, high.y1);
        storeField(y2, low.y2, high.y2);
    }

private:
    static void storeField(__m128d value, double& low, double& high) {
        _mm_storel_pd(&low, value);
        _mm_storeh_pd(&high, value);
    }

    __m128d b0, b1, b2, a1, a2;
    __m128d offset, x, x1, x2, y, y1, y2;
};
