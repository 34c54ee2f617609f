// code_page.cpp -- GBK conversions over iconv.
#include "platform/code_page.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "UTF-16 units are handed to iconv as UTF-16LE bytes");

namespace {

enum Direction { kToWide, kFromWide, kFromUtf8, kToUtf8, kDirections };

// One descriptor per direction, opened on first use and kept: the game converts text every
// frame on its one thread.
iconv_t Descriptor(Direction direction) {
    static const char* const kCodes[kDirections][2] = {
        {"UTF-16LE", "GBK"}, {"GBK", "UTF-16LE"}, {"GBK", "UTF-8"}, {"UTF-8", "GBK"}};
    static iconv_t opened[kDirections];
    static bool tried[kDirections] = {};
    if (!tried[direction]) {
        opened[direction] = iconv_open(kCodes[direction][0], kCodes[direction][1]);
        tried[direction] = true;
    }
    return opened[direction];
}

bool Usable(iconv_t cd) { return cd != reinterpret_cast<iconv_t>(-1); }

// Converts in[0..inLen) into out[0..outRoom), writing `replacement` (outUnit bytes) for every
// input unit (inUnit bytes) that has no conversion. Stops when the output is full; iconv never
// writes part of a character. Returns the bytes written.
size_t Convert(iconv_t cd, const char* in, size_t inLen, char* out, size_t outRoom, size_t inUnit,
               const char* replacement, size_t outUnit) {
    if (!Usable(cd)) return 0;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    size_t inLeft = inLen;
    size_t outLeft = outRoom;
    while (inLeft > 0) {
        size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (done != size_t(-1)) break;
        if (errno == E2BIG) break;
        // EILSEQ: a unit without a conversion; EINVAL: the input ends inside a character.
        if (outLeft < outUnit) break;
        std::memcpy(outPtr, replacement, outUnit);
        outPtr += outUnit;
        outLeft -= outUnit;
        if (errno == EINVAL) break;
        size_t skip = inLeft < inUnit ? inLeft : inUnit;
        inPtr += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return outRoom - outLeft;
}

std::string ConvertString(iconv_t cd, const std::string& in, const char* replacement,
                          size_t outUnit) {
    std::string out(in.size() * 2 + 8, '\0');
    size_t written = Convert(cd, in.data(), in.size(), out.data(), out.size(), 1, replacement,
                             outUnit);
    out.resize(written);
    return out;
}

}  // namespace

size_t CodePageToWide(const char* text, long length, char16_t* out, size_t room) {
    if (text == nullptr || out == nullptr || room == 0) return 0;
    size_t inLen = length < 0 ? std::strlen(text) : size_t(length);
    static const char16_t kQuestion = u'?';
    size_t bytes = Convert(Descriptor(kToWide), text, inLen, reinterpret_cast<char*>(out), room * 2, 1,
                           reinterpret_cast<const char*>(&kQuestion), 2);
    return bytes / 2;
}

size_t WideToCodePage(const char16_t* text, size_t length, char* out, size_t room) {
    if (out == nullptr || room == 0) return 0;
    size_t written = 0;
    if (text != nullptr) {
        written = Convert(Descriptor(kFromWide), reinterpret_cast<const char*>(text), length * 2, out,
                          room - 1, 2, "?", 1);
    }
    out[written] = '\0';
    return written;
}

std::string Utf8ToCodePage(const std::string& utf8) {
    return ConvertString(Descriptor(kFromUtf8), utf8, "?", 1);
}

std::string CodePageToUtf8(const std::string& gbk) {
    return ConvertString(Descriptor(kToUtf8), gbk, "?", 1);
}

char32_t NextUtf8(const char* text, size_t length, size_t* pos) {
    if (*pos >= length || text[*pos] == '\0') return 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    unsigned char b = s[*pos];
    size_t extra = 0;
    char32_t cp = 0;
    if (b < 0x80) {
        ++*pos;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        extra = 1;
        cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        cp = b & 0x07;
    } else {
        ++*pos;
        return 0xFFFD;
    }
    if (*pos + extra >= length) {
        ++*pos;
        return 0xFFFD;
    }
    for (size_t i = 1; i <= extra; ++i) {
        unsigned char c = s[*pos + i];
        if ((c & 0xC0) != 0x80) {
            ++*pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    *pos += extra + 1;
    return cp;
}

uint32_t CodePageCharCode(char32_t cp) {
    if (cp < 0x80) return cp;
    if (cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;  // GBK has nothing outside the BMP
    char16_t unit = char16_t(cp);
    char bytes[4];
    size_t n = Convert(Descriptor(kFromWide), reinterpret_cast<const char*>(&unit), 2, bytes, sizeof bytes, 2,
                       "", 0);
    // A converted character is two bytes; '?' (or the euro's one byte 0x80) means none.
    if (n != 2) return 0;
    auto lead = static_cast<unsigned char>(bytes[0]);
    auto trail = static_cast<unsigned char>(bytes[1]);
    if (CodePageCharLength(lead) != 2) return 0;
    return (uint32_t(lead) << 8) | trail;
}

size_t CutCodePage(char* text, size_t maxBytes) {
    size_t i = 0;
    while (text[i] != '\0') {
        size_t n = size_t(CodePageCharLength(static_cast<unsigned char>(text[i])));
        if (n == 2 && text[i + 1] == '\0') break;  // a lead byte without its trail
        if (i + n > maxBytes) break;
        i += n;
    }
    text[i] = '\0';
    return i;
}
