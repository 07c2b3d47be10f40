#include "platform/sync.h"

#include <windows.h>

namespace orv::sync {
namespace {

static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*));

PSRWLOCK Srw(void*& state) {
    return reinterpret_cast<PSRWLOCK>(&state);
}

}  // namespace

void Mutex::lock() {
    ::AcquireSRWLockExclusive(Srw(lock_));
}

bool Mutex::try_lock() {
    return ::TryAcquireSRWLockExclusive(Srw(lock_)) != 0;
}

void Mutex::unlock() {
    ::ReleaseSRWLockExclusive(Srw(lock_));
}

void ConditionVariable::notify_one() noexcept {
    ::WakeConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&variable_));
}

void ConditionVariable::notify_all() noexcept {
    ::WakeAllConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&variable_));
}

void ConditionVariable::Block(Mutex& mutex, unsigned long milliseconds) {
    // A time-out, a wake-up and a spurious return are all the same to the caller, who tests again.
    ::SleepConditionVariableSRW(reinterpret_cast<PCONDITION_VARIABLE>(&variable_), Srw(mutex.lock_),
                                milliseconds, 0);
}

}  // namespace orv::sync
