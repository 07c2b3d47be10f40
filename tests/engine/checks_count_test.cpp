// Counting the search text: the matching rules, streaming across chunk boundaries, and real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "engine/checks.h"
#include "engine/text_count.h"
#include "tests/support/test_support.h"

namespace orv::engine {
namespace {

// The plain definition: search from the start, after a match go on behind it.
int64_t ReferenceCount(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) {
        return 0;
    }
    int64_t count = 0;
    size_t at = 0;
    while ((at = haystack.find(needle, at)) != std::string_view::npos) {
        ++count;
        at += needle.size();
    }
    return count;
}

int64_t CountWhole(std::string_view haystack, std::string_view needle) {
    size_t resume = 0;
    return CountInBlock(haystack.data(), haystack.size(), needle, resume);
}

int64_t CountStreamed(std::string_view haystack, std::string_view needle, size_t chunk) {
    OccurrenceCounter counter(needle, chunk);
    counter.Feed(haystack.data(), haystack.size());
    return counter.Count();
}

TEST(TextCount, MatchesNeverOverlap) {
    EXPECT_EQ(CountWhole("aaaa", "aa"), 2);
    EXPECT_EQ(CountWhole("aaa", "aa"), 1);
    EXPECT_EQ(CountWhole("aaaaa", "aa"), 2);
    EXPECT_EQ(CountWhole("abababa", "aba"), 2);
    EXPECT_EQ(CountWhole(std::string(100, 'a'), "aaa"), 33);
}

TEST(TextCount, IsCaseSensitiveAndByteExact) {
    EXPECT_EQ(CountWhole("Error error ERROR", "Error"), 1);
    EXPECT_EQ(CountWhole("Error error ERROR", "error"), 1);
    // Bytes above 127 and zero bytes are ordinary bytes.
    const std::string binary("\x00\xff\x00\xff\x00", 5);
    EXPECT_EQ(CountWhole(binary, std::string("\x00\xff", 2)), 2);
    EXPECT_EQ(CountWhole("\xd0\x9e\xd1\x88\xd0\x9e", "\xd0\x9e"), 2);
}

TEST(TextCount, EmptyOrLongerNeedleCountsNothing) {
    EXPECT_EQ(CountWhole("abc", ""), 0);
    EXPECT_EQ(CountStreamed("abc", "", 2), 0);
    EXPECT_EQ(CountWhole("abc", "abcd"), 0);
    EXPECT_EQ(CountWhole("", "a"), 0);
}

TEST(TextCount, ResumeIsThePositionAfterTheLastMatch) {
    size_t resume = 99;
    EXPECT_EQ(CountInBlock("xxabxxabx", 9, "ab", resume), 2);
    EXPECT_EQ(resume, 8u);
    EXPECT_EQ(CountInBlock("xxxxxxxxx", 9, "ab", resume), 0);
    EXPECT_EQ(resume, 0u);
    // One-byte needles take their own path; the long run crosses the vector blocks.
    std::string text(200, 'x');
    text[150] = 'q';
    EXPECT_EQ(CountInBlock(text.data(), text.size(), "q", resume), 1);
    EXPECT_EQ(resume, 151u);
}

TEST(TextCount, MatchesStraddlingChunkBoundariesCountOnce) {
    // "ab" at the end of one chunk and the start of the next, and a match that ends exactly at a
    // boundary followed by a candidate that would overlap it.
    EXPECT_EQ(CountStreamed("xxxa"
                            "bxxx",
                            "ab", 4),
              1);
    EXPECT_EQ(CountStreamed("aaaa"
                            "aaaa",
                            "aaa", 4),
              2);
    EXPECT_EQ(CountStreamed("aaa", "aa", 1), 1);
    EXPECT_EQ(CountStreamed("abcabcabc", "abcabc", 2), 1);
}

// Runs a test body with the widest vectors the processor has, then with 16-byte vectors only.
class TextCountWidths : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override { AllowWideVectors(GetParam()); }
    void TearDown() override { AllowWideVectors(true); }
};

INSTANTIATE_TEST_SUITE_P(Vectors, TextCountWidths, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& value) {
                             return value.param ? std::string("Widest") : std::string("Narrow");
                         });

