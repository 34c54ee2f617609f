// det_math.h -- the game's own elementary functions. Replays reproduce a game only if every
// machine computes the same bits, and C libraries round sine, cosine, tangent and arctangent
// differently in the last place (glibc even picks different code at run time). These return
// the correctly rounded result (round to nearest, ties to even) for every argument, so they
// agree with any other correctly rounded implementation and never depend on the platform.
//
// Game code calls these, never <cmath>'s transcendental functions; a test checks the game's
// object files for calls into the platform's maths library.
#pragma once

namespace detmath {

// Radians in, correctly rounded single-precision result out.
float Sin(float x);
float Cos(float x);
// Both at once, the same bits as Sin(x) and Cos(x), sharing the argument's reduction.
void SinCos(float x, float* sine, float* cosine);

// Radians in, correctly rounded double-precision result out.
double Tan(double x);
double Atan(double x);

// static_cast<float>(Atan(x)), the same bits, without most of Atan's cost: the rounding to
// single precision is settled by a cheaper approximation nearly always.
float AtanToSingle(double x);

// Square root is exactly rounded by IEEE 754 on every platform; these only keep the call
// out of the maths library (and errno).
float Sqrt(float x);
double Sqrt(double x);

// The exact remainder of x / y with the sign of x, as C's fmodf; exact by definition, so the
// platform's would do, but it lives in the maths library.
float Fmod(float x, float y);

// Rounding to an integer, exact by definition like Fmod: nearest with ties to even (as
// nearbyint in the default rounding mode), down, up.
float RoundEven(float x);
float Floor(float x);
float Ceil(float x);

}  // namespace detmath
