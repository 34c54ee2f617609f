// code_page.cpp -- what the GBK conversions share on every system: UTF-8 decoding and encoding,
// character codes and cutting. The conversions between GBK and UTF-16 themselves are the
// system's: iconv (code_page_iconv.cpp) or code page 936 on Windows (code_page_win32.cpp).
#include "platform/code_page.h"

#include <cstring>

namespace {

void AppendUtf8(char16_t unit, std::string& out) {
    // GBK holds only characters of the Basic Multilingual Plane, so a unit is a whole character.
    if (unit < 0x80) {
        out += char(unit);
    } else if (unit < 0x800) {
        out += char(0xC0 | (unit >> 6));
        out += char(0x80 | (unit & 0x3F));
    } else {
        out += char(0xE0 | (unit >> 12));
        out += char(0x80 | ((unit >> 6) & 0x3F));
        out += char(0x80 | (unit & 0x3F));
    }
}

}  // namespace

std::string Utf8ToCodePage(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    // A malformed byte decodes as U+FFFD, which GBK has no code for, so it too becomes '?'.
    while (char32_t cp = NextUtf8(utf8.data(), utf8.size(), &pos)) {
        uint32_t code = CodePageCharCode(cp);
        if (code == 0) {
            out += '?';
        } else if (code < 0x80) {
            out += char(code);
        } else {
            out += char(code >> 8);
            out += char(code & 0xFF);
        }
    }
    return out;
}

std::string CodePageToUtf8(const std::string& gbk) {
    std::u16string wide(gbk.size(), u'\0');  // never more units than bytes
    wide.resize(CodePageToWide(gbk.data(), long(gbk.size()), wide.data(), wide.size()));
    std::string out;
    out.reserve(wide.size() * 3 / 2);
    for (char16_t unit : wide) AppendUtf8(unit, out);
    return out;
}

char32_t NextUtf8(const char* text, size_t length, size_t* pos) {
    if (*pos >= length || text[*pos] == '\0') return 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const unsigned char b = s[*pos];
    if (b < 0x80) {
        ++*pos;
        return b;
    }
    // Only the shortest form of a scalar value is a character: overlong forms (C0 80 for a NUL,
    // E0 80 AF for '/'), surrogates (ED A0..BF) and values past U+10FFFF (F4 90.., F5..FF) are
    // malformed, and so is every byte of them, one U+FFFD each.
    size_t extra = 0;
    char32_t cp = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        extra = 1;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2;
        cp = b & 0x0F;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3;
        cp = b & 0x07;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        ++*pos;
        return 0xFFFD;
    }
    if (*pos + extra >= length) {
        ++*pos;
        return 0xFFFD;
    }
    for (size_t i = 1; i <= extra; ++i) {
        const unsigned char c = s[*pos + i];
        const bool fits = i == 1 ? c >= low && c <= high : (c & 0xC0) == 0x80;
        if (!fits) {
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
    char bytes[3];
    // A converted character is two bytes; '?' (or the euro's one byte 0x80) means none.
    if (WideToCodePage(&unit, 1, bytes, sizeof bytes) != 2) return 0;
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
