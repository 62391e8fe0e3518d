// The array entry points of one lane type, expanded in that lane type's translation unit.
#pragma once

#include "effect/math/Atan.h"
#include "effect/math/Exp.h"
#include "effect/math/Log.h"
#include "effect/math/Pow.h"
#include "effect/math/SinCos.h"
#include "effect/math/Tanh.h"

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

// The ArrayMath table of one lane type: whole lane groups, then the rest one by one.
#define KRV_MATH_ARRAY_TABLE(Lanes, tableName, label)                                      \
    namespace {                                                                            \
    void sinCosArray(const double* x, double* sinOut, double* cosOut, int count) {         \
        int i = 0;                                                                         \
        for (; i + Lanes::kCount <= count; i += Lanes::kCount) {                           \
            const auto r = sinCosKernel<Lanes>(Lanes::load(x + i));                        \
            Lanes::store(sinOut + i, r.sin);                                               \
            Lanes::store(cosOut + i, r.cos);                                               \
        }                                                                                  \
        for (; i < count; ++i) {                                                           \
            const auto r = sinCosKernel<ScalarLanes>(x[i]);                                \
            sinOut[i] = r.sin;                                                             \
            cosOut[i] = r.cos;                                                             \
        }                                                                                  \
    }                                                                                      \
    void atanArray(double* x, int count) {                                                 \
        int i = 0;                                                                         \
        for (; i + Lanes::kCount <= count; i += Lanes::kCount)                             \
            Lanes::store(x + i, atanKernel<Lanes>(Lanes::load(x + i)));                    \
        for (; i < count; ++i) x[i] = atanKernel<ScalarLanes>(x[i]);                       \
    }                                                                                      \
    void tanhArray(double* x, int count) {                                                 \
        int i = 0;                                                                         \
        for (; i + Lanes::kCount <= count; i += Lanes::kCount)                             \
            Lanes::store(x + i, tanhKernel<Lanes>(Lanes::load(x + i)));                    \
        for (; i < count; ++i) x[i] = tanhKernel<ScalarLanes>(x[i]);                       \
    }                                                                                      \
    }                                                                                      \
    const ArrayMath tableName = {label, sinCosArray, atanArray, tanhArray};
