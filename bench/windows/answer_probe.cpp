// How quickly a window answers: sends WM_NULL to the top-level window with the given title every
// 20 ms for the given time and prints the number of answers and the median, 99th percentile and
// longest answer time in milliseconds. A window that does not answer within 10 s counts as 10 s.
//
//   orv_answer_probe.exe TITLE SECONDS
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orv_answer_probe.exe TITLE SECONDS\n");
        return 2;
    }
    const double seconds = _wtof(argv[2]);
    HWND window = nullptr;
    for (int attempt = 0; attempt < 500 && window == nullptr; ++attempt) {
        window = ::FindWindowW(nullptr, argv[1]);
        if (window == nullptr) {
            ::Sleep(20);
        }
    }
    if (window == nullptr) {
        std::fprintf(stderr, "no window titled as asked\n");
        return 1;
    }
    ::timeBeginPeriod(1);
    LARGE_INTEGER frequency, start, before, after;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    const auto elapsed = [&](const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
        return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
    };
    std::vector<double> answers;
    double next = 0;
    for (;;) {
        ::QueryPerformanceCounter(&before);
        const double now = elapsed(start, before);
        if (now >= seconds * 1000.0) {
            break;
        }
        if (now < next) {
            ::Sleep(static_cast<DWORD>(next - now));
            continue;
        }
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
        ::QueryPerformanceCounter(&after);
        answers.push_back(elapsed(before, after));
        next = now + 20.0;
    }
    ::timeEndPeriod(1);
    if (answers.empty()) {
        return 1;
    }
    std::sort(answers.begin(), answers.end());
    const auto at = [&](double share) {
        return answers[std::min(answers.size() - 1, static_cast<size_t>(share * static_cast<double>(answers.size())))];
    };
    std::printf("%zu %.1f %.1f %.1f\n", answers.size(), at(0.5), at(0.99), answers.back());
    return 0;
}
