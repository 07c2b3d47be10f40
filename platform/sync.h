// A mutex and a condition variable for the threads that hand work to each other many times a minute.
// Elsewhere they are the standard ones. On Windows they are the system's slim reader/writer lock and
// condition variable: the standard ones of the MinGW runtime are semaphores and events of the system,
// so that every wake-up and every wait with a time limit is a call into the kernel (under Wine a
// round trip to its server), while the system's own wait and wake in the process when they can.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace orv::sync {

#if defined(_WIN32)

class Mutex {
  public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock();
    bool try_lock();
    void unlock();

  private:
    friend class ConditionVariable;
    void* lock_ = nullptr;  // an SRWLOCK, unlocked when null
};

class ConditionVariable {
  public:
    ConditionVariable() = default;
    ConditionVariable(const ConditionVariable&) = delete;
    ConditionVariable& operator=(const ConditionVariable&) = delete;

    void notify_one() noexcept;
    void notify_all() noexcept;

    template <class Predicate>
    void wait(std::unique_lock<Mutex>& lock, Predicate ready) {
        while (!ready()) {
            Block(*lock.mutex(), kForever);
        }
    }
    // As the standard one: the predicate's value once it holds or the time is up.
    template <class Rep, class Period, class Predicate>
    bool wait_for(std::unique_lock<Mutex>& lock, const std::chrono::duration<Rep, Period>& limit,
                  Predicate ready) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!ready()) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return ready();
            }
            Block(*lock.mutex(),
                  left.count() >= kForever ? kForever - 1 : static_cast<unsigned long>(left.count()));
        }
        return true;
    }

  private:
    static constexpr unsigned long kForever = 0xFFFFFFFF;
    // Releases `mutex` (held), waits for a wake-up or `milliseconds`, and takes it again.
    void Block(Mutex& mutex, unsigned long milliseconds);

    void* variable_ = nullptr;  // a CONDITION_VARIABLE
};

#else

using Mutex = std::mutex;
using ConditionVariable = std::condition_variable;

#endif

}  // namespace orv::sync
