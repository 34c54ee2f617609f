// The game's own sine, cosine, tangent and arctangent against MPFR: every argument the
// direction tables use, and millions of random arguments over the whole range of each type.
// MIRRORFALL_MATH_SAMPLES sets the random arguments per case (a long run: 50000000).
#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/det_math.h"

namespace {

using MpfrFn = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// The correctly rounded result in binary32 or binary64, subnormals included.
template <class T>
T Reference(MpfrFn fn, T x) {
    constexpr bool single = sizeof(T) == sizeof(float);
    mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
    mpfr_set_emin(single ? -148 : -1073);
    mpfr_set_emax(single ? 128 : 1024);
    mpfr_t a, y;
    mpfr_init2(a, single ? 24 : 53);
    mpfr_init2(y, single ? 24 : 53);
    mpfr_set_d(a, x, MPFR_RNDN);  // exact: the precision holds x
    int t = fn(y, a, MPFR_RNDN);
    mpfr_subnormalize(y, t, MPFR_RNDN);
    T r = static_cast<T>(mpfr_get_d(y, MPFR_RNDN));  // exact: y has T's precision and range
    mpfr_clear(a);
    mpfr_clear(y);
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    return r;
}
double ReferenceDouble(MpfrFn fn, double x) { return Reference(fn, x); }
float ReferenceFloat(MpfrFn fn, float x) { return Reference(fn, x); }

double DoubleFromBits(uint64_t b) { return std::bit_cast<double>(b); }
float FloatFromBits(uint32_t b) { return std::bit_cast<float>(b); }

// Same bits, or both NaN.
bool Same(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b) || (a != a && b != b);
}
bool Same(float a, float b) {
    return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b) || (a != a && b != b);
}

long Samples(long fallback) {
    if (const char* env = std::getenv("MIRRORFALL_MATH_SAMPLES")) return std::atol(env);
#ifdef MIRRORFALL_SANITIZED
    return fallback / 50;
#else
    return fallback;
#endif
}

TEST(DetMath, TangentOfEveryDirectionTableAngle) {
    // The tables' argument, (90 - i/10) / 57.3 in double, for every tenth of a degree.
    for (int i = 0; i <= 3600; i++) {
        double x = (90.0 - i / 10.0) / 57.3;
        double want = ReferenceDouble(mpfr_tan, x);
        ASSERT_TRUE(Same(detmath::Tan(x), want)) << "i=" << i << " x=" << std::hexfloat << x;
    }
}

TEST(DetMath, SineAndCosineOfEveryTenthOfADegree) {
    // Tenths of a degree as the game forms them (57.3 to the radian) and as true radians; the
    // latter is where the C libraries of Linux and Windows were seen to disagree.
    for (int i = -7200; i <= 7200; i++) {
        const float angles[] = {static_cast<float>(i) / 10.0f / 57.3f,
                                static_cast<float>(i) / 10.0f * 3.14159265f / 180.0f,
                                static_cast<float>(i * 45) / 57.3f};
        for (float x : angles) {
            ASSERT_TRUE(Same(detmath::Sin(x), ReferenceFloat(mpfr_sin, x))) << std::hexfloat << x;
            ASSERT_TRUE(Same(detmath::Cos(x), ReferenceFloat(mpfr_cos, x))) << std::hexfloat << x;
        }
    }
}

TEST(DetMath, SpecialArguments) {
    const double inf = std::numeric_limits<double>::infinity();
    const double doubles[] = {0.0, -0.0, inf, -inf, std::numeric_limits<double>::quiet_NaN(),
                              4.9406564584124654e-324, -2.2250738585072014e-308, 1e-300,
                              0x1p-27, 0x1.fffffffffffffp-28, 1.0, -1.0, 0x1p50, 0x1.0000000000001p50,
                              1e300, std::numeric_limits<double>::max(),
                              -std::numeric_limits<double>::max(),
                              // The double closest to a multiple of pi/2 (Muller's table).
                              6381956970095103.0 * 0x1p797, 1.5707963267948966,
                              -1.5707963267948966, 3.141592653589793, 0x1p1023, 355.0, 103993.0};
    for (double x : doubles) {
        EXPECT_TRUE(Same(detmath::Tan(x), ReferenceDouble(mpfr_tan, x))) << "tan " << std::hexfloat << x;
        EXPECT_TRUE(Same(detmath::Atan(x), ReferenceDouble(mpfr_atan, x))) << "atan " << std::hexfloat << x;
    }
    const float finf = std::numeric_limits<float>::infinity();
    const float floats[] = {0.0f, -0.0f, finf, -finf, std::numeric_limits<float>::quiet_NaN(),
                            1e-45f, 1e-38f, 0x1p-12f, 0x1.fffffep-13f, 1.5707964f, 3.1415927f,
                            0x1p20f, 0x1.000002p20f, 1e30f, std::numeric_limits<float>::max(),
                            -std::numeric_limits<float>::max(), 16367173.0f * 0x1p72f};
    for (float x : floats) {
        EXPECT_TRUE(Same(detmath::Sin(x), ReferenceFloat(mpfr_sin, x))) << "sin " << std::hexfloat << x;
        EXPECT_TRUE(Same(detmath::Cos(x), ReferenceFloat(mpfr_cos, x))) << "cos " << std::hexfloat << x;
    }
}

