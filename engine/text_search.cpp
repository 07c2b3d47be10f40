#include "engine/text_search.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ORV_COUNT_SSE2 1
#include <emmintrin.h>
#endif

// GCC and Clang on x86-64 also build 32- and 64-byte variants, chosen at run time by what the processor has.
#if defined(ORV_COUNT_SSE2) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ORV_COUNT_WIDE 1
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

// The candidates of a span of positions are first collected, then confirmed in one loop: where a
// text is on every line, a loop per vector block would end at an unforeseeable point in every block.
constexpr size_t kSpan = 4096;  // positions per collection, a multiple of 256

// A collection of candidate positions (relative to the span's start). Four more than the span: the
// collector writes up to four entries of every mask, used or not.
struct Candidates {
    uint32_t at[kSpan + 4];
    size_t size = 0;
};

#if defined(__GNUC__) || defined(__clang__)
#define ORV_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define ORV_ALWAYS_INLINE __forceinline
#endif

// Keeps the compiler from branching on a value it could otherwise follow: a branch whose outcome changes
// with the text costs more than the work it would save.
ORV_ALWAYS_INLINE void Opaque(uint64_t& value) {
#if defined(__GNUC__) || defined(__clang__)
    __asm__("" : "+r"(value));
#else
    (void)value;
#endif
}

// Adds the positions of the bits of `mask` (bit k: position `base` + k): the first kSlots without a
// branch, the rest, where a block holds more, in a loop.
template <size_t kSlots>
ORV_ALWAYS_INLINE void Collect(uint64_t mask, uint32_t base, Candidates& candidates) {
    uint32_t* out = candidates.at + candidates.size;
    candidates.size += static_cast<size_t>(std::popcount(mask));
    for (size_t k = 0; k < kSlots; ++k) {
        out[k] = base + static_cast<uint32_t>(std::countr_zero(mask));
        mask &= mask - 1;
        Opaque(mask);
    }
    for (size_t k = kSlots; mask != 0; ++k) {
        out[k] = base + static_cast<uint32_t>(std::countr_zero(mask));
        mask &= mask - 1;
    }
}

// The candidates of a run of 256 positions (four masks, the first at `base`). Where the last span held
// many, every mask gets four entries without a branch; otherwise two, and a loop takes the rare third.
ORV_ALWAYS_INLINE void CollectRun(const uint64_t (&masks)[4], uint64_t starts, uint32_t base, bool dense,
                                  Candidates& candidates) {
    if (dense) {
        for (size_t m = 0; m < 4; ++m) {
            Collect<4>(masks[m] & starts, base + static_cast<uint32_t>(64 * m), candidates);
        }
    } else {
        for (size_t m = 0; m < 4; ++m) {
            Collect<2>(masks[m] & starts, base + static_cast<uint32_t>(64 * m), candidates);
        }
    }
}

// More than one and a half candidates per mask on average.
constexpr size_t kDenseSpan = kSpan / 64 * 3 / 2;

// Counts the matches among the collected candidates of the span that starts at `from`, one by one in
// order. `floor` is the first position where a match may begin; it moves behind each match, since
// matches never overlap.
int64_t ConfirmInOrder(const Candidates& candidates, const unsigned char* data, size_t from,
                       const SearchPlan& plan, size_t& floor) {
    const size_t length = plan.needle.size();
    const auto* needle = reinterpret_cast<const unsigned char*>(plan.needle.data());
    int64_t count = 0;
    for (size_t k = 0; k < candidates.size; ++k) {
        const size_t p = from + candidates.at[k];
        if (p >= floor && Equal(data + p, needle, length)) {
            ++count;
            floor = p + length;
        }
    }
    return count;
}

// The same, faster where no two candidates lie closer than the needle is long and none lies before
// `floor`: then no match can hide another, and each candidate is confirmed on its own.
ORV_ALWAYS_INLINE int64_t Confirm(const Candidates& candidates, const unsigned char* data, size_t from,
                                  const SearchPlan& plan, size_t& floor) {
    const size_t length = plan.needle.size();
    const auto* needle = reinterpret_cast<const unsigned char*>(plan.needle.data());
    int64_t count = 0;
    size_t end = floor;  // the end of the last match
    size_t previous = floor;
    bool apart = true;
    for (size_t k = 0; k < candidates.size; ++k) {
        const size_t p = from + candidates.at[k];
        apart &= p >= previous;
        previous = p + length;
        const bool match = Equal(data + p, needle, length);
        count += match;
        end = match ? p + length : end;
    }
    if (!apart) {
        return ConfirmInOrder(candidates, data, from, plan, floor);
    }
    floor = end;
    return count;
}

