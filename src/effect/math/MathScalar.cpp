#include "effect/math/KrvMath.h"

#include "effect/math/LaneEntryPoints.h"

namespace krvmath {

SinCos sinCos(double x) {
    const auto r = sinCosKernel<ScalarLanes>(x);
    return {r.sin, r.cos};
}
double atan(double x) { return atanKernel<ScalarLanes>(x); }
double tanh(double x) { return tanhKernel<ScalarLanes>(x); }
double exp(double x) { return expKernel<ScalarLanes>(x); }
double log(double x) { return logKernel<ScalarLanes>(x); }
double pow(double x, double y) { return powKernel<ScalarLanes>(x, y); }

bool avx2Available() {
    __builtin_cpu_init();  // may run before the constructors that would do it
    return __builtin_cpu_supports("avx2");
}

}  // namespace krvmath
