// code_page_win32.cpp -- GBK to and from UTF-16 through Windows' own code page 936
// (MultiByteToWideChar, WideCharToMultiByte), one character at a time so that the replacement
// rules are iconv's: a byte that starts no character reads as '?' and the next byte is tried;
// a lead byte at the end reads as '?' and ends the text; a unit without a code writes as '?'.
#include "platform/code_page.h"

#if defined(_WIN32)

#include <windows.h>

#include <cstring>

namespace {

constexpr UINT kGbk = 936;

// The UTF-16 unit of the one- or two-byte character at `bytes`, or 0 when it is none.
char16_t Decode(const char* bytes, int length) {
    wchar_t unit = 0;
    if (MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes, length, &unit, 1) != 1) return 0;
    return char16_t(unit);
}

// The GBK bytes of one unit into out[0..2); 0 when it has no code. No best-fit: a character
// that only resembles one of the code page's is no character of it.
int Encode(char16_t unit, char* out) {
    if (unit < 0x80) {
        out[0] = char(unit);
        return 1;
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) return 0;  // GBK has nothing outside the BMP
    const wchar_t wide = wchar_t(unit);
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, &wide, 1, out, 2, nullptr, &usedDefault);
    return usedDefault ? 0 : n;
}

}  // namespace

size_t CodePageToWide(const char* text, long length, char16_t* out, size_t room) {
    if (text == nullptr || out == nullptr || room == 0) return 0;
    size_t inLen = length < 0 ? std::strlen(text) : size_t(length);
    size_t i = 0;
    size_t written = 0;
    while (i < inLen && written < room) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out[written++] = char16_t(lead);
            ++i;
            continue;
        }
        int n = CodePageCharLength(lead);
        if (size_t(n) > inLen - i) {  // the text ends inside a character
            out[written++] = u'?';
            break;
        }
        char16_t unit = Decode(text + i, n);
        out[written++] = unit != 0 ? unit : u'?';
        i += unit != 0 ? size_t(n) : 1;
    }
    return written;
}

size_t WideToCodePage(const char16_t* text, size_t length, char* out, size_t room) {
    if (out == nullptr || room == 0) return 0;
    size_t written = 0;
    for (size_t i = 0; text != nullptr && i < length; ++i) {
        char bytes[2];
        int n = Encode(text[i], bytes);
        if (n <= 0) {
            bytes[0] = '?';
            n = 1;
        }
        if (written + size_t(n) > room - 1) break;  // never half a character
        std::memcpy(out + written, bytes, size_t(n));
        written += size_t(n);
    }
    out[written] = '\0';
    return written;
}

#endif  // _WIN32
