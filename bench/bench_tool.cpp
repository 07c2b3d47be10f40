// A driver for bench/run.sh: makes the test data, and runs one of the program's measurements per call
// so that the script can time it, and its memory, beside the system's tools.
//
//   orv_bench_tool tree DIR FOLDERS FILES        a tree of FOLDERS folders with FILES small files each;
//                                                prints the total of the file sizes
//   orv_bench_tool text FILE MIB NEEDLE EVERY    a text file of MIB mebibytes whose lines hold NEEDLE
//                                                on every EVERY-th line (-K: K times on every line);
//                                                prints the number of needles
//   orv_bench_tool text16 FILE MIB NEEDLE EVERY  the same text in UTF-16LE with its byte-order mark
//   orv_bench_tool dirsize DIR                   prints DirectorySize(DIR)
//   orv_bench_tool count FILE NEEDLE [OTHER]     prints the count of NEEDLE in FILE (and of OTHER, the
//                                                text's other encoding, in the same read) as the file
//                                                check counts it: a file with a UTF-16 byte-order mark
//                                                in UTF-16, the text taken from the last argument
//   orv_bench_tool proc NAME CALLS               times IsProcessRunning(NAME): best and median in us
//   orv_bench_tool time PROGRAM [ARGS...]        runs a program with its output thrown away; prints
//                                                its wall time and processor time in us and its peak
//                                                resident memory in KiB
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/checks.h"
#include "engine/text_count.h"
#include "platform/text.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

int Usage() {
    std::fprintf(stderr, "usage: orv_bench_tool tree|text|text16|dirsize|count|proc ...\n");
    return 2;
}

// Folders in two levels (as a real tree has them), FILES files of 1 to 2000 bytes in each.
int MakeTree(const char* root, long folders, long files) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> size(1, 2000);
    std::string content(2000, 'x');
    unsigned long long total = 0;
    const long perTop = 100;
    for (long f = 0; f < folders; ++f) {
        const std::filesystem::path folder = std::filesystem::path(root) /
                                             ("top" + std::to_string(f / perTop)) /
                                             ("folder" + std::to_string(f));
        std::filesystem::create_directories(folder);
        for (long i = 0; i < files; ++i) {
            const int bytes = size(random);
            const std::string name = (folder / ("file" + std::to_string(i) + ".dat")).string();
            FILE* out = std::fopen(name.c_str(), "wb");
            if (!out || std::fwrite(content.data(), 1, static_cast<size_t>(bytes), out) !=
                            static_cast<size_t>(bytes)) {
                std::perror(name.c_str());
                return 1;
            }
            std::fclose(out);
            total += static_cast<unsigned long long>(bytes);
        }
    }
    std::printf("%llu\n", total);
    return 0;
}

