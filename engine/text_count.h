// Counting a search text in a file without holding the file in memory: the file is streamed in
// chunks and the counter carries the last (needle length - 1) bytes of a chunk over to the next, so
// the counts are exactly those of a search over the whole file at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace orv::engine {

// Bytes read per call: large enough that the calls cost little, small enough to stay in the
// processor's cache between the read and the scan (most processors keep 256 KiB or more per core).
inline constexpr size_t kCountChunkSize = 256 * 1024;
// Chunks read on the counting thread before a file is taken for large: the rest of a large file is
// split between two threads, each reading and searching whole chunks of its own. A small file is
// counted without starting one.
inline constexpr int kChunksBeforeSplit = 4;

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

// The byte patterns that stand for one search text. A stream that begins with a UTF-16 byte-order mark
// (FF FE little-endian, FE FF big-endian) is searched for `utf16` in the mark's byte order alone, from
// the first unit after the mark; any other stream for `bytes` and, where it differs, `otherBytes`.
struct SearchForms {
    std::string_view bytes;
    std::string_view otherBytes;  // empty or equal to `bytes`: not counted again
    std::u16string_view utf16;    // empty: a stream with a mark is searched like any other
};

// Reads up to `capacity` bytes of a source from `offset` into `buffer`: the number read, 0 at or past
// the end, -1 on an error.
using ReadAtFunction = std::function<int64_t(uint64_t offset, char* buffer, size_t capacity)>;

// Non-overlapping, case-sensitive occurrences of a byte string in a stream of bytes. After a match
// the search goes on at the first byte after it, also across pieces of the stream. An empty needle
// never matches. A second form of the text (its other encoding) may be counted in the same pieces,
// each form with its own carry; the count is the sum of both. Given a UTF-16 form, the first two bytes
// of the stream choose: after a byte-order mark only that form is counted, and only at the start of a
// code unit.
class OccurrenceCounter {
  public:
    explicit OccurrenceCounter(std::string_view needle, size_t chunkSize = kCountChunkSize);
    OccurrenceCounter(std::string_view needle, std::string_view otherForm,
                      size_t chunkSize = kCountChunkSize);
    explicit OccurrenceCounter(const SearchForms& forms, size_t chunkSize = kCountChunkSize);
    // The memory is kept for the thread's next counter.
    ~OccurrenceCounter();
    OccurrenceCounter(const OccurrenceCounter&) = delete;
    OccurrenceCounter& operator=(const OccurrenceCounter&) = delete;

    // Where the next piece goes (up to Capacity() bytes), then Commit(its length). Reading straight
    // into Space() saves a copy. Each piece goes to the same chunk, which stays in the processor's
    // cache.
    char* Space() const { return chunk_; }
    size_t Capacity() const { return chunkSize_; }
    void Commit(size_t size);
    // Bytes committed so far.
    uint64_t Streamed() const { return streamed_; }

    // Copies `data` through Space()/Commit() in pieces of at most Capacity() bytes.
    void Feed(const char* data, size_t size);

    int64_t Count() const { return forms_[0].count + forms_[1].count; }

    // Counts the rest of a file from Streamed() to its end, read by `readAt`, on this thread and one
    // more (or this one alone where none can be had), each reading and searching whole chunks of its
    // own; the counts are those of the same pieces committed in order. False when a read failed. The
    // counter takes no more pieces afterwards.
    bool CountRestOnTwoThreads(const ReadAtFunction& readAt);

  private:
    struct Form {
        SearchPlan plan;  // an empty needle: no form
        // Bytes before the chunk still to be searched for this form; negative at the start of a UTF-16
        // text, where the chunk's first bytes are the byte-order mark and are passed over.
        ptrdiff_t carry = 0;
        int64_t count = 0;
        bool units = false;  // UTF-16: a match begins at an even offset of the stream only
    };
    class Split;
    void LookForByteOrderMark(size_t size);

    Form forms_[2];
    std::string utf16LittleEndian_;  // the UTF-16 form's bytes; empty: none
    uint64_t streamed_ = 0;          // bytes committed so far
    char firstByte_ = 0;
    bool markLookedFor_ = false;
    size_t chunkSize_;
    std::unique_ptr<char[]> buffer_;
    size_t bufferSize_ = 0;
    // The chunk, on a page boundary: the system copies into aligned memory much faster. The carry
    // (bytes kept from the previous piece, as many as the longest form needs) is put just before it,
    // so carry and chunk are searched as one.
    char* chunk_ = nullptr;
};

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

// Streams an open file through an OccurrenceCounter; nullopt on a read error.
std::optional<int64_t> CountOccurrences(fs::Reader& reader, std::string_view needle);
// The occurrences of a search text in the forms the file's first bytes call for (see SearchForms),
// read once: in a file without a byte-order mark the two byte forms are added up. The part of a large
// file after its first chunks is split between two threads; nullopt on a read error.
std::optional<int64_t> CountOccurrences(fs::Reader& reader, const SearchForms& forms);
// The same from any source read as fs::Reader::ReadAt reads, `size` bytes long as far as is known (0:
// not known; the reads go on to the end all the same). A source larger than a few chunks is read by
// two threads at once.
std::optional<int64_t> CountOccurrences(const ReadAtFunction& readAt, uint64_t size,
                                        const SearchForms& forms);

}  // namespace orv::engine
