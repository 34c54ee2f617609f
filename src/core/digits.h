// digits.h -- the decimal digits of a number, for the pictures of numbers the screens draw.
#pragma once

#include <cstdint>

// Splits a signed 64-bit number into its decimal digits, most significant first; returns the
// count (at least 1). A negative number gives the digits of its magnitude.
int splitDigits(int64_t value, int digits[20]);
