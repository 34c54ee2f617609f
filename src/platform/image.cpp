// image.cpp -- picture decoding through SDL2_image (PNG and JPEG only), PNG writing through
// libpng.
#include "platform/image.h"

#include "platform/whole_file.h"

#include <SDL.h>
#include <SDL_image.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

uint32_t BigEndian32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool IsPng(const std::vector<unsigned char>& b) {
    // The signature, then the IHDR chunk: length 13 and its name.
    return b.size() >= 33 && std::equal(kPngSignature, kPngSignature + 8, b.begin()) &&
           BigEndian32(&b[8]) == 13 && std::memcmp(&b[12], "IHDR", 4) == 0;
}

bool IsJpeg(const std::vector<unsigned char>& b) {
    return b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8;
}

bool SideFits(uint32_t side) { return side >= 1 && side <= uint32_t(kMaxImageSide); }

// The frame size of the first start-of-frame marker, following the chain of marker lengths
// from the start as the decoder does; anything else before it refuses the file.
bool JpegSize(const std::vector<unsigned char>& b, uint32_t& width, uint32_t& height) {
    size_t i = 2;
    while (i + 4 <= b.size()) {
        if (b[i] != 0xFF) return false;
        const unsigned char marker = b[i + 1];
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || (marker >= 0xD0 && marker <= 0xD7) ||
            marker == 0x01 || marker == 0x00) {
            return false;  // no frame before the image data
        }
        const size_t length = (size_t(b[i + 2]) << 8) | b[i + 3];
        if (length < 2) return false;
        const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                                  marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            // Huffman-coded baseline, extended and progressive frames only: the lossless and
            // arithmetic-coded kinds are nothing the game ships.
            if (marker > 0xC2) return false;
            if (length < 8 || i + 9 > b.size()) return false;
            height = (uint32_t(b[i + 5]) << 8) | b[i + 6];
            width = (uint32_t(b[i + 7]) << 8) | b[i + 8];
            return true;
        }
        i += 2 + length;
    }
    return false;
}

// Deflate packs at most about 1032 bytes into one, so a PNG's rows (one filter byte, then the
// pixels at the header's depth) cannot be much larger than the file: a small file claiming a
// large picture is refused before the decoder allocates for it.
bool PngDataCanHold(const std::vector<unsigned char>& b, uint32_t width, uint32_t height) {
    const unsigned depth = b[24];
    unsigned channels = 0;
    switch (b[25]) {
        case 0: channels = 1; break;  // grey
        case 2: channels = 3; break;  // RGB
        case 3: channels = 1; break;  // palette
        case 4: channels = 2; break;  // grey and alpha
        case 6: channels = 4; break;  // RGBA
        default: return false;
    }
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return false;
    const uint64_t rowBytes = 1 + (uint64_t(width) * channels * depth + 7) / 8;
    const uint64_t rawBytes = rowBytes * height;
    return rawBytes <= uint64_t(b.size()) * 1032 + 4096;
}

// Every 8 x 8 block of a Huffman-coded JPEG costs at least one bit (its DC code), so the file
// bounds the picture it can hold.
bool JpegDataCanHold(const std::vector<unsigned char>& b, uint32_t width, uint32_t height) {
    const uint64_t blocks = uint64_t((width + 7) / 8) * uint64_t((height + 7) / 8);
    return blocks <= uint64_t(b.size()) * 8;
}

}  // namespace

bool ImageSize(const std::vector<unsigned char>& b, int& width, int& height) {
    uint32_t w = 0;
    uint32_t h = 0;
    if (IsPng(b)) {
        w = BigEndian32(&b[16]);
        h = BigEndian32(&b[20]);
    } else if (!IsJpeg(b) || !JpegSize(b, w, h)) {
        return false;
    }
    if (!SideFits(w) || !SideFits(h)) return false;
    width = int(w);
    height = int(h);
    return true;
}

bool DecodeImage(const std::vector<unsigned char>& bytes, Image& out) {
    // Only the two formats the game ships are decoded: every other decoder of SDL2_image is
    // more code a damaged file could reach (a 31-byte BMP asked for 24 GB, a GIF took a minute).
    int width = 0;
    int height = 0;
    if (!ImageSize(bytes, width, height)) return false;
    const bool png = IsPng(bytes);
    if (png ? !PngDataCanHold(bytes, uint32_t(width), uint32_t(height))
            : !JpegDataCanHold(bytes, uint32_t(width), uint32_t(height))) {
        return false;
    }
    if (bytes.size() > size_t(INT32_MAX)) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (rw == nullptr) return false;
    SDL_Surface* loaded = png ? IMG_LoadPNG_RW(rw) : IMG_LoadJPG_RW(rw);
    SDL_RWclose(rw);
    if (loaded == nullptr) return false;
    // The decoder must agree with the header we checked.
    if (loaded->w != width || loaded->h != height) {
        SDL_FreeSurface(loaded);
        return false;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (argb == nullptr) return false;
    out.width = argb->w;
    out.height = argb->h;
    out.pixels.resize(size_t(out.width) * size_t(out.height));
    SDL_LockSurface(argb);
    for (int y = 0; y < out.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const unsigned char*>(argb->pixels) + size_t(y) * size_t(argb->pitch));
        std::copy(row, row + out.width, out.pixels.begin() + ptrdiff_t(y) * out.width);
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return true;
}

namespace {

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void FlushNothing(png_structp) {}

}  // namespace

bool SavePng(const std::string& path, const Image& image, PngPacking packing, std::string* why) {
    if (image.width <= 0 || image.height <= 0) {
        if (why != nullptr) *why = "the picture is empty";
        return false;
    }
    // Made in memory and written whole: a full disk leaves no cut picture under the name.
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        if (why != nullptr) *why = "the picture could not be encoded";
        return false;
    }
    png_set_write_fn(png, &bytes, AppendPngBytes, FlushNothing);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (packing == PngPacking::Stored) {
        png_set_compression_level(png, 0);
        png_set_filter(png, 0, PNG_FILTER_NONE);  // choosing filters costs more than storing
    } else {
        png_set_compression_level(png, 1);  // written during play: speed over size
    }
    png_write_info(png, info);
    std::vector<unsigned char> row(size_t(image.width) * 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = image.pixels[size_t(y) * size_t(image.width) + size_t(x)];
            row[size_t(x) * 4 + 0] = (p >> 16) & 0xFF;
            row[size_t(x) * 4 + 1] = (p >> 8) & 0xFF;
            row[size_t(x) * 4 + 2] = p & 0xFF;
            row[size_t(x) * 4 + 3] = (p >> 24) & 0xFF;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return WriteWholeFile(path, bytes, why);
}
