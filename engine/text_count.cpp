#include "engine/text_count.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#include "engine/checks.h"
#include "engine/measurement.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ORV_COUNT_SSE2 1
#include <emmintrin.h>
#endif

// GCC and Clang on x86-64 also build a 32-byte variant, chosen at run time when the processor has it.
#if defined(ORV_COUNT_SSE2) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ORV_COUNT_AVX2 1
#include <immintrin.h>
#endif

namespace orv::engine {
namespace {

// How common a byte is in ordinary text and logs, roughly: higher is more common. Only the order
// matters; a wrong guess costs speed, never a wrong count.
int ByteCommonness(char value) {
    const auto c = static_cast<unsigned char>(value);
    static constexpr std::string_view kLetters = "etaoinshrdlcumwfgypbvkjxqz";  // most common first
    if (c == ' ') {
        return 255;
    }
    if (c >= 'a' && c <= 'z') {
        return 250 - static_cast<int>(kLetters.find(static_cast<char>(c)));
    }
    if (c >= '0' && c <= '9') {
        return 230;
    }
    if (c >= 'A' && c <= 'Z') {
        return 200 - static_cast<int>(kLetters.find(static_cast<char>(c - 'A' + 'a')));
    }
    if (c == '\n' || c == '.' || c == ',' || c == ':' || c == '-' || c == '/' || c == '_' || c == '=') {
        return 210;
    }
    if (c > ' ' && c < 127) {
        return 160;  // other punctuation
    }
    if (c >= 128) {
        return 120;  // parts of non-ASCII characters
    }
    return c == '\t' || c == '\r' || c == 0 ? 100 : 20;
}

// Where a match may begin, as a bit per position of a run of 64 (bit k: position k of the run); the
// pattern repeats every two bits, so it holds for any run that starts at an even position of its block.
constexpr uint64_t kEveryByte = ~uint64_t{0};
constexpr uint64_t kEvenBytes = 0x5555555555555555;

inline bool MayStartAt(uint64_t starts, size_t position) {
    return (starts >> (position & 63) & 1) != 0;
}

// Two overlapping words, the first and the last of the needle, cover a needle of one to two words
// without a library call.
template <class Word>
inline bool EqualByEnds(const unsigned char* at, const unsigned char* needle, size_t length) {
    Word a0, a1, b0, b1;
    std::memcpy(&a0, at, sizeof(Word));
    std::memcpy(&b0, needle, sizeof(Word));
    std::memcpy(&a1, at + length - sizeof(Word), sizeof(Word));
    std::memcpy(&b1, needle + length - sizeof(Word), sizeof(Word));
    return ((a0 ^ b0) | (a1 ^ b1)) == 0;
}

// Whether the needle sits at `at`; the bytes are known to be there.
inline bool Equal(const unsigned char* at, const unsigned char* needle, size_t length) {
    if (length >= 8 && length <= 16) {
        return EqualByEnds<uint64_t>(at, needle, length);
    }
    if (length >= 4 && length < 8) {
        return EqualByEnds<uint32_t>(at, needle, length);
    }
    return std::memcmp(at, needle, length) == 0;
}

// The plain search from `start`: the tail of a block, and everything where no vector unit exists.
int64_t CountScalar(const unsigned char* data, size_t size, const unsigned char* needle, size_t length,
                    uint64_t starts, size_t start, size_t& resume) {
    int64_t count = 0;
    size_t p = start;
    while (p + length <= size) {
        const void* hit = std::memchr(data + p, needle[0], size - length + 1 - p);
        if (hit == nullptr) {
            break;
        }
        p = static_cast<size_t>(static_cast<const unsigned char*>(hit) - data);
        if (MayStartAt(starts, p) && std::memcmp(data + p, needle, length) == 0) {
            ++count;
            p += length;
            resume = p;
        } else {
            ++p;
        }
    }
    return count;
}

#ifdef ORV_COUNT_SSE2
inline unsigned Mask(__m128i v) {
    return static_cast<unsigned>(_mm_movemask_epi8(v));
}

inline __m128i Load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// Candidate positions i..i+63 of four blocks: both probe bytes in their places. Candidates before
// `floor` (inside the last match) are passed over. One loop over all four blocks keeps the branches
// few where nearly every line holds a match.
inline void CheckCandidates(uint64_t mask, size_t i, const unsigned char* data, const unsigned char* needle,
                            size_t length, size_t& floor, int64_t& count) {
    while (mask != 0) {
        const size_t p = i + static_cast<size_t>(std::countr_zero(mask));
        mask &= mask - 1;
        if (p >= floor && Equal(data + p, needle, length)) {
            ++count;
            floor = p + length;  // matches never overlap: the next one begins after this one
        }
    }
}

// One byte: every equal byte is a match. Equal bytes are summed in byte lanes (a lane can take 255
// blocks before it is folded into the total).
int64_t CountByte(const unsigned char* data, size_t size, unsigned char byte, size_t& resume) {
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(byte));
    const __m128i zero = _mm_setzero_si128();
    int64_t count = 0;
    size_t i = 0;
    while (i + 16 <= size) {
        __m128i lanes = zero;
        const size_t blocks = std::min<size_t>((size - i) / 16, 255);
        for (size_t b = 0; b < blocks; ++b, i += 16) {
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(Load(data + i), wanted));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        count += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
    const size_t vectorEnd = i;
    for (; i < size; ++i) {
        count += data[i] == byte;
    }
    // The position after the last match: looked for from the end, a block at a time.
    resume = 0;
    for (size_t j = size; j > vectorEnd; --j) {
        if (data[j - 1] == byte) {
            resume = j;
            return count;
        }
    }
    for (size_t end = vectorEnd; end >= 16; end -= 16) {
        const unsigned mask = Mask(_mm_cmpeq_epi8(Load(data + end - 16), wanted));
        if (mask != 0) {
            resume = end - 16 + std::bit_width(mask);  // just past the last equal byte
            break;
        }
    }
    return count;
}

// The vector scans go on from `i` and leave it where they stopped (fewer than 64 positions where a
// match can begin are left); `floor` is the first position where a match may begin.
int64_t ScanSse2(const unsigned char* data, size_t size, const unsigned char* needle, size_t length,
                 const NeedleProbe& probe, uint64_t starts, size_t& i, size_t& floor) {
    const __m128i byteA = _mm_set1_epi8(static_cast<char>(needle[probe.first]));
    const __m128i byteB = _mm_set1_epi8(static_cast<char>(needle[probe.second]));
    const unsigned char* atA = data + probe.first;
    const unsigned char* atB = data + probe.second;
    const size_t positions = size - length + 1;  // where a match can begin
    auto candidates = [&](size_t at) {
        return _mm_and_si128(_mm_cmpeq_epi8(Load(atA + at), byteA), _mm_cmpeq_epi8(Load(atB + at), byteB));
    };
    int64_t count = 0;
    // Four blocks at a time; most of a long file has no candidate at all.
    for (; i + 64 <= positions; i += 64) {
        const __m128i c0 = candidates(i), c1 = candidates(i + 16), c2 = candidates(i + 32),
                      c3 = candidates(i + 48);
        if (Mask(_mm_or_si128(_mm_or_si128(c0, c1), _mm_or_si128(c2, c3))) == 0) {
            continue;
        }
        const uint64_t mask =
            Mask(c0) | (uint64_t{Mask(c1)} << 16) | (uint64_t{Mask(c2)} << 32) | (uint64_t{Mask(c3)} << 48);
        CheckCandidates(mask & starts, i, data, needle, length, floor, count);
    }
    for (; i + 16 <= positions; i += 16) {
        CheckCandidates(Mask(candidates(i)) & starts, i, data, needle, length, floor, count);
    }
    return count;
}
#endif

#ifdef ORV_COUNT_AVX2
#define ORV_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

// Candidates at 32 positions: both probe bytes in their places.
ORV_AVX2_INLINE __m256i Candidates32(const unsigned char* atA, const unsigned char* atB, __m256i byteA,
                                     __m256i byteB) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(atA));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(atB));
    return _mm256_and_si256(_mm256_cmpeq_epi8(a, byteA), _mm256_cmpeq_epi8(b, byteB));
}

