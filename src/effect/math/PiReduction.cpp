#include "effect/math/PiReduction.h"

#include <cstdint>
#include <cstring>

#include "effect/math/Coefficients.h"

namespace krvmath {
namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

double bitsToDouble(u64 u) {
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

double powerOfTwo(int n) { return bitsToDouble(static_cast<u64>(n + 1023) << 52); }

// 64 bits of 2/pi from 0-based position pos of the bits after the point preceded by 128
// zero bits (so that windows may start before the point).
u64 twoOverPiWindow(int pos) {
    constexpr int kWords = sizeof coefficients::kTwoOverPiBits / sizeof(u64);
    auto word = [](int i) -> u64 {
        i -= 2;
        return i < 0 || i >= kWords ? 0 : coefficients::kTwoOverPiBits[i];
    };
    const int w = pos >> 6;
    const int shift = pos & 63;
    return shift == 0 ? word(w) : (word(w) << shift) | (word(w + 1) >> (64 - shift));
}

int leadingZeros(u64 u) { return __builtin_clzll(u); }

}  // namespace

LargeReduction reduceLarge(double a) {
    u64 bits;
    std::memcpy(&bits, &a, sizeof bits);
    const u64 m = (bits & 0x000fffffffffffffULL) | 0x0010000000000000ULL;
    const int e = static_cast<int>(bits >> 52) - 1075;  // a = m 2^e, e >= -32

    // Bits of 2/pi worth 2^(e-i) >= 4 vanish mod 4; the window starts at bit i = e - 1, so
    // that a (2/pi) = m W 2^-190 (mod 4) with an error below 2^-137.
    const int pos = (e - 1) - 1 + 128;
    const u64 w0 = twoOverPiWindow(pos);
    const u64 w1 = twoOverPiWindow(pos + 64);
    const u64 w2 = twoOverPiWindow(pos + 128);
    const u128 p2 = static_cast<u128>(m) * w2;
    const u128 p1 = static_cast<u128>(m) * w1;
    const u128 p0 = static_cast<u128>(m) * w0;
    const u64 l0 = static_cast<u64>(p2);
    const u128 sum1 = (p2 >> 64) + static_cast<u64>(p1);
    const u64 l1 = static_cast<u64>(sum1);
    const u64 l2 = static_cast<u64>((p1 >> 64) + static_cast<u64>(p0) + (sum1 >> 64));

    // Bits 191 and 190 are the quadrant, the 128 below them the fraction; a fraction of
    // one half or more rounds the quadrant up and becomes negative.
    const u128 fraction = (static_cast<u128>(l2 & ((1ULL << 62) - 1)) << 66) |
                          (static_cast<u128>(l1) << 2) | (l0 >> 62);
    const bool roundsUp = (fraction >> 127) != 0;
    LargeReduction result;
    result.quadrant = static_cast<int>(((l2 >> 62) + (roundsUp ? 1 : 0)) & 3);
    const u128 magnitude = roundsUp ? ~fraction + 1 : fraction;
    if (magnitude == 0) {
        result.hi = result.lo = 0.0;
        return result;
    }
    const u64 top = static_cast<u64>(magnitude >> 64);
    const int zeros = top != 0 ? leadingZeros(top) : 64 + leadingZeros(static_cast<u64>(magnitude));
    const u128 normal = magnitude << zeros;
    // The fraction's first 106 bits as a pair (both conversions exact: under 2^53).
    double hi = static_cast<double>(static_cast<u64>(normal >> 75)) * powerOfTwo(75 - 128 - zeros);
    double lo = static_cast<double>(static_cast<u64>(normal >> 22) & ((1ULL << 53) - 1)) *
                powerOfTwo(22 - 128 - zeros);
    if (roundsUp) {
        hi = -hi;
        lo = -lo;
    }

    // Times pi/2, as a pair: Dekker's product of the heads plus the cross terms.
    const double c = 134217729.0;
    const double p = hi * coefficients::kPio2Hi;
    const double ha = c * hi, hh = ha - (ha - hi), hl = hi - hh;
    const double pa = c * coefficients::kPio2Hi, ph = pa - (pa - coefficients::kPio2Hi),
                 pl = coefficients::kPio2Hi - ph;
    const double pe = ((hh * ph - p) + hh * pl + hl * ph) + hl * pl;
    const double tail = pe + (hi * coefficients::kPio2Lo + lo * coefficients::kPio2Hi);
    result.hi = p + tail;
    result.lo = tail - (result.hi - p);
    return result;
}

}  // namespace krvmath
