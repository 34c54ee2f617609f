// The game's code page, GBK: conversions to and from UTF-16 and UTF-8, what replaces what has no
// conversion, that no conversion splits a character, and the whole double-byte table read both
// ways. The same tests run on Windows (tests/windows/code_page_smoke.sh), where the system's code
// page 936 does the converting instead of iconv.
#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CodePage, ConvertsAndNeverSplitsACharacter) {
    char16_t wide[8];
    ASSERT_EQ(CodePageToWide("a\xD6\xD0\xCE\xC4", -1, wide, 8), 3u);
    EXPECT_EQ(wide[1], u'\u4E2D');
    EXPECT_EQ(wide[2], u'\u6587');
    // A lead byte without its trail and a byte that starts no character read as '?'.
    ASSERT_EQ(CodePageToWide("\xD6", -1, wide, 8), 1u);
    EXPECT_EQ(wide[0], u'?');

    char out[4];
    EXPECT_EQ(WideToCodePage(u"a\u4E2D\u6587", 3, out, sizeof out), 3u);  // 文 does not fit
    EXPECT_STREQ(out, "a\xD6\xD0");
    EXPECT_EQ(WideToCodePage(u"\U0001F600", 2, out, sizeof out), 2u);  // no GBK code
    EXPECT_STREQ(out, "??");

    char cut[] = "ab\xD6\xD0\xCE\xC4";
    EXPECT_EQ(CutCodePage(cut, 5), 4u);
    EXPECT_STREQ(cut, "ab\xD6\xD0");
}

TEST(CodePage, CharacterCodes) {
    struct Case { char32_t cp; uint32_t code; };
    const Case cases[] = {{U'a', 'a'}, {U'\u4E2D', 0xD6D0}, {U'\u6587', 0xCEC4},
                          {U'\U0001F600', 0}, {U'\u20AC', 0}, {U'\uAC00', 0}};
    for (const Case& c : cases) EXPECT_EQ(CodePageCharCode(c.cp), c.code) << std::hex << uint32_t(c.cp);
}

// What each malformed or unconvertible piece of text becomes.
TEST(CodePage, ReplacementsOfWhatHasNoConversion) {
    struct ToWide { const char* gbk; std::u16string wide; };
    const ToWide toWide[] = {
        {"\xFF" "a", u"?a"},                // a byte that starts no character, then the next
        {"\xD6" "0", u"?0"},                // a lead byte whose trail is no trail byte
        {"a\xD6", u"a?"},                   // the text ends inside a character
        {"\x80", u"\u20AC"},                // the code page's one-byte euro
        {"\xA1\xA4\xA1\xAA", u"\u00B7\u2014"},
    };
    for (const ToWide& c : toWide) {
        char16_t wide[8];
        size_t n = CodePageToWide(c.gbk, -1, wide, 8);
        EXPECT_EQ(std::u16string(wide, n), c.wide) << c.gbk;
    }

    struct FromWide { std::u16string wide; const char* gbk; };
    const FromWide fromWide[] = {
        {u"\uAC00b", "?b"},           // Hangul has no GBK code
        {std::u16string{0xDC00, 0xD800}, "??"},  // surrogates without their partners
        {u"\u20AC", "\x80"},
        {u"\u00B5", "?"},             // no best fit: micro sign is not the Greek mu
    };
    for (const FromWide& c : fromWide) {
        char out[8];
        WideToCodePage(c.wide.data(), c.wide.size(), out, sizeof out);
        EXPECT_STREQ(out, c.gbk);
    }

    // UTF-8: one '?' for each character without a code and for each malformed byte.
    EXPECT_EQ(Utf8ToCodePage("a\xE4\xB8\xAD\xF0\x9F\x98\x80\xEA\xB0\x80" "b\xFF" "c"),
              "a\xD6\xD0??b?c");
    EXPECT_EQ(CodePageToUtf8("a\xD6\xD0\xFF\x80" "b\xD6"), "a\xE4\xB8\xAD?\xE2\x82\xAC" "b?");
}

// UTF-8 as the platform's text events carry it: only shortest forms of scalar values decode;
// every byte of anything else is one '?', and none of them ends the text.
TEST(CodePage, Utf8RefusesOverlongFormsSurrogatesAndValuesPastTheLast) {
    const struct {
        const char* utf8;
        const char* gbk;
    } cases[] = {
        {"\xC1\x81", "??"},                  // 'A' in two bytes
        {"\xE0\x80\xAF", "???"},              // '/' in three
        {"ab\xC0\x80" "cd", "ab??cd"},         // an overlong NUL does not end the text
        {"\xF0\x80\x80\xAF", "????"},          // '/' in four
        {"\xED\xA0\x80", "???"},              // a surrogate
        {"\xED\x9F\xBF" "a", "?a"},            // U+D7FF: a character, without a GBK code
        {"\xF4\x90\x80\x80", "????"},          // past U+10FFFF
        {"\xF5\x80\x80\x80", "????"},
        {"\xE4\xB8", "??"},                    // cut short at the end
        {"\xE4\xB8" "a", "??a"},               // cut short before an ASCII character
        {"\x80\xBF", "??"},                    // stray continuation bytes
        {"\xC2\xB7", "\xA1\xA4"},              // U+00B7 in its shortest form
        {"\xE4\xB8\xAD", "\xD6\xD0"},          // 中
        {"\xF0\x90\x80\x80", "?"},             // U+10000: a character, without a GBK code
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCodePage(c.utf8), c.gbk) << testing::PrintToString(std::string(c.utf8));
    }
    // Each malformed byte moves on by exactly one.
    const char text[] = "\xE0\x80\xAF";
    size_t pos = 0;
    for (size_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(NextUtf8(text, 3, &pos), char32_t(0xFFFD));
        EXPECT_EQ(pos, i);
    }
    EXPECT_EQ(NextUtf8(text, 3, &pos), char32_t(0));
}

// Every double-byte code the table knows reads as one character that writes back as the same two
// bytes, and the two levels of GB2312's characters are all there.
TEST(CodePage, DoubleByteTableRoundTrips) {
    int known = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const char gbk[3] = {char(lead), char(trail), 0};
            char16_t wide[2];
            size_t units = CodePageToWide(gbk, 2, wide, 2);
            bool hanzi = lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && !(lead == 0xD7 && trail >= 0xFA);
            if (units == 1) {
                ++known;
                char back[3];
                ASSERT_EQ(WideToCodePage(wide, 1, back, sizeof back), 2u) << std::hex << lead << trail;
                EXPECT_EQ(std::string(back), std::string(gbk)) << std::hex << lead << trail;
                EXPECT_EQ(CodePageCharCode(wide[0]), uint32_t(lead << 8 | trail));
            } else {
                EXPECT_FALSE(hanzi) << std::hex << lead << trail << " does not read";
            }
        }
    }
    EXPECT_GE(known, 21000);  // GBK has 21,886 characters
}

}  // namespace
