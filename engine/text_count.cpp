#include "engine/text_count.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/checks.h"
#include "engine/measurement.h"

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

constexpr size_t kPage = 4096;

constexpr size_t RoundToPages(size_t size) {
    return (size + kPage - 1) / kPage * kPage;
}

namespace {

// The memory of the last counter that ended on this thread: a scan counts a file every few seconds, and
// memory taken fresh from the system costs it a page fault for every page at every count.
struct SpareMemory {
    std::unique_ptr<char[]> memory;
    size_t size = 0;
};

SpareMemory& ThreadSpare() {
    thread_local SpareMemory spare;
    return spare;
}

}  // namespace

OccurrenceCounter::~OccurrenceCounter() {
    SpareMemory& spare = ThreadSpare();
    if (buffer_ && bufferSize_ > spare.size) {
        spare.memory = std::move(buffer_);
        spare.size = bufferSize_;
    }
}

OccurrenceCounter::OccurrenceCounter(std::string_view needle, size_t chunkSize)
    : OccurrenceCounter(SearchForms{needle, {}, {}}, chunkSize) {}

OccurrenceCounter::OccurrenceCounter(std::string_view needle, std::string_view otherForm, size_t chunkSize)
    : OccurrenceCounter(SearchForms{needle, otherForm, {}}, chunkSize) {}

OccurrenceCounter::OccurrenceCounter(const SearchForms& forms, size_t chunkSize)
    : chunkSize_(std::max<size_t>(chunkSize, 1)) {
    // The same form twice counts once.
    const std::string_view second = forms.otherBytes == forms.bytes ? std::string_view() : forms.otherBytes;
    forms_[0].plan = MakeSearchPlan(forms.bytes);
    forms_[1].plan = MakeSearchPlan(second);
    utf16LittleEndian_.reserve(forms.utf16.size() * 2);
    for (const char16_t unit : forms.utf16) {
        utf16LittleEndian_ += static_cast<char>(unit & 0xFF);
        utf16LittleEndian_ += static_cast<char>(unit >> 8);
    }
    const size_t longest = std::max({forms.bytes.size(), second.size(), utf16LittleEndian_.size()});
    // Pages for the carry, then the chunk.
    const size_t room = RoundToPages(std::max<size_t>(longest, 1));
    const size_t size = kPage + room + RoundToPages(chunkSize_);
    SpareMemory& spare = ThreadSpare();
    if (spare.size >= size) {
        buffer_ = std::move(spare.memory);
        bufferSize_ = spare.size;
        spare.size = 0;
    } else {
        buffer_.reset(new char[size]);
        bufferSize_ = size;
    }
    const auto address = reinterpret_cast<uintptr_t>(buffer_.get());
    chunk_ = buffer_.get() + (RoundToPages(address) - address) + room;
}

