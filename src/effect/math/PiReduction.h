// Reduction of a huge argument modulo pi/2 with the bits of 2/pi (Payne-Hanek), in integer
// arithmetic so that it is exact up to the last bits kept.
#pragma once

namespace krvmath {

struct LargeReduction {
    double hi;      // a - q pi/2 = hi + lo, |hi| <= pi/4
    double lo;
    int quadrant;   // q mod 4
};

// a finite and at least 2^20.
LargeReduction reduceLarge(double a);

}  // namespace krvmath
