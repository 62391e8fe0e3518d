// krvmath's functions against MPFR: at most 1 ulp over random arguments of the whole range
// and of the signal path's ranges, hard cases and special values; and the lane forms give
// the scalar form's bits. KRV_MATH_ACCURACY_SCALE=n runs n times as many arguments.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "effect/math/KrvMath.h"

namespace {

constexpr mpfr_prec_t kPrecision = 160;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kMin = std::numeric_limits<double>::denorm_min();
constexpr double kMax = std::numeric_limits<double>::max();

// About two million arguments per function by default (some 30 s in all).
long scaled(long count) {
    const char* scale = std::getenv("KRV_MATH_ACCURACY_SCALE");
    return 2 * (scale != nullptr ? count * std::max(1L, std::atol(scale)) : count);
}

std::uint64_t bitsOf(double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, sizeof u);
    return u;
}

double fromBits(std::uint64_t u) {
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
}

// Error of got in ulps of the exact value's binade (subnormal spacing below 2^-1022, an
// infinity counted as 2^1024); -1 when got is not the exact value's zero, infinity or NaN.
double ulpError(double got, const mpfr_t exact) {
    if (mpfr_nan_p(exact)) return std::isnan(got) ? 0.0 : -1.0;
    if (mpfr_inf_p(exact))
        return std::isinf(got) && (got < 0) == (mpfr_signbit(exact) != 0) ? 0.0 : -1.0;
    if (mpfr_zero_p(exact))
        return got == 0.0 && std::signbit(got) == (mpfr_signbit(exact) != 0) ? 0.0 : -1.0;
    if (std::isnan(got)) return -1.0;
    // Overflow rounds to infinity: exact when the exact value rounds there too.
    if (std::isinf(got) && mpfr_get_d(exact, MPFR_RNDN) == got) return 0.0;
    mpfr_t g, d;
    mpfr_inits2(kPrecision, g, d, static_cast<mpfr_ptr>(nullptr));
    if (std::isinf(got))
        mpfr_set_si_2exp(g, got < 0 ? -1 : 1, 1024, MPFR_RNDN);
    else
        mpfr_set_d(g, got, MPFR_RNDN);
    mpfr_sub(d, g, exact, MPFR_RNDN);
    long e = mpfr_get_exp(exact) - 53;  // exact in [2^(E-1), 2^E): ulp 2^(E-53)
    if (e < -1074) e = -1074;
    if (e > 971) e = 971;
    mpfr_mul_2si(d, d, -e, MPFR_RNDN);
    const double ulps = std::fabs(mpfr_get_d(d, MPFR_RNDN));
    mpfr_clears(g, d, static_cast<mpfr_ptr>(nullptr));
    return ulps;
}

// The largest error seen for one function, and the failures (over 1 ulp).
struct Tally {
    const char* name;
    double worst = 0.0;
    double worstX = 0.0, worstY = 0.0;
    long count = 0;
    long failures = 0;

    void note(double ulps, double got, double x, double y = 0.0) {
        ++count;
        const bool bad = ulps < 0.0 || ulps > 1.0;
        if (bad && ++failures <= 10)
            ADD_FAILURE() << name << "(" << hex(x) << ", " << hex(y) << ") = " << hex(got)
                          << ": " << (ulps < 0 ? "wrong special value" : "error")
                          << " " << ulps << " ulp";
        if (ulps > worst) {
            worst = ulps;
            worstX = x;
            worstY = y;
        }
    }
    static std::string hex(double v) {
        char text[64];
        std::snprintf(text, sizeof text, "%a", v);
        return text;
    }
    ~Tally() {
        std::printf("[ accuracy ] %-5s largest error %.4f ulp at x=%a y=%a over %ld arguments\n",
                    name, worst, worstX, worstY, count);
        EXPECT_EQ(failures, 0) << name;
    }
};

using Unary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

void checkUnary(Tally& tally, Unary reference, double (*ours)(double),
                const std::vector<double>& args) {
    mpfr_t x, y;
    mpfr_inits2(kPrecision, x, y, static_cast<mpfr_ptr>(nullptr));
    for (double a : args) {
        mpfr_set_d(x, a, MPFR_RNDN);
        reference(y, x, MPFR_RNDN);
        const double got = ours(a);
        tally.note(ulpError(got, y), got, a);
    }
    mpfr_clears(x, y, static_cast<mpfr_ptr>(nullptr));
}

// Doubles spread over every binade: random bit patterns of either sign.
std::vector<double> anyFinite(std::mt19937_64& rng, long n, double limit = kMax) {
    std::vector<double> v;
    while (static_cast<long>(v.size()) < n) {
        const double d = fromBits(rng());
        if (std::isfinite(d) && std::fabs(d) <= limit) v.push_back(d);
    }
    return v;
}

