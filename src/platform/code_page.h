// code_page.h -- the game's multibyte code page, GBK (code page 936), and its conversions to and
// from UTF-16 (what text fields hold) and UTF-8 (what the platform's text events and font
// lookups speak). GBK and UTF-16 convert through the system: iconv, or code page 936 on Windows.
//
// None of them ever writes past the room it is given, and none splits a character: a text that
// does not fit is cut at the last whole character. Bytes that are no GBK character read as '?';
// a UTF-16 unit without a GBK code writes as '?'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// GBK bytes (length bytes, or up to the first zero when length is -1) into at most `room` UTF-16
// units at `out`, without a terminator. Returns the number of units written.
size_t CodePageToWide(const char* text, long length, char16_t* out, size_t room);

// UTF-16 units into GBK bytes at `out`, zero-terminated within `room` bytes (room >= 1).
// Returns the number of bytes written before the terminator.
size_t WideToCodePage(const char16_t* text, size_t length, char* out, size_t room);

// UTF-8 <-> GBK for whole strings. Characters without a GBK code become '?'; malformed input
// bytes are skipped one at a time as '?'.
std::string Utf8ToCodePage(const std::string& utf8);
std::string CodePageToUtf8(const std::string& gbk);

// One character as the game's character events carry it: below 128 the ASCII code itself,
// otherwise the two GBK bytes as (lead << 8) | trail. 0 when GBK has no code for it.
uint32_t CodePageCharCode(char32_t codePoint);

// Decodes one UTF-8 sequence at text[*pos] and moves *pos past it; a malformed byte (one of an
// overlong form, a surrogate, a value past U+10FFFF, a stray or cut-short sequence) gives U+FFFD
// and moves on by one, so it never ends the text. Returns 0 at the end of the text.
char32_t NextUtf8(const char* text, size_t length, size_t* pos);

// The byte length of the GBK character that starts with `lead` (1 or 2).
inline int CodePageCharLength(unsigned char lead) { return lead >= 0x81 && lead <= 0xFE ? 2 : 1; }

// Cuts a GBK string in place so that it holds at most `maxBytes` bytes and ends on a character
// boundary. Returns its new length.
size_t CutCodePage(char* text, size_t maxBytes);
