// atan |x| = C + atan u: u = |x| (C = 0) up to 1/2, u = (|x| - 1) / (|x| + 1) (C = pi/4) up
// to 2, u = -1/|x| (C = pi/2) above; u as a double-double, atan u = u + u^3 A(u^2).
#pragma once

#include "effect/math/Coefficients.h"
#include "effect/math/DoubleDouble.h"

namespace krvmath {
namespace {

template <class L>
typename L::V atanKernel(typename L::V x) {
    using V = typename L::V;
    using M = typename L::M;
    namespace c = coefficients;
    const V a = absolute<L>(x);
    // Above 2^60, atan rounds to the double nearest pi/2, as it does at 2^60.
    const V ac = minimum<L>(a, V(1152921504606846976.0));
    const M middle = andMask(ac > V(0.5), ac <= V(2.0));
    const M large = ac > V(2.0);

    // |x| + 1 exactly as a pair, whichever is larger.
    const Pair<V> plusOne = twoSum(ac, V(1.0));
    const V n = select(large, V(-1.0), select(middle, ac - V(1.0), ac));
    const V dHi = select(large, ac, select(middle, plusOne.hi, V(1.0)));
    const V dLo = select(middle, plusOne.lo, V(0.0));
    const V uHi = n / dHi;
    const Pair<V> p = twoProduct(uHi, dHi);
    const V uLo = (((n - p.hi) - p.lo) - uHi * dLo) / dHi;
    const V cHi = select(large, V(c::kPio2Hi), select(middle, V(c::kPio4Hi), V(0.0)));
    const V cLo = select(large, V(c::kPio2Lo), select(middle, V(c::kPio4Lo), V(0.0)));

    const V w = uHi * uHi;
    const V tail = uHi * w * horner(c::kAtan, w);
    // atan' = 1/(1+u^2): uLo moves the result by uLo (1 - u^2).
    const Pair<V> s = twoSum(cHi, uHi);
    const V lo = s.lo + (cLo + (uLo + (tail - uLo * w)));
    V result = s.hi + lo;
    result = flipSign<L>(result, signOf<L>(x));
    result = select(a < V(7.450580596923828e-09), x, result);  // 2^-27
    return select(isNan<L>(x), x + x, result);
}

}  // namespace
}  // namespace krvmath
