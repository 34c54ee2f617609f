// image.cpp -- picture decoding through SDL2_image, PNG writing through libpng.
#include "platform/image.h"

#include <SDL.h>
#include <SDL_image.h>
#include <png.h>

#include <cstdio>

namespace {

uint32_t BigEndian32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

bool JpegSize(const std::vector<unsigned char>& b, int& width, int& height) {
    size_t i = 2;
    while (i + 9 < b.size()) {
        if (b[i] != 0xFF) return false;
        unsigned char marker = b[i + 1];
        if (marker == 0xFF) { ++i; continue; }
        size_t length = (size_t(b[i + 2]) << 8) | b[i + 3];
        bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                            marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            height = (b[i + 5] << 8) | b[i + 6];
            width = (b[i + 7] << 8) | b[i + 8];
            return width > 0 && height > 0;
        }
        i += 2 + length;
    }
    return false;
}

}  // namespace

bool ImageSize(const std::vector<unsigned char>& b, int& width, int& height) {
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (b.size() >= 24 && std::equal(kPng, kPng + 8, b.begin())) {
        width = int(BigEndian32(&b[16]));
        height = int(BigEndian32(&b[20]));
        return width > 0 && height > 0;
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8) return JpegSize(b, width, height);
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        width = int(b[18] | (b[19] << 8) | (b[20] << 16) | (uint32_t(b[21]) << 24));
        int h = int(b[22] | (b[23] << 8) | (b[24] << 16) | (uint32_t(b[25]) << 24));
        height = h < 0 ? -h : h;
        return width > 0 && height > 0;
    }
    return false;
}

bool DecodeImage(const std::vector<unsigned char>& bytes, Image& out) {
    if (bytes.empty()) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    if (rw == nullptr) return false;
    SDL_Surface* loaded = IMG_Load_RW(rw, 1);
    if (loaded == nullptr) return false;
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

bool SavePng(const std::string& path, const Image& image) {
    if (image.width <= 0 || image.height <= 0) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);  // a snapshot is written during play: speed over size
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
    return std::fclose(file) == 0;
}