enum class Fn { Sin, Cos, Tan, Atan, AtanToSingle };
enum class Draw { FloatBits, FloatNear, DoubleBits, DoubleNear, FloatQuotient };

struct RandomCase {
    const char* name;
    Fn fn;
    Draw draw;
    long samples;  // before MIRRORFALL_MATH_SAMPLES
};

// Arguments the fast paths do not take (tangent, floats beyond 2^20) cost more, hence fewer.
const RandomCase kRandomCases[] = {
    {"sin of any float", Fn::Sin, Draw::FloatBits, 300000},
    {"sin near the game's angles", Fn::Sin, Draw::FloatNear, 1000000},
    {"cos of any float", Fn::Cos, Draw::FloatBits, 300000},
    {"cos near the game's angles", Fn::Cos, Draw::FloatNear, 1000000},
    {"atan of any double", Fn::Atan, Draw::DoubleBits, 500000},
    {"atan of a float quotient", Fn::Atan, Draw::FloatQuotient, 1000000},
    {"atan to single of any double", Fn::AtanToSingle, Draw::DoubleBits, 500000},
    {"atan to single of a float quotient", Fn::AtanToSingle, Draw::FloatQuotient, 1000000},
    {"tan of any double", Fn::Tan, Draw::DoubleBits, 100000},
    {"tan within a few turns", Fn::Tan, Draw::DoubleNear, 100000},
};

class DetMathRandom : public testing::TestWithParam<RandomCase> {};