// Counts the matches of a run of 256 positions from `base`, given where the whole needle is (bit k of
// `found[m]`: position base + 64m + k). Where no two of them overlap and none begins before `floor`,
// they all count; otherwise they are taken in order, each after the end of the last one counted.
ORV_ALWAYS_INLINE int64_t CountRun(const uint64_t (&found)[4], size_t base, const SearchPlan& plan,
                                   size_t& floor) {
    const size_t length = plan.needle.size();
    const size_t taken = std::min<size_t>(floor > base ? floor - base : 0, 63);
    uint64_t clash = found[0] & ((uint64_t{1} << taken) - 1);
    for (size_t k = 0; k < plan.periods; ++k) {
        const unsigned p = plan.periodLengths[k];
        for (size_t m = 0; m < 4; ++m) {
            const uint64_t after = found[m] >> p | (m < 3 ? found[m + 1] << (64 - p) : 0);
            clash |= found[m] & after;
        }
    }
    int64_t count = 0;
    if (clash == 0) {
        size_t end = floor;
        for (size_t m = 0; m < 4; ++m) {
            count += std::popcount(found[m]);
            const size_t last = base + 64 * m + 63 - static_cast<size_t>(std::countl_zero(found[m]));
            end = found[m] != 0 ? last + length : end;
        }
        floor = end;
        return count;
    }
    for (size_t m = 0; m < 4; ++m) {
        for (uint64_t bits = found[m]; bits != 0; bits &= bits - 1) {
            const size_t p = base + 64 * m + static_cast<size_t>(std::countr_zero(bits));
            if (p >= floor) {
                ++count;
                floor = p + length;
            }
        }
    }
    return count;
}

// The vector scans go on from `i` in spans and runs of 256 positions and leave `i` where they stopped
// (fewer than 256 positions where a match can begin are left). The probes are loaded from `base`, the
// block moved to its first unit start, so that a vector's elements line up with whole units; `starts`
// keeps the positions where a match may begin.
struct Scan {
    const unsigned char* data;
    size_t positions;  // where a match can begin: size - length + 1
    const SearchPlan& plan;
    uint64_t starts;
    size_t phase;
};

#ifdef ORV_COUNT_SSE2
inline unsigned Mask(__m128i v) {
    return static_cast<unsigned>(_mm_movemask_epi8(v));
}

inline __m128i Load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
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

// Candidates at 16 positions: both probes in their places, compared as bytes or as whole code units
// (a unit's two bits both set).
template <size_t kUnit>
inline __m128i Candidates16(const unsigned char* atA, const unsigned char* atB, __m128i wantedA,
                            __m128i wantedB) {
    if constexpr (kUnit == 1) {
        return _mm_and_si128(_mm_cmpeq_epi8(Load(atA), wantedA), _mm_cmpeq_epi8(Load(atB), wantedB));
    } else {
        return _mm_and_si128(_mm_cmpeq_epi16(Load(atA), wantedA), _mm_cmpeq_epi16(Load(atB), wantedB));
    }
}

template <size_t kUnit>
inline uint64_t Candidates64(const unsigned char* atA, const unsigned char* atB, __m128i wantedA,
                             __m128i wantedB) {
    uint64_t mask = 0;
    for (size_t v = 0; v < 4; ++v) {
        mask |= uint64_t{Mask(Candidates16<kUnit>(atA + 16 * v, atB + 16 * v, wantedA, wantedB))} << (16 * v);
    }
    return mask;
}

