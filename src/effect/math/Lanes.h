// Lane types the math kernels are written over: a scalar double, two lanes over SSE2 and
// four over AVX2 (without FMA). Every operation is one IEEE-754 double operation per lane,
// so a kernel gives the same bits in each form.
#pragma once

#include <cstdint>
#include <cstring>

#include <emmintrin.h>
#if defined(__AVX2__)
#include <immintrin.h>
#endif

// Kernels are instantiated in translation units built with different instruction sets;
// internal linkage keeps the linker from mixing their copies.
namespace krvmath {
namespace {

// ---- Scalar ----
inline std::uint64_t asBits(double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
}
inline double fromBits(std::uint64_t u) {
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
}
inline double select(bool m, double a, double b) { return m ? a : b; }
inline bool andMask(bool a, bool b) { return a && b; }
inline bool orMask(bool a, bool b) { return a || b; }
inline bool notMask(bool a) { return !a; }
inline bool anyLane(bool a) { return a; }
inline std::uint64_t shiftLeft(std::uint64_t u, int n) { return u << n; }
inline std::uint64_t shiftRight(std::uint64_t u, int n) { return u >> n; }

// One table entry of two doubles per lane: first and second of table[index].
__attribute__((always_inline)) inline void lookup(const double (*table)[2], std::uint64_t index, double& first, double& second) {
    first = table[index][0];
    second = table[index][1];
}

// v where m is set (zero elsewhere), v where m is not set (zero elsewhere), and a choice
// between two constants: the cheapest form each instruction set has.
inline double keepWhere(bool m, double v) { return m ? v : 0.0; }
inline double zeroWhere(bool m, double v) { return m ? 0.0 : v; }
inline double selectConstants(bool m, double a, double b) { return m ? a : b; }

inline double squareRoot(double v) { return _mm_cvtsd_f64(_mm_sqrt_sd(_mm_set_sd(v), _mm_set_sd(v))); }

struct ScalarLanes {
    using V = double;
    using M = bool;
    using U = std::uint64_t;
    static constexpr int kCount = 1;
    static V load(const double* p) { return *p; }
    static void store(double* p, V v) { *p = v; }
    static void store(float* p, V v) { *p = static_cast<float>(v); }  // rounded to nearest
};

// ---- Two lanes, SSE2 ----
struct U64x2 {
    __m128i v;
};
struct F64x2 {
    __m128d v;
    F64x2() = default;
    F64x2(__m128d x) : v(x) {}
    F64x2(double x) : v(_mm_set1_pd(x)) {}
};
struct M64x2 {
    __m128d v;
};
inline F64x2 operator+(F64x2 a, F64x2 b) { return _mm_add_pd(a.v, b.v); }
inline F64x2 operator-(F64x2 a, F64x2 b) { return _mm_sub_pd(a.v, b.v); }
inline F64x2 operator*(F64x2 a, F64x2 b) { return _mm_mul_pd(a.v, b.v); }
inline F64x2 operator/(F64x2 a, F64x2 b) { return _mm_div_pd(a.v, b.v); }
inline M64x2 operator<(F64x2 a, F64x2 b) { return {_mm_cmplt_pd(a.v, b.v)}; }
inline M64x2 operator<=(F64x2 a, F64x2 b) { return {_mm_cmple_pd(a.v, b.v)}; }
inline M64x2 operator>(F64x2 a, F64x2 b) { return {_mm_cmpgt_pd(a.v, b.v)}; }
inline M64x2 operator>=(F64x2 a, F64x2 b) { return {_mm_cmpge_pd(a.v, b.v)}; }
inline M64x2 operator==(F64x2 a, F64x2 b) { return {_mm_cmpeq_pd(a.v, b.v)}; }
inline M64x2 operator!=(F64x2 a, F64x2 b) { return {_mm_cmpneq_pd(a.v, b.v)}; }
inline F64x2 select(M64x2 m, F64x2 a, F64x2 b) {
    return _mm_or_pd(_mm_and_pd(m.v, a.v), _mm_andnot_pd(m.v, b.v));
}
inline M64x2 andMask(M64x2 a, M64x2 b) { return {_mm_and_pd(a.v, b.v)}; }
inline M64x2 orMask(M64x2 a, M64x2 b) { return {_mm_or_pd(a.v, b.v)}; }
inline M64x2 notMask(M64x2 a) { return {_mm_xor_pd(a.v, _mm_castsi128_pd(_mm_set1_epi32(-1)))}; }
inline bool anyLane(M64x2 a) { return _mm_movemask_pd(a.v) != 0; }
inline U64x2 asBits(F64x2 a) { return {_mm_castpd_si128(a.v)}; }
inline F64x2 fromBits(U64x2 a) { return _mm_castsi128_pd(a.v); }
inline U64x2 operator+(U64x2 a, U64x2 b) { return {_mm_add_epi64(a.v, b.v)}; }
inline U64x2 operator-(U64x2 a, U64x2 b) { return {_mm_sub_epi64(a.v, b.v)}; }
inline U64x2 operator&(U64x2 a, U64x2 b) { return {_mm_and_si128(a.v, b.v)}; }
inline U64x2 operator|(U64x2 a, U64x2 b) { return {_mm_or_si128(a.v, b.v)}; }
inline U64x2 operator^(U64x2 a, U64x2 b) { return {_mm_xor_si128(a.v, b.v)}; }
inline U64x2 shiftLeft(U64x2 a, int n) { return {_mm_slli_epi64(a.v, n)}; }
inline U64x2 shiftRight(U64x2 a, int n) { return {_mm_srli_epi64(a.v, n)}; }

__attribute__((always_inline)) inline void lookup(const double (*table)[2], U64x2 index, F64x2& first, F64x2& second) {
    const __m128d e0 = _mm_load_pd(table[_mm_cvtsi128_si64(index.v)]);
    const __m128d e1 = _mm_load_pd(table[_mm_cvtsi128_si64(_mm_unpackhi_epi64(index.v, index.v))]);
    first = _mm_unpacklo_pd(e0, e1);
    second = _mm_unpackhi_pd(e0, e1);
}

inline F64x2 keepWhere(M64x2 m, F64x2 v) { return _mm_and_pd(m.v, v.v); }
inline F64x2 zeroWhere(M64x2 m, F64x2 v) { return _mm_andnot_pd(m.v, v.v); }
inline F64x2 selectConstants(M64x2 m, double a, double b) {
    const double flip = fromBits(asBits(a) ^ asBits(b));
    return _mm_xor_pd(_mm_set1_pd(b), _mm_and_pd(m.v, _mm_set1_pd(flip)));
}
inline F64x2 squareRoot(F64x2 a) { return _mm_sqrt_pd(a.v); }

struct Sse2Lanes {
    using V = F64x2;
    using M = M64x2;
    using U = U64x2;
    static constexpr int kCount = 2;
    static V load(const double* p) { return _mm_loadu_pd(p); }
    static void store(double* p, V v) { _mm_storeu_pd(p, v.v); }
    static void store(float* p, V v) {
        _mm_storel_pi(reinterpret_cast<__m64*>(p), _mm_cvtpd_ps(v.v));
    }
};

#if defined(__AVX2__)
// ---- Four lanes, AVX2 ----
struct U64x4 {
    __m256i v;
};
struct F64x4 {
    __m256d v;
    F64x4() = default;
    F64x4(__m256d x) : v(x) {}
    F64x4(double x) : v(_mm256_set1_pd(x)) {}
};
struct M64x4 {
    __m256d v;
};
inline F64x4 operator+(F64x4 a, F64x4 b) { return _mm256_add_pd(a.v, b.v); }
inline F64x4 operator-(F64x4 a, F64x4 b) { return _mm256_sub_pd(a.v, b.v); }
inline F64x4 operator*(F64x4 a, F64x4 b) { return _mm256_mul_pd(a.v, b.v); }
inline F64x4 operator/(F64x4 a, F64x4 b) { return _mm256_div_pd(a.v, b.v); }
// The predicates C's operators have: ordered and quiet, except != which is unordered.
inline M64x4 operator<(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
inline M64x4 operator<=(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ)}; }
inline M64x4 operator>(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
inline M64x4 operator>=(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ)}; }
inline M64x4 operator==(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ)}; }
inline M64x4 operator!=(F64x4 a, F64x4 b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_NEQ_UQ)}; }
inline F64x4 select(M64x4 m, F64x4 a, F64x4 b) { return _mm256_blendv_pd(b.v, a.v, m.v); }
inline M64x4 andMask(M64x4 a, M64x4 b) { return {_mm256_and_pd(a.v, b.v)}; }
inline M64x4 orMask(M64x4 a, M64x4 b) { return {_mm256_or_pd(a.v, b.v)}; }
inline M64x4 notMask(M64x4 a) {
    return {_mm256_xor_pd(a.v, _mm256_castsi256_pd(_mm256_set1_epi32(-1)))};
}
inline bool anyLane(M64x4 a) { return _mm256_movemask_pd(a.v) != 0; }
inline U64x4 asBits(F64x4 a) { return {_mm256_castpd_si256(a.v)}; }
inline F64x4 fromBits(U64x4 a) { return _mm256_castsi256_pd(a.v); }
inline U64x4 operator+(U64x4 a, U64x4 b) { return {_mm256_add_epi64(a.v, b.v)}; }
inline U64x4 operator-(U64x4 a, U64x4 b) { return {_mm256_sub_epi64(a.v, b.v)}; }
inline U64x4 operator&(U64x4 a, U64x4 b) { return {_mm256_and_si256(a.v, b.v)}; }
inline U64x4 operator|(U64x4 a, U64x4 b) { return {_mm256_or_si256(a.v, b.v)}; }
inline U64x4 operator^(U64x4 a, U64x4 b) { return {_mm256_xor_si256(a.v, b.v)}; }
inline U64x4 shiftLeft(U64x4 a, int n) { return {_mm256_slli_epi64(a.v, n)}; }
inline U64x4 shiftRight(U64x4 a, int n) { return {_mm256_srli_epi64(a.v, n)}; }