TEST_P(DetMathRandom, AgreesWithMpfr) {
    const RandomCase& c = GetParam();
    std::mt19937_64 rng(static_cast<uint64_t>(c.fn) * 1000 + static_cast<uint64_t>(c.draw));
    std::uniform_real_distribution<double> near(-30.0, 30.0);
    std::uniform_real_distribution<float> coordinate(-16.0f, 656.0f);
    long n = Samples(c.samples), failures = 0;
    for (long i = 0; i < n && failures < 10; i++) {
        double x = 0;
        switch (c.draw) {
            case Draw::FloatBits: x = FloatFromBits(static_cast<uint32_t>(rng())); break;
            case Draw::FloatNear: x = static_cast<float>(near(rng)); break;
            case Draw::DoubleBits: x = DoubleFromBits(rng()); break;
            case Draw::DoubleNear: x = near(rng); break;
            case Draw::FloatQuotient: {  // AngleTo's (y1 - y2) / (x1 - x2) between two points
                float x1 = coordinate(rng), y1 = coordinate(rng);
                float x2 = coordinate(rng), y2 = coordinate(rng);
                if (x1 == x2) continue;
                x = (y1 - y2) / (x1 - x2);
                break;
            }
        }
        bool ok = true;
        switch (c.fn) {
            case Fn::Sin: {
                float f = static_cast<float>(x);
                ok = Same(detmath::Sin(f), ReferenceFloat(mpfr_sin, f));
                break;
            }
            case Fn::Cos: {
                float f = static_cast<float>(x);
                ok = Same(detmath::Cos(f), ReferenceFloat(mpfr_cos, f));
                break;
            }
            case Fn::Tan: ok = Same(detmath::Tan(x), ReferenceDouble(mpfr_tan, x)); break;
            case Fn::Atan: ok = Same(detmath::Atan(x), ReferenceDouble(mpfr_atan, x)); break;
            case Fn::AtanToSingle:
                ok = Same(detmath::AtanToSingle(x), static_cast<float>(ReferenceDouble(mpfr_atan, x)));
                break;
        }
        if (!ok) {
            failures++;
            ADD_FAILURE() << c.name << ": argument " << std::hexfloat << x;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DetMathRandom, testing::ValuesIn(kRandomCases),
                         [](const testing::TestParamInfo<RandomCase>& info) {
                             std::string s;
                             for (const char* p = info.param.name; *p; p++) {
                                 s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return s;
                         });

TEST(DetMath, SinCosGivesTheSameBitsAsSinAndCos) {
    std::vector<float> args = {0.0f, -0.0f, 0x1p-13f, -0x1p-12f, 1.5707964f, -3.1415927f, 0x1p20f,
                               0x1.000002p20f, 1e30f, std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN()};
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> near(-30.0f, 30.0f);
    for (int i = 0; i < 100000; i++) args.push_back(i % 2 ? near(rng) : FloatFromBits(rng()));
    for (float x : args) {
        float s = 0, c = 0;
        detmath::SinCos(x, &s, &c);
        EXPECT_TRUE(Same(s, detmath::Sin(x)) && Same(c, detmath::Cos(x))) << std::hexfloat << x;
    }
}

TEST(DetMath, AtanToSingleNearRoundingBoundaries) {
    // Arguments whose arctangent lies within a few double ulps of the midpoint between two
    // floats: the cheap approximation cannot settle them, and the double rounding decides.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> angle(0x1p-20f, 1.5707f);
    for (int i = 0; i < 2000; i++) {
        float f = angle(rng);
        double midpoint = (static_cast<double>(f) + std::nextafter(f, 2.0f)) / 2;
        double x = static_cast<double>(std::tan(static_cast<long double>(midpoint)));
        if (i % 2 != 0) x = -x;
        EXPECT_TRUE(Same(detmath::AtanToSingle(x), static_cast<float>(ReferenceDouble(mpfr_atan, x))))
            << "atan to single " << std::hexfloat << x;
    }
}

TEST(DetMath, ExactFunctionsMatchTheCLibrary) {
    // fmod, sqrt and rounding to integers are exact by definition, so any C library is a fair
    // reference for them.
    const float cases[][2] = {{720.0f, 360.0f},  {-360.0f, 360.0f},     {-725.5f, 360.0f},
                              {3e9f, 360.0f},    {-3.4e38f, 360.0f},    {1e-40f, 360.0f},
                              {359.99997f, 360}, {2147483520.0f, 360.0f}, {5.0f, 0.0f},
                              {1.0f, 1e-40f},    {std::numeric_limits<float>::infinity(), 3.0f}};
    for (const auto& c : cases) {
        EXPECT_TRUE(Same(detmath::Fmod(c[0], c[1]), std::fmod(c[0], c[1]))) << c[0] << " % " << c[1];
    }
    std::mt19937 rng(5);
    for (long i = 0; i < Samples(1000000); i++) {
        float x = FloatFromBits(rng()), y = FloatFromBits(rng());
        ASSERT_TRUE(Same(detmath::Fmod(x, y), std::fmod(x, y))) << std::hexfloat << x << " % " << y;
        ASSERT_TRUE(Same(detmath::Sqrt(x), std::sqrt(x))) << std::hexfloat << x;
        for (float v : {x, static_cast<float>(static_cast<int32_t>(rng()) % 4096) / 8.0f}) {
            ASSERT_TRUE(Same(detmath::RoundEven(v), std::nearbyint(v))) << std::hexfloat << v;
            ASSERT_TRUE(Same(detmath::Floor(v), std::floor(v))) << std::hexfloat << v;
            ASSERT_TRUE(Same(detmath::Ceil(v), std::ceil(v))) << std::hexfloat << v;
        }
    }
    for (float v : {-0.0f, 0.0f, -0.5f, 0.5f, 1.5f, 2.5f, -2.5f, 8388607.5f, -8388607.5f, 8388608.0f,
                    0x1.fffffep22f, -0.25f, std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_TRUE(Same(detmath::RoundEven(v), std::nearbyint(v))) << std::hexfloat << v;
        EXPECT_TRUE(Same(detmath::Floor(v), std::floor(v))) << std::hexfloat << v;
        EXPECT_TRUE(Same(detmath::Ceil(v), std::ceil(v))) << std::hexfloat << v;
    }
}

}  // namespace
