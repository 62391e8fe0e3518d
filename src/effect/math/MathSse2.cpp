#include "effect/math/KrvMath.h"
#include "effect/math/LaneEntryPoints.h"

namespace krvmath {

KRV_MATH_LANE_ENTRY_POINTS(Sse2Lanes, sinCos2, atan2Lanes, tanh2, exp2Lanes, log2Lanes, pow2)

}  // namespace krvmath
