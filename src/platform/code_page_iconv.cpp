// code_page_iconv.cpp -- GBK to and from UTF-16 over iconv (Windows: code_page_win32.cpp).
#include "platform/code_page.h"

#if !defined(_WIN32)

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "UTF-16 units are handed to iconv as UTF-16LE bytes");

namespace {

enum Direction { kToWide, kFromWide, kDirections };

// One descriptor per direction, opened on first use and kept: the game converts text every
// frame on its one thread.
iconv_t Descriptor(Direction direction) {
    static const char* const kCodes[kDirections][2] = {{"UTF-16LE", "GBK"}, {"GBK", "UTF-16LE"}};
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

#endif  // !_WIN32
