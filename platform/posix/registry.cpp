// The registry of the POSIX build: one process-wide store in memory with the value types of the real
// one. Key paths and value names are compared without regard to case, as Windows does.
#include <algorithm>
#include <initializer_list>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orv::reg {
namespace {

struct Value {
    ValueType type = ValueType::None;
    int32_t number = 0;
    std::string data;
    std::string name;  // as first written (the map's key is folded)
};

struct Store {
    std::mutex mutex;
    std::set<std::string> keys;                                  // normalised key paths
    std::map<std::string, std::map<std::string, Value>> values;  // key -> folded name -> value
};

Store& TheStore() {
    static Store store;
    return store;
}

std::string Fold(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

// "SoftWare\\Keldrastic\\\\Orvanter\\" -> "software\\keldrastic\\orvanter": no empty parts, folded.
std::string NormaliseKey(std::string_view path) {
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            if (!result.empty()) {
                result += '\\';
            }
            result += Fold(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return result;
}

// The real registry refuses key names longer than 255 characters.
bool HasOverlongPart(const std::string& normalised) {
    size_t start = 0;
    for (;;) {
        const size_t end = normalised.find('\\', start);
        const size_t length = (end == std::string::npos ? normalised.size() : end) - start;
        if (length > 255) {
            return true;
        }
        if (end == std::string::npos) {
            return false;
        }
        start = end + 1;
    }
}

}  // namespace

struct Key::Impl {
    std::string path;
};

Key::Key() = default;
Key::~Key() = default;
Key::Key(Key&& other) noexcept = default;
Key& Key::operator=(Key&& other) noexcept = default;

bool Key::Open(std::string_view path, bool create, Key& out) {
    const std::string normalised = NormaliseKey(path);
    if (normalised.empty() || HasOverlongPart(normalised)) {
        return false;
    }
    Store& store = TheStore();
    {
        std::lock_guard lock(store.mutex);
        if (!store.keys.count(normalised)) {
            if (!create) {
                return false;
            }
            for (size_t at = normalised.find('\\'); at != std::string::npos;
                 at = normalised.find('\\', at + 1)) {
                store.keys.insert(normalised.substr(0, at));
            }
            store.keys.insert(normalised);
        }
    }
    auto impl = std::make_unique<Impl>();
    impl->path = normalised;
    out.impl_ = std::move(impl);
    return true;
}

bool Key::IsOpen() const {
    return impl_ != nullptr;
}

std::vector<std::string> Key::ValueNames() const {
    std::vector<std::string> names;
    if (!impl_) {
        return names;
    }
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    const auto key = store.values.find(impl_->path);
    if (key != store.values.end()) {
        for (const auto& entry : key->second) {
            names.push_back(entry.second.name);
        }
    }
    return names;
}

ValueType Key::TypeOf(std::string_view name) const {
    if (!impl_) {
        return ValueType::None;
    }
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    const auto key = store.values.find(impl_->path);
    if (key == store.values.end()) {
        return ValueType::None;
    }
    const auto value = key->second.find(Fold(name));
    return value == key->second.end() ? ValueType::None : value->second.type;
}

namespace {

// Copies a value of an open key (null for a key that never opened) when it has one of `types`;
// NotFound, WrongType, or CannotRead for a deleted key.
Status Lookup(const std::string* openPath, std::string_view name, std::initializer_list<ValueType> types,
              Value& out) {
    if (!openPath) {
        return Status::NotFound;
    }
    const std::string& keyPath = *openPath;
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    if (!store.keys.count(keyPath)) {
        return Status::CannotRead;
    }
    const auto key = store.values.find(keyPath);
    if (key == store.values.end()) {
        return Status::NotFound;
    }
    const auto value = key->second.find(Fold(name));
    if (value == key->second.end()) {
        return Status::NotFound;
    }
    if (std::find(types.begin(), types.end(), value->second.type) == types.end()) {
        return Status::WrongType;
    }
    out = value->second;
    return Status::Ok;
}

}  // namespace

Status Key::ReadInt(std::string_view name, int32_t& out) const {
    Value value;
    const Status status = Lookup(impl_ ? &impl_->path : nullptr, name, {ValueType::Dword}, value);
    if (status == Status::Ok) {
        out = value.number;
    }
    return status;
}

Status Key::ReadString(std::string_view name, std::string& out) const {
    Value value;
    const Status status =
        Lookup(impl_ ? &impl_->path : nullptr, name, {ValueType::String, ValueType::ExpandString}, value);
    if (status == Status::Ok) {
        out = std::move(value.data);
    }
    return status;
}

Status Key::ReadBinary(std::string_view name, std::string& out) const {
    Value value;
    const Status status = Lookup(impl_ ? &impl_->path : nullptr, name, {ValueType::Other}, value);
    if (status == Status::Ok) {
        out = std::move(value.data);
    }
    return status;
}

namespace {

Status Put(const std::string* keyPath, std::string_view name, Value value) {
    if (!keyPath) {
        return Status::CannotWrite;
    }
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    if (!store.keys.count(*keyPath)) {
        return Status::CannotWrite;  // the key was deleted while open
    }
    Value& stored = store.values[*keyPath][Fold(name)];
    value.name = stored.type == ValueType::None ? std::string(name) : stored.name;
    stored = std::move(value);
    return Status::Ok;
}

}  // namespace

Status Key::WriteInt(std::string_view name, int32_t value) {
    return Put(impl_ ? &impl_->path : nullptr, name, Value{ValueType::Dword, value, {}, {}});
}

Status Key::WriteString(std::string_view name, std::string_view value) {
    return Put(impl_ ? &impl_->path : nullptr, name, Value{ValueType::String, 0, std::string(value), {}});
}

Status Key::WriteExpandString(std::string_view name, std::string_view value) {
    return Put(impl_ ? &impl_->path : nullptr, name,
               Value{ValueType::ExpandString, 0, std::string(value), {}});
}

Status Key::WriteBinary(std::string_view name, std::string_view bytes) {
    return Put(impl_ ? &impl_->path : nullptr, name, Value{ValueType::Other, 0, std::string(bytes), {}});
}

Status Key::DeleteValue(std::string_view name) {
    if (!impl_) {
        return Status::CannotWrite;
    }
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    if (!store.keys.count(impl_->path)) {
        return Status::CannotWrite;
    }
    const auto key = store.values.find(impl_->path);
    if (key != store.values.end()) {
        key->second.erase(Fold(name));
    }
    return Status::Ok;
}

bool DeleteKeyTree(std::string_view path) {
    const std::string normalised = NormaliseKey(path);
    if (normalised.empty()) {
        return false;
    }
    const std::string below = normalised + '\\';
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    for (auto it = store.keys.begin(); it != store.keys.end();) {
        if (*it == normalised || it->compare(0, below.size(), below) == 0) {
            store.values.erase(*it);
            it = store.keys.erase(it);
        } else {
            ++it;
        }
    }
    return true;
}

}  // namespace orv::reg