ORV_AVX2_INLINE uint64_t Bits64(__m256i low, __m256i high) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(low)) |
           (uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(high))} << 32);
}

__attribute__((target("avx2"))) int64_t ScanAvx2(const unsigned char* data, size_t size,
                                                 const unsigned char* needle, size_t length,
                                                 const NeedleProbe& probe, uint64_t starts, size_t& i,
                                                 size_t& floor) {
    const __m256i byteA = _mm256_set1_epi8(static_cast<char>(needle[probe.first]));
    const __m256i byteB = _mm256_set1_epi8(static_cast<char>(needle[probe.second]));
    const unsigned char* atA = data + probe.first;
    const unsigned char* atB = data + probe.second;
    const size_t positions = size - length + 1;
    int64_t count = 0;
    // 128 positions per test: the test costs less than the four compares it follows.
    for (; i + 128 <= positions; i += 128) {
        const __m256i c0 = Candidates32(atA + i, atB + i, byteA, byteB);
        const __m256i c1 = Candidates32(atA + i + 32, atB + i + 32, byteA, byteB);
        const __m256i c2 = Candidates32(atA + i + 64, atB + i + 64, byteA, byteB);
        const __m256i c3 = Candidates32(atA + i + 96, atB + i + 96, byteA, byteB);
        const __m256i any = _mm256_or_si256(_mm256_or_si256(c0, c1), _mm256_or_si256(c2, c3));
        if (_mm256_testz_si256(any, any)) {
            continue;
        }
        CheckCandidates(Bits64(c0, c1) & starts, i, data, needle, length, floor, count);
        CheckCandidates(Bits64(c2, c3) & starts, i + 64, data, needle, length, floor, count);
    }
    return count;
}

