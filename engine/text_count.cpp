#include "engine/text_count.h"

#include <algorithm>
#include <cstring>

#include "engine/checks.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ORV_COUNT_SSE2 1
#include <emmintrin.h>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif
#endif

namespace orv::engine {
namespace {

#ifdef ORV_COUNT_SSE2
inline unsigned LowestBit(unsigned mask) {
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long index;
    _BitScanForward(&index, mask);
    return static_cast<unsigned>(index);
#else
    return static_cast<unsigned>(__builtin_ctz(mask));
#endif
}

inline unsigned HighestBit(unsigned mask) {
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long index;
    _BitScanReverse(&index, mask);
    return static_cast<unsigned>(index);
#else
    return 31u - static_cast<unsigned>(__builtin_clz(mask));
#endif
}

inline int PopCount(unsigned mask) {
#if defined(_MSC_VER) && !defined(__clang__)
    return static_cast<int>(__popcnt(mask));
#else
    return __builtin_popcount(mask);
#endif
}

inline unsigned Mask(__m128i v) {
    return static_cast<unsigned>(_mm_movemask_epi8(v));
}

// One byte: every equal byte is a match of its own.
int64_t CountByte(const unsigned char* data, size_t size, unsigned char byte, size_t& resume) {
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(byte));
    int64_t count = 0;
    size_t lastBlock = 0;
    unsigned lastMask = 0;
    size_t i = 0;
    for (; i + 64 <= size; i += 64) {
        const unsigned m0 =
            Mask(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), wanted));
        const unsigned m1 =
            Mask(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 16)), wanted));
        const unsigned m2 =
            Mask(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 32)), wanted));
        const unsigned m3 =
            Mask(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 48)), wanted));
        if ((m0 | m1 | m2 | m3) == 0) {
            continue;
        }
        count += PopCount(m0) + PopCount(m1) + PopCount(m2) + PopCount(m3);
        const unsigned masks[4] = {m0, m1, m2, m3};
        for (int k = 3; k >= 0; --k) {
            if (masks[k] != 0) {
                lastBlock = i + 16 * static_cast<size_t>(k);
                lastMask = masks[k];
                break;
            }
        }
    }
    for (; i + 16 <= size; i += 16) {
        const unsigned m =
            Mask(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), wanted));
        if (m != 0) {
            count += PopCount(m);
            lastBlock = i;
            lastMask = m;
        }
    }
    resume = lastMask != 0 ? lastBlock + HighestBit(lastMask) + 1 : 0;
    for (; i < size; ++i) {
        if (data[i] == byte) {
            ++count;
            resume = i + 1;
        }
    }
    return count;
}
#endif

// The plain search: used for the tail of a block and where no vector unit is available.
int64_t CountScalar(const unsigned char* data, size_t size, const unsigned char* needle, size_t length,
                    size_t start, size_t& resume) {
    int64_t count = 0;
    size_t p = start;
    while (p + length <= size) {
        const void* hit = std::memchr(data + p, needle[0], size - length + 1 - p);
        if (hit == nullptr) {
            break;
        }
        p = static_cast<size_t>(static_cast<const unsigned char*>(hit) - data);
        if (std::memcmp(data + p + 1, needle + 1, length - 1) == 0) {
            ++count;
            p += length;
            resume = p;
        } else {
            ++p;
        }
    }
    return count;
}

}  // namespace

int64_t CountInBlock(const char* block, size_t size, std::string_view needle, size_t& resume) {
    resume = 0;
    const size_t length = needle.size();
    if (length == 0 || size < length) {
        return 0;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(block);
    const auto* wanted = reinterpret_cast<const unsigned char*>(needle.data());
#ifdef ORV_COUNT_SSE2
    if (length == 1) {
        return CountByte(data, size, wanted[0], resume);
    }
    // Candidates are positions whose first and last bytes both fit; they are few in ordinary text,
    // and only those are compared in full.
    const __m128i first = _mm_set1_epi8(static_cast<char>(wanted[0]));
    const __m128i last = _mm_set1_epi8(static_cast<char>(wanted[length - 1]));
    const size_t lastStart = size - length;  // the last position where a match can begin
    int64_t count = 0;
    size_t i = 0;
    auto blockMask = [&](size_t at) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + length - 1));
        return Mask(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last)));
    };
    while (i + 16 <= lastStart + 1) {
        // Four blocks at once while nothing is found: the common case in a long file.
        if (i + 64 <= lastStart + 1) {
            if ((blockMask(i) | blockMask(i + 16) | blockMask(i + 32) | blockMask(i + 48)) == 0) {
                i += 64;
                continue;
            }
        }
        unsigned mask = blockMask(i);
        size_t next = i + 16;
        while (mask != 0) {
            const size_t p = i + LowestBit(mask);
            if (std::memcmp(data + p + 1, wanted + 1, length - 2) == 0) {
                ++count;
                next = p + length;  // matches never overlap: go on after this one
                resume = next;
                break;
            }
            mask &= mask - 1;
        }
        i = next;
    }
    return count + CountScalar(data, size, wanted, length, i, resume);
#else
    return CountScalar(data, size, wanted, length, 0, resume);
#endif
}

OccurrenceCounter::OccurrenceCounter(std::string_view needle, size_t chunkSize)
    : needle_(needle),
      chunkSize_(std::max<size_t>(chunkSize, 1)),
      buffer_(new char[chunkSize_ + (needle.empty() ? 0 : needle.size() - 1)]) {}

void OccurrenceCounter::Commit(size_t size) {
    if (needle_.empty()) {
        return;
    }
    const size_t total = carry_ + size;
    size_t resume = 0;
    count_ += CountInBlock(buffer_.get(), total, needle_, resume);
    // A match may begin in the last (length - 1) bytes and end in the next piece; bytes a match has
    // already taken are not searched again.
    const size_t keep = needle_.size() - 1;
    const size_t from = std::max(resume, total > keep ? total - keep : 0);
    carry_ = total - from;
    if (carry_ != 0 && from != 0) {
        std::memmove(buffer_.get(), buffer_.get() + from, carry_);
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

std::optional<int64_t> CountOccurrences(fs::Reader& reader, std::string_view needle) {
    if (needle.empty()) {
        return 0;
    }
    OccurrenceCounter counter(needle);
    for (;;) {
        const int64_t got = reader.Read(counter.Space(), counter.Capacity());
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return counter.Count();
        }
        counter.Commit(static_cast<size_t>(got));
    }
}

std::optional<int64_t> CountOccurrences(std::string_view path, std::string_view needle) {
    fs::Reader reader;
    if (!fs::Reader::Open(path, reader)) {
        return std::nullopt;
    }
    return CountOccurrences(reader, needle);
}

}  // namespace orv::engine
