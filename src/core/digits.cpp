// digits.cpp -- decimal digits of a number.
#include "core/digits.h"

int splitDigits(int64_t value, int digits[20]) {
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    int reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<int>(magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    for (int i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
    return count;
}