// Narrows the candidates of a run of 256 positions (`at`: its first) to the matches: the other elements
// compared element by element, so that the compares of the vectors go on side by side.
template <size_t kUnit>
inline void Narrow128(const unsigned char* at, const __m128i* wanted, const SearchPlan& plan, uint64_t starts,
                      uint64_t (&masks)[4]) {
    for (size_t half = 0; half < 2; ++half) {
        __m128i found[8];
        for (__m128i& vector : found) {
            vector = _mm_set1_epi8(-1);
        }
        for (size_t j = 0; j < plan.others; ++j) {
            for (size_t v = 0; v < 8; ++v) {
                const __m128i loaded = Load(at + 128 * half + 16 * v + plan.otherOffsets[j]);
                found[v] = _mm_and_si128(found[v], kUnit == 1 ? _mm_cmpeq_epi8(loaded, wanted[j])
                                                              : _mm_cmpeq_epi16(loaded, wanted[j]));
            }
        }
        for (size_t m = 0; m < 2; ++m) {
            uint64_t mask = 0;
            for (size_t v = 0; v < 4; ++v) {
                mask |= uint64_t{Mask(found[4 * m + v])} << (16 * v);
            }
            masks[2 * half + m] &= mask & starts;
        }
    }
}

// The scan of a needle compared whole (SearchPlan::whole): the probes find the runs with candidates,
// the other elements then leave the matches.
template <size_t kUnit>
int64_t SpanWholeSse2(const Scan& scan, size_t i, size_t end, size_t& floor, size_t& seen) {
    const SearchPlan& plan = scan.plan;
    const __m128i wantedA = Load(plan.repeated[0]), wantedB = Load(plan.repeated[1]);
    __m128i wanted[kWholeNeedle];
    for (size_t j = 0; j < plan.others; ++j) {
        wanted[j] = kUnit == 1 ? _mm_set1_epi8(static_cast<char>(plan.otherValues[j]))
                               : _mm_set1_epi16(static_cast<short>(plan.otherValues[j]));
    }
    const unsigned char* at = scan.data + scan.phase;
    int64_t count = 0;
    for (; i < end; i += 256) {
        uint64_t masks[4];
        for (size_t m = 0; m < 4; ++m) {
            const unsigned char* run = at + i + 64 * m;
            masks[m] = Candidates64<kUnit>(run + plan.offsets[0], run + plan.offsets[1], wantedA, wantedB);
        }
        if ((masks[0] | masks[1] | masks[2] | masks[3]) == 0) {
            continue;
        }
        for (const uint64_t mask : masks) {
            seen += static_cast<size_t>(std::popcount(mask & scan.starts));
        }
        Narrow128<kUnit>(at + i, wanted, plan, scan.starts, masks);
        count += CountRun(masks, i, plan, floor);
    }
    return count;
}

template <size_t kUnit>
int64_t ScanSse2(const Scan& scan, size_t& next, size_t& floor) {
    const SearchPlan& plan = scan.plan;
    const __m128i wantedA = Load(plan.repeated[0]), wantedB = Load(plan.repeated[1]);
    const unsigned char* atA = scan.data + scan.phase + plan.offsets[0];
    const unsigned char* atB = scan.data + scan.phase + plan.offsets[1];
    Candidates candidates;
    bool dense = false;
    int64_t count = 0;
    size_t i = next;
    while (i + 256 <= scan.positions) {
        const size_t from = i;
        const size_t end = std::min(from + kSpan, scan.positions - scan.positions % 256);
        if (dense && plan.whole) {
            size_t seen = 0;  // a run of many candidates: compared whole while it lasts
            count += SpanWholeSse2<kUnit>(scan, i, end, floor, seen);
            i = end;
            dense = seen > kDenseSpan;
            continue;
        }
        candidates.size = 0;
        for (; i + 256 <= end; i += 256) {
            uint64_t masks[4];
            for (size_t m = 0; m < 4; ++m) {
                masks[m] = Candidates64<kUnit>(atA + i + 64 * m, atB + i + 64 * m, wantedA, wantedB);
            }
            if ((masks[0] | masks[1] | masks[2] | masks[3]) == 0) {
                continue;  // most of a long file has no candidate at all
            }
            CollectRun(masks, scan.starts, static_cast<uint32_t>(i - from), dense, candidates);
        }
        dense = candidates.size > kDenseSpan;
        count += Confirm(candidates, scan.data, from, plan, floor);
    }
    next = i;
    return count;
}

#endif

#ifdef ORV_COUNT_WIDE
#define ORV_AVX2 __attribute__((target("avx2,bmi,popcnt")))
#define ORV_AVX512 __attribute__((target("avx512f,avx512bw,bmi,bmi2,popcnt")))