// Called before the first two bytes of the stream are searched. Up to then the byte forms are counted
// (a stream of one byte has no mark); after a mark the UTF-16 form replaces them, and what they
// counted in its first byte was part of the mark.
void OccurrenceCounter::LookForByteOrderMark(size_t size) {
    const char* const chunk = Space();
    if (streamed_ == 0 && size != 0) {
        firstByte_ = chunk[0];
    }
    if (streamed_ + size < 2) {
        return;
    }
    markLookedFor_ = true;
    const auto first = static_cast<unsigned char>(firstByte_);
    const auto second = static_cast<unsigned char>(streamed_ == 0 ? chunk[1] : chunk[0]);
    const bool littleEndian = first == 0xFF && second == 0xFE;
    const bool bigEndian = first == 0xFE && second == 0xFF;
    if (utf16LittleEndian_.empty() || (!littleEndian && !bigEndian)) {
        return;
    }
    std::string needle = utf16LittleEndian_;
    if (bigEndian) {
        for (size_t i = 0; i + 1 < needle.size(); i += 2) {
            std::swap(needle[i], needle[i + 1]);
        }
    }
    Form units;
    units.plan =
        MakeSearchPlan(needle, littleEndian ? ByteForm::Utf16LittleEndian : ByteForm::Utf16BigEndian);
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
        if (form.plan.needle.empty()) {
            continue;
        }
        // Never negative: the mark lies within what has been committed.
        const size_t total = static_cast<size_t>(static_cast<ptrdiff_t>(size) + form.carry);
        const char* const start = Space() - form.carry;
        size_t resume = 0;
        if (form.units) {
            // The units begin at even offsets of the stream (the mark is one unit).
            const auto startInStream = static_cast<int64_t>(streamed_) - form.carry;
            form.count +=
                CountUnitsInBlock(start, total, form.plan, static_cast<size_t>(startInStream % 2), resume);
        } else {
            form.count += CountInBlock(start, total, form.plan, resume);
        }
        // A match may begin in the last (length - 1) bytes and end in the next piece; bytes a match
        // has already taken are not searched again.
        const size_t tail = form.plan.needle.size() - 1;
        const size_t carry = total - std::max(resume, total > tail ? total - tail : 0);
        form.carry = static_cast<ptrdiff_t>(carry);
        keep = std::max(keep, carry);
    }
    streamed_ += size;
    // Each form's carry is a tail of what was searched: the longest of them serves both. It goes just
    // before the chunk, where the next piece is read.
    if (keep != 0) {
        std::memmove(Space() - keep, Space() + size - keep, keep);
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

constexpr uint64_t kNoPosition = ~uint64_t{0};

// Chunks a thread may read ahead of the first one not yet added in: enough that neither thread waits
// for the other's search, few enough that the results held stay small.
constexpr uint64_t kSplitWindow = 4;

// Up to `capacity` bytes from `offset`, read until they are all there or the source ends: a chunk
// shorter than asked for is the last. -1 on an error.
int64_t ReadFully(const ReadAtFunction& readAt, uint64_t offset, char* buffer, size_t capacity) {
    size_t done = 0;
    while (done < capacity) {
        const int64_t got = readAt(offset + done, buffer + done, capacity - done);
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(done);
}

// Whether two occurrences of the plan's needle can overlap (a UTF-16 needle by whole units): only then
// may where one chunk's last match ends change what the next chunk counts.
bool OverlapsItself(const SearchPlan& plan) {
    const std::string_view needle = plan.needle;
    for (size_t shift = plan.unit; shift < needle.size(); shift += plan.unit) {
        if (needle.substr(shift) == needle.substr(0, needle.size() - shift)) {
            return true;
        }
    }
    return false;
}

}  // namespace

// The rest of a file from `start` split into chunks that two threads take in turn, each reading and
// searching a chunk of its own, so that both the system's copy and the search run on two processors.
// Chunk j holds the matches that begin in [start + j * chunk, start + (j + 1) * chunk), and is read
// with the needle's length - 1 bytes after that, where such a match may end. Each chunk is searched as
// if no match of the chunk before reached into it; the results are added in order, and the rare chunk
// whose first match overlaps the last match of the one before is read and searched again from where
// that match ends.
class OccurrenceCounter::Split {
  public:
    Split(OccurrenceCounter& counter, const ReadAtFunction& readAt)
        : counter_(counter), readAt_(readAt), start_(counter.streamed_), chunk_(counter.chunkSize_) {
        for (size_t f = 0; f < 2; ++f) {
            const Form& form = counter.forms_[f];
            const size_t length = form.plan.needle.size();
            // Where the counter's search stopped: the carry is still to be searched.
            entry_[f] = start_ - static_cast<uint64_t>(std::max<ptrdiff_t>(form.carry, 0));
            first_[f] = entry_[f];
            overlaps_[f] = length != 0 && OverlapsItself(form.plan);
            before_ = std::max<size_t>(before_, static_cast<size_t>(start_ - entry_[f]));
            after_ = std::max<size_t>(after_, length == 0 ? 0 : length - 1);
        }
        memorySize_ = RoundToPages(before_ + chunk_ + after_) + kPage;
    }

    bool Run() {
        const std::unique_ptr<char[]> memory(new char[2 * memorySize_]);
        std::thread other;
        try {
            other = std::thread(&Split::Work, this, PageAligned(memory.get() + memorySize_));
        } catch (const std::system_error&) {
            // This thread alone, in the same chunks.
        }
        Work(PageAligned(memory.get()));
        if (other.joinable()) {
            other.join();
        }
        if (failed_) {
            return false;
        }
        for (size_t f = 0; f < 2; ++f) {
            counter_.forms_[f].count += count_[f];
            counter_.forms_[f].carry = 0;
        }
        counter_.streamed_ = end_;
        return true;
    }

  private:
    // What the search of one chunk found for one form.
    struct FormFound {
        int64_t count = 0;
        uint64_t exit = 0;               // where the next match may begin
        uint64_t overlap = kNoPosition;  // a first match that a match of the chunk before may overlap
    };
    struct ChunkFound {
        FormFound forms[2];
        uint64_t end = 0;  // where the bytes read end
        bool searched = false;
        bool last = false;  // the source ended in this chunk
        bool failed = false;
    };

    uint64_t ChunkStart(uint64_t j) const { return j == 0 ? start_ - before_ : start_ + j * chunk_; }

    // Reads chunk j into `memory` and searches it, each form from `entries` (or from the chunk's start,
    // or for the first chunk from where the counter stopped).
    ChunkFound Search(uint64_t j, char* memory, const uint64_t* entries) const {
        ChunkFound found;
        const uint64_t begin = ChunkStart(j);
        const uint64_t limit = start_ + (j + 1) * chunk_;  // matches that begin before it are the chunk's
        const size_t wanted = static_cast<size_t>(limit + after_ - begin);
        // At the offset's place in a page, as the system's copy of the file's pages goes fastest.
        char* const data = memory + begin % kPage;
        const int64_t got = ReadFully(readAt_, begin, data, wanted);
        if (got < 0) {
            found.failed = true;
            return found;
        }
        found.searched = true;
        found.last = static_cast<size_t>(got) < wanted;
        found.end = begin + static_cast<uint64_t>(got);
        for (size_t f = 0; f < 2; ++f) {
            const Form& form = counter_.forms_[f];
            const size_t length = form.plan.needle.size();
            FormFound& out = found.forms[f];
            const uint64_t from = entries ? entries[f] : (j == 0 ? first_[f] : begin);
            out.exit = std::max(limit, from);
            const uint64_t to = std::min(found.end, limit + length - 1);
            if (length == 0 || to < from + length) {
                continue;
            }
            const char* const block = data + (from - begin);
            const auto size = static_cast<size_t>(to - from);
            size_t resume = 0;
            out.count = form.units ? CountUnitsInBlock(block, size, form.plan, from % 2, resume)
                                   : CountInBlock(block, size, form.plan, resume);
            if (out.count != 0) {
                out.exit = std::max(limit, from + resume);
            }
            if (overlaps_[f] && entries == nullptr && j != 0) {
                out.overlap = FirstMatchNearStart(block, size, form, from);
            }
        }
        return found;
    }

    // The first match that begins within length - 1 bytes of `block`'s start (at `from` in the file),
    // where a match that began in the chunk before may still go on.
    static uint64_t FirstMatchNearStart(const char* block, size_t size, const Form& form, uint64_t from) {
        const std::string_view needle = form.plan.needle;
        for (size_t at = 0; at + 1 < needle.size() && at + needle.size() <= size; ++at) {
            if (form.units && (from + at) % 2 != 0) {
                continue;
            }
            if (std::memcmp(block + at, needle.data(), needle.size()) == 0) {
                return from + at;
            }
        }
        return kNoPosition;
    }

    static char* PageAligned(char* memory) {
        const auto address = reinterpret_cast<uintptr_t>(memory);
        return memory + (RoundToPages(address) - address);
    }

    // Takes the next chunk while there is one, into `memory` (memorySize_ - kPage bytes).
    void Work(char* memory) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            windowFreed_.wait(lock, [this] { return Ended() || next_ < added_ + kSplitWindow; });
            if (Ended()) {
                break;
            }
            const uint64_t j = next_++;
            lock.unlock();
            const ChunkFound found = Search(j, memory, nullptr);
            Measurement::NoteProgress();  // a large file on a slow share is slow, not held
            lock.lock();
            found_[j % kSplitWindow] = found;
            failed_ = failed_ || found.failed;
            if (found.last) {
                last_ = std::min(last_, j);
            }
            AddInOrder(memory);
            windowFreed_.notify_all();
        }
    }

    bool Ended() const { return failed_ || next_ > last_; }

    // Adds the chunks searched in order; called with the lock held.
    void AddInOrder(char* memory) {
        while (!failed_ && added_ <= last_ && found_[added_ % kSplitWindow].searched) {
            ChunkFound& found = found_[added_ % kSplitWindow];
            bool again = false;
            for (size_t f = 0; f < 2; ++f) {
                again = again || found.forms[f].overlap < entry_[f];
            }
            if (again) {
                // Rare: search it once more from where the matches before it end.
                found = Search(added_, memory, entry_);
                if (found.failed) {
                    failed_ = true;
                    return;
                }
            }
            for (size_t f = 0; f < 2; ++f) {
                count_[f] += found.forms[f].count;
                entry_[f] = found.forms[f].exit;
            }
            if (added_ == last_) {
                end_ = found.end;
            }
            found.searched = false;
            ++added_;
        }
    }

    OccurrenceCounter& counter_;
    const ReadAtFunction& readAt_;
    const uint64_t start_;  // the first byte the counter has not taken
    const size_t chunk_;
    size_t before_ = 0;  // bytes before `start_` still to be searched: the first chunk begins there
    size_t after_ = 0;   // bytes after a chunk where a match that begins in it may end
    size_t memorySize_ = 0;
    uint64_t first_[2] = {};  // where each form's search of the first chunk begins
    bool overlaps_[2] = {};

    std::mutex mutex_;  // guards what follows
    std::condition_variable windowFreed_;
    uint64_t next_ = 0;            // the next chunk to be taken
    uint64_t added_ = 0;           // chunks added in
    uint64_t last_ = kNoPosition;  // the chunk the source ends in, once read
    uint64_t end_ = 0;             // where it ends
    bool failed_ = false;
    ChunkFound found_[kSplitWindow];
    uint64_t entry_[2] = {};  // where the next match of each form may begin, after the chunks added
    int64_t count_[2] = {};
};