__attribute__((always_inline)) inline void lookup(const double (*table)[2], U64x4 index, F64x4& first, F64x4& second) {
    const __m128i low = _mm256_castsi256_si128(index.v);
    const __m128i high = _mm256_extracti128_si256(index.v, 1);
    const __m256d e02 = _mm256_insertf128_pd(
        _mm256_castpd128_pd256(_mm_load_pd(table[_mm_cvtsi128_si64(low)])),
        _mm_load_pd(table[_mm_cvtsi128_si64(high)]), 1);
    const __m256d e13 = _mm256_insertf128_pd(
        _mm256_castpd128_pd256(_mm_load_pd(table[_mm_extract_epi64(low, 1)])),
        _mm_load_pd(table[_mm_extract_epi64(high, 1)]), 1);
    first = _mm256_unpacklo_pd(e02, e13);
    second = _mm256_unpackhi_pd(e02, e13);
}

inline F64x4 keepWhere(M64x4 m, F64x4 v) { return _mm256_and_pd(m.v, v.v); }
inline F64x4 zeroWhere(M64x4 m, F64x4 v) { return _mm256_andnot_pd(m.v, v.v); }
inline F64x4 selectConstants(M64x4 m, double a, double b) { return select(m, F64x4(a), F64x4(b)); }
inline F64x4 squareRoot(F64x4 a) { return _mm256_sqrt_pd(a.v); }