template <size_t kUnit>
ORV_AVX2 inline __m256i Equal32(const unsigned char* at, __m256i wanted) {
    const __m256i loaded = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    return kUnit == 1 ? _mm256_cmpeq_epi8(loaded, wanted) : _mm256_cmpeq_epi16(loaded, wanted);
}

template <size_t kUnit>
ORV_AVX2 inline uint32_t Candidates32(const unsigned char* atA, const unsigned char* atB, __m256i wantedA,
                                      __m256i wantedB) {
    return static_cast<uint32_t>(
        _mm256_movemask_epi8(_mm256_and_si256(Equal32<kUnit>(atA, wantedA), Equal32<kUnit>(atB, wantedB))));
}

template <size_t kUnit>
ORV_AVX2 inline void Narrow256(const unsigned char* at, const __m256i* wanted, const SearchPlan& plan,
                               uint64_t starts, uint64_t (&masks)[4]) {
    __m256i found[8];
    for (__m256i& vector : found) {
        vector = _mm256_set1_epi8(-1);
    }
    for (size_t j = 0; j < plan.others; ++j) {
        for (size_t v = 0; v < 8; ++v) {
            found[v] =
                _mm256_and_si256(found[v], Equal32<kUnit>(at + 32 * v + plan.otherOffsets[j], wanted[j]));
        }
    }
    for (size_t m = 0; m < 4; ++m) {
        masks[m] &= (static_cast<uint32_t>(_mm256_movemask_epi8(found[2 * m])) |
                     uint64_t{static_cast<uint32_t>(_mm256_movemask_epi8(found[2 * m + 1]))} << 32) &
                    starts;
    }
}

template <size_t kUnit>
ORV_AVX2 int64_t SpanWholeAvx2(const Scan& scan, size_t i, size_t end, size_t& floor, size_t& seen) {
    const SearchPlan& plan = scan.plan;
    const __m256i wantedA = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plan.repeated[0]));
    const __m256i wantedB = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plan.repeated[1]));
    __m256i wanted[kWholeNeedle];
    for (size_t j = 0; j < plan.others; ++j) {
        wanted[j] = kUnit == 1 ? _mm256_set1_epi8(static_cast<char>(plan.otherValues[j]))
                               : _mm256_set1_epi16(static_cast<short>(plan.otherValues[j]));
    }
    const unsigned char* at = scan.data + scan.phase;
    int64_t count = 0;
    for (; i < end; i += 256) {
        uint64_t masks[4];
        for (size_t m = 0; m < 4; ++m) {
            const unsigned char* a = at + i + 64 * m + plan.offsets[0];
            const unsigned char* b = at + i + 64 * m + plan.offsets[1];
            masks[m] = Candidates32<kUnit>(a, b, wantedA, wantedB) |
                       uint64_t{Candidates32<kUnit>(a + 32, b + 32, wantedA, wantedB)} << 32;
        }
        if ((masks[0] | masks[1] | masks[2] | masks[3]) == 0) {
            continue;
        }
        for (const uint64_t mask : masks) {
            seen += static_cast<size_t>(std::popcount(mask & scan.starts));
        }
        Narrow256<kUnit>(at + i, wanted, plan, scan.starts, masks);
        count += CountRun(masks, i, plan, floor);
    }
    return count;
}

template <size_t kUnit>
ORV_AVX2 int64_t ScanAvx2(const Scan& scan, size_t& next, size_t& floor) {
    const SearchPlan& plan = scan.plan;
    const __m256i wantedA = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plan.repeated[0]));
    const __m256i wantedB = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(plan.repeated[1]));
    const unsigned char* atA = scan.data + scan.phase + plan.offsets[0];
    const unsigned char* atB = scan.data + scan.phase + plan.offsets[1];
    Candidates candidates;
    bool dense = false;
    int64_t count = 0;
    size_t i = next;
    while (i + 256 <= scan.positions) {
        const size_t from = i;
        const size_t end = std::min(from + kSpan, scan.positions - scan.positions % 256);
        if (dense && plan.whole) {
            size_t seen = 0;  // a run of many candidates: compared whole while it lasts
            count += SpanWholeAvx2<kUnit>(scan, i, end, floor, seen);
            i = end;
            dense = seen > kDenseSpan;
            continue;
        }
        candidates.size = 0;
        for (; i + 256 <= end; i += 256) {
            uint64_t masks[4];
            for (size_t m = 0; m < 4; ++m) {
                const size_t at = i + 64 * m;
                masks[m] = Candidates32<kUnit>(atA + at, atB + at, wantedA, wantedB) |
                           uint64_t{Candidates32<kUnit>(atA + at + 32, atB + at + 32, wantedA, wantedB)}
                               << 32;
            }
            if ((masks[0] | masks[1] | masks[2] | masks[3]) == 0) {
                continue;
            }
            CollectRun(masks, scan.starts, static_cast<uint32_t>(i - from), dense, candidates);
        }
        dense = candidates.size > kDenseSpan;
        count += Confirm(candidates, scan.data, from, plan, floor);
    }
    next = i;
    return count;
}