// Log-like lines of 60 to 140 characters; NEEDLE sits in every EVERY-th line, or (EVERY = -K) K times
// in every line, as every other word. In UTF-16 (little-endian, after its byte-order mark) the lines
// and the needle are plain ASCII widened to two bytes a character.
int MakeText(const char* path, long mebibytes, const std::string& needle, long every, bool utf16) {
    FILE* out = std::fopen(path, "wb");
    if (!out) {
        std::perror(path);
        return 1;
    }
    const size_t unit = utf16 ? 2 : 1;
    std::mt19937 random(7);
    static const char* kWords[] = {"alpha",  "beta",  "gamma",  "delta", "epsilon", "zeta",
                                   "theta",  "kappa", "lambda", "sigma", "omega",   "request",
                                   "status", "done",  "value",  "queue"};
    const unsigned long long target = static_cast<unsigned long long>(mebibytes) << 20;
    long long needles = 0;
    long line = 0;
    std::string buffer;
    buffer.reserve(1 << 20);
    if (utf16) {
        buffer = "\xFF\xFE";
    }
    unsigned long long written = buffer.size();
    while (written < target) {
        std::string text =
            "2026-12-07 08:" + std::to_string(10 + line % 50) + ":00 [" + std::to_string(line) + "] ";
        const size_t length = 60 + random() % 80;
        const bool withNeedle = every < 0 || (every > 0 && line % every == 0);
        const size_t needleAt = random() % 4;  // the needle is one of the first words of its line
        const size_t times = every < 0 ? static_cast<size_t>(-every) : 1;
        size_t placed = 0;
        for (size_t word = 0; text.size() < length || placed < (withNeedle ? times : 0); ++word) {
            const bool here = withNeedle && placed < times && (every < 0 ? word % 2 == 1 : word == needleAt);
            text += here ? needle : std::string(kWords[random() % 16]);
            text += ' ';
            placed += here;
        }
        text += '\n';
        if (written + text.size() * unit > target) {
            text.assign((target - written) / unit, '.');  // fill to the exact size; no needle in the filler
        } else {
            needles += static_cast<long long>(placed);
        }
        for (const char c : text) {
            buffer += c;
            if (utf16) {
                buffer += '\0';
            }
        }
        written += text.size() * unit;
        if (buffer.size() >= (1u << 20) - 256) {
            std::fwrite(buffer.data(), 1, buffer.size(), out);
            buffer.clear();
        }
        ++line;
    }
    std::fwrite(buffer.data(), 1, buffer.size(), out);
    if (std::fclose(out) != 0) {
        std::perror(path);
        return 1;
    }
    std::printf("%lld\n", needles);
    return 0;
}

int TimeProcessList(const char* name, long calls) {
    std::vector<double> micros;
    bool running = false;
    for (long i = 0; i < calls; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::optional<bool> result = orv::engine::IsProcessRunning(name);
        const auto end = std::chrono::steady_clock::now();
        if (!result) {
            std::fprintf(stderr, "the process list cannot be taken\n");
            return 1;
        }
        running = *result;
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(micros.begin(), micros.end());
    std::printf("%s %.1f %.1f\n", running ? "running" : "absent", micros.front(), micros[micros.size() / 2]);
    return 0;
}

// Processor time (user and system) is what the measured program itself used: on a shared machine it
// is steadier than the wall time, which also holds the waits for a free processor.
int TimeProgram(char** arguments) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = -1;
    const int error = posix_spawnp(&child, arguments[0], &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", arguments[0], std::strerror(error));
        return 1;
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("wait4");
        return 1;
    }
    const auto wall =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const long long cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                          usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    std::printf("%lld %lld %ld\n", static_cast<long long>(wall.count()), cpu, usage.ru_maxrss);
    return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    const std::string command = argv[1];
    if (command == "tree" && argc == 5) {
        return MakeTree(argv[2], std::atol(argv[3]), std::atol(argv[4]));
    }
    if ((command == "text" || command == "text16") && argc == 6) {
        return MakeText(argv[2], std::atol(argv[3]), argv[4], std::atol(argv[5]), command == "text16");
    }
    if (command == "dirsize" && argc == 3) {
        std::printf("%llu\n", static_cast<unsigned long long>(orv::engine::DirectorySize(argv[2])));
        return 0;
    }
    if (command == "count" && (argc == 4 || argc == 5)) {
        std::optional<int64_t> count;
        orv::fs::Reader reader;
        if (orv::fs::Reader::Open(argv[2], reader)) {
            const std::u16string utf16 = orv::text::Utf8ToUtf16(argv[argc - 1]);
            count = orv::engine::CountOccurrences(reader, {argv[3], argc == 5 ? argv[4] : "", utf16});
        }
        if (!count) {
            std::fprintf(stderr, "cannot read %s\n", argv[2]);
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(*count));
        return 0;
    }
    if (command == "time") {
        return TimeProgram(argv + 2);
    }
    if (command == "proc" && argc == 4) {
        return TimeProcessList(argv[2], std::atol(argv[3]));
    }
    return Usage();
}
