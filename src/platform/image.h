// image.h -- decoding and encoding of pictures for both backends (PNG and JPEG in; PNG out).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
};

// The largest side the engine takes; a header that claims more is refused before anything is
// allocated for it.
constexpr int kMaxImageSide = 8192;

// Reads only the header: the picture's size. False when the bytes are no PNG or JPEG, or claim
// a side of 0 or above kMaxImageSide.
bool ImageSize(const std::vector<unsigned char>& bytes, int& width, int& height);
// Decodes the whole picture. False when the bytes cannot be decoded.
bool DecodeImage(const std::vector<unsigned char>& bytes, Image& out);
// How SavePng packs the picture: a file read straight back is stored as it is, which writes and
// reads about ten times faster; a picture the player keeps is compressed.
enum class PngPacking { Compressed, Stored };
// Writes a PNG file whole (whole_file.h). False when it cannot be written; `why`, when given,
// then says why.
bool SavePng(const std::string& path, const Image& image,
             PngPacking packing = PngPacking::Compressed, std::string* why = nullptr);
