// Natural logarithm: x = 2^e m with m in [sqrt(1/2), sqrt(2)), log m = 2 atanh(s) with
// s = (m - 1) / (m + 1), carried as a double-double to about 2^-65 relative (pow needs it).
#pragma once

#include "effect/math/Coefficients.h"
#include "effect/math/DoubleDouble.h"

namespace krvmath {
namespace {

// log x for positive finite x (subnormals included) as a normalised pair.
template <class L>
Pair<typename L::V> logPair(typename L::V x) {
    using V = typename L::V;
    using U = typename L::U;
    namespace c = coefficients;
    // Subnormals are scaled into the normal range first.
    const auto small = x < V(2.2250738585072014e-308);
    const V scaled = select(small, x * V(18014398509481984.0), x);  // 2^54
    const V eAdjust = select(small, V(-54.0), V(0.0));

    // Exponent and mantissa about sqrt(1/2): adding (1.0 - sqrt(1/2)) bits moves the
    // exponent boundary to sqrt(1/2).
    constexpr std::uint64_t kRoot = 0x3fe6a09e667f3bcdULL;  // sqrt(1/2) rounded
    const U t = asBits(scaled) + bitsOf<L>(0x3ff0000000000000ULL - kRoot);
    const V eBiased =
        fromBits(shiftRight(t, 52) | bitsOf<L>(0x4330000000000000ULL)) - V(4503599627370496.0);
    const V e = eBiased - V(1023.0) + eAdjust;
    const V m = fromBits((t & bitsOf<L>(0x000fffffffffffffULL)) + bitsOf<L>(kRoot));

    const V f = m - V(1.0);  // exact
    const Pair<V> d = fastTwoSum(V(2.0), f);
    const V sHi = f / d.hi;
    const Pair<V> p = twoProduct(sHi, d.hi);
    const V sLo = (((f - p.hi) - p.lo) - sHi * d.lo) / d.hi;

    // log m = 2s + s^3 (2/3 + s^2 P(s^2)).
    const V w = sHi * sHi;
    const Pair<V> k = fastTwoSum(V(c::kTwoThirdsHi), w * horner(c::kLog, w));
    const V kLo = k.lo + V(c::kTwoThirdsLo);
    const Pair<V> s2 = twoProduct(sHi, sHi);
    const V s2Lo = s2.lo + V(2.0) * sHi * sLo;
    const Pair<V> s3 = twoProduct(s2.hi, sHi);
    const V s3Lo = s3.lo + (s2.hi * sLo + s2Lo * sHi);
    const Pair<V> v = twoProduct(s3.hi, k.hi);
    const V vLo = v.lo + (s3.hi * kLo + s3Lo * k.hi);
    const Pair<V> a = fastTwoSum(V(2.0) * sHi, v.hi);
    const V aLo = a.lo + (V(2.0) * sLo + vLo);

    const Pair<V> b = twoSum(e * V(c::kLn2Hi), a.hi);  // e * kLn2Hi is exact
    const V bLo = b.lo + (aLo + e * V(c::kLn2Lo));
    return fastTwoSum(b.hi, bLo);
}

template <class L>
typename L::V logKernel(typename L::V x) {
    using V = typename L::V;
    const auto finitePositive = andMask(x > V(0.0), x <= V(kMaxFinite));
    const V safe = select(finitePositive, x, V(1.0));
    V result = logPair<L>(safe).hi;
    result = select(x == V(0.0), V(-kInfinity), result);
    result = select(x < V(0.0), V(kNan), result);
    result = select(x == V(kInfinity), x, result);
    return select(isNan<L>(x), x + x, result);
}

}  // namespace
}  // namespace krvmath
