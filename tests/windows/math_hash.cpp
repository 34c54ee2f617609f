// math_hash.cpp -- prints one hash of the game's own maths over the direction-table angles and
// a few hundred thousand pseudo-random arguments. Built for Linux and for Windows, the two must
// print the same hash: the game's angles are then the same bits on both (math_smoke.sh).
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/det_math.h"

namespace {

uint64_t hash = 1469598103934665603ull;  // FNV-1a

template <class T>
void Mix(T value) {
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    for (unsigned char b : bytes) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
}

}  // namespace

int main() {
    for (int i = 0; i <= 3600; i++) Mix(detmath::Tan((90.0 - i / 10.0) / 57.3));
    uint64_t s = 88172645463325252ull;  // xorshift64
    for (int i = 0; i < 200000; i++) {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        float f;
        double d;
        uint32_t low = static_cast<uint32_t>(s);
        std::memcpy(&f, &low, sizeof f);
        std::memcpy(&d, &s, sizeof d);
        float angle = static_cast<float>(static_cast<int32_t>(s >> 40) % 20000) / 997.0f;
        Mix(detmath::Sin(f));
        Mix(detmath::Cos(f));
        Mix(detmath::Sin(angle));
        Mix(detmath::Cos(angle));
        Mix(detmath::Atan(d));
        Mix(detmath::Atan(static_cast<double>(angle * 37.0f - 300.0f)));
        Mix(detmath::Fmod(f, 360.0f));
        Mix(detmath::Sqrt(angle));
        Mix(detmath::RoundEven(angle * 3.5f));
        Mix(detmath::Floor(angle * -7.25f));
        Mix(detmath::Ceil(angle * -7.25f));
        if (i % 16 == 0) Mix(detmath::Tan(d));
    }
    std::printf("%016llx\n", static_cast<unsigned long long>(hash));
    return 0;
}