bool OccurrenceCounter::CountRestOnTwoThreads(const ReadAtFunction& readAt) {
    return Split(*this, readAt).Run();
}

namespace {

// Reads a file from its start through `counter`. A file larger than a few chunks more is split between
// two threads from then on, where the processor has two; a small one costs no thread. False when a read
// failed.
bool ReadThrough(const ReadAtFunction& readAt, uint64_t size, OccurrenceCounter& counter) {
    for (int chunks = 0;; ++chunks) {
        if (chunks == kChunksBeforeSplit && size >= counter.Streamed() + 2 * counter.Capacity() &&
            std::thread::hardware_concurrency() != 1) {
            return counter.CountRestOnTwoThreads(readAt);
        }
        const int64_t got = readAt(counter.Streamed(), counter.Space(), counter.Capacity());
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
    uint64_t size = 0;
    if (!reader.Size(size)) {
        size = 0;  // read to the end all the same, on this thread
    }
    return CountOccurrences([&reader](uint64_t offset, char* buffer,
                                      size_t capacity) { return reader.ReadAt(offset, buffer, capacity); },
                            size, forms);
}

std::optional<int64_t> CountOccurrences(const ReadAtFunction& readAt, uint64_t size,
                                        const SearchForms& forms) {
    if (forms.bytes.empty() && forms.otherBytes.empty() && forms.utf16.empty()) {
        return 0;
    }
    // Every form is searched in the one chunk each read leaves in the counter's space.
    OccurrenceCounter counter(forms);
    if (!ReadThrough(readAt, size, counter)) {
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
