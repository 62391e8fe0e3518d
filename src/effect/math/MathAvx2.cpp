// Built with -mavx2 and without -mfma (see CMakeLists.txt); called only after avx2Available().
#include "effect/math/KrvMath.h"
#include "effect/math/LaneEntryPoints.h"

#if !defined(__AVX2__) || defined(__FMA__)
#error "this file must be built with AVX2 and without FMA"
#endif

namespace krvmath {

KRV_MATH_LANE_ENTRY_POINTS(Avx2Lanes, sinCos4, atan4, tanh4, exp4, log4, pow4)

}  // namespace krvmath