// Candidates at 64 positions: a bit per position, or for code units a bit per unit moved to the
// position where the unit begins.
template <size_t kUnit>
ORV_AVX512 inline uint64_t Candidates512(const unsigned char* atA, const unsigned char* atB, __m512i wantedA,
                                         __m512i wantedB, uint64_t starts) {
    if constexpr (kUnit == 1) {
        return _mm512_mask_cmpeq_epi8_mask(_mm512_cmpeq_epi8_mask(_mm512_loadu_si512(atA), wantedA),
                                           _mm512_loadu_si512(atB), wantedB);
    } else {
        return _pdep_u64(
            _mm512_mask_cmpeq_epi16_mask(_mm512_cmpeq_epi16_mask(_mm512_loadu_si512(atA), wantedA),
                                         _mm512_loadu_si512(atB), wantedB),
            starts);
    }
}

// Narrows the candidates of a run of 256 positions (`at`: its first) to the matches: the other elements
// compared element by element, so that the compares of the four vectors go on side by side.
template <size_t kUnit>
ORV_AVX512 inline void Narrow512(const unsigned char* at, const __m512i* wanted, const SearchPlan& plan,
                                 uint64_t starts, uint64_t (&masks)[4]) {
    uint64_t found[4] = {~uint64_t{0}, ~uint64_t{0}, ~uint64_t{0}, ~uint64_t{0}};
    for (size_t j = 0; j < plan.others; ++j) {
        for (size_t m = 0; m < 4; ++m) {
            const __m512i loaded = _mm512_loadu_si512(at + 64 * m + plan.otherOffsets[j]);
            found[m] = kUnit == 1 ? _mm512_mask_cmpeq_epi8_mask(found[m], loaded, wanted[j])
                                  : _mm512_mask_cmpeq_epi16_mask(static_cast<__mmask32>(found[m]), loaded,
                                                                 wanted[j]);
        }
    }
    for (size_t m = 0; m < 4; ++m) {
        masks[m] &= kUnit == 1 ? found[m] : _pdep_u64(static_cast<uint32_t>(found[m]), starts);
    }
}

template <size_t kUnit>
ORV_AVX512 int64_t SpanWholeAvx512(const Scan& scan, size_t i, size_t end, size_t& floor, size_t& seen) {
    const SearchPlan& plan = scan.plan;
    const __m512i wantedA = _mm512_loadu_si512(plan.repeated[0]);
    const __m512i wantedB = _mm512_loadu_si512(plan.repeated[1]);
    __m512i wanted[kWholeNeedle];
    for (size_t j = 0; j < plan.others; ++j) {
        wanted[j] = kUnit == 1 ? _mm512_set1_epi8(static_cast<char>(plan.otherValues[j]))
                               : _mm512_set1_epi16(static_cast<short>(plan.otherValues[j]));
    }
    const unsigned char* at = scan.data + scan.phase;
    int64_t count = 0;
    for (; i < end; i += 256) {
        uint64_t masks[4];
        for (size_t m = 0; m < 4; ++m) {
            const unsigned char* run = at + i + 64 * m;
            masks[m] = Candidates512<kUnit>(run + plan.offsets[0], run + plan.offsets[1], wantedA, wantedB,
                                            scan.starts);
        }
        if ((masks[0] | masks[1] | masks[2] | masks[3]) == 0) {
            continue;
        }
        for (const uint64_t mask : masks) {
            seen += static_cast<size_t>(std::popcount(mask & scan.starts));
        }
        Narrow512<kUnit>(at + i, wanted, plan, scan.starts, masks);
        count += CountRun(masks, i, plan, floor);
    }
    return count;
}

