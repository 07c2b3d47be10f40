// Counting the search text: the matching rules, streaming across chunk boundaries, and real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

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

// Runs a test body on each vector path: 16 bytes, 32 bytes (AVX2) and 64 bytes (AVX-512), each path
// where the processor has it.
class TextCountWidths : public ::testing::TestWithParam<VectorWidth> {
  protected:
    void SetUp() override {
        if (GetParam() > WidestVectors()) {
            GTEST_SKIP() << "the processor has no vectors of " << static_cast<int>(GetParam()) << " bytes";
        }
        LimitVectorWidth(GetParam());
    }
    void TearDown() override { LimitVectorWidth(VectorWidth::Bytes64); }
};

INSTANTIATE_TEST_SUITE_P(Vectors, TextCountWidths,
                         ::testing::Values(VectorWidth::Bytes16, VectorWidth::Bytes32, VectorWidth::Bytes64),
                         [](const ::testing::TestParamInfo<VectorWidth>& value) {
                             return "Bytes" + std::to_string(static_cast<int>(value.param));
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

// Texts long enough for whole spans of candidates, where a short needle is compared whole in the vectors
// a run at a time: needles that overlap themselves ("abaab"), in random text and as log words with
// overlapping pairs ("abaabaab") among them, so that matches meet at the runs' edges; also in UTF-16.
TEST_P(TextCountWidths, DenseOverlappingMatchesAcrossRuns) {
    std::mt19937 random(31337);
    for (int round = 0; round < 160; ++round) {
        std::string needle(std::uniform_int_distribution<size_t>(2, kWholeNeedle)(random), ' ');
        for (char& c : needle) {
            c = "ab"[random() % 2];
        }
        // Distances at which two occurrences overlap (its periods); the needle's own length when none.
        std::vector<size_t> periods;
        for (size_t p = 1; p < needle.size(); ++p) {
            if (needle.substr(p) == needle.substr(0, needle.size() - p)) {
                periods.push_back(p);
            }
        }
        periods.push_back(needle.size());
        std::string text;
        while (text.size() < 12000) {
            if (round % 2 == 0) {
                text += "ab"[random() % 2];
                continue;
            }
            text += std::string(random() % 24, '.');
            const size_t period = periods[random() % periods.size()];
            text += random() % 10 == 0 ? needle + needle.substr(needle.size() - period) : needle;
        }
        const int64_t expected = ReferenceCount(text, needle);
        ASSERT_EQ(CountWhole(text, needle), expected) << "needle " << needle;
        ASSERT_EQ(CountStreamed(text, needle, 4999), expected) << "needle " << needle;
        if (needle.size() <= kWholeNeedle / 2) {
            std::string wide = "\xFF\xFE";
            for (const char c : text) {
                wide += c;
                wide += '\0';
            }
            OccurrenceCounter units(SearchForms{needle, {}, std::u16string(needle.begin(), needle.end())},
                                    8191);
            units.Feed(wide.data(), wide.size());
            ASSERT_EQ(units.Count(), expected) << needle << " in UTF-16";
        }
    }
}

// Lines of a log with the text on every line, several times on some, beside near misses (the text with
// one byte changed, which the vector filter lets through as candidates), for texts shorter and longer
// than a vector; whole, streamed across reads, and as the same log in UTF-16.
TEST_P(TextCountWidths, TextOnEveryLineWithNearMisses) {
    std::mt19937 random(2024);
    for (const std::string& needle :
         std::vector<std::string>{"ok", "timeout", "error: disk full", std::string(70, 'x') + "!end"}) {
        std::string text;
        for (int line = 0; text.size() < 300000; ++line) {
            text += "2026-12-07 08:00:" + std::to_string(line % 60) + " ";
            for (int word = 0; word < 1 + line % 4; ++word) {
                std::string miss = needle;
                miss[random() % miss.size()] ^= 0x20;
                text += random() % 3 == 0 ? miss : needle;
                text += std::string(random() % 12, '.');
            }
            text += needle.substr(0, needle.size() - 1) + "\n";
        }
        const int64_t expected = ReferenceCount(text, needle);
        ASSERT_EQ(CountWhole(text, needle), expected) << needle;
        for (const size_t chunk : {size_t{4093}, size_t{65536}}) {
            ASSERT_EQ(CountStreamed(text, needle, chunk), expected) << needle << " chunk " << chunk;
        }
        std::string wide = "\xFF\xFE";
        for (const char c : text) {
            wide += c;
            wide += '\0';
        }
        OccurrenceCounter units(SearchForms{needle, {}, std::u16string(needle.begin(), needle.end())}, 8191);
        units.Feed(wide.data(), wide.size());
        ASSERT_EQ(units.Count(), expected) << needle << " in UTF-16";
    }
}

// UTF-16 code units as bytes of one order.
std::string UnitBytes(std::u16string_view units, bool littleEndian) {
    std::string bytes;
    for (const char16_t unit : units) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

TEST_P(TextCountWidths, Utf16StreamIsCountedInWholeUnitsAfterItsMark) {
    // Units whose bytes repeat the needle's at odd offsets ("a" is 61 00, U+6161 is 61 61, U+6100 is
    // 00 61): a count that takes such a false match, or lets it hide a true one, goes wrong at once.
    std::mt19937 random(777);
    const std::u16string alphabet = u"a\u6161\u6100";
    std::uniform_int_distribution<size_t> letter(0, alphabet.size() - 1);
    for (int round = 0; round < 400; ++round) {
        std::u16string text(std::uniform_int_distribution<size_t>(0, 600)(random), u' ');
        std::u16string needle(std::uniform_int_distribution<size_t>(1, 6)(random), u' ');
        for (auto* units : {&text, &needle}) {
            for (char16_t& unit : *units) {
                unit = alphabet[letter(random)];
            }
        }
        int64_t expected = 0;
        for (size_t at = 0; (at = text.find(needle, at)) != std::u16string::npos; at += needle.size()) {
            ++expected;
        }
        const size_t chunk = std::uniform_int_distribution<size_t>(1, round % 2 == 0 ? 40 : 700)(random);
        const bool littleEndian = round % 2 == 0;
        const std::string stream = (littleEndian ? "\xFF\xFE" : "\xFE\xFF") + UnitBytes(text, littleEndian);
        // The byte forms stand for a text without a mark; here they must not count.
        OccurrenceCounter counter(SearchForms{"a", "\x61\x61", needle}, chunk);
        counter.Feed(stream.data(), stream.size());
        ASSERT_EQ(counter.Count(), expected) << "round " << round << " chunk " << chunk;
    }
}

TEST(TextCount, Utf16FilesAreCountedInTheirByteOrderAcrossReads) {
    test::TempDirectory folder("count16");
    const std::string utf8 = "Ошибка";
    const std::u16string utf16 = u"Ошибка";
    const SearchForms forms{"\xCE\xF8\xE8\xE1\xEA\xE0", utf8, utf16};
    for (const bool littleEndian : {true, false}) {
        const std::string needle = UnitBytes(utf16, littleEndian);
        std::string file = (littleEndian ? "\xFF\xFE" : "\xFE\xFF") +
                           UnitBytes(std::u16string(kCountChunkSize + 100, u'.'), littleEndian);
        // Three true matches (right after the mark, across the first read boundary and before the
        // second), a false one at an odd offset across the second boundary, and the text's UTF-8 bytes.
        for (const size_t at : {size_t{2}, kCountChunkSize - 4, 2 * kCountChunkSize - 30}) {
            file.replace(at, needle.size(), needle);
        }
        file.replace(2 * kCountChunkSize - 3, needle.size(), needle);
        file.replace(1000, utf8.size(), utf8);
        const std::string path = folder.WriteFile(littleEndian ? "le.txt" : "be.txt", file);
        fs::Reader reader;
        ASSERT_TRUE(fs::Reader::Open(path, reader));
        EXPECT_EQ(CountOccurrences(reader, forms), std::optional<int64_t>(3)) << littleEndian;
        // Without its mark the same text is bytes: only the UTF-8 form counts.
        const std::string bare = folder.WriteFile("bare.txt", file.substr(2));
        fs::Reader bareReader;
        ASSERT_TRUE(fs::Reader::Open(bare, bareReader));
        EXPECT_EQ(CountOccurrences(bareReader, forms), std::optional<int64_t>(1)) << littleEndian;
    }
}

TEST(TextCount, MarkAloneOrTooShortForOne) {
    // "я" is FF in Windows-1251: one byte is no mark and counts, the same byte in a mark does not.
    const SearchForms forms{"\xFF", "я", u"я"};
    auto count = [&](std::string_view stream, size_t chunk) {
        OccurrenceCounter counter(forms, chunk);
        counter.Feed(stream.data(), stream.size());
        return counter.Count();
    };
    for (const size_t chunk : {1, 4}) {
        EXPECT_EQ(count("\xFF", chunk), 1);
        EXPECT_EQ(count("\xFF\xFE", chunk), 0);
        EXPECT_EQ(count("\xFE\xFF", chunk), 0);
        EXPECT_EQ(count("\xFF\xFE\x4F\x04", chunk), 1);
        EXPECT_EQ(count("\xFE\xFF\x04\x4F\x04", chunk), 1);  // a last odd byte is no unit
    }
    // The mark is not part of the text, even where the text begins with the same character.
    OccurrenceCounter withMark(SearchForms{"-", {}, u"\uFEFF-"});
    withMark.Feed("\xFF\xFE-\0-\0", 6);
    EXPECT_EQ(withMark.Count(), 0);
}

TEST(TextCount, LongNeedleLongerThanTheChunk) {
    const std::string needle(50, 'z');
    std::string text = "yy" + needle + "y" + needle + needle.substr(1) + "y" + needle + needle;
    EXPECT_EQ(CountStreamed(text, needle, 7), ReferenceCount(text, needle));
    EXPECT_EQ(ReferenceCount(text, needle), 4);
}

TEST(TextCount, FileIsStreamedWithMatchesOnTheReadBoundaries) {
    test::TempDirectory folder("count");
    // Matches placed across every read boundary of a file long enough to be split between two
    // threads after its first chunks, read as the file check reads it (past its end on the last read).
    const std::string needle = "needle";
    std::string text(7 * kCountChunkSize + 1000, '.');
    std::vector<size_t> starts = {0,
                                  10,
                                  kCountChunkSize - 3,
                                  2 * kCountChunkSize - 1,
                                  2 * kCountChunkSize - 7,
                                  3 * kCountChunkSize - 5,
                                  4 * kCountChunkSize - 2,
                                  5 * kCountChunkSize - 3,
                                  6 * kCountChunkSize - 1,
                                  7 * kCountChunkSize - 4,
                                  text.size() - needle.size()};
    for (size_t at : starts) {
        text.replace(at, needle.size(), needle);
    }
    const std::string path = folder.WriteFile("big.txt", text);
    const auto counted = CountOccurrences(path, needle);
    ASSERT_TRUE(counted.has_value());
    EXPECT_EQ(*counted, ReferenceCount(text, needle));
    EXPECT_EQ(*counted, 11);

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
    EXPECT_EQ(CountOccurrences(reader, SearchForms{ansi, utf8, {}}), std::optional<int64_t>(3));
    // The same form twice counts once.
    fs::Reader again;
    ASSERT_TRUE(fs::Reader::Open(path, again));
    EXPECT_EQ(CountOccurrences(again, SearchForms{utf8, utf8, {}}), std::optional<int64_t>(2));
}

// A large file is split between two threads after its first reads. The reads return pieces of uneven
// lengths (as those of a growing log may); the forms lie across every piece and chunk boundary, among
// them an occurrence that overlaps the one before across a chunk's start; a read that fails before,
// at and after the split gives no count.
TEST(TextCount, SplitCountsAcrossEveryBoundaryAndReportsAFailedRead) {
    std::mt19937 random(4242);
    const std::vector<size_t> first = {kCountChunkSize, 1 + random() % kCountChunkSize, kCountChunkSize,
                                       1 + random() % kCountChunkSize};  // the reads before the split
    const size_t start = std::accumulate(first.begin(), first.end(), size_t{0});
    const size_t total = start + 9 * kCountChunkSize + 12345;
    std::vector<size_t> boundaries;
    std::partial_sum(first.begin(), first.end(), std::back_inserter(boundaries));
    for (size_t at = start + kCountChunkSize; at < total; at += kCountChunkSize) {
        boundaries.push_back(at);
    }
    const std::string ansi = "\xF2\xE0\xE9\xEC\xE0\xF3\xF2";  // "таймаут" in Windows-1251
    const std::u16string wide = u"таймаут";
    for (const bool utf16 : {false, true}) {
        const std::string needle = utf16 ? UnitBytes(wide, true) : std::string("таймаут");
        // Both forms begin and end with the same letter: two occurrences can share it.
        const std::string twice = needle + needle.substr(2);
        std::string text = utf16 ? "\xFF\xFE" : "";
        while (text.size() < total) {
            text += std::string(40, '.') + needle;
        }
        text.resize(total);
        for (const size_t boundary : boundaries) {
            // Across the boundary, the second of two that share a letter beginning after it; in UTF-16
            // also at an odd offset (no match).
            const size_t at = boundary - 1 - random() % (needle.size() - 1);
            text.replace(at, twice.size(), twice);
            const std::string& second = utf16 ? needle : ansi;
            text.replace(at + twice.size() + 1 + random() % 2, second.size(), second);
        }
        int64_t expected = 0;
        if (utf16) {
            // Whole units only: a match at an odd offset takes nothing from the next one.
            for (size_t at = 2; (at = text.find(needle, at)) != std::string::npos;) {
                const bool whole = at % 2 == 0;
                expected += whole;
                at += whole ? needle.size() : 1;
            }
        } else {
            expected = ReferenceCount(text, needle) + ReferenceCount(text, ansi);
        }
        ASSERT_EQ(text.size(), total);
        for (const int failAt : {-1, 2, 4, 9}) {
            std::mutex mutex;  // the source is read from two threads
            std::condition_variable readElsewhere;
            int call = 0;
            bool split = false;  // a read on another thread
            bool waited = false;
            const ReadAtFunction readAt = [&, self = std::this_thread::get_id()](
                                              uint64_t offset, char* buffer, size_t capacity) -> int64_t {
                std::unique_lock<std::mutex> lock(mutex);
                if (std::this_thread::get_id() != self) {
                    split = true;
                    readElsewhere.notify_all();
                } else if (call >= 4 && !waited) {
                    // However slowly the other thread starts, it takes part.
                    waited = true;
                    readElsewhere.wait_for(lock, std::chrono::seconds(5), [&] { return split; });
                }
                const int index = call++;
                if (index == failAt) {
                    return -1;
                }
                // The first reads as listed; later ones at times shorter than asked for.
                const size_t piece = index < 4 ? first[index] : 1 + random() % capacity;
                const size_t length =
                    offset >= text.size() ? 0 : std::min({piece, capacity, text.size() - offset});
                std::memcpy(buffer, text.data() + offset, length);
                return static_cast<int64_t>(length);
            };
            const auto counted = CountOccurrences(readAt, total, SearchForms{"таймаут", ansi, wide});
            if (failAt < 0) {
                EXPECT_EQ(split, std::thread::hardware_concurrency() != 1);
                EXPECT_EQ(counted, std::optional<int64_t>(expected)) << "UTF-16 " << utf16;
            } else {
                EXPECT_EQ(counted, std::nullopt) << "UTF-16 " << utf16 << ", failed read " << failAt;
            }
        }
    }
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
