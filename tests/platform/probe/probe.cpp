// Stays running until a file named like its own executable plus ".stop" appears, or a minute passes,
// so that a test can see it in the process list and then make it end.
#include <chrono>
#include <thread>

#include "platform/files.h"
#include "platform/paths.h"

int main() {
    const std::string stopFile = orv::paths::ExecutablePath() + ".stop";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!orv::fs::IsFile(stopFile) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}
