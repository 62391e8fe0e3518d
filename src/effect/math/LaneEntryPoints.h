// The array entry points of one lane type, expanded in that lane type's translation unit.
#pragma once

#include "effect/math/AtanTanh.h"
#include "effect/math/Exp.h"
#include "effect/math/Log.h"
#include "effect/math/Pow.h"
#include "effect/math/SinCos.h"

#define KRV_MATH_LANE_ENTRY_POINTS(Lanes, sinCosName, atanName, tanhName, expName, logName, \
                                   powName)                                                \
    void sinCosName(const double* x, double* sinOut, double* cosOut) {                     \
        const auto r = sinCosKernel<Lanes>(Lanes::load(x));                                \
        Lanes::store(sinOut, r.sin);                                                       \
        Lanes::store(cosOut, r.cos);                                                       \
    }                                                                                      \
    void atanName(const double* x, double* out) {                                          \
        Lanes::store(out, atanKernel<Lanes>(Lanes::load(x)));                              \
    }                                                                                      \
    void tanhName(const double* x, double* out) {                                          \
        Lanes::store(out, tanhKernel<Lanes>(Lanes::load(x)));                              \
    }                                                                                      \
    void expName(const double* x, double* out) {                                           \
        Lanes::store(out, expKernel<Lanes>(Lanes::load(x)));                               \
    }                                                                                      \
    void logName(const double* x, double* out) {                                           \
        Lanes::store(out, logKernel<Lanes>(Lanes::load(x)));                               \
    }                                                                                      \
    void powName(const double* x, const double* y, double* out) {                          \
        Lanes::store(out, powKernel<Lanes>(Lanes::load(x), Lanes::load(y)));               \
    }
