// atan and tanh by one kernel: f(|x|) = f(c) + a correction, with f(c) from a table as a
// double-double and the correction from a short polynomial of a rest below 1/32.
//  atan: c = 0 below 2^-5; up to 32 the midpoint of the sixteenth of the binade |x| lies in,
//  and atan |x| = atan c + atan u with u = (|x| - c) / (1 + |x| c) (the numerator exact);
//  from 32 on atan |x| = pi/2 + atan(-1/|x|).
//  tanh: c = 0 below 2^-5; the same binade midpoints up to 1; the nearest k/16 up to 20; with
//  b = |x| - c (exact) and T = tanh c, tanh |x| = T + t (1 - T^2) / (1 + T t), t = tanh b;
//  1 from 20 on.
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
    V p = select(m, V(a[0]), V(b[0]));
    for (int i = 1; i < N; ++i) p = p * x + select(m, V(a[i]), V(b[i]));
    return p;
}

// tanhLanes is read in TermMode::Both only.
template <class L, TermMode kMode>
typename L::V atanTanhKernel(typename L::V x, [[maybe_unused]] typename L::M tanhLanes) {
    using V = typename L::V;
    using M = typename L::M;
    using U = typename L::U;
    namespace c = coefficients;
    constexpr bool kAtan = kMode != TermMode::Tanh;
    constexpr bool kTanh = kMode != TermMode::Atan;
    const V a = absolute<L>(x);
    const M direct = a < V(0.03125);  // 2^-5

    // The sixteenth of the binade: its row (1 for the first above 2^-5) and midpoint.
    const U bits = asBits(a);
    const U row = shiftRight(bits, 48) - bitsOf<L>(((1023 - 5) << 4) - 1);
    const V midpoint = fromBits((bits & bitsOf<L>(~0ULL << 48)) | bitsOf<L>(1ULL << 47));

    U index{};
    V point{}, argument{};
    [[maybe_unused]] M reciprocal{};
    if constexpr (kAtan) {
        reciprocal = notMask(a < V(32.0));  // NaN too
        index = selectBits<L>(direct, bitsOf<L>(0),
                              selectBits<L>(reciprocal, bitsOf<L>(c::kAtanEntries - 1), row));
        point = select(direct, V(0.0), midpoint);
        argument = a;
    }
    if constexpr (kTanh) {
        const V clamped = select(a < V(20.0), a, V(20.0));  // NaN too
        // k = 16 |x| rounded, read from the bits of k + 1.5 * 2^52; its row follows the
        // binades' 80: kAtanEntries + 81 + (k - 16).
        const V shifted = clamped * V(16.0) + V(kRoundMagic);
        const V step = (shifted - V(kRoundMagic)) * V(0.0625);
        const U stepRow =
            asBits(shifted) - bitsOf<L>(0x4338000000000000ULL - (c::kAtanEntries + 81 - 16));
        const M belowOne = a < V(1.0);
        const U tanhIndex = selectBits<L>(
            direct, bitsOf<L>(c::kAtanEntries),
            selectBits<L>(belowOne, row + bitsOf<L>(c::kAtanEntries), stepRow));
        const V tanhPoint = select(direct, V(0.0), select(belowOne, midpoint, step));
        if constexpr (kMode == TermMode::Tanh) {
            index = tanhIndex;
            point = tanhPoint;
            argument = clamped;
        } else {
            index = selectBits<L>(tanhLanes, tanhIndex, index);
            point = select(tanhLanes, tanhPoint, point);
            argument = select(tanhLanes, clamped, argument);
            reciprocal = andMask(notMask(tanhLanes), reciprocal);
        }
    }
    V head, tail;
    lookup(c::kAtanTanhTable, index, head, tail);

    // The rest: u for atan, b for tanh.
    V rest;
    if constexpr (kAtan) {
        const V n = select(reciprocal, V(-1.0), argument - point);
        // Above 2^60, -1/|x| changes nothing: atan rounds to the double nearest pi/2.
        V d = select(reciprocal, minimum<L>(a, V(1152921504606846976.0)),
                     V(1.0) + argument * point);
        if constexpr (kMode == TermMode::Both) d = select(tanhLanes, V(1.0), d);
        rest = n / d;
    } else {
        rest = argument - point;
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
    if constexpr (kTanh) {
        // 1 - T^2 = (1 - T)(1 + T), with both parts of T.
        V oneMinusSquare = ((V(1.0) - head) - tail) * ((V(1.0) + head) + tail);
        V slope = head;
        if constexpr (kMode == TermMode::Both) {
            oneMinusSquare = select(tanhLanes, oneMinusSquare, V(1.0));
            slope = select(tanhLanes, head, V(0.0));
        }
        correction = t * oneMinusSquare / (V(1.0) + slope * t);
    }
    // |correction| stays below |f(c)| unless c = 0.
    const Pair<V> sum = fastTwoSum(head, correction);
    V result = sum.hi + (sum.lo + tail);
    if constexpr (kTanh) {
        M saturated = notMask(a < V(20.0));
        if constexpr (kMode == TermMode::Both) saturated = andMask(tanhLanes, saturated);
        result = select(saturated, V(1.0), result);
    }
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