std::vector<double> uniform(std::mt19937_64& rng, long n, double lo, double hi) {
    std::uniform_real_distribution<double> dist(lo, hi);
    std::vector<double> v(n);
    for (auto& d : v) d = dist(rng);
    return v;
}

// Doubles log-uniform in magnitude between 2^lo and 2^hi, either sign.
std::vector<double> logUniform(std::mt19937_64& rng, long n, double lo, double hi) {
    std::uniform_real_distribution<double> dist(lo, hi);
    std::vector<double> v(n);
    for (auto& d : v) d = (rng() & 1 ? -1.0 : 1.0) * std::exp2(dist(rng));
    return v;
}

void append(std::vector<double>& to, const std::vector<double>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

const std::vector<double> kSpecials = {0.0, -0.0, kInf, -kInf, kNan, kMin, -kMin, 0x1p-1022,
                                       -0x1p-1022, 0x1.fffffffffffffp-1023, kMax, -kMax, 1.0,
                                       -1.0, 0.5, 2.0, 0x1p-27, 0x1p-28, 0x1p20, 0x1.fffffp19};

// Doubles nearest to multiples of pi/2 and their neighbours: small k, k up to the
// reduction's switch at 2^20 and beyond, and the hardest known case.
std::vector<double> nearMultiplesOfHalfPi(std::mt19937_64& rng, long n) {
    std::vector<double> v;
    mpfr_t k, p;
    mpfr_inits2(kPrecision, k, p, static_cast<mpfr_ptr>(nullptr));
    auto add = [&](double multiple) {
        mpfr_const_pi(p, MPFR_RNDN);
        mpfr_set_d(k, multiple, MPFR_RNDN);
        mpfr_mul(p, p, k, MPFR_RNDN);
        mpfr_div_2ui(p, p, 1, MPFR_RNDN);
        const double d = mpfr_get_d(p, MPFR_RNDN);
        for (double e : {d, std::nextafter(d, 0.0), std::nextafter(d, kInf)}) {
            v.push_back(e);
            v.push_back(-e);
        }
    };
    for (int i = 1; i <= 2000; ++i) add(i);
    std::uniform_real_distribution<double> exponent(0.0, 1020.0);
    while (static_cast<long>(v.size()) < n) add(std::floor(std::exp2(exponent(rng))));
    for (double hard : {0x1.6ac5b262ca1ffp+849, 0x1.8a5b2a3e8bfc3p+797, 6381956970095103.0 * 0x1p797,
                        5319573.0 * 0x1p-21 * 2.0, 0x1.921fb54442d18p+0, 0x1.921fb54442d18p+1})
        v.push_back(hard);
    mpfr_clears(k, p, static_cast<mpfr_ptr>(nullptr));
    return v;
}

// Arguments on both sides of each switch of a reduction: the value, its neighbours a few
// ulps away and others up to 2^-30 of it away, of either sign.
std::vector<double> around(const std::vector<double>& switches) {
    std::vector<double> v;
    for (double edge : switches)
        for (double sign : {1.0, -1.0}) {
            double up = edge, down = edge;
            for (int i = 0; i < 8; ++i) {
                v.push_back(sign * up);
                v.push_back(sign * down);
                up = std::nextafter(up, kInf);
                down = std::nextafter(down, 0.0);
            }
            for (int i = -200; i <= 200; ++i) v.push_back(sign * (edge + i * 0x1p-38 * edge));
        }
    return v;
}

// Where atan's and tanh's shared grid switches from one point to the next: the edges of the
// sixteenths of the binades from 2^-5 to 1, halfway between the points k/16 up to 20, and
// the switches to the point 0, to the steps and beyond them.
std::vector<double> gridSwitches() {
    std::vector<double> v = {0x1p-27, 0x1p-5, 1.0, 20.0, 0x1p60};
    for (int e = -5; e < 0; ++e)
        for (int m = 1; m < 16; ++m) v.push_back(std::ldexp(1.0 + m / 16.0, e));
    for (int k = 16; k < 320; ++k) v.push_back((k + 0.5) / 16.0);
    return v;
}

double sinOf(double x) { return krvmath::sinCos(x).sin; }
double cosOf(double x) { return krvmath::sinCos(x).cos; }

TEST(MathAccuracy, SinAndCosWithinOneUlp) {
    std::mt19937_64 rng(1);
    std::vector<double> args = kSpecials;
    append(args, anyFinite(rng, scaled(150000)));
    append(args, uniform(rng, scaled(300000), 0.0, 3.1416));  // biquad angles
    append(args, uniform(rng, scaled(200000), -0.25, 0.25));  // the short form's, the cell's
    append(args, around({0.25}));
    append(args, uniform(rng, scaled(150000), -1e6, 1e6));
    append(args, logUniform(rng, scaled(100000), -30, 1023));
    append(args, nearMultiplesOfHalfPi(rng, scaled(100000)));
    Tally sinTally{"sin"}, cosTally{"cos"};
    checkUnary(sinTally, mpfr_sin, sinOf, args);
    checkUnary(cosTally, mpfr_cos, cosOf, args);
}

TEST(MathAccuracy, AtanWithinOneUlp) {
    std::mt19937_64 rng(2);
    std::vector<double> args = kSpecials;
    append(args, anyFinite(rng, scaled(200000)));
    append(args, uniform(rng, scaled(300000), 0.0, 5.0));  // 1.2 w and the valve stage
    append(args, logUniform(rng, scaled(300000), -30, 70));
    append(args, around(gridSwitches()));
    Tally tally{"atan"};
    checkUnary(tally, mpfr_atan, krvmath::atan, args);
}

TEST(MathAccuracy, TanhWithinOneUlp) {
    std::mt19937_64 rng(3);
    std::vector<double> args = kSpecials;
    append(args, anyFinite(rng, scaled(200000)));
    append(args, uniform(rng, scaled(300000), -8.0, 8.0));
    append(args, logUniform(rng, scaled(300000), -30, 5));
    append(args, around(gridSwitches()));
    Tally tally{"tanh"};
    checkUnary(tally, mpfr_tanh, krvmath::tanh, args);
}

TEST(MathAccuracy, ExpWithinOneUlp) {
    std::mt19937_64 rng(4);
    std::vector<double> args = kSpecials;
    append(args, anyFinite(rng, scaled(100000)));
    append(args, uniform(rng, scaled(400000), -746.0, 710.0));
    append(args, uniform(rng, scaled(100000), -745.2, -708.0));  // subnormal results
    append(args, logUniform(rng, scaled(100000), -60, 4));
    for (double edge : {709.782712893384, -745.1332191019411, -745.1332191019412, -708.3964185322641})
        for (int i = -1000; i <= 1000; ++i) args.push_back(edge + i * 0x1p-40);
    Tally tally{"exp"};
    checkUnary(tally, mpfr_exp, krvmath::exp, args);
}

TEST(MathAccuracy, LogWithinOneUlp) {
    std::mt19937_64 rng(5);
    std::vector<double> args = kSpecials;
    append(args, anyFinite(rng, scaled(300000)));
    append(args, uniform(rng, scaled(200000), 0.0, 2.0));
    append(args, uniform(rng, scaled(100000), 0.7, 1.5));  // both sides of sqrt(1/2) and 1
    for (int i = -3000; i <= 3000; ++i) args.push_back(1.0 + i * 0x1p-52);
    for (int i = -3000; i <= 3000; ++i) args.push_back(0x1.6a09e667f3bcdp-1 + i * 0x1p-53);
    Tally tally{"log"};
    checkUnary(tally, mpfr_log, krvmath::log, args);
}

TEST(MathAccuracy, PowWithinOneUlp) {
    std::mt19937_64 rng(6);
    std::vector<std::pair<double, double>> args;
    // The signal path's powers.
    for (double x : uniform(rng, scaled(60000), 0.0, 1.0)) {
        args.push_back({100.0, x});
        args.push_back({x, 0.7071});
        args.push_back({x, 6.0});
        args.push_back({x, 8.0});
        args.push_back({31.622776601683793, x});
        args.push_back({1024.0, std::floor(x * 40.0) / 40.0});
    }
    // Anything, and results spread over the whole range.
    const auto xs = anyFinite(rng, scaled(150000));
    const auto ys = anyFinite(rng, scaled(150000), 1e3);
    for (size_t i = 0; i < xs.size(); ++i) args.push_back({xs[i], ys[i]});
    std::uniform_real_distribution<double> logResult(-1080.0, 1030.0), yDist(-300.0, 300.0);
    for (long i = 0; i < scaled(150000); ++i) {
        const double y = yDist(rng);
        const double x = std::exp2(logResult(rng) / y);
        if (std::isfinite(x) && x > 0.0) args.push_back({rng() & 1 ? -x : x, std::round(y)});
        if (std::isfinite(x) && x > 0.0) args.push_back({x, y});
    }
    // Bases near 1 with large powers, where log x must be carried furthest.
    for (long i = 0; i < scaled(50000); ++i) {
        const double x = 1.0 + (static_cast<double>(rng() % 200000) - 100000.0) * 0x1p-52;
        args.push_back({x, std::ldexp(yDist(rng), 45)});
    }
    // Every pairing of the values C99 singles out.
    const std::vector<double> special = {0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 2.0, -2.0, 3.0, -3.0,
                                         2.5, -2.5, kInf, -kInf, kNan, kMin, -kMin, kMax, -kMax,
                                         0x1p53, -0x1p53, 0x1p52 + 1, -(0x1p52 + 1), 1e300, -1e300};
    for (double x : special)
        for (double y : special) args.push_back({x, y});

    Tally tally{"pow"};
    mpfr_t mx, my, mr;
    mpfr_inits2(kPrecision, mx, my, mr, static_cast<mpfr_ptr>(nullptr));
    for (const auto& [x, y] : args) {
        mpfr_set_d(mx, x, MPFR_RNDN);
        mpfr_set_d(my, y, MPFR_RNDN);
        mpfr_pow(mr, mx, my, MPFR_RNDN);
        const double got = krvmath::pow(x, y);
        tally.note(ulpError(got, mr), got, x, y);
    }
    mpfr_clears(mx, my, mr, static_cast<mpfr_ptr>(nullptr));
}

// ---- Lane forms ----

std::vector<double> laneArguments(std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::vector<double> v = kSpecials;
    append(v, anyFinite(rng, 40000));
    append(v, uniform(rng, 40000, -10.0, 10.0));
    append(v, logUniform(rng, 20000, -30, 30));
    append(v, nearMultiplesOfHalfPi(rng, 2000));
    while (v.size() % 4 != 0) v.push_back(1.0);
    return v;
}

// out[i] of a lane function on groups of `lanes` values starting at each offset, so that
// every argument passes through every lane position, against the scalar function's bits.
void expectSameBits(const char* name, int lanes,
                    const std::function<void(const double*, double*)>& laneForm,
                    const std::function<double(double)>& scalar, const std::vector<double>& args) {
    long mismatches = 0;
    for (int offset = 0; offset < lanes; ++offset)
        for (size_t i = offset; i + lanes <= args.size(); i += lanes) {
            double out[4];
            laneForm(&args[i], out);
            for (int j = 0; j < lanes; ++j)
                if (bitsOf(out[j]) != bitsOf(scalar(args[i + j])) && ++mismatches <= 5)
                    ADD_FAILURE() << name << " lane " << j << " of " << lanes << " at "
                                  << Tally::hex(args[i + j]) << ": " << Tally::hex(out[j])
                                  << " vs " << Tally::hex(scalar(args[i + j]));
        }
    EXPECT_EQ(mismatches, 0) << name << " in " << lanes << " lanes";
}

void expectLanesMatchScalar(int lanes) {
    const auto args = laneArguments(7);
    const bool four = lanes == 4;
    expectSameBits("sin", lanes, [&](const double* x, double* out) {
        double c[4];
        four ? krvmath::sinCos4(x, out, c) : krvmath::sinCos2(x, out, c);
    }, sinOf, args);
    expectSameBits("cos", lanes, [&](const double* x, double* out) {
        double s[4];
        four ? krvmath::sinCos4(x, s, out) : krvmath::sinCos2(x, s, out);
    }, cosOf, args);
    expectSameBits("atan", lanes, four ? krvmath::atan4 : krvmath::atan2Lanes, krvmath::atan, args);
    expectSameBits("tanh", lanes, four ? krvmath::tanh4 : krvmath::tanh2, krvmath::tanh, args);
    expectSameBits("exp", lanes, four ? krvmath::exp4 : krvmath::exp2Lanes, krvmath::exp, args);
    expectSameBits("log", lanes, four ? krvmath::log4 : krvmath::log2Lanes, krvmath::log, args);
    // pow: bases from the arguments, powers from a shuffled copy and a few special ones.
    auto ys = laneArguments(8);
    ys.resize(args.size());
    for (size_t i = 0; i < ys.size(); i += 7) ys[i] = std::round(ys[i]);
    long mismatches = 0;
    for (int offset = 0; offset < lanes; ++offset)
        for (size_t i = offset; i + lanes <= args.size(); i += lanes) {
            double out[4];
            four ? krvmath::pow4(&args[i], &ys[i], out) : krvmath::pow2(&args[i], &ys[i], out);
            for (int j = 0; j < lanes; ++j)
                if (bitsOf(out[j]) != bitsOf(krvmath::pow(args[i + j], ys[i + j])) &&
                    ++mismatches <= 5)
                    ADD_FAILURE() << "pow lane " << j << " at " << Tally::hex(args[i + j]) << ", "
                                  << Tally::hex(ys[i + j]);
        }
    EXPECT_EQ(mismatches, 0) << "pow in " << lanes << " lanes";
}

TEST(MathLanes, TwoLanesGiveTheScalarBits) { expectLanesMatchScalar(2); }

TEST(MathLanes, FourLanesGiveTheScalarBits) {
    if (!krvmath::avx2Available()) GTEST_SKIP() << "no AVX2 on this CPU";
    expectLanesMatchScalar(4);
}

}  // namespace
