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

}  // namespace krvmath
