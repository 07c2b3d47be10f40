// The one owner of the program's handles, and its kinds for kernel objects, files, snapshots, searches
// and registry keys, each closed with the function that kind needs. Copies are deleted, moves allowed.
// (The GDI kinds are in widgets/gdi.h.)
#pragma once

#include <windows.h>

#include <utility>

namespace orv::win32 {

template <typename Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.handle_, Traits::Invalid()));
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    bool IsValid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }
    // Closes the handle held (if any, unless it is `handle` itself) and takes `handle`.
    void Reset(Handle handle = Traits::Invalid()) {
        if (handle_ != Traits::Invalid() && handle_ != handle) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }

  private:
    Handle handle_ = Traits::Invalid();
};

// Kernel objects closed with CloseHandle. Processes and threads mark "none" with null, files
// (CreateFileW) and Tool Help snapshots with INVALID_HANDLE_VALUE.
template <bool NoneIsNull>
struct CloseHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return NoneIsNull ? nullptr : INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};

// FindFirstFileExW: closed with FindClose.
struct FindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};

// Registry keys: closed with RegCloseKey.
struct KeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { RegCloseKey(handle); }
};

using KernelHandle = UniqueHandle<CloseHandleTraits<true>>;
using FileHandle = UniqueHandle<CloseHandleTraits<false>>;
using SnapshotHandle = UniqueHandle<CloseHandleTraits<false>>;
using FindHandle = UniqueHandle<FindTraits>;
using KeyHandle = UniqueHandle<KeyTraits>;

}  // namespace orv::win32
