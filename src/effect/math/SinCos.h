// sin and cos together. Below 1/4 directly by short polynomials; from there on |x| = q pi/2 + r
// with |r| <= pi/4 as a double-double (pi/2 in four parts below 2^20, the bits of 2/pi
// above), then sin r and cos r by polynomials and the quadrant's swap and signs.
#pragma once

#include "effect/math/Coefficients.h"
#include "effect/math/DoubleDouble.h"
#include "effect/math/PiReduction.h"

namespace krvmath {
namespace {

template <class V>
struct SinCosPair {
    V sin;
    V cos;
};

constexpr double kLargeArgument = 1048576.0;  // 2^20: the four parts are exact below

// Any argument.
template <class L>
SinCosPair<typename L::V> sinCosAnyKernel(typename L::V x) {
    using V = typename L::V;
    using M = typename L::M;
    namespace c = coefficients;
    const V a = absolute<L>(x);
    const V am = minimum<L>(a, V(kLargeArgument));

    // k pi/2 with k < 2^20 taken off exactly, in four parts.
    const V k = roundToInteger(am * V(c::kTwoOverPi));
    const V r1 = am - k * V(c::kPio2Part1);
    const Pair<V> h = twoSum(r1, V(0.0) - k * V(c::kPio2Part2));
    const Pair<V> h2 = twoSum(h.hi, V(0.0) - k * V(c::kPio2Part3));
    const V rest = (h.lo + h2.lo) - k * V(c::kPio2Part4);
    Pair<V> r = fastTwoSum(h2.hi, rest);
    // k mod 4, exactly, from floor(k/4) by rounding (k/4 - 3/8).
    V quadrant = k - V(4.0) * roundToInteger(k * V(0.25) - V(0.375));

    const M large = andMask(a >= V(kLargeArgument), a <= V(kMaxFinite));
    if (anyLane(large)) {
        double in[L::kCount], hi[L::kCount], lo[L::kCount], q[L::kCount], isLarge[L::kCount];
        L::store(in, a);
        L::store(hi, r.hi);
        L::store(lo, r.lo);
        L::store(q, quadrant);
        L::store(isLarge, select(large, V(1.0), V(0.0)));
        for (int i = 0; i < L::kCount; ++i) {
            if (isLarge[i] == 0.0) continue;
            const LargeReduction big = reduceLarge(in[i]);
            hi[i] = big.hi;
            lo[i] = big.lo;
            q[i] = big.quadrant;
        }
        r = {L::load(hi), L::load(lo)};
        quadrant = L::load(q);
    }

    // sin r = r + r^3 S(r^2), moved by r.lo (1 - r^2/2).
    const V w = r.hi * r.hi;
    const V sinTail = r.hi * w * horner(c::kSin, w);
    const V sinR = r.hi + (r.lo + (sinTail - V(0.5) * w * r.lo));
    // cos r = 1 - r^2/2 + r^4 C(r^2), moved by -r r.lo; r^2/2 exact as a pair.
    const Pair<V> halfSquare = twoProduct(r.hi * V(0.5), r.hi);
    const Pair<V> head = fastTwoSum(V(1.0), V(0.0) - halfSquare.hi);
    const V cosTail = (head.lo - halfSquare.lo) + (w * w * horner(c::kCos, w) - r.hi * r.lo);
    const V cosR = head.hi + cosTail;

    const M swap = orMask(quadrant == V(1.0), quadrant == V(3.0));
    const M negateSin = quadrant >= V(2.0);
    const M negateCos = orMask(quadrant == V(1.0), quadrant == V(2.0));
    const auto sign = bitsOf<L>(kSignBit);
    const auto zero = bitsOf<L>(0);
    const auto sinSign = signOf<L>(x) ^ asBits(select(negateSin, fromBits(sign), fromBits(zero)));
    V s = flipSign<L>(select(swap, cosR, sinR), sinSign);
    V co = select(swap, sinR, cosR);
    co = select(negateCos, V(0.0) - co, co);

    // Below 2^-27 sin x rounds to x (keeping -0 and subnormals as they are).
    s = select(a < V(7.450580596923828e-09), x, s);
    const M notFinite = notMask(a <= V(kMaxFinite));
    s = select(notFinite, x - x, s);
    co = select(notFinite, x - x, co);
    return {s, co};
}

constexpr double kSmallArgument = 0.25;

// |x| < 1/4 (the signal path's angles): no reduction, shorter polynomials, and 1 - x^2/2
// without the exact square (its rounding moves cos by 1/64 ulp at most).
template <class L>
SinCosPair<typename L::V> sinCosSmallKernel(typename L::V x) {
    using V = typename L::V;
    namespace c = coefficients;
    const V w = x * x;
    V s = x + x * w * horner(c::kSinSmall, w);
    s = select(absolute<L>(x) < V(7.450580596923828e-09), x, s);  // 2^-27, -0 and subnormals
    const Pair<V> head = fastTwoSum(V(1.0), V(0.0) - x * V(0.5) * x);
    const V co = head.hi + (head.lo + w * w * horner(c::kCosSmall, w));
    return {s, co};
}

// Each lane by its own argument: the short form below 1/4, the full one from there on; a
// group of lanes all below 1/4 computes only the short form.
template <class L>
SinCosPair<typename L::V> sinCosKernel(typename L::V x) {
    using V = typename L::V;
    const auto small = absolute<L>(x) < V(kSmallArgument);
    if (!anyLane(notMask(small))) return sinCosSmallKernel<L>(x);
    SinCosPair<V> r = sinCosAnyKernel<L>(x);
    if (anyLane(small)) {
        const SinCosPair<V> near = sinCosSmallKernel<L>(x);
        r.sin = select(small, near.sin, r.sin);
        r.cos = select(small, near.cos, r.cos);
    }
    return r;
}

}  // namespace
}  // namespace krvmath
