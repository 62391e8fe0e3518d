// e^x: x = k ln2 + r with |r| <= ln2/2, e^r = 1 + r + r^2 Q(r), then the result scaled by 2^k.
#pragma once

#include "effect/math/Coefficients.h"
#include "effect/math/DoubleDouble.h"

namespace krvmath {
namespace {

// e^(hi + lo) for hi in [-746, 710] as 2^k (s.hi + s.lo); s not normalised, within 2^-60
// relative of the exact value.
template <class L>
struct ExpParts {
    Pair<typename L::V> s;
    typename L::V k;
};

template <class L>
ExpParts<L> expParts(typename L::V hi, typename L::V lo) {
    using V = typename L::V;
    namespace c = coefficients;
    const V k = roundToInteger(hi * V(c::kInvLn2));
    const V r1 = hi - k * V(c::kLn2Hi);  // exact: k * kLn2Hi is exact and near hi
    const Pair<V> a = twoSum(r1, V(0.0) - k * V(c::kLn2Lo));
    const Pair<V> r = twoSum(a.hi, lo);
    const V rLo = r.lo + a.lo;
    const Pair<V> s = fastTwoSum(V(1.0), r.hi);
    const V q = horner(c::kExp, r.hi);
    // The r^2/2 term's change with rLo is r * rLo.
    const V tail = s.lo + (rLo + (r.hi * r.hi * q + r.hi * rLo));
    return {{s.hi, tail}, k};
}

// value * 2^k in two steps, so that 2^k need not be a normal double and only the last
// product rounds.
template <class L>
typename L::V scaleByPowerOfTwo(typename L::V value, typename L::V k) {
    using V = typename L::V;
    const V k1 = roundToInteger(k * V(0.5));
    return value * powerOfTwo<L>(k1) * powerOfTwo<L>(k - k1);
}

template <class L>
typename L::V expKernel(typename L::V x) {
    using V = typename L::V;
    const V clamped = maximum<L>(minimum<L>(x, V(710.0)), V(-746.0));
    const ExpParts<L> e = expParts<L>(clamped, V(0.0));
    V result = scaleByPowerOfTwo<L>(e.s.hi + e.s.lo, e.k);
    result = select(x > V(709.782712893384), V(kInfinity), result);
    result = select(x < V(-746.0), V(0.0), result);
    return select(isNan<L>(x), x + x, result);
}

}  // namespace
}  // namespace krvmath