template <size_t kUnit>
ORV_AVX512 int64_t ScanAvx512(const Scan& scan, size_t& next, size_t& floor) {
    const SearchPlan& plan = scan.plan;
    const __m512i wantedA = _mm512_loadu_si512(plan.repeated[0]);
    const __m512i wantedB = _mm512_loadu_si512(plan.repeated[1]);
    const unsigned char* atA = scan.data + scan.phase + plan.offsets[0];
    const unsigned char* atB = scan.data + scan.phase + plan.offsets[1];
    Candidates candidates;
    bool dense = false;
    int64_t count = 0;
    size_t i = next;
    while (i + 256 <= scan.positions) {
        const size_t from = i;
        const size_t end = std::min(from + kSpan, scan.positions - scan.positions % 256);
        if (dense && plan.whole) {
            size_t seen = 0;  // a run of many candidates: compared whole while it lasts
            count += SpanWholeAvx512<kUnit>(scan, i, end, floor, seen);
            i = end;
            dense = seen > kDenseSpan;
            continue;
        }
        candidates.size = 0;
        for (; i + 256 <= end; i += 256) {
            uint64_t masks[4];
            for (size_t m = 0; m < 4; ++m) {
                masks[m] =
                    Candidates512<kUnit>(atA + i + 64 * m, atB + i + 64 * m, wantedA, wantedB, scan.starts);
            }
            if ((masks[0] | masks[1] | masks[2] | masks[3]) == 0) {
                continue;
            }
            CollectRun(masks, scan.starts, static_cast<uint32_t>(i - from), dense, candidates);
        }
        dense = candidates.size > kDenseSpan;
        count += Confirm(candidates, scan.data, from, plan, floor);
    }
    next = i;
    return count;
}

#endif

std::atomic<int> widthLimit{static_cast<int>(VectorWidth::Bytes64)};

VectorWidth ActiveWidth() {
    return static_cast<VectorWidth>(
        std::min(static_cast<int>(WidestVectors()), widthLimit.load(std::memory_order_relaxed)));
}

}  // namespace

VectorWidth WidestVectors() {
    static const VectorWidth widest = [] {
#ifdef ORV_COUNT_WIDE
        __builtin_cpu_init();
        const bool bits = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
        if (bits && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("bmi2")) {
            return VectorWidth::Bytes64;
        }
        if (bits && __builtin_cpu_supports("avx2")) {
            return VectorWidth::Bytes32;
        }
#endif
        return VectorWidth::Bytes16;
    }();
    return widest;
}

void LimitVectorWidth(VectorWidth widest) {
    widthLimit.store(static_cast<int>(widest), std::memory_order_relaxed);
}

namespace {

// How common an element of a needle is in ordinary text: a byte, or a UTF-16 code unit by its character.
int ElementCommonness(std::string_view needle, size_t offset, ByteForm form) {
    if (form == ByteForm::Bytes) {
        return ByteCommonness(needle[offset]);
    }
    const bool littleEndian = form == ByteForm::Utf16LittleEndian;
    const auto low = static_cast<unsigned char>(needle[offset + (littleEndian ? 0 : 1)]);
    const auto high = static_cast<unsigned char>(needle[offset + (littleEndian ? 1 : 0)]);
    return high == 0 ? ByteCommonness(static_cast<char>(low))
                     : 120;  // beyond Latin-1: a letter of an alphabet
}

// Whether, and how, the needle is compared whole in the vectors (see SearchPlan::whole).
void PlanWholeComparison(SearchPlan& plan) {
    const std::string_view needle = plan.needle;
    if (needle.size() > kWholeNeedle) {
        return;
    }
    for (size_t p = 1; p < needle.size(); ++p) {
        if (needle.substr(p) == needle.substr(0, needle.size() - p)) {
            if (plan.periods == std::size(plan.periodLengths)) {
                return;  // overlaps in many ways ("aaaaaa"): compared candidate by candidate
            }
            plan.periodLengths[plan.periods++] = static_cast<uint8_t>(p);
        }
    }
    for (size_t at = 0; at < needle.size(); at += plan.unit) {
        if (at == plan.offsets[0] || at == plan.offsets[1]) {
            continue;
        }
        const auto low = static_cast<unsigned char>(needle[at]);
        const auto high = plan.unit == 2 ? static_cast<unsigned char>(needle[at + 1]) : 0;
        plan.otherOffsets[plan.others] = static_cast<uint8_t>(at);
        plan.otherValues[plan.others] = static_cast<uint16_t>(low | high << 8);
        ++plan.others;
    }
    plan.whole = true;
}

}  // namespace

