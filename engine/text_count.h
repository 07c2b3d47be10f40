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

#include "engine/text_search.h"
#include "platform/files.h"

namespace orv::engine {

// Bytes read per call: large enough that the calls cost little, small enough to stay in the
// processor's cache between the read and the scan (most processors keep 256 KiB or more per core).
inline constexpr size_t kCountChunkSize = 256 * 1024;
// Chunks read on the counting thread before a file is taken for large: the rest of a large file is
// split between two threads, each reading and searching whole chunks of its own. A small file is
// counted without starting one.
inline constexpr int kChunksBeforeSplit = 4;

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