TEST_P(TextCountWidths, StreamingAgreesWithWholeSearchOnRandomText) {
    // A small alphabet makes matches, near-matches and runs frequent; many lengths and chunk sizes
    // put the matches at every offset from a chunk boundary and from the 16- and 64-byte blocks.
    std::mt19937 random(12345);
    using namespace std::string_literals;
    // A literal with its length: from a C string the NUL would end the third alphabet after "a".
    const std::string alphabets[] = {"ab", "abc", "a\x00\xff"s};
    ASSERT_EQ(alphabets[2].size(), 3u);
    for (int round = 0; round < 600; ++round) {
        const std::string& alphabet = alphabets[round % 3];
        std::uniform_int_distribution<size_t> letter(0, alphabet.size() - 1);
        const size_t length = std::uniform_int_distribution<size_t>(0, round % 10 == 0 ? 5000 : 700)(random);
        std::string text(length, ' ');
        for (char& c : text) {
            c = alphabet[letter(random)];
        }
        const size_t needleLength = std::uniform_int_distribution<size_t>(1, round % 4 == 0 ? 24 : 9)(random);
        std::string needle(needleLength, ' ');
        for (char& c : needle) {
            c = alphabet[letter(random)];
        }
        const size_t chunk = std::uniform_int_distribution<size_t>(1, round % 2 == 0 ? 90 : 1500)(random);
        const int64_t expected = ReferenceCount(text, needle);
        ASSERT_EQ(CountWhole(text, needle), expected) << "text " << text << " needle " << needle;
        ASSERT_EQ(CountStreamed(text, needle, chunk), expected)
            << "text " << text << " needle " << needle << " chunk " << chunk;
        // A second form of another length in the same pieces: each keeps its own carry.
        const std::string other = needle.substr(0, needle.size() / 2) + alphabet.back() + needle;
        for (const bool longerFirst : {false, true}) {
            OccurrenceCounter both(longerFirst ? other : needle, longerFirst ? needle : other, chunk);
            both.Feed(text.data(), text.size());
            ASSERT_EQ(both.Count(), expected + ReferenceCount(text, other))
                << "text " << text << " forms " << needle << " and " << other << " chunk " << chunk;
        }
    }
}

TEST(TextCount, LongNeedleLongerThanTheChunk) {
    const std::string needle(50, 'z');
    std::string text = "yy" + needle + "y" + needle + needle.substr(1) + "y" + needle + needle;
    EXPECT_EQ(CountStreamed(text, needle, 7), ReferenceCount(text, needle));
    EXPECT_EQ(ReferenceCount(text, needle), 4);
}

TEST(TextCount, FileIsStreamedWithMatchesOnTheReadBoundaries) {
    test::TempDirectory folder("count");
    // Matches placed across every read boundary of a file several chunks long.
    const std::string needle = "needle";
    std::string text(3 * kCountChunkSize + 1000, '.');
    std::vector<size_t> starts = {0,
                                  10,
                                  kCountChunkSize - 3,
                                  2 * kCountChunkSize - 1,
                                  2 * kCountChunkSize - 7,
                                  3 * kCountChunkSize - 5,
                                  text.size() - needle.size()};
    for (size_t at : starts) {
        text.replace(at, needle.size(), needle);
    }
    const std::string path = folder.WriteFile("big.txt", text);
    const auto counted = CountOccurrences(path, needle);
    ASSERT_TRUE(counted.has_value());
    EXPECT_EQ(*counted, ReferenceCount(text, needle));
    EXPECT_EQ(*counted, 7);

    EXPECT_FALSE(CountOccurrences(folder.Join("absent.txt"), needle).has_value());
}

TEST(TextCount, BothFormsOfATextAreCountedInOneReadAcrossChunks) {
    test::TempDirectory folder("count");
    // "Ошибка" in Windows-1251 and in UTF-8, each placed across a read boundary.
    const std::string ansi = "\xCE\xF8\xE8\xE1\xEA\xE0";
    const std::string utf8 = "Ошибка";
    std::string text(2 * kCountChunkSize + 100, '.');
    text.replace(kCountChunkSize - 2, ansi.size(), ansi);
    text.replace(2 * kCountChunkSize - 5, utf8.size(), utf8);
    text.replace(10, utf8.size(), utf8);
    const std::string path = folder.WriteFile("both.log", text);
    fs::Reader reader;
    ASSERT_TRUE(fs::Reader::Open(path, reader));
    EXPECT_EQ(CountOccurrences(reader, ansi, utf8), std::optional<int64_t>(3));
    // The same form twice counts once.
    fs::Reader again;
    ASSERT_TRUE(fs::Reader::Open(path, again));
    EXPECT_EQ(CountOccurrences(again, utf8, utf8), std::optional<int64_t>(2));
}

TEST(TimestampText, DigitsOfEveryCharacterButTheLast) {
    EXPECT_EQ(DigitString("05.03.2024 14:07:09"), "0503202414070");
    EXPECT_EQ(DigitString("05.03.2024"), "0503202");
    EXPECT_EQ(DigitString("3/5/2024 2:07:09 PM"), "35202420709");
    EXPECT_EQ(DigitString(""), "");
    EXPECT_EQ(DigitString("7"), "");
}

TEST(TimestampText, PinnedFormatsAndMidnight) {
    const clock::Formats formats{"dd.MM.yyyy", "H:mm:ss"};
    const clock::Names names = clock::DefaultNames();
    clock::LocalTime t{.year = 2024, .month = 3, .day = 5, .hour = 14, .minute = 7, .second = 9};
    EXPECT_EQ(FormatTimestamp(t, formats, names), "05.03.2024 14:07:09");
    t.hour = 0;
    t.minute = 0;
    t.second = 0;
    EXPECT_EQ(FormatTimestamp(t, formats, names), "05.03.2024");
    // A fraction of a second after midnight is not midnight exactly.
    t.millisecond = 500;
    EXPECT_EQ(FormatTimestamp(t, formats, names), "05.03.2024 0:00:00");
}

}  // namespace
}  // namespace orv::engine
