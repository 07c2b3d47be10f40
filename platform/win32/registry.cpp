// Registry values under HKEY_CURRENT_USER, through the W functions.
#include "platform/registry.h"

#include <utility>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace orv::reg {
namespace {

// "SoftWare\Keldrastic\Orvanter\" -> "SoftWare\Keldrastic\Orvanter": the functions want a key name
// without separators at its ends.
std::wstring KeyName(std::string_view path) {
    while (!path.empty() && path.front() == '\\') {
        path.remove_prefix(1);
    }
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return win32::Wide(path);
}

Status ReadStatus(LSTATUS error) {
    switch (error) {
        case ERROR_SUCCESS:
            return Status::Ok;
        case ERROR_FILE_NOT_FOUND:
            return Status::NotFound;
        case ERROR_UNSUPPORTED_TYPE:
            return Status::WrongType;
        default:
            return Status::CannotRead;
    }
}

}  // namespace

struct Key::Impl {
    win32::KeyHandle key;
};

Key::Key() = default;
Key::~Key() = default;
Key::Key(Key&& other) noexcept = default;
Key& Key::operator=(Key&& other) noexcept = default;

bool Key::Open(std::string_view path, bool create, Key& out) {
    const std::wstring name = KeyName(path);
    if (name.empty()) {
        return false;
    }
    HKEY key = nullptr;
    LSTATUS error;
    if (create) {
        error = RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    } else {
        error = RegOpenKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, KEY_READ | KEY_WRITE, &key);
        if (error == ERROR_ACCESS_DENIED) {
            // A key the user may read but not change: values read, writes report failure.
            error = RegOpenKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, KEY_READ, &key);
        }
    }
    if (error != ERROR_SUCCESS) {
        return false;
    }
    auto impl = std::make_unique<Impl>();
    impl->key.Reset(key);
    out.impl_ = std::move(impl);
    return true;
}

bool Key::IsOpen() const {
    return impl_ != nullptr;
}

std::vector<std::string> Key::ValueNames() const {
    std::vector<std::string> names;
    DWORD longest = 0;
    if (!impl_ || RegQueryInfoKeyW(impl_->key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return names;
    }
    std::vector<wchar_t> buffer(longest + 1);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LSTATUS error = RegEnumValueW(impl_->key.Get(), index, buffer.data(), &length, nullptr, nullptr,
                                            nullptr, nullptr);
        if (error == ERROR_MORE_DATA) {
            // A longer name arrived since the size was asked for: grow and read this index again.
            buffer.resize(buffer.size() * 2);
            --index;
            continue;
        }
        if (error != ERROR_SUCCESS) {
            break;
        }
        names.push_back(win32::Narrow(std::wstring_view(buffer.data(), length)));
    }
    return names;
}

