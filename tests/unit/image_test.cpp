// Picture decoding against hostile headers: only PNG and JPEG are decoded, and a header that
// claims more than the engine holds (or than the file's data could fill) is refused first.
#include "platform/image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/pack.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

void PutBig32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

// A PNG signature and IHDR for the given size (RGBA, 8 bits), then `extra` bytes of nothing.
Bytes PngHeader(uint32_t width, uint32_t height, size_t extra = 0) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b.resize(33 + extra, 0);
    PutBig32(b, 16, width);
    PutBig32(b, 20, height);
    b[24] = 8;
    b[25] = 6;
    return b;
}

// SOI, then a baseline start-of-frame of the given size.
Bytes JpegHeader(uint32_t width, uint32_t height) {
    return {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 8, uint8_t(height >> 8), uint8_t(height),
            uint8_t(width >> 8), uint8_t(width), 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
}

Bytes SavedPng(const Image& image, PngPacking packing = PngPacking::Compressed) {
    WorkInTempDir dir("image_test");
    std::string path = (dir.Path() / "p.png").string();
    EXPECT_TRUE(SavePng(path, image, packing));
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes SavedPng(int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(size_t(width) * size_t(height), 0xFF336699u);
    return SavedPng(image);
}

TEST(ImageTest, HostileHeadersAreRefusedBeforeDecoding) {
    // A 31-byte BMP whose height is INT_MIN: once negated, now not a format we read at all.
    Bytes bmp(31, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[18] = 1;
    bmp[25] = 0x80;
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0x7F, 0xFF, 0x7F, 0, 0, 0};
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"a BMP with height INT_MIN", bmp},
        {"a GIF claiming 32767 x 32767", gif},
        {"a PNG one pixel wider than the limit", PngHeader(kMaxImageSide + 1, 1, 100)},
        {"a PNG with a width above 2^31", PngHeader(0x80000000u, 1, 100)},
        {"a PNG of width 0", PngHeader(0, 16, 100)},
        {"a JPEG taller than the limit", JpegHeader(16, kMaxImageSide + 1)},
        {"a JPEG whose first marker has length 0", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0xFF, 0xC0, 0, 17}},
        {"a JPEG with image data before any frame", {0xFF, 0xD8, 0xFF, 0xDA, 0, 8, 1, 1, 0, 0}},
        {"an arithmetic-coded JPEG", [] { Bytes j = JpegHeader(16, 16); j[3] = 0xC9; return j; }()},
        {"nothing", {}},
    };
    for (const Case& c : cases) {
        int width = -1, height = -1;
        EXPECT_FALSE(ImageSize(c.bytes, width, height)) << c.name;
        Image image;
        EXPECT_FALSE(DecodeImage(c.bytes, image)) << c.name;
        EXPECT_TRUE(image.pixels.empty()) << c.name;
    }
}

TEST(ImageTest, ASmallFileClaimingTheLargestPictureIsNotDecoded) {
    // The header is within the limit, but 200 bytes of data cannot fill 8192 x 8192 pixels.
    Bytes png = PngHeader(kMaxImageSide, kMaxImageSide, 200);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageSize(png, width, height));
    EXPECT_EQ(width, kMaxImageSide);
    Image image;
    EXPECT_FALSE(DecodeImage(png, image));
    // Likewise a JPEG frame of 8192 x 8192 in 21 bytes.
    Bytes jpeg = JpegHeader(kMaxImageSide, kMaxImageSide);
    ASSERT_TRUE(ImageSize(jpeg, width, height));
    EXPECT_FALSE(DecodeImage(jpeg, image));
}

TEST(ImageTest, RealPicturesStillDecode) {
    Bytes png = SavedPng(300, 2);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageSize(png, width, height));
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 2);
    Image image;
    ASSERT_TRUE(DecodeImage(png, image));
    EXPECT_EQ(image.pixels.size(), 600u);
    EXPECT_EQ(image.pixels[599], 0xFF336699u);
    // A blank picture compresses far better than its size suggests, and still decodes.
    Image blank;
    ASSERT_TRUE(DecodeImage(SavedPng(2048, 2048), blank));
    EXPECT_EQ(blank.width, 2048);
}

TEST(ImageTest, BothPackingsGiveThePictureBackExactly) {
    Image picture;
    picture.width = 67;
    picture.height = 31;
    uint32_t x = 12345;
    for (int i = 0; i < picture.width * picture.height; ++i) {
        x = x * 1103515245u + 12345u;
        picture.pixels.push_back(i % 5 == 0 ? 0u : x);  // every alpha, clear pixels among them
    }
    for (PngPacking packing : {PngPacking::Compressed, PngPacking::Stored}) {
        Image back;
        ASSERT_TRUE(DecodeImage(SavedPng(picture, packing), back));
        EXPECT_EQ(back.width, picture.width);
        EXPECT_EQ(back.height, picture.height);
        EXPECT_EQ(back.pixels, picture.pixels)
            << (packing == PngPacking::Stored ? "stored" : "compressed");
    }
}

TEST(ImageTest, EveryPictureTheGameShipsDecodes) {
    const std::string pack = std::string(MIRRORFALL_GAME_DIR) + "/gamedat.zip";
    ResourcePack resources;
    if (std::string(MIRRORFALL_GAME_DIR).empty() ||
        resources.Attach(pack, "quorlembistavo") != PackAttach::Opened) {
        GTEST_SKIP() << "this build does not bake its game folder";
    }
    int pictures = 0;
    for (int64_t i = 0; i < resources.MemberCount(); ++i) {
        const std::string name = resources.MemberName(i);
        const std::string ext = name.substr(name.size() - 4);
        if (ext != ".png" && ext != ".jpg") continue;
        Bytes bytes;
        ASSERT_EQ(resources.ReadMember(i, bytes), PackRead::Ok) << name;
        Image image;
        EXPECT_TRUE(DecodeImage(bytes, image)) << name;
        ++pictures;
    }
    EXPECT_GT(pictures, 40);
}

}  // namespace
