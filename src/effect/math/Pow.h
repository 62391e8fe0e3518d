// x^y = e^(y log|x|) with log|x| and the product kept as double-doubles, then the cases of
// C99 Annex F (zeros, infinities, NaNs, negative bases) chosen lane by lane.
#pragma once

#include "effect/math/Exp.h"
#include "effect/math/Log.h"

namespace krvmath {
namespace {

template <class L>
typename L::V powKernel(typename L::V x, typename L::V y) {
    using V = typename L::V;
    using M = typename L::M;
    const V ax = absolute<L>(x);
    const V ay = absolute<L>(y);

    // Integer and odd-integer tests by rounding; every |y| >= 2^52 is an even integer.
    const V two52 = V(4503599627370496.0);
    const M yInteger = orMask(roundToInteger(ay) == ay, ay >= two52);
    const V half = ay * V(0.5);
    const M yOdd = andMask(andMask(yInteger, ay < V(2.0) * two52), roundToInteger(half) != half);

    // Beyond 2^64 the result over- or underflows for every |x| != 1, as it does at 2^64.
    const V yc = maximum<L>(minimum<L>(y, V(18446744073709551616.0)), V(-18446744073709551616.0));
    const M finitePositive = andMask(ax > V(0.0), ax <= V(kMaxFinite));
    const Pair<V> lg = logPair<L>(select(finitePositive, ax, V(1.0)));
    const Pair<V> z = twoProduct(yc, lg.hi);
    const V zLo = z.lo + yc * lg.lo;
    const V zc = maximum<L>(minimum<L>(z.hi, V(710.0)), V(-746.0));
    const ExpParts<L> e = expParts<L>(zc, select(zc == z.hi, zLo, V(0.0)));
    V result = scaleByPowerOfTwo<L>(e.s.hi + e.s.lo, e.k);

    // |x| = 0 or infinity: 0 or infinity by the sign of y.
    const M zeroBase = ax == V(0.0);
    const M infiniteBase = ax == V(kInfinity);
    const M towardsInfinity = orMask(andMask(zeroBase, y < V(0.0)), andMask(infiniteBase, y > V(0.0)));
    result = select(orMask(zeroBase, infiniteBase), select(towardsInfinity, V(kInfinity), V(0.0)),
                    result);
    // A negative base (or -0) keeps its sign under an odd power.
    const auto oddSign = signOf<L>(select(yOdd, x, V(0.0)));
    result = flipSign<L>(result, oddSign);
    // A finite negative base and a non-integer power have no real result.
    const M negativeFinite = andMask(x < V(0.0), x > V(-kInfinity));
    result = select(andMask(negativeFinite, notMask(yInteger)), V(kNan), result);
    result = select(orMask(isNan<L>(x), isNan<L>(y)), x + y, result);
    return select(orMask(y == V(0.0), x == V(1.0)), V(1.0), result);
}

}  // namespace
}  // namespace krvmath
