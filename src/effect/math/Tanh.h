// tanh |x| = E / (E + 2) with E = e^(2|x|) - 1 as a double-double and the division carried
// one step further; x itself below 2^-27, +-1 from 20 on.
#pragma once

#include "effect/math/Exp.h"

namespace krvmath {
namespace {

template <class L>
typename L::V tanhKernel(typename L::V x) {
    using V = typename L::V;
    const V a = absolute<L>(x);
    const V ac = minimum<L>(a, V(20.0));
    const ExpParts<L> e = expParts<L>(V(2.0) * ac, V(0.0));
    const V scale = powerOfTwo<L>(e.k);  // k <= 58
    const Pair<V> head = twoSum(e.s.hi * scale, V(-1.0));
    const Pair<V> em1 = twoSum(head.hi, head.lo + e.s.lo * scale);
    const V em1Lo = em1.lo;
    const Pair<V> d = twoSum(em1.hi, V(2.0));
    const V dLo = d.lo + em1Lo;
    const V tHi = em1.hi / d.hi;
    const Pair<V> p = twoProduct(tHi, d.hi);
    const V tLo = ((((em1.hi - p.hi) - p.lo) + em1Lo) - tHi * dLo) / d.hi;
    V result = tHi + tLo;
    result = select(a >= V(20.0), V(1.0), result);
    result = flipSign<L>(result, signOf<L>(x));
    result = select(a < V(7.450580596923828e-09), x, result);  // 2^-27
    return select(isNan<L>(x), x + x, result);
}

}  // namespace
}  // namespace krvmath
