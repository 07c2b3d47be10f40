// The search-text count in memory, without the file system: how fast the vector filter and the
// verification run on text where the needle is rare, frequent, or made of one byte.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "engine/text_count.h"

namespace {

// 64 MiB of log-like words, the needle on every `every`-th line of about 100 bytes (-4: four times on
// every line).
const std::string& Text(long every) {
    static std::string texts[4];
    static const long kEvery[4] = {0, 1, 1000, -4};
    const int slot = every == 1 ? 1 : (every == 0 ? 0 : (every < 0 ? 3 : 2));
    std::string& text = texts[slot];
    if (text.empty()) {
        std::mt19937 random(3);
        static const char* kWords[] = {"alpha", "beta",   "gamma",   "delta",
                                       "theta", "status", "request", "done"};
        long line = 0;
        while (text.size() < (64u << 20)) {
            for (int word = 0; word < 14; ++word) {
                const bool here = kEvery[slot] < 0
                                      ? word % 2 == 1 && word < 8
                                      : kEvery[slot] != 0 && line % kEvery[slot] == 0 && word == 2;
                text += here ? "timeout" : kWords[random() % 8];
                text += ' ';
            }
            text += '\n';
            ++line;
        }
    }
    return text;
}

void Count(benchmark::State& state, long every, const char* needle) {
    const std::string& text = Text(every);
    for (auto _ : state) {
        size_t resume = 0;
        benchmark::DoNotOptimize(orv::engine::CountInBlock(text.data(), text.size(), needle, resume));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// One chunk of the file as the count sees it right after the read: in the processor's cache, so that
// the scan's own cost shows, not the memory's.
void InCache(benchmark::State& state, long every, const char* needle) {
    const std::string& text = Text(every);
    constexpr size_t kChunk = orv::engine::kCountChunkSize;
    for (auto _ : state) {
        size_t resume = 0;
        benchmark::DoNotOptimize(orv::engine::CountInBlock(text.data(), kChunk, needle, resume));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kChunk));
}

// The text through the counter in chunks, as a file is read: each chunk copied into the counter's space
// (the read's work) and scanned there. `Copy` is the copy alone, the floor of the streamed count.
void Streamed(benchmark::State& state, long every, const char* needle) {
    const std::string& text = Text(every);
    for (auto _ : state) {
        orv::engine::OccurrenceCounter counter(needle);
        counter.Feed(text.data(), text.size());
        benchmark::DoNotOptimize(counter.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

// The same text in UTF-16 (little-endian, after its byte-order mark), through the counter as a file
// with that mark is counted: twice the bytes, matches at the start of a code unit only.
void Utf16Streamed(benchmark::State& state, long every) {
    static std::string wide[4];
    std::string& text = wide[every == 1 ? 1 : (every < 0 ? 3 : 2)];
    if (text.empty()) {
        text = "\xFF\xFE";
        for (const char c : Text(every)) {
            text += c;
            text += '\0';
        }
    }
    const orv::engine::SearchForms forms{"timeout", {}, u"timeout"};
    for (auto _ : state) {
        orv::engine::OccurrenceCounter counter(forms);
        counter.Feed(text.data(), text.size());
        benchmark::DoNotOptimize(counter.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void Copy(benchmark::State& state) {
    const std::string& text = Text(1);
    std::string chunk(orv::engine::kCountChunkSize, '\0');
    for (auto _ : state) {
        for (size_t at = 0; at < text.size(); at += chunk.size()) {
            std::memcpy(chunk.data(), text.data() + at, std::min(chunk.size(), text.size() - at));
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

BENCHMARK_CAPTURE(Count, absent, 0L, "timeout");
BENCHMARK_CAPTURE(Count, rare, 1000L, "timeout");
BENCHMARK_CAPTURE(Count, every_line, 1L, "timeout");
BENCHMARK_CAPTURE(Count, one_byte, 0L, "q");
BENCHMARK_CAPTURE(InCache, rare, 1000L, "timeout");
BENCHMARK_CAPTURE(InCache, every_line, 1L, "timeout");
BENCHMARK_CAPTURE(InCache, dense, -4L, "timeout");
BENCHMARK(Copy);
BENCHMARK_CAPTURE(Streamed, rare, 1000L, "timeout");
BENCHMARK_CAPTURE(Streamed, every_line, 1L, "timeout");
BENCHMARK_CAPTURE(Streamed, dense, -4L, "timeout");
BENCHMARK_CAPTURE(Utf16Streamed, rare, 1000L);
BENCHMARK_CAPTURE(Utf16Streamed, every_line, 1L);

}  // namespace

// ORV_COUNT_WIDTH=16|32|64 runs the count on narrower vectors than the processor's widest.
int main(int argc, char** argv) {
    if (const char* width = std::getenv("ORV_COUNT_WIDTH")) {
        orv::engine::LimitVectorWidth(static_cast<orv::engine::VectorWidth>(std::atoi(width)));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