SearchPlan MakeSearchPlan(std::string_view needle, ByteForm form) {
    SearchPlan plan;
    plan.needle = needle;
    // A UTF-16 needle is made of whole units; anything else is compared a byte at a time.
    if (form != ByteForm::Bytes && needle.size() % 2 != 0) {
        form = ByteForm::Bytes;
    }
    plan.unit = form == ByteForm::Bytes ? 1 : 2;
    const size_t elements = needle.size() / plan.unit;
    if (elements == 0) {
        return plan;
    }
    // The two elements least likely in ordinary text: a candidate must have both in their places, so
    // rarer ones leave fewer candidates to confirm. A needle of one element compares it twice.
    auto rarer = [&](size_t a, size_t b) {
        return ElementCommonness(needle, a, form) < ElementCommonness(needle, b, form);
    };
    size_t first = 0;
    for (size_t at = plan.unit; at < needle.size(); at += plan.unit) {
        first = rarer(at, first) ? at : first;
    }
    size_t second = first == 0 && elements > 1 ? plan.unit : 0;
    for (size_t at = 0; at < needle.size(); at += plan.unit) {
        second = at != first && rarer(at, second) ? at : second;
    }
    plan.offsets[0] = std::min(first, second);
    plan.offsets[1] = std::max(first, second);
    for (size_t k = 0; k < 2; ++k) {
        for (size_t b = 0; b < 64; ++b) {
            plan.repeated[k][b] = static_cast<unsigned char>(needle[plan.offsets[k] + b % plan.unit]);
        }
    }
    PlanWholeComparison(plan);
    return plan;
}

namespace {

// Non-overlapping occurrences that begin where `starts` allows; a plan of code units compares whole
// units, which begin at `phase`.
int64_t CountFrom(const char* block, size_t size, const SearchPlan& plan, uint64_t starts, size_t phase,
                  size_t& resume) {
    resume = 0;
    const size_t length = plan.needle.size();
    if (length == 0 || size < length) {
        return 0;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(block);
    const auto* wanted = reinterpret_cast<const unsigned char*>(plan.needle.data());
#ifdef ORV_COUNT_SSE2
    if (length == 1 && starts == kEveryByte) {
        return CountByte(data, size, wanted[0], resume);
    }
    const Scan scan{data, size - length + 1, plan, starts, plan.unit == 2 ? phase : 0};
    const bool units = plan.unit == 2;
    size_t floor = 0;  // no match may begin before this position
    size_t i = 0;      // where the vector scan stopped
    int64_t count = 0;
    switch (ActiveWidth()) {
#ifdef ORV_COUNT_WIDE
        case VectorWidth::Bytes64:
            count = units ? ScanAvx512<2>(scan, i, floor) : ScanAvx512<1>(scan, i, floor);
            break;
        case VectorWidth::Bytes32:
            count = units ? ScanAvx2<2>(scan, i, floor) : ScanAvx2<1>(scan, i, floor);
            break;
#endif
        default:
            count = units ? ScanSse2<2>(scan, i, floor) : ScanSse2<1>(scan, i, floor);
            break;
    }
    resume = floor;
    return count + CountScalar(data, size, wanted, length, starts, std::max(i, floor), resume);
#else
    (void)phase;
    return CountScalar(data, size, wanted, length, starts, 0, resume);
#endif
}

}  // namespace

int64_t CountInBlock(const char* block, size_t size, std::string_view needle, size_t& resume) {
    return CountInBlock(block, size, MakeSearchPlan(needle), resume);
}

int64_t CountInBlock(const char* block, size_t size, const SearchPlan& plan, size_t& resume) {
    return CountFrom(block, size, plan, kEveryByte, 0, resume);
}

int64_t CountUnitsInBlock(const char* block, size_t size, const SearchPlan& plan, size_t phase,
                          size_t& resume) {
    return CountFrom(block, size, plan, phase % 2 == 0 ? kEvenBytes : ~kEvenBytes, phase % 2, resume);
}

}  // namespace orv::engine
