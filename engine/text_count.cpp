#include "engine/text_count.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/checks.h"
#include "engine/measurement.h"
#include "platform/sync.h"

namespace orv::engine {

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
        std::unique_lock<sync::Mutex> lock(mutex_);
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

    sync::Mutex mutex_;  // guards what follows
    sync::ConditionVariable windowFreed_;
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