ValueType Key::TypeOf(std::string_view name) const {
    if (!impl_) {
        return ValueType::None;
    }
    DWORD type = REG_NONE;
    const std::wstring valueName = win32::Wide(name);
    if (RegQueryValueExW(impl_->key.Get(), valueName.c_str(), nullptr, &type, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return ValueType::None;
    }
    switch (type) {
        case REG_DWORD:
            return ValueType::Dword;
        case REG_SZ:
            return ValueType::String;
        case REG_EXPAND_SZ:
            return ValueType::ExpandString;
        default:
            return ValueType::Other;
    }
}

Status Key::ReadInt(std::string_view name, int32_t& out) const {
    if (!impl_) {
        return Status::NotFound;
    }
    const std::wstring valueName = win32::Wide(name);
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS error =
        RegGetValueW(impl_->key.Get(), nullptr, valueName.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size);
    const Status status = ReadStatus(error);
    if (status == Status::Ok) {
        out = static_cast<int32_t>(value);
    }
    return status;
}

Status Key::ReadString(std::string_view name, std::string& out) const {
    if (!impl_) {
        return Status::NotFound;
    }
    const std::wstring valueName = win32::Wide(name);
    // An expandable string is taken as it is stored, without expanding its variables.
    constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    LSTATUS error =
        RegGetValueW(impl_->key.Get(), nullptr, valueName.c_str(), kFlags, nullptr, nullptr, &size);
    std::vector<wchar_t> buffer;
    // The value may grow between the two calls; ask again with the new size.
    for (int attempt = 0; error == ERROR_SUCCESS || error == ERROR_MORE_DATA; ++attempt) {
        if (attempt == 8) {
            return Status::CannotRead;
        }
        buffer.assign(size / sizeof(wchar_t) + 2, L'\0');
        DWORD capacity = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        error = RegGetValueW(impl_->key.Get(), nullptr, valueName.c_str(), kFlags, nullptr, buffer.data(),
                             &capacity);
        if (error == ERROR_SUCCESS) {
            // The data need not end in a zero, and may hold one early: stop at the first.
            const size_t limit = capacity / sizeof(wchar_t);
            size_t length = 0;
            while (length < limit && buffer[length] != L'\0') {
                ++length;
            }
            out = win32::Narrow(std::wstring_view(buffer.data(), length));
            return Status::Ok;
        }
        size = capacity;
    }
    return ReadStatus(error);
}

namespace {

Status Write(const win32::KeyHandle* key, std::string_view name, DWORD type, const void* data, size_t size) {
    if (!key) {
        return Status::CannotWrite;
    }
    const std::wstring valueName = win32::Wide(name);
    const LSTATUS error = RegSetValueExW(key->Get(), valueName.c_str(), 0, type,
                                         static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    return error == ERROR_SUCCESS ? Status::Ok : Status::CannotWrite;
}

Status WriteText(const win32::KeyHandle* key, std::string_view name, DWORD type, std::string_view value) {
    const std::wstring wide = win32::Wide(value);
    // The terminating zero is part of the stored data.
    return Write(key, name, type, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

}  // namespace

Status Key::ReadBinary(std::string_view name, std::string& out) const {
    if (!impl_) {
        return Status::NotFound;
    }
    const std::wstring valueName = win32::Wide(name);
    DWORD size = 0;
    LSTATUS error = RegGetValueW(impl_->key.Get(), nullptr, valueName.c_str(), RRF_RT_REG_BINARY, nullptr,
                                 nullptr, &size);
    std::string bytes;
    // The value may grow between the two calls; ask again with the new size.
    for (int attempt = 0; error == ERROR_SUCCESS || error == ERROR_MORE_DATA; ++attempt) {
        if (attempt == 8) {
            return Status::CannotRead;
        }
        bytes.assign(size, '\0');
        DWORD capacity = size;
        error = RegGetValueW(impl_->key.Get(), nullptr, valueName.c_str(), RRF_RT_REG_BINARY, nullptr,
                             bytes.data(), &capacity);
        if (error == ERROR_SUCCESS) {
            bytes.resize(capacity);
            out = std::move(bytes);
            return Status::Ok;
        }
        size = capacity;
    }
    return ReadStatus(error);
}

Status Key::WriteInt(std::string_view name, int32_t value) {
    const DWORD data = static_cast<DWORD>(value);
    return Write(impl_ ? &impl_->key : nullptr, name, REG_DWORD, &data, sizeof data);
}

Status Key::WriteString(std::string_view name, std::string_view value) {
    return WriteText(impl_ ? &impl_->key : nullptr, name, REG_SZ, value);
}

Status Key::WriteExpandString(std::string_view name, std::string_view value) {
    return WriteText(impl_ ? &impl_->key : nullptr, name, REG_EXPAND_SZ, value);
}

Status Key::WriteBinary(std::string_view name, std::string_view bytes) {
    return Write(impl_ ? &impl_->key : nullptr, name, REG_BINARY, bytes.data(), bytes.size());
}

Status Key::DeleteValue(std::string_view name) {
    if (!impl_) {
        return Status::CannotWrite;
    }
    const std::wstring valueName = win32::Wide(name);
    const LSTATUS error = RegDeleteValueW(impl_->key.Get(), valueName.c_str());
    return (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND) ? Status::Ok : Status::CannotWrite;
}

bool DeleteKeyTree(std::string_view path) {
    const std::wstring name = KeyName(path);
    if (name.empty()) {
        return false;
    }
    const LSTATUS error = RegDeleteTreeW(HKEY_CURRENT_USER, name.c_str());
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    return true;
}

}  // namespace orv::reg