std::atomic<bool> wideVectorsAllowed{true};

bool UseAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has && wideVectorsAllowed.load(std::memory_order_relaxed);
}
#endif

}  // namespace

void AllowWideVectors(bool allowed) {
#ifdef ORV_COUNT_AVX2
    wideVectorsAllowed.store(allowed, std::memory_order_relaxed);
#else
    (void)allowed;
#endif
}

NeedleProbe ChooseProbe(std::string_view needle, ByteForm form) {
    NeedleProbe probe;
    const size_t length = needle.size();
    if (length < 2) {
        return probe;
    }
    // In UTF-16 the high byte of a unit is shared by a whole alphabet (zero for Latin text): ranked above
    // every byte, it is probed only where the needle is a single unit.
    const size_t highByteParity = form == ByteForm::Utf16LittleEndian ? 1 : 0;
    auto commonness = [&](size_t i) {
        if (form != ByteForm::Bytes && i % 2 == highByteParity) {
            return 256;
        }
        return ByteCommonness(needle[i]);
    };
    // The two needle bytes least likely in ordinary text: a candidate must have both in their places,
    // so rarer bytes leave fewer candidates to compare in full.
    size_t best = 0;
    for (size_t i = 1; i < length; ++i) {
        if (commonness(i) < commonness(best)) {
            best = i;
        }
    }
    size_t second = best == 0 ? 1 : 0;
    for (size_t i = 0; i < length; ++i) {
        if (i != best && commonness(i) < commonness(second)) {
            second = i;
        }
    }
    probe.first = std::min(best, second);
    probe.second = std::max(best, second);
    return probe;
}

