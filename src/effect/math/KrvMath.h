// Elementary functions that give the same bits on every platform, compiler and x86-64 CPU:
// only IEEE-754 double +, -, *, / in a fixed order (no fused multiply-add, no C library),
// each within 1 ulp of the exact result. The lane forms compute exactly what the scalar
// forms compute, for 2 values (SSE2) or 4 (AVX2, when avx2Available()).
#pragma once

namespace krvmath {

struct SinCos {
    double sin;
    double cos;
};

SinCos sinCos(double x);
double atan(double x);
double tanh(double x);
double exp(double x);
double log(double x);
double pow(double x, double y);

// Two lanes: out[i] = f(x[i]).
void sinCos2(const double* x, double* sinOut, double* cosOut);
void atan2Lanes(const double* x, double* out);
void tanh2(const double* x, double* out);
void exp2Lanes(const double* x, double* out);
void log2Lanes(const double* x, double* out);
void pow2(const double* x, const double* y, double* out);

// Four lanes; only on a CPU with AVX2.
bool avx2Available();
void sinCos4(const double* x, double* sinOut, double* cosOut);
void atan4(const double* x, double* out);
void tanh4(const double* x, double* out);
void exp4(const double* x, double* out);
void log4(const double* x, double* out);
void pow4(const double* x, const double* y, double* out);

// The functions the signal path applies to whole arrays, in the widest lanes one instruction
// set offers and the rest scalar: every table gives the same bits.
struct ArrayMath {
    const char* name;  // "sse2" or "avx2"
    void (*sinCos)(const double* x, double* sinOut, double* cosOut, int count);
    void (*atan)(double* x, int count);  // in place
    void (*tanh)(double* x, int count);
};
extern const ArrayMath kSse2ArrayMath;
extern const ArrayMath kAvx2ArrayMath;  // only on a CPU with AVX2
// AVX2 when the CPU has it, else SSE2; KRV_SIMD=sse2 or avx2 in the environment forces one
// (avx2 only where the CPU has it). Reads the environment: call it once, not per block.
const ArrayMath& chooseArrayMath();

}  // namespace krvmath
