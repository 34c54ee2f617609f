// det_math.cpp -- correctly rounded sine, cosine, tangent and arctangent in portable C++.
//
// Every function follows Ziv's strategy: a fast approximation with a known error bound is
// rounded only when the whole error interval rounds to the same number; otherwise the value is
// computed again with more precision. The exact path is a small multiple-precision binary
// floating point (64-bit limbs, truncating operations), with pi from Machin's formula, range
// reduction by a product with 2/pi carried to enough bits for the argument's exponent (so even
// the largest doubles reduce correctly), and Taylor series. The fast paths are plain double
// for the single-precision results and double-double for the double-precision arctangent;
// they resolve all but about one argument in a million, and the exact path takes the rest.
//
// Built with -ffp-contract=off: the double-double steps rely on unfused products.
#include "core/det_math.h"

#include <bit>
#include <cstdint>
#include <limits>

namespace detmath {
namespace {

using u64 = uint64_t;
using u128 = unsigned __int128;

u64 BitsOf(double d) { return std::bit_cast<u64>(d); }
double FromBits(u64 b) { return std::bit_cast<double>(b); }

// 2^e for a normal exponent, -1022 <= e <= 1023.
double Pow2(int e) { return FromBits(static_cast<u64>(e + 1023) << 52); }

double Abs(double x) { return FromBits(BitsOf(x) & ~(u64{1} << 63)); }
bool SignBit(double x) { return (BitsOf(x) >> 63) != 0; }
bool IsNan(double x) { return x != x; }

// ---------------------------------------------------------------------------------------------
// Multiple-precision floats: value = (-1)^neg * 0.M * 2^exp, where M is the n-limb integer
// m[n-1]..m[0] read as a fraction of 2^(64n) with its top bit set. Operations truncate; each
// loses at most a couple of units in the last of the 64n bits.

constexpr int kMaxLimbs = 40;

struct Big {
    int n = 1;
    bool neg = false;
    bool zero = true;
    int64_t exp = 0;
    u64 m[kMaxLimbs + 2];  // limbs beyond n are never read; two of headroom for the operations
};

void Normalize(Big& a) {
    int top = a.n - 1;
    while (top >= 0 && a.m[top] == 0) top--;
    if (top < 0) {
        a.zero = true;
        a.neg = false;
        a.exp = 0;
        return;
    }
    a.zero = false;
    int limbShift = a.n - 1 - top;
    if (limbShift > 0) {
        for (int i = a.n - 1; i >= 0; i--) a.m[i] = i - limbShift >= 0 ? a.m[i - limbShift] : 0;
        a.exp -= 64 * static_cast<int64_t>(limbShift);
    }
    int s = std::countl_zero(a.m[a.n - 1]);
    if (s > 0) {
        for (int i = a.n - 1; i > 0; i--) a.m[i] = (a.m[i] << s) | (a.m[i - 1] >> (64 - s));
        a.m[0] <<= s;
        a.exp -= s;
    }
}

// The same value held in n limbs: lower limbs dropped (truncation) or zeros appended.
Big Resize(const Big& a, int n) {
    Big r;
    r.n = n;
    r.neg = a.neg;
    r.zero = a.zero;
    r.exp = a.exp;
    for (int i = 0; i < n; i++) {
        int src = a.n - n + i;
        r.m[i] = src >= 0 ? a.m[src] : 0;
    }
    return r;
}

// The top n limbs of a into dst[1..n] and the next limb below (if any) into dst[0].
void LoadWithGuard(const Big& a, int n, u64* dst) {
    for (int i = 0; i <= n; i++) {
        int src = a.n - 1 - (n - i);
        dst[i] = src >= 0 ? a.m[src] : 0;
    }
}

Big Zero(int n) {
    Big z;
    z.n = n;
    for (int i = 0; i < n; i++) z.m[i] = 0;
    return z;
}

Big FromDouble(double x, int n) {
    Big a = Zero(n);
    u64 b = BitsOf(x);
    a.neg = (b >> 63) != 0;
    int e = static_cast<int>((b >> 52) & 0x7FF);
    u64 f = b & ((u64{1} << 52) - 1);
    if (e == 0) {
        if (f == 0) {
            a.neg = false;
            return a;
        }
        e = 1;
    } else {
        f |= u64{1} << 52;
    }
    a.m[n - 1] = f;
    a.exp = e - 1075 + 64;
    Normalize(a);
    return a;
}

Big FromInt(u64 v, int n) {
    Big a = Zero(n);
    a.m[n - 1] = v;
    a.exp = 64;
    Normalize(a);
    return a;
}

// a + (negateB ? -b : b), rounded towards zero to n limbs (with one guard limb on the way).
Big AddSigned(const Big& a, const Big& b, bool negateB, int n) {
    if (b.zero) return Resize(a, n);
    if (a.zero) {
        Big r = Resize(b, n);
        r.neg = b.neg != negateB;
        return r;
    }
    const Big* x = &a;
    const Big* y = &b;
    bool xneg = a.neg, yneg = b.neg != negateB;
    if (b.exp > a.exp) {
        x = &b;
        y = &a;
        bool t = xneg;
        xneg = yneg;
        yneg = t;
    }
    u64 X[kMaxLimbs + 2], Y[kMaxLimbs + 2];
    LoadWithGuard(*x, n, X);
    LoadWithGuard(*y, n, Y);
    const int len = n + 1;
    int64_t shift = x->exp - y->exp;
    if (shift >= 64 * static_cast<int64_t>(len)) {
        for (int i = 0; i < len; i++) Y[i] = 0;
    } else if (shift > 0) {
        int limbs = static_cast<int>(shift / 64), bits = static_cast<int>(shift % 64);
        for (int i = 0; i < len; i++) {
            int s0 = i + limbs, s1 = i + limbs + 1;
            u64 lo = s0 < len ? Y[s0] : 0, hi = s1 < len ? Y[s1] : 0;
            Y[i] = bits == 0 ? lo : (lo >> bits) | (hi << (64 - bits));
        }
    }
    Big r;
    r.n = len;
    r.exp = x->exp;
    if (xneg == yneg) {
        u64 carry = 0;
        for (int i = 0; i < len; i++) {
            u128 s = static_cast<u128>(X[i]) + Y[i] + carry;
            r.m[i] = static_cast<u64>(s);
            carry = static_cast<u64>(s >> 64);
        }
        if (carry != 0) {
            for (int i = 0; i < len - 1; i++) r.m[i] = (r.m[i] >> 1) | (r.m[i + 1] << 63);
            r.m[len - 1] = (r.m[len - 1] >> 1) | (u64{1} << 63);
            r.exp += 1;
        }
        r.neg = xneg;
    } else {
        int cmp = 0;
        for (int i = len - 1; i >= 0 && cmp == 0; i--) {
            if (X[i] != Y[i]) cmp = X[i] < Y[i] ? -1 : 1;
        }
        if (cmp == 0) return Zero(n);
        const u64* big = cmp > 0 ? X : Y;
        const u64* small = cmp > 0 ? Y : X;
        u64 borrow = 0;
        for (int i = 0; i < len; i++) {
            u128 d = static_cast<u128>(big[i]) - small[i] - borrow;
            r.m[i] = static_cast<u64>(d);
            borrow = (d >> 64) != 0 ? 1 : 0;
        }
        r.neg = cmp > 0 ? xneg : yneg;
    }
    r.zero = false;
    Normalize(r);
    return Resize(r, n);
}

Big Add(const Big& a, const Big& b, int n) { return AddSigned(a, b, false, n); }
Big Sub(const Big& a, const Big& b, int n) { return AddSigned(a, b, true, n); }

Big Mul(const Big& a, const Big& b, int n) {
    if (a.zero || b.zero) return Zero(n);
    u64 A[kMaxLimbs + 2], B[kMaxLimbs + 2];
    LoadWithGuard(a, n, A);
    LoadWithGuard(b, n, B);
    // Product of the top n limbs of each (guards ignored): 2n limbs.
    u64 P[2 * kMaxLimbs + 2] = {};
    for (int i = 0; i < n; i++) {
        u64 carry = 0;
        for (int j = 0; j < n; j++) {
            u128 t = static_cast<u128>(A[i + 1]) * B[j + 1] + P[i + j] + carry;
            P[i + j] = static_cast<u64>(t);
            carry = static_cast<u64>(t >> 64);
        }
        P[i + n] = carry;
    }
    Big r;
    r.n = n + 1;
    for (int i = 0; i <= n; i++) r.m[i] = P[n - 1 + i];
    r.exp = a.exp + b.exp;
    r.neg = a.neg != b.neg;
    r.zero = false;
    Normalize(r);
    return Resize(r, n);
}

Big DivSmall(const Big& a, u64 k, int n) {
    if (a.zero) return Resize(a, n);
    u64 A[kMaxLimbs + 2];
    LoadWithGuard(a, n, A);
    Big r;
    r.n = n + 2;
    u128 rem = 0;
    for (int i = n; i >= 0; i--) {
        u128 cur = (rem << 64) | A[i];
        r.m[i + 1] = static_cast<u64>(cur / k);
        rem = cur % k;
    }
    r.m[0] = static_cast<u64>((rem << 64) / k);
    r.exp = a.exp;
    r.neg = a.neg;
    r.zero = false;
    Normalize(r);
    return Resize(r, n);
}

Big Negate(Big a) {
    if (!a.zero) a.neg = !a.neg;
    return a;
}

Big Scale2(Big a, int64_t e) {
    if (!a.zero) a.exp += e;
    return a;
}

// Rounds the exact value of a to the nearest number with p significant bits in the binary
// format with exponents emin..emax (subnormals included), ties to even.
double Round(const Big& a, int p, int emin, int emax) {
    if (a.zero) return a.neg ? -0.0 : 0.0;
    const double inf = std::numeric_limits<double>::infinity();
    int64_t e = a.exp;  // |a| lies in [2^(e-1), 2^e)
    if (e - 1 > emax) return a.neg ? -inf : inf;
    int64_t ulpExp = e - p;
    if (ulpExp < emin - p + 1) ulpExp = emin - p + 1;
    int64_t keep = e - ulpExp;  // bits of M kept, at most p
    const u64 top = a.m[a.n - 1];
    bool lowerNonZero = false;
    for (int i = 0; i < a.n - 1; i++) lowerNonZero = lowerNonZero || a.m[i] != 0;
    u64 kept = 0;
    bool up = false;
    if (keep > 0) {
        kept = top >> (64 - keep);
        bool half = ((top >> (63 - keep)) & 1) != 0;
        bool sticky = (top & ((u64{1} << (63 - keep)) - 1)) != 0 || lowerNonZero;
        up = half && (sticky || (kept & 1) != 0);
    } else if (keep == 0) {
        // |a| is in [ulp/2, ulp): up unless exactly the tie, which goes to the even 0.
        bool exactlyHalf = top == (u64{1} << 63) && !lowerNonZero;
        up = !exactlyHalf;
    }
    if (up) kept++;
    double r = static_cast<double>(kept);
    if (ulpExp >= -1022) {
        r *= Pow2(static_cast<int>(ulpExp));
    } else {
        r = r * Pow2(static_cast<int>(ulpExp) + 64) * Pow2(-64);
    }
    if (r >= Pow2(emax) * 2.0) r = inf;
    return a.neg ? -r : r;
}

double RoundDouble(const Big& a) { return Round(a, 53, -1022, 1023); }

Big Reciprocal(const Big& b, int n) {
    // Newton's iteration y <- y + y(1 - b y), each step doubling the correct bits.
    Big bn = Resize(b, n);
    Big mant = bn;
    mant.exp = 0;  // in [1/2, 1)
    Big y = FromDouble(1.0 / RoundDouble(mant), n);
    y.exp -= b.exp;
    y.neg = b.neg;
    Big one = FromInt(1, n);
    for (int i = 0; i < 12; i++) {
        Big err = Sub(one, Mul(bn, y, n), n);
        if (err.zero) break;
        y = Add(y, Mul(y, err, n), n);
        if (err.exp < -32 * static_cast<int64_t>(n)) break;  // that step squared the error
    }
    return y;
}

Big Div(const Big& a, const Big& b, int n) { return Mul(a, Reciprocal(b, n), n); }

// Square root of a positive a through Newton's iteration for 1 / sqrt(a).
Big Sqrt(const Big& a, int n) {
    if (a.zero) return a;
    Big an = Resize(a, n);
    Big mant = an;
    mant.exp = (a.exp & 1) != 0 ? 1 : 0;  // the mantissa in [1/2, 2), with the even remainder
    int64_t half = (a.exp - mant.exp) / 2;
    double t = RoundDouble(mant), z = 1.0;
    for (int i = 0; i < 8; i++) z = z * (3.0 - t * z * z) * 0.5;
    Big y = FromDouble(z, n);
    y.exp -= half;
    Big one = FromInt(1, n);
    for (int i = 0; i < 12; i++) {
        Big err = Sub(one, Mul(an, Mul(y, y, n), n), n);
        if (err.zero) break;
        y = Add(y, Scale2(Mul(y, err, n), -1), n);
        if (err.exp < -32 * static_cast<int64_t>(n)) break;
    }
    return Mul(an, y, n);
}

// Sum of arctan(1/k) = 1/k - 1/(3k^3) + ..., for Machin's formula.
Big ArctanInverse(u64 k, int n) {
    Big power = DivSmall(FromInt(1, n), k, n);
    Big sum = power;
    for (u64 j = 1;; j++) {
        power = DivSmall(power, k * k, n);
        Big term = DivSmall(power, 2 * j + 1, n);
        if (term.zero || term.exp < sum.exp - 64 * static_cast<int64_t>(n) - 2) break;
        sum = (j & 1) != 0 ? Sub(sum, term, n) : Add(sum, term, n);
    }
    return sum;
}

struct PiConstants {
    Big pi;
    Big twoOverPi;
};

const PiConstants& Pi() {
    static const PiConstants constants = [] {
        PiConstants c;
        // pi / 4 = 4 arctan(1/5) - arctan(1/239)
        Big a = Scale2(ArctanInverse(5, kMaxLimbs), 2);
        Big b = ArctanInverse(239, kMaxLimbs);
        c.pi = Scale2(Sub(a, b, kMaxLimbs), 2);
        c.twoOverPi = Scale2(Reciprocal(c.pi, kMaxLimbs), 1);
        return c;
    }();
    return constants;
}

Big PiOver2(int n) { return Scale2(Resize(Pi().pi, n), -1); }

struct Reduced {
    int quadrant;  // x = r + quadrant * pi/2 (mod 2 pi)
    Big r;         // |r| <= pi/4 (a hair more at the rounding edge)
};

// x - k pi/2 for the nearest integer k. The product x * 2/pi is carried to the exponent of x
// plus 74 bits more than asked, enough for the closest approach of any double to a multiple of
// pi/2 (about 2^-61).
Reduced Reduce(const Big& x, int n) {
    Reduced out;
    if (x.zero || x.exp <= -1) {  // |x| < 1/2 < pi/4
        out.quadrant = 0;
        out.r = Resize(x, n);
        return out;
    }
    int extra = static_cast<int>((x.exp + 74 + 63) / 64);
    int nr = n + 1 + extra;
    if (nr > kMaxLimbs - 1) nr = kMaxLimbs - 1;
    Big t = Mul(Resize(x, nr), Resize(Pi().twoOverPi, nr), nr);
    bool neg = t.neg;
    t.neg = false;
    // t = 0.M * 2^e: the top e bits of M are the integer part.
    auto bitFromTop = [&t](int64_t pos) -> unsigned {
        if (pos < 0 || pos >= 64 * static_cast<int64_t>(t.n)) return 0;
        int64_t limb = t.n - 1 - pos / 64;
        return static_cast<unsigned>((t.m[limb] >> (63 - pos % 64)) & 1);
    };
    int64_t e = t.exp;
    unsigned k = 0;
    if (e > 0) k = bitFromTop(e - 1) | (bitFromTop(e - 2) << 1);
    bool roundUp = bitFromTop(e) != 0 && e >= 0;
    Big frac = t;
    if (e > 0) {
        for (int64_t pos = 0; pos < e && pos < 64 * static_cast<int64_t>(t.n); pos++) {
            int64_t limb = t.n - 1 - pos / 64;
            frac.m[limb] &= ~(u64{1} << (63 - pos % 64));
        }
        Normalize(frac);
    }
    if (roundUp) {
        k += 1;
        frac = Sub(frac, FromInt(1, nr), nr);
    }
    if (neg) {
        k = 0u - k;
        frac = Negate(frac);
    }
    out.quadrant = static_cast<int>(k & 3);
    out.r = Mul(Resize(frac, n + 1), PiOver2(n + 1), n + 1);
    return out;
}

void SinCosSeries(const Big& r, int n, Big* sinOut, Big* cosOut) {
    Big r2 = Mul(r, r, n);
    const int64_t stop = 64 * static_cast<int64_t>(n) + 4;
    if (sinOut != nullptr) {
        Big term = Resize(r, n), sum = term;
        for (u64 k = 1; !term.zero; k++) {
            term = DivSmall(Mul(term, r2, n), (2 * k) * (2 * k + 1), n);
            if (term.zero || term.exp < sum.exp - stop) break;
            sum = (k & 1) != 0 ? Sub(sum, term, n) : Add(sum, term, n);
        }
        *sinOut = sum;
    }
    if (cosOut != nullptr) {
        Big term = FromInt(1, n), sum = term;
        for (u64 k = 1;; k++) {
            term = DivSmall(Mul(term, r2, n), (2 * k - 1) * (2 * k), n);
            if (term.zero || term.exp < sum.exp - stop) break;
            sum = (k & 1) != 0 ? Sub(sum, term, n) : Add(sum, term, n);
        }
        *cosOut = sum;
    }
}

enum class Fn { Sin, Cos, Tan, Atan };

Big Evaluate(Fn fn, double x, int n) {
    const int w = n + 1;  // a working limb beyond the result's error bound
    Big bx = FromDouble(x, w);
    if (fn == Fn::Atan) {
        Big a = bx;
        a.neg = false;
        bool inverted = Abs(x) > 1.0;
        if (inverted) a = Reciprocal(a, w);
        // arctan(a) = 2 arctan(a / (1 + sqrt(1 + a^2))): twice, so |a| <= tan(pi/16) < 0.2.
        Big one = FromInt(1, w);
        for (int i = 0; i < 2; i++) {
            Big root = Sqrt(Add(one, Mul(a, a, w), w), w);
            a = Div(a, Add(one, root, w), w);
        }
        Big a2 = Mul(a, a, w);
        Big power = a, sum = a;
        for (u64 k = 1;; k++) {
            power = Mul(power, a2, w);
            Big term = DivSmall(power, 2 * k + 1, w);
            if (term.zero || term.exp < sum.exp - 64 * static_cast<int64_t>(w) - 4) break;
            sum = (k & 1) != 0 ? Sub(sum, term, w) : Add(sum, term, w);
        }
        sum = Scale2(sum, 2);
        if (inverted) sum = Sub(PiOver2(w), sum, w);
        if (x < 0) sum = Negate(sum);
        return sum;
    }
    Reduced red = Reduce(bx, w);
    Big s, c;
    SinCosSeries(red.r, w, &s, &c);
    switch (fn) {
        case Fn::Sin:
            return red.quadrant == 0 ? s : red.quadrant == 1 ? c : red.quadrant == 2 ? Negate(s) : Negate(c);
        case Fn::Cos:
            return red.quadrant == 0 ? c : red.quadrant == 1 ? Negate(s) : red.quadrant == 2 ? Negate(c) : s;
        default:
            return (red.quadrant & 1) == 0 ? Div(s, c, w) : Negate(Div(c, s, w));
    }
}

// Ziv's loop on the exact path: the value at n limbs is trusted to 64n - 40 bits (the
// operations lose a few bits each, a few hundred at most), and the precision grows until the
// whole error interval rounds to one number.
double Exact(Fn fn, double x, int p, int emin, int emax) {
    static const int kLevels[] = {2, 4, 10, 20};
    double last = 0;
    for (int n : kLevels) {
        Big y = Evaluate(fn, x, n);
        if (y.zero) return SignBit(x) && fn != Fn::Cos ? -0.0 : 0.0;
        Big err = y;
        err.neg = false;
        err.exp -= 64 * static_cast<int64_t>(n) - 40;
        double lo = Round(Sub(y, err, n + 1), p, emin, emax);
        double hi = Round(Add(y, err, n + 1), p, emin, emax);
        last = Round(y, p, emin, emax);
        if (BitsOf(lo) == BitsOf(hi)) return lo;
    }
    return last;
}

double ExactFloat(Fn fn, float x) { return Exact(fn, x, 24, -126, 127); }
double ExactDouble(Fn fn, double x) { return Exact(fn, x, 53, -1022, 1023); }

// ---------------------------------------------------------------------------------------------
// Double-double arithmetic (Dekker, Knuth), exact error terms without a fused multiply-add.

struct DD {
    double hi, lo;
};

DD QuickTwoSum(double a, double b) {
    double s = a + b;
    return {s, b - (s - a)};
}

DD TwoSum(double a, double b) {
    double s = a + b;
    double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

void Split(double a, double& hi, double& lo) {
    double t = 134217729.0 * a;  // 2^27 + 1
    hi = t - (t - a);
    lo = a - hi;
}

DD TwoProd(double a, double b) {
    double p = a * b;
    double ah, al, bh, bl;
    Split(a, ah, al);
    Split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD AddDD(DD a, DD b) {
    DD s = TwoSum(a.hi, b.hi);
    DD t = TwoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = QuickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return QuickTwoSum(s.hi, s.lo);
}

DD MulDD(DD a, DD b) {
    DD p = TwoProd(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return QuickTwoSum(p.hi, p.lo);
}

DD DivDD(DD a, DD b) {
    double q1 = a.hi / b.hi;
    DD r = AddDD(a, MulDD(b, {-q1, 0.0}));
    double q2 = r.hi / b.hi;
    r = AddDD(r, MulDD(b, {-q2, 0.0}));
    double q3 = r.hi / b.hi;
    DD q = QuickTwoSum(q1, q2);
    return AddDD(q, {q3, 0.0});
}

DD ToDD(const Big& a) {
    double hi = RoundDouble(a);
    double lo = RoundDouble(Sub(a, FromDouble(hi, a.n), a.n));
    return {hi, lo};
}

// arctan(d) = d (1 - d^2/3 + d^4/5 - ...) for |d| <= 1/128: nine terms reach 2^-126.
constexpr int kAtanTerms = 9;
constexpr int kAtanDoubleTerms = 4;  // coefficients from this one on are summed in double
constexpr int kAtanTable = 64;

struct AtanConstants {
    DD table[kAtanTable + 1];  // arctan(i / 64)
    DD coefficients[kAtanTerms];
    DD piOver2;
};

const AtanConstants& AtanTables() {
    static const AtanConstants constants = [] {
        AtanConstants c;
        for (int i = 0; i <= kAtanTable; i++) {
            c.table[i] = ToDD(Evaluate(Fn::Atan, i / static_cast<double>(kAtanTable), 3));
        }
        for (int j = 0; j < kAtanTerms; j++) {
            double d = 2.0 * j + 1.0;
            double hi = 1.0 / d;
            DD rem = AddDD({1.0, 0.0}, TwoProd(-hi, d));
            DD q = QuickTwoSum(hi, rem.hi / d);
            c.coefficients[j] = (j & 1) != 0 ? DD{-q.hi, -q.lo} : q;
        }
        c.piOver2 = ToDD(PiOver2(3));
        return c;
    }();
    return constants;
}

// Rounds hi + lo when an error of |hi| * 2^-bound cannot change the result; false otherwise.
bool RoundDD(DD v, int bound, double* out) {
    double e = Abs(v.hi) * Pow2(-bound);
    double a = v.hi + (v.lo - e);
    double b = v.hi + (v.lo + e);
    if (BitsOf(a) != BitsOf(b)) return false;
    *out = a;
    return true;
}

// Rounds y to single precision when an error of |y| * 2^-bound cannot change the result.
bool SettleSingle(double y, int bound, float* out) {
    double e = Abs(y) * Pow2(-bound);
    float lo = static_cast<float>(y - e), hi = static_cast<float>(y + e);
    if (lo != hi) return false;
    *out = lo;
    return true;
}

bool FastAtan(double x, double* out) {
    double ax = Abs(x);
    if (!(ax >= Pow2(-27) && ax <= Pow2(50))) return false;
    const AtanConstants& c = AtanTables();
    bool inverted = ax > 1.0;
    DD v = inverted ? DivDD({1.0, 0.0}, {ax, 0.0}) : DD{ax, 0.0};
    int i = static_cast<int>(v.hi * kAtanTable + 0.5);
    double ci = i / static_cast<double>(kAtanTable);
    DD d = DivDD(AddDD(v, {-ci, 0.0}), AddDD({1.0, 0.0}, MulDD(v, {ci, 0.0})));
    DD s = MulDD(d, d);
    // The terms from d^8 on are below 2^-56 of the first: plain double is exact enough there.
    double tail = c.coefficients[kAtanTerms - 1].hi;
    for (int j = kAtanTerms - 2; j >= kAtanDoubleTerms; j--) tail = tail * s.hi + c.coefficients[j].hi;
    DD poly = {tail, 0.0};
    for (int j = kAtanDoubleTerms - 1; j >= 0; j--) poly = AddDD(MulDD(poly, s), c.coefficients[j]);
    DD result = AddDD(c.table[i], MulDD(d, poly));
    if (inverted) result = AddDD(c.piOver2, {-result.hi, -result.lo});
    double y;
    if (!RoundDD(result, 90, &y)) return false;
    *out = x < 0 ? -y : y;
    return true;
}

// The same reduction and series in plain double, for callers that round the arctangent on to
// single precision: relative error below 2^-49 (the reciprocal, the quotient d and the final
// sums each add a few units in the last place of a double), so the single-precision result is
// settled unless the true value lies within 2^-46 of a rounding boundary.
bool FastAtanToSingle(double x, float* out) {
    double ax = Abs(x);
    if (!(ax >= Pow2(-27) && ax <= Pow2(50))) return false;
    const AtanConstants& c = AtanTables();
    bool inverted = ax > 1.0;
    double v = inverted ? 1.0 / ax : ax;
    int i = static_cast<int>(v * kAtanTable + 0.5);
    double ci = i / static_cast<double>(kAtanTable);
    double d = (v - ci) / (1.0 + v * ci);  // |d| <= 1/128, the numerator exact (Sterbenz)
    double s = d * d;
    // d^11/11 is below 2^-73 of d.
    double series = c.coefficients[4].hi;
    for (int j = 3; j >= 1; j--) series = series * s + c.coefficients[j].hi;
    double result = c.table[i].hi + (c.table[i].lo + (d + d * (s * series)));
    if (inverted) result = (c.piOver2.hi - result) + c.piOver2.lo;
    float y;
    if (!SettleSingle(result, 46, &y)) return false;
    *out = x < 0 ? -y : y;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Single-precision sine and cosine in double: Cody and Waite's reduction with pi/2 in three
// parts (the first two short enough that k times them is exact for k below 2^20), then Taylor
// polynomials whose error, with the rounding of every step, stays far below 2^-45.

struct SinCosConstants {
    double pio2[3];
    double twoOverPi;
};

const SinCosConstants& SinCosParts() {
    static const SinCosConstants constants = [] {
        SinCosConstants c;
        Big rest = PiOver2(4);
        for (int i = 0; i < 3; i++) {
            double part = RoundDouble(rest);
            if (i < 2) {  // keep 33 significant bits, cut towards zero
                u64 b = BitsOf(part);
                b &= ~((u64{1} << 20) - 1);
                part = FromBits(b);
            }
            c.pio2[i] = part;
            rest = Sub(rest, FromDouble(part, 4), 4);
        }
        c.twoOverPi = RoundDouble(Resize(Pi().twoOverPi, 2));
        return c;
    }();
    return constants;
}

// 1/3!, 1/5!, ... and 1/2!, 1/4!, ... with alternating signs; truncation below 2^-60 for
// |r| <= pi/4.
constexpr double kSinCoef[] = {-1.0 / 6, 1.0 / 120, -1.0 / 5040, 1.0 / 362880, -1.0 / 39916800,
                               1.0 / 6227020800.0, -1.0 / 1307674368000.0,
                               1.0 / 355687428096000.0};
constexpr double kCosCoef[] = {-1.0 / 2, 1.0 / 24, -1.0 / 720, 1.0 / 40320, -1.0 / 3628800,
                               1.0 / 479001600.0, -1.0 / 87178291200.0,
                               1.0 / 20922789888000.0, -1.0 / 6402373705728000.0};

// x = k pi/2 + h + l, with |h + l| <= pi/4 and |l| below 2^-45.
struct QuarterTurns {
    int k;  // modulo 4
    double h, l, h2;
};

bool ReduceQuarterTurns(double x, QuarterTurns* out) {
    if (!(Abs(x) <= Pow2(20))) return false;
    const SinCosConstants& c = SinCosParts();
    double kd = x * c.twoOverPi;
    int64_t k = static_cast<int64_t>(kd < 0 ? kd - 0.5 : kd + 0.5);
    double kk = static_cast<double>(k);
    double r1 = x - kk * c.pio2[0];  // exact
    DD r = TwoSum(r1, -(kk * c.pio2[1]));
    r.lo -= kk * c.pio2[2];
    *out = {static_cast<int>(k & 3), r.hi, r.lo, r.hi * r.hi};
    return true;
}

// The low part's factor (cos h, or sin h) drops its terms past h^2 (or h): with |l| below
// 2^-45 that costs under 2^-48 of the result, inside the margin of 2^-45 given to SettleSingle.
double SineOfReduced(const QuarterTurns& r) {
    double sp = kSinCoef[7];
    for (int i = 6; i >= 0; i--) sp = sp * r.h2 + kSinCoef[i];
    return (r.h + r.h * r.h2 * sp) + r.l * (1.0 - 0.5 * r.h2);
}

double CosineOfReduced(const QuarterTurns& r) {
    double cp = kCosCoef[8];
    for (int i = 7; i >= 0; i--) cp = cp * r.h2 + kCosCoef[i];
    return (1.0 + r.h2 * cp) - r.l * r.h;
}

// sin(x) for quadrant shift 0, cos(x) for 1.
double OfQuadrant(const QuarterTurns& r, int shift) {
    int q = (r.k + shift) & 3;
    double y = (q & 1) == 0 ? SineOfReduced(r) : CosineOfReduced(r);
    return q >= 2 ? -y : y;
}

// Near the game's angles, |x| up to 64, a table of sin(j pi/32) takes the place of most of the
// series: x = k pi/32 + r with |r| <= pi/64, sin x = sin(k pi/32) cos r + cos(k pi/32) sin r and
// cos x = cos(k pi/32) cos r - sin(k pi/32) sin r. The short series for r err by under 2^-57,
// the table's entries are correctly rounded, and the products and sums add a few units of
// 2^-54. Where a result is small (the sine near a multiple of pi, the cosine near an odd
// multiple of pi/2) the table's factor beside cos r is exactly 0 and nothing cancels; elsewhere
// the result is at least sin(pi/64), so the error stays below 2^-47 of it, inside the margin of
// 2^-45 given to SettleSingle.
constexpr double kSinSteps[17] = {  // sin(j pi/32), j = 0..16
    0x0p+0, 0x1.917a6bc29b42cp-4, 0x1.8f8b83c69a60bp-3, 0x1.294062ed59f06p-2,
    0x1.87de2a6aea963p-2, 0x1.e2b5d3806f63bp-2, 0x1.1c73b39ae68c8p-1, 0x1.44cf325091dd6p-1,
    0x1.6a09e667f3bcdp-1, 0x1.8bc806b151741p-1, 0x1.a9b66290ea1a3p-1, 0x1.c38b2f180bdb1p-1,
    0x1.d906bcf328d46p-1, 0x1.e9f4156c62ddap-1, 0x1.f6297cff75cbp-1, 0x1.fd88da3d12526p-1,
    0x1p+0};

// sin(k pi/32) for any k, from the first quarter turn.
double SinOfSteps(int k) {
    int m = k & 63;
    int quadrant = m >> 4, j = m & 15;
    double v = (quadrant & 1) != 0 ? kSinSteps[16 - j] : kSinSteps[j];
    return quadrant >= 2 ? -v : v;
}

bool StepSinCos(double x, double* sine, double* cosine) {
    if (!(Abs(x) <= 64)) return false;
    const SinCosConstants& c = SinCosParts();
    double kd = x * 0x1.45f306dc9c883p+3;  // 32 / pi
    int k = static_cast<int>(kd < 0 ? kd - 0.5 : kd + 0.5);
    double kk = k;
    // pi/32 is pi/2's three parts over 16; with |k| below 700 the first two products are exact,
    // and x lies within pi/64 of k pi/32, so the first difference is exact too (Sterbenz).
    double r1 = x - kk * (c.pio2[0] / 16);
    DD r = TwoSum(r1, -(kk * (c.pio2[1] / 16)));
    r.lo -= kk * (c.pio2[2] / 16);
    double h = r.hi, h2 = h * h;
    double sinH = h + h * h2 * (-1.0 / 6 + h2 * (1.0 / 120 + h2 * (-1.0 / 5040)));
    double cosH = 1.0 + h2 * (-0.5 + h2 * (1.0 / 24 + h2 * (-1.0 / 720 + h2 * (1.0 / 40320))));
    double sinR = sinH + r.lo * cosH;
    double cosR = cosH - r.lo * h;
    double sinK = SinOfSteps(k), cosK = SinOfSteps(k + 16);
    *sine = sinK * cosR + cosK * sinR;
    *cosine = cosK * cosR - sinK * sinR;
    return true;
}

// Both, in double, for |x| from 2^-12 up to 2^20: from the table up to 64, beyond it by quarter
// turns. False when x is beyond that.
bool SinCosInDouble(double x, double* sine, double* cosine) {
    if (StepSinCos(x, sine, cosine)) return true;
    QuarterTurns r;
    if (!ReduceQuarterTurns(x, &r)) return false;
    *sine = OfQuadrant(r, 0);
    *cosine = OfQuadrant(r, 1);
    return true;
}

bool FastSinCos(float xf, bool wantCos, float* out) {
    double x = xf;
    if (Abs(x) < Pow2(-12)) {  // x^3/6 and x^2/2 are below half an ulp
        *out = wantCos ? 1.0f : xf;
        return true;
    }
    double sine, cosine;
    return SinCosInDouble(x, &sine, &cosine) && SettleSingle(wantCos ? cosine : sine, 45, out);
}

float SineOrCosine(float x, bool wantCos) {
    if (IsNan(x)) return x + x;
    if (Abs(x) == std::numeric_limits<double>::infinity()) return std::numeric_limits<float>::quiet_NaN();
    float y;
    if (FastSinCos(x, wantCos, &y)) return y;
    if (x == 0.0f) return wantCos ? 1.0f : x;
    return static_cast<float>(ExactFloat(wantCos ? Fn::Cos : Fn::Sin, x));
}

}  // namespace

float Sin(float x) { return SineOrCosine(x, false); }
float Cos(float x) { return SineOrCosine(x, true); }

void SinCos(float x, float* sine, float* cosine) {
    // One reduction for both; either falls back on its own when it cannot be settled.
    double s, c;
    if (Abs(x) >= Pow2(-12) && SinCosInDouble(x, &s, &c)) {
        if (!SettleSingle(s, 45, sine)) *sine = Sin(x);
        if (!SettleSingle(c, 45, cosine)) *cosine = Cos(x);
        return;
    }
    *sine = Sin(x);
    *cosine = Cos(x);
}

double Tan(double x) {
    if (IsNan(x)) return x + x;
    if (Abs(x) == std::numeric_limits<double>::infinity()) return std::numeric_limits<double>::quiet_NaN();
    if (Abs(x) < Pow2(-27)) return x;  // x^3/3 is below half an ulp; zeros keep their sign
    return ExactDouble(Fn::Tan, x);
}

double Atan(double x) {
    if (IsNan(x)) return x + x;
    if (Abs(x) < Pow2(-27)) return x;  // x^3/3 is below half an ulp; zeros keep their sign
    if (Abs(x) == std::numeric_limits<double>::infinity()) {
        double h = AtanTables().piOver2.hi;
        return x < 0 ? -h : h;
    }
    double y;
    if (FastAtan(x, &y)) return y;
    return ExactDouble(Fn::Atan, x);
}

float AtanToSingle(double x) {
    float y;
    if (FastAtanToSingle(x, &y)) return y;
    return static_cast<float>(Atan(x));
}

float Sqrt(float x) { return __builtin_sqrtf(x); }
double Sqrt(double x) { return __builtin_sqrt(x); }

float Fmod(float x, float y) {
    double ax = Abs(x), ay = Abs(y);
    if (IsNan(ax) || IsNan(ay) || ay == 0.0 || ax == std::numeric_limits<double>::infinity()) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    if (ax >= ay) {
        // Binary long division: subtract the largest power-of-two multiple of |y| that fits;
        // every subtraction is exact (Sterbenz), and so is the result.
        double t = ay;
        while (t * 2.0 <= ax) t *= 2.0;
        while (ax >= ay) {
            while (t > ax) t *= 0.5;
            ax -= t;
        }
    }
    float r = static_cast<float>(ax);
    return SignBit(x) ? -r : r;
}

float RoundEven(float x) {
    // Adding and taking away 2^23 leaves no fraction bits, and the addition rounds to nearest
    // even. Larger floats (and NaN, infinities) are integers already.
    const float big = 8388608.0f;
    float a = x < 0 ? -x : x;
    if (!(a < big)) return x;
    float r = (a + big) - big;
    return x < 0 || SignBit(x) ? -r : r;
}

float Floor(float x) {
    float r = RoundEven(x);
    return r > x ? r - 1.0f : r;
}

float Ceil(float x) {
    float r = RoundEven(x);
    if (!(r < x)) return r;
    r += 1.0f;
    return r == 0.0f && x < 0 ? -0.0f : r;  // ceil(-0.75) is -0
}

}  // namespace detmath
