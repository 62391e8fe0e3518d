// Error-free transformations (a sum or product as an unevaluated pair of doubles) and the
// small bit-level helpers the kernels share, written over any lane type of Lanes.h.
#pragma once

#include "effect/math/Lanes.h"

namespace krvmath {
namespace {

template <class V>
struct Pair {
    V hi;
    V lo;
};

// a + b exactly, any magnitudes (Knuth).
template <class V>
Pair<V> twoSum(V a, V b) {
    const V s = a + b;
    const V bb = s - a;
    const V e = (a - (s - bb)) + (b - bb);
    return {s, e};
}

// a + b exactly when |a| >= |b| or a is 0 (Dekker).
template <class V>
Pair<V> fastTwoSum(V a, V b) {
    const V s = a + b;
    return {s, b - (s - a)};
}

// Splits a into two halves of 26 bits each (Veltkamp); |a| must stay below 2^995.
template <class V>
Pair<V> split(V a) {
    const V c = V(134217729.0) * a;
    const V hi = c - (c - a);
    return {hi, a - hi};
}

// a * b exactly as a pair, without a fused multiply-add (Dekker).
template <class V>
Pair<V> twoProduct(V a, V b) {
    const V p = a * b;
    const Pair<V> as = split(a);
    const Pair<V> bs = split(b);
    const V e = ((as.hi * bs.hi - p) + as.hi * bs.lo + as.lo * bs.hi) + as.lo * bs.lo;
    return {p, e};
}

// Polynomial by Horner's rule, coefficients highest degree first.
template <class V, int N>
V horner(const double (&c)[N], V x) {
    V p = V(c[0]);
    for (int i = 1; i < N; ++i) p = p * x + V(c[i]);
    return p;
}

constexpr double kRoundMagic = 6755399441055744.0;  // 1.5 * 2^52

// The nearest integer (ties to even) for |x| < 2^51, as a double.
template <class V>
V roundToInteger(V x) {
    return (x + V(kRoundMagic)) - V(kRoundMagic);
}

// 2^n for an integral double n in [-1022, 1023], built from the exponent bits.
template <class L>
typename L::V powerOfTwo(typename L::V n) {
    using V = typename L::V;
    const auto biased = asBits(V(n + V(kRoundMagic))) + bitsOf<L>(1023);
    return fromBits(shiftLeft(biased, 52));
}

constexpr std::uint64_t kSignBit = 0x8000000000000000ULL;

template <class L>
typename L::V absolute(typename L::V x) {
    return fromBits(asBits(x) & bitsOf<L>(~kSignBit));
}

template <class L>
typename L::U signOf(typename L::V x) {
    return asBits(x) & bitsOf<L>(kSignBit);
}

// x with its sign bit flipped where sign has it set.
template <class L>
typename L::V flipSign(typename L::V x, typename L::U sign) {
    return fromBits(asBits(x) ^ sign);
}

template <class L>
typename L::M isNan(typename L::V x) {
    return x != x;
}

template <class L>
typename L::V minimum(typename L::V a, typename L::V b) {
    return select(a < b, a, b);
}

template <class L>
typename L::V maximum(typename L::V a, typename L::V b) {
    return select(a > b, a, b);
}

constexpr double kInfinity = __builtin_huge_val();
constexpr double kNan = __builtin_nan("");
constexpr double kMaxFinite = 1.7976931348623157e308;

}  // namespace
}  // namespace krvmath
