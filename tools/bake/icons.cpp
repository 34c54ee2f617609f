// icons.cpp -- the desktop and window icon.
#include "icons.h"

#include <string>

#include "art.h"

const std::vector<int>& IconSizes() {
    static const std::vector<int> sizes = {16, 24, 32, 48, 64, 128, 256};
    return sizes;
}

void BakeIcons(std::vector<BakedFile>& out) {
    for (int size : IconSizes()) {
        // Painted at each size rather than scaled down, so the small ones stay crisp; the crest
        // fills the square with a texel of air around it.
        Canvas c(size, size);
        float half = float(size) / 2;
        DrawShardCrest(c, half, half, half - 1.0f, 1.0f);
        AddPng(out, "icons/mirrorfall-" + std::to_string(size) + ".png", c);
    }
}
