// Searching one block of memory for a text, a vector of positions at a time: the kernels of the count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv::engine {

// How the searched bytes encode text: as single bytes, or as UTF-16 code units of either byte order.
enum class ByteForm { Bytes, Utf16LittleEndian, Utf16BigEndian };

// The longest needle, in bytes, that the vector scan compares whole (see SearchPlan::whole).
inline constexpr size_t kWholeNeedle = 16;

// How the vector scan looks for one needle: it compares two of its elements (bytes, or whole code units
// for a UTF-16 needle), those least likely in ordinary text, at every position; the few positions where
// both are in their places are then compared in full.
struct SearchPlan {
    std::string needle;
    size_t unit = 1;  // bytes per element: 1, or 2 for UTF-16 (a match begins at a unit start only)
    // Where the two probes lie in the needle, in bytes; the first not after the second.
    size_t offsets[2] = {};
    // Each probe's element repeated over 64 bytes, as the vectors compare it (in the needle's byte order).
    unsigned char repeated[2][64] = {};
    // A needle of up to kWholeNeedle bytes that can overlap itself in few ways is compared whole in the
    // vectors, a run of positions at a time, where its probes leave candidates: its other elements, each
    // as it lies in memory (a byte, or a unit's two bytes read as a little-endian number).
    bool whole = false;
    size_t others = 0;
    uint8_t otherOffsets[kWholeNeedle] = {};
    uint16_t otherValues[kWholeNeedle] = {};
    // The distances shorter than the needle at which two occurrences can overlap (its periods).
    size_t periods = 0;
    uint8_t periodLengths[4] = {};
};
SearchPlan MakeSearchPlan(std::string_view needle, ByteForm form = ByteForm::Bytes);

// Non-overlapping occurrences of `needle` in one block of memory, candidates filtered a vector at a
// time. `resume` receives the position after the last match (0 when there is none).
int64_t CountInBlock(const char* data, size_t size, std::string_view needle, size_t& resume);
int64_t CountInBlock(const char* data, size_t size, const SearchPlan& plan, size_t& resume);
// The same for a needle of UTF-16 code units (a plan made for one of the UTF-16 forms): only occurrences
// that begin at the start of a unit count, the units beginning at offset `phase` (0 or 1) of the block.
// A match at another offset is no match and takes no bytes from the next one.
int64_t CountUnitsInBlock(const char* data, size_t size, const SearchPlan& plan, size_t phase,
                          size_t& resume);

// The vector paths of the count: 16 bytes (every x86-64 processor), 32 (AVX2) and 64 (AVX-512BW). The
// widest the processor has is used; tests and benchmarks lower the limit to run each path.
enum class VectorWidth { Bytes16 = 16, Bytes32 = 32, Bytes64 = 64 };
VectorWidth WidestVectors();  // what this processor offers
void LimitVectorWidth(VectorWidth widest);

}  // namespace orv::engine