struct Avx2Lanes {
    using V = F64x4;
    using M = M64x4;
    using U = U64x4;
    static constexpr int kCount = 4;
    static V load(const double* p) { return _mm256_loadu_pd(p); }
    static void store(double* p, V v) { _mm256_storeu_pd(p, v.v); }
    static void store(float* p, V v) { _mm_storeu_ps(p, _mm256_cvtpd_ps(v.v)); }
};
#endif

// ---- Two groups of lanes as one ----
// Every operation is issued for both halves back to back, so that a kernel's chain runs
// twice, interleaved, and the halves' latencies overlap. Lane for lane the same operations.
template <class A>
struct TwoV {
    A lo, hi;
    TwoV() = default;
    TwoV(double x) : lo(x), hi(x) {}
    TwoV(A low, A high) : lo(low), hi(high) {}
};
template <class B>
struct TwoM {
    B lo, hi;
};
template <class C>
struct TwoU {
    C lo, hi;
};
template <class A>
TwoV<A> operator+(TwoV<A> a, TwoV<A> b) { return {a.lo + b.lo, a.hi + b.hi}; }
template <class A>
TwoV<A> operator-(TwoV<A> a, TwoV<A> b) { return {a.lo - b.lo, a.hi - b.hi}; }
template <class A>
TwoV<A> operator*(TwoV<A> a, TwoV<A> b) { return {a.lo * b.lo, a.hi * b.hi}; }
template <class A>
TwoV<A> operator/(TwoV<A> a, TwoV<A> b) { return {a.lo / b.lo, a.hi / b.hi}; }
template <class A>
auto operator<(TwoV<A> a, TwoV<A> b) { return TwoM<decltype(a.lo < b.lo)>{a.lo < b.lo, a.hi < b.hi}; }
template <class A>
auto operator<=(TwoV<A> a, TwoV<A> b) { return TwoM<decltype(a.lo <= b.lo)>{a.lo <= b.lo, a.hi <= b.hi}; }
template <class A>
auto operator>(TwoV<A> a, TwoV<A> b) { return TwoM<decltype(a.lo > b.lo)>{a.lo > b.lo, a.hi > b.hi}; }
template <class A>
auto operator>=(TwoV<A> a, TwoV<A> b) { return TwoM<decltype(a.lo >= b.lo)>{a.lo >= b.lo, a.hi >= b.hi}; }
template <class A>
auto operator==(TwoV<A> a, TwoV<A> b) { return TwoM<decltype(a.lo == b.lo)>{a.lo == b.lo, a.hi == b.hi}; }
template <class A>
auto operator!=(TwoV<A> a, TwoV<A> b) { return TwoM<decltype(a.lo != b.lo)>{a.lo != b.lo, a.hi != b.hi}; }
template <class A, class B>
TwoV<A> select(TwoM<B> m, TwoV<A> a, TwoV<A> b) {
    return {select(m.lo, a.lo, b.lo), select(m.hi, a.hi, b.hi)};
}
template <class B>
TwoM<B> andMask(TwoM<B> a, TwoM<B> b) { return {andMask(a.lo, b.lo), andMask(a.hi, b.hi)}; }
template <class B>
TwoM<B> orMask(TwoM<B> a, TwoM<B> b) { return {orMask(a.lo, b.lo), orMask(a.hi, b.hi)}; }
template <class B>
TwoM<B> notMask(TwoM<B> a) { return {notMask(a.lo), notMask(a.hi)}; }
template <class B>
bool anyLane(TwoM<B> a) { return anyLane(orMask(a.lo, a.hi)); }
template <class A>
auto asBits(TwoV<A> a) { return TwoU<decltype(asBits(a.lo))>{asBits(a.lo), asBits(a.hi)}; }
template <class C>
auto fromBits(TwoU<C> a) { return TwoV<decltype(fromBits(a.lo))>{fromBits(a.lo), fromBits(a.hi)}; }
template <class C>
TwoU<C> operator+(TwoU<C> a, TwoU<C> b) { return {a.lo + b.lo, a.hi + b.hi}; }
template <class C>
TwoU<C> operator-(TwoU<C> a, TwoU<C> b) { return {a.lo - b.lo, a.hi - b.hi}; }
template <class C>
TwoU<C> operator&(TwoU<C> a, TwoU<C> b) { return {a.lo & b.lo, a.hi & b.hi}; }
template <class C>
TwoU<C> operator|(TwoU<C> a, TwoU<C> b) { return {a.lo | b.lo, a.hi | b.hi}; }
template <class C>
TwoU<C> operator^(TwoU<C> a, TwoU<C> b) { return {a.lo ^ b.lo, a.hi ^ b.hi}; }
template <class C>
TwoU<C> shiftLeft(TwoU<C> a, int n) { return {shiftLeft(a.lo, n), shiftLeft(a.hi, n)}; }
template <class C>
TwoU<C> shiftRight(TwoU<C> a, int n) { return {shiftRight(a.lo, n), shiftRight(a.hi, n)}; }
template <class C, class A>
__attribute__((always_inline)) inline void lookup(const double (*table)[2], TwoU<C> index,
                                                  TwoV<A>& first, TwoV<A>& second) {
    lookup(table, index.lo, first.lo, second.lo);
    lookup(table, index.hi, first.hi, second.hi);
}
template <class B, class A>
TwoV<A> keepWhere(TwoM<B> m, TwoV<A> v) { return {keepWhere(m.lo, v.lo), keepWhere(m.hi, v.hi)}; }
template <class B, class A>
TwoV<A> zeroWhere(TwoM<B> m, TwoV<A> v) { return {zeroWhere(m.lo, v.lo), zeroWhere(m.hi, v.hi)}; }
template <class B>
auto selectConstants(TwoM<B> m, double a, double b) {
    return TwoV<decltype(selectConstants(m.lo, a, b))>{selectConstants(m.lo, a, b),
                                                        selectConstants(m.hi, a, b)};
}
template <class A>
TwoV<A> squareRoot(TwoV<A> a) { return {squareRoot(a.lo), squareRoot(a.hi)}; }

template <class L>
struct Twice {
    using Half = L;
    using V = TwoV<typename L::V>;
    using M = TwoM<typename L::M>;
    using U = TwoU<typename L::U>;
    static constexpr int kCount = 2 * L::kCount;
    static V load(const double* p) { return {L::load(p), L::load(p + L::kCount)}; }
    static void store(double* p, V v) {
        L::store(p, v.lo);
        L::store(p + L::kCount, v.hi);
    }
    static void store(float* p, V v) {
        L::store(p, v.lo);
        L::store(p + L::kCount, v.hi);
    }
};

// A 64-bit pattern in every lane.
template <class L>
typename L::U bitsOf(std::uint64_t u) {
    return asBits(typename L::V(fromBits(u)));
}

}  // namespace
}  // namespace krvmath
