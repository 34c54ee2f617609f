// Fuzz target: picture headers and decoding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "platform/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<unsigned char> bytes(data, data + size);
    int width = 0;
    int height = 0;
    const bool known = ImageSize(bytes, width, height);
    if (known) FUZZ_CHECK(width >= 1 && width <= kMaxImageSide && height >= 1 && height <= kMaxImageSide);
    Image image;
    if (DecodeImage(bytes, image)) {
        FUZZ_CHECK(known && image.width == width && image.height == height);
        FUZZ_CHECK(image.pixels.size() == size_t(width) * size_t(height));
    }
    return 0;
}