namespace {

// Non-overlapping occurrences that begin where `starts` allows.
int64_t CountFrom(const char* block, size_t size, std::string_view needle, const NeedleProbe& probe,
                  uint64_t starts, size_t& resume) {
    resume = 0;
    const size_t length = needle.size();
    if (length == 0 || size < length) {
        return 0;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(block);
    const auto* wanted = reinterpret_cast<const unsigned char*>(needle.data());
#ifdef ORV_COUNT_SSE2
    if (length == 1 && starts == kEveryByte) {
        return CountByte(data, size, wanted[0], resume);
    }
    size_t floor = 0;  // no match may begin before this position
    size_t i = 0;      // where the vector scans stopped
    int64_t count = 0;
#ifdef ORV_COUNT_AVX2
    if (UseAvx2()) {
        count += ScanAvx2(data, size, wanted, length, probe, starts, i, floor);
    }
#endif
    count += ScanSse2(data, size, wanted, length, probe, starts, i, floor);
    resume = floor;
    return count + CountScalar(data, size, wanted, length, starts, std::max(i, floor), resume);
#else
    (void)probe;
    return CountScalar(data, size, wanted, length, starts, 0, resume);
#endif
}

}  // namespace

int64_t CountInBlock(const char* block, size_t size, std::string_view needle, size_t& resume) {
    return CountInBlock(block, size, needle, ChooseProbe(needle), resume);
}

int64_t CountInBlock(const char* block, size_t size, std::string_view needle, const NeedleProbe& probe,
                     size_t& resume) {
    return CountFrom(block, size, needle, probe, kEveryByte, resume);
}

int64_t CountUnitsInBlock(const char* block, size_t size, std::string_view needle, const NeedleProbe& probe,
                          size_t phase, size_t& resume) {
    return CountFrom(block, size, needle, probe, phase % 2 == 0 ? kEvenBytes : ~kEvenBytes, resume);
}

constexpr size_t kPage = 4096;

OccurrenceCounter::OccurrenceCounter(std::string_view needle, size_t chunkSize)
    : OccurrenceCounter(SearchForms{needle, {}, {}}, chunkSize) {}

OccurrenceCounter::OccurrenceCounter(std::string_view needle, std::string_view otherForm, size_t chunkSize)
    : OccurrenceCounter(SearchForms{needle, otherForm, {}}, chunkSize) {}

OccurrenceCounter::OccurrenceCounter(const SearchForms& forms, size_t chunkSize)
    : chunkSize_(std::max<size_t>(chunkSize, 1)) {
    // The same form twice counts once.
    const std::string_view second = forms.otherBytes == forms.bytes ? std::string_view() : forms.otherBytes;
    forms_[0].needle = forms.bytes;
    forms_[1].needle = second;
    for (Form& form : forms_) {
        form.probe = ChooseProbe(form.needle);
    }
    utf16LittleEndian_.reserve(forms.utf16.size() * 2);
    for (const char16_t unit : forms.utf16) {
        utf16LittleEndian_ += static_cast<char>(unit & 0xFF);
        utf16LittleEndian_ += static_cast<char>(unit >> 8);
    }
    const size_t longest = std::max({forms.bytes.size(), second.size(), utf16LittleEndian_.size()});
    buffer_.reset(new char[kPage + longest + chunkSize_ + kPage]);
    // The chunk starts on the first page boundary that leaves room for the carry before it.
    const auto room = reinterpret_cast<uintptr_t>(buffer_.get()) + longest;
    chunk_ =
        buffer_.get() + ((room + kPage - 1) / kPage * kPage - reinterpret_cast<uintptr_t>(buffer_.get()));
}

// Called before the first two bytes of the stream are searched. Up to then the byte forms are counted
// (a stream of one byte has no mark); after a mark the UTF-16 form replaces them, and what they
// counted in its first byte was part of the mark.
void OccurrenceCounter::LookForByteOrderMark(size_t size) {
    if (streamed_ == 0 && size != 0) {
        firstByte_ = chunk_[0];
    }
    if (streamed_ + size < 2) {
        return;
    }
    markLookedFor_ = true;
    const auto first = static_cast<unsigned char>(firstByte_);
    const auto second = static_cast<unsigned char>(streamed_ == 0 ? chunk_[1] : chunk_[0]);
    const bool littleEndian = first == 0xFF && second == 0xFE;
    const bool bigEndian = first == 0xFE && second == 0xFF;
    if (utf16LittleEndian_.empty() || (!littleEndian && !bigEndian)) {
        return;
    }
    Form units;
    units.needle = utf16LittleEndian_;
    if (bigEndian) {
        for (size_t i = 0; i + 1 < units.needle.size(); i += 2) {
            std::swap(units.needle[i], units.needle[i + 1]);
        }
    }
    units.probe =
        ChooseProbe(units.needle, littleEndian ? ByteForm::Utf16LittleEndian : ByteForm::Utf16BigEndian);
    units.carry = -static_cast<ptrdiff_t>(2 - streamed_);  // the text begins after the mark
    units.units = true;
    forms_[0] = std::move(units);
    forms_[1] = Form{};
}

void OccurrenceCounter::Commit(size_t size) {
    if (!markLookedFor_) {
        LookForByteOrderMark(size);
    }
    size_t keep = 0;
    for (Form& form : forms_) {
        if (form.needle.empty()) {
            continue;
        }
        // Never negative: the mark lies within what has been committed.
        const size_t total = static_cast<size_t>(static_cast<ptrdiff_t>(size) + form.carry);
        const char* const start = chunk_ - form.carry;
        size_t resume = 0;
        if (form.units) {
            // The units begin at even offsets of the stream (the mark is one unit).
            const auto startInStream = static_cast<int64_t>(streamed_) - form.carry;
            form.count += CountUnitsInBlock(start, total, form.needle, form.probe,
                                            static_cast<size_t>(startInStream % 2), resume);
        } else {
            form.count += CountInBlock(start, total, form.needle, form.probe, resume);
        }
        // A match may begin in the last (length - 1) bytes and end in the next piece; bytes a match
        // has already taken are not searched again.
        const size_t tail = form.needle.size() - 1;
        const size_t carry = total - std::max(resume, total > tail ? total - tail : 0);
        form.carry = static_cast<ptrdiff_t>(carry);
        keep = std::max(keep, carry);
    }
    streamed_ += size;
    // Each form's carry is a tail of what was searched: the longest of them serves both.
    if (keep != 0) {
        std::memmove(chunk_ - keep, chunk_ + size - keep, keep);
    }
}

void OccurrenceCounter::Feed(const char* data, size_t size) {
    while (size != 0) {
        const size_t piece = std::min(size, Capacity());
        std::memcpy(Space(), data, piece);
        Commit(piece);
        data += piece;
        size -= piece;
    }
}

namespace {

// Reads the rest of the file through `counter`'s space. False when a read failed.
bool ReadThrough(fs::Reader& reader, OccurrenceCounter& counter) {
    for (;;) {
        const int64_t got = reader.Read(counter.Space(), counter.Capacity());
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        Measurement::NoteProgress();  // a large file on a slow share is slow, not held
        counter.Commit(static_cast<size_t>(got));
    }
}

}  // namespace

std::optional<int64_t> CountOccurrences(fs::Reader& reader, std::string_view needle) {
    return CountOccurrences(reader, SearchForms{needle, {}, {}});
}

std::optional<int64_t> CountOccurrences(fs::Reader& reader, const SearchForms& forms) {
    if (forms.bytes.empty() && forms.otherBytes.empty() && forms.utf16.empty()) {
        return 0;
    }
    // Every form is searched in the one chunk each read leaves in the counter's space.
    OccurrenceCounter counter(forms);
    if (!ReadThrough(reader, counter)) {
        return std::nullopt;
    }
    return counter.Count();
}

std::optional<int64_t> CountOccurrences(std::string_view path, std::string_view needle) {
    fs::Reader reader;
    if (!fs::Reader::Open(path, reader)) {
        return std::nullopt;
    }
    return CountOccurrences(reader, needle);
}

}  // namespace orv::engine
