// The search-text count in memory, without the file system: how fast the vector filter and the
// verification run on text where the needle is rare, frequent, or made of one byte.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "engine/text_count.h"

namespace {

// 64 MiB of log-like words, the needle on every `every`-th line of about 100 bytes.
const std::string& Text(long every) {
    static std::string texts[3];
    static const long kEvery[3] = {0, 1, 1000};
    const int slot = every == 1 ? 1 : (every == 0 ? 0 : 2);
    std::string& text = texts[slot];
    if (text.empty()) {
        std::mt19937 random(3);
        static const char* kWords[] = {"alpha", "beta",   "gamma",   "delta",
                                       "theta", "status", "request", "done"};
        long line = 0;
        while (text.size() < (64u << 20)) {
            for (int word = 0; word < 14; ++word) {
                text += (kEvery[slot] != 0 && line % kEvery[slot] == 0 && word == 2) ? "timeout"
                                                                                     : kWords[random() % 8];
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

void Streamed(benchmark::State& state) {
    const std::string& text = Text(1);
    for (auto _ : state) {
        orv::engine::OccurrenceCounter counter("timeout");
        counter.Feed(text.data(), text.size());
        benchmark::DoNotOptimize(counter.Count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

BENCHMARK_CAPTURE(Count, absent, 0L, "timeout");
BENCHMARK_CAPTURE(Count, rare, 1000L, "timeout");
BENCHMARK_CAPTURE(Count, every_line, 1L, "timeout");
BENCHMARK_CAPTURE(Count, one_byte, 0L, "q");
BENCHMARK(Streamed);

}  // namespace

BENCHMARK_MAIN();
