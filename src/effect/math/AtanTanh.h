// atan and tanh by one kernel: f(|x|) = f(c) + a correction, with f(c) from a table as a
// double-double and the correction from a short polynomial. Both functions share one grid
// of points c: 0 below 2^-5; the midpoint of the sixteenth of the binade |x| lies in up to
// 1; the nearest k/16 up to 20 (Coefficients.h, kAtanTanhTable).
//  atan |x| = atan c + atan u, u = (|x| - c) / (1 + |x| c), the numerator exact, |u| <= 1/32;
//  from 20 on atan |x| = pi/2 + atan u with u = -1/|x|.
//  tanh |x| = T + t (1 - T^2) / (1 + T t), T = tanh c, t = tanh b, b = |x| - c exact,
//  |b| <= 1/32; 1 from 20 on.
// No branch: the table is read lane by lane. TermMode::Both takes atan or tanh lane by lane
// (the valve stage); each lane gives the bits its own function gives, because the steps one
// function skips are exact for it (a division by 1, a product with 1, 0 * t added to 1).
#pragma once

#include "effect/math/Coefficients.h"
#include "effect/math/DoubleDouble.h"

namespace krvmath {
namespace {

enum class TermMode { Atan, Tanh, Both };

template <class L>
typename L::U selectBits(typename L::M m, typename L::U a, typename L::U b) {
    return asBits(select(m, fromBits(a), fromBits(b)));
}

// Horner's rule with the coefficients of `a` where m is set, of `b` elsewhere.
template <class L, int N>
typename L::V hornerEither(typename L::M m, const double (&a)[N], const double (&b)[N],
                           typename L::V x) {
    using V = typename L::V;
    V p = selectConstants(m, a[0], b[0]);
    for (int i = 1; i < N; ++i) p = p * x + selectConstants(m, a[i], b[i]);
    return p;
}

// tanhLanes is read in TermMode::Both only.
template <class L, TermMode kMode>
__attribute__((always_inline)) inline typename L::V atanTanhKernel(
    typename L::V x, [[maybe_unused]] typename L::M tanhLanes) {
    using V = typename L::V;
    using M = typename L::M;
    using U = typename L::U;
    namespace c = coefficients;
    const V a = absolute<L>(x);
    const M direct = a < V(0.03125);  // 2^-5
    const M belowOne = a < V(1.0);
    const M beyond = notMask(a < V(20.0));  // NaN too

    // The grid's row and point: in the binades below 1, the sixteenth's row (1 for the first
    // above 2^-5) and midpoint; above, k = 16 |x| rounded, read from the bits of
    // k + 1.5 * 2^52 (k = 321, the row beyond, for 20 and more).
    const U bits = asBits(a);
    const U binadeRow = shiftRight(bits, 48) - bitsOf<L>(((1023 - 5) << 4) - 1);
    const V midpoint = fromBits((bits & bitsOf<L>(~0ULL << 48)) | bitsOf<L>(1ULL << 47));
    const V shifted = select(beyond, V(20.0625), a) * V(16.0) + V(kRoundMagic);
    const U stepRow = asBits(shifted) - bitsOf<L>(0x4338000000000000ULL - (81 - 16));
    const V step = (shifted - V(kRoundMagic)) * V(0.0625);
    const V point = zeroWhere(direct, select(belowOne, midpoint, step));
    U index = asBits(zeroWhere(direct, fromBits(selectBits<L>(belowOne, binadeRow, stepRow))));
    if constexpr (kMode == TermMode::Tanh) index = index + bitsOf<L>(c::kGridRows);
    if constexpr (kMode == TermMode::Both)
        index = index + asBits(keepWhere(tanhLanes, fromBits(bitsOf<L>(c::kGridRows))));
    V head, tail;
    lookup(c::kAtanTanhTable, index, head, tail);

    // The rest: u for atan (b for tanh lanes, whose divisor is 1), b for tanh.
    V rest = a - point;
    if constexpr (kMode != TermMode::Tanh) {
        M reciprocal = beyond;
        V atanPoint = point;
        if constexpr (kMode == TermMode::Both) {
            reciprocal = andMask(notMask(tanhLanes), beyond);
            atanPoint = zeroWhere(tanhLanes, point);
        }
        // Above 2^60, -1/|x| changes nothing: atan rounds to the double nearest pi/2.
        const V d = select(reciprocal, minimum<L>(a, V(1152921504606846976.0)),
                           V(1.0) + a * atanPoint);
        rest = select(reciprocal, V(-1.0), rest) / d;
    }
    const V w = rest * rest;
    V polynomial;
    if constexpr (kMode == TermMode::Atan)
        polynomial = horner(c::kAtanSmall, w);
    else if constexpr (kMode == TermMode::Tanh)
        polynomial = horner(c::kTanhSmall, w);
    else
        polynomial = hornerEither<L>(tanhLanes, c::kTanhSmall, c::kAtanSmall, w);
    const V t = rest + rest * w * polynomial;

    V correction = t;
    if constexpr (kMode != TermMode::Atan) {
        // 1 - T^2 = (1 - T)(1 + T), with both parts of T.
        V oneMinusSquare = ((V(1.0) - head) - tail) * ((V(1.0) + head) + tail);
        V slope = head;
        if constexpr (kMode == TermMode::Both) {
            oneMinusSquare = select(tanhLanes, oneMinusSquare, V(1.0));
            slope = keepWhere(tanhLanes, head);
        }
        correction = t * oneMinusSquare / (V(1.0) + slope * t);
    }
    // |correction| stays below |f(c)| unless c = 0.
    const Pair<V> sum = fastTwoSum(head, correction);
    V result = sum.hi + (sum.lo + tail);
    if constexpr (kMode == TermMode::Tanh) result = select(beyond, V(1.0), result);
    if constexpr (kMode == TermMode::Both)
        result = select(andMask(tanhLanes, beyond), V(1.0), result);
    result = flipSign<L>(result, signOf<L>(x));
    result = select(a < V(7.450580596923828e-09), x, result);  // 2^-27
    return select(isNan<L>(x), x + x, result);
}

template <class L>
typename L::V atanKernel(typename L::V x) {
    return atanTanhKernel<L, TermMode::Atan>(x, typename L::M{});
}

template <class L>
typename L::V tanhKernel(typename L::V x) {
    return atanTanhKernel<L, TermMode::Tanh>(x, typename L::M{});
}

}  // namespace
}  // namespace krvmath
