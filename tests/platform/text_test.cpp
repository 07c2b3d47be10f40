#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace orv::text {
namespace {

TEST(Cp1251, RussianTextsConvertToTheCodePageAndBack) {
    const std::string header = "Утилита Orvanter";
    const std::string bytes = Utf8ToCp1251(header);
    EXPECT_EQ(bytes, "\xD3\xF2\xE8\xEB\xE8\xF2\xE0 Orvanter");
    EXPECT_EQ(Cp1251ToUtf8(bytes), header);

    const std::string alphabet = "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя №«»—…";
    EXPECT_EQ(Utf8ToCp1251(alphabet).size(), 72u) << "one byte per character";
    EXPECT_EQ(Cp1251ToUtf8(Utf8ToCp1251(alphabet)), alphabet);
    EXPECT_EQ(Utf8ToCp1251("Ёё"), "\xA8\xB8");
    EXPECT_EQ(Utf8ToCp1251("€"), "\x88");
}

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << b;
    }
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("Größe"), "Gr??e");
    EXPECT_EQ(Utf8ToCp1251("日本"), "??");
    EXPECT_EQ(Utf8ToCp1251("a\xF0\x9F\x98\x80z"), "a?z");
    EXPECT_EQ(Utf8ToCp1251("\xFF"), "?") << "invalid UTF-8";
}

// The table must agree with the system's own conversion for every byte.
TEST(Cp1251, AgreesWithTheSystemConversion) {
    for (int b = 0x80; b < 256; ++b) {
        const char byte = static_cast<char>(b);
#ifdef _WIN32
        wchar_t wide[2] = {};
        ASSERT_EQ(MultiByteToWideChar(1251, 0, &byte, 1, wide, 2), 1);
        std::u16string expected(1, static_cast<char16_t>(wide[0]));
#else
        if (b == 0x98) {
            continue;  // unassigned; the C library refuses it, Windows maps it to U+0098
        }
        iconv_t cd = iconv_open("UTF-16LE", "CP1251");
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
        char in[1] = {byte};
        char out[4] = {};
        char* inPointer = in;
        char* outPointer = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft), static_cast<size_t>(-1)) << b;
        iconv_close(cd);
        std::u16string expected(1, static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                         (static_cast<unsigned char>(out[1]) << 8)));
#endif
        EXPECT_EQ(Utf8ToUtf16(Cp1251ToUtf8(std::string(1, byte))), expected) << std::hex << b;
    }
}

TEST(Utf16, RoundTripsIncludingSurrogatePairs) {
    const std::string text = "Orvanter Утилита \xF0\x9D\x84\x9E €";
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"Orvanter Утилита \U0001D11E €");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(Utf16, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("\xC3("), u"\uFFFD(");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD") << "overlong form";
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD") << "encoded surrogate";
    EXPECT_EQ(Utf8ToUtf16("ab\xE2\x82"), u"ab\uFFFD\uFFFD") << "cut-off tail";
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx") << "lone surrogate";
}

TEST(Ansi, PlainTextIsUnchanged) {
    EXPECT_EQ(Utf8ToAnsi("C:\\Orvanter\\Bat\\sample.bat"), "C:\\Orvanter\\Bat\\sample.bat");
#ifndef _WIN32
    EXPECT_EQ(Utf8ToAnsi("Утилита"), "Утилита");
#endif
}

}  // namespace
}  // namespace orv::text
