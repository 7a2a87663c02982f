// A made-up shortcut store for the loader: keys and values held in memory, read through
// StoreReader the way the registry answers (text as UTF-16LE, as RegQueryValueExW gives it). The bytes that follow a value's data in the
// reader's buffer are overwritten with kJunk, so text taken from past the value shows.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "core/store_reader.h"
#include "core/utf.h"

class FakeStore final : public StoreReader {
public:
    static constexpr char kJunk = '#';
    struct Value {
        uint32_t type;
        std::string data;
    };
    using Key = std::map<std::string, Value>;

    bool hasRoot = true;
    Key root;
    std::map<int, Key> items;  // a missing index is a gap
    int valueReads = 0;

    static Value Dword(uint32_t value) { return {kDword, std::string(reinterpret_cast<const char*>(&value), 4)}; }
    // UTF-8 text (NULs included) as the registry's UTF-16LE bytes.
    static std::string Utf16(const std::string& text) {
        std::u16string units(utf::Utf8ToUtf16(text.data(), text.size(), nullptr, 0), u'\0');
        utf::Utf8ToUtf16(text.data(), text.size(), &units[0], units.size());
        std::string bytes;
        for (char16_t unit : units) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        return bytes;
    }
    static Value Text(const std::string& text) { return {kString, Utf16(text + '\0')}; }

    bool OpenRoot() override { return Open(hasRoot ? &root : nullptr); }
    bool OpenItem(int index) override {
        const auto item = items.find(index);
        return Open(item == items.end() ? nullptr : &item->second);
    }
    Result ReadValue(const char* name, uint32_t& type, void* data, uint32_t capacity, uint32_t& size) override {
        ++valueReads;
        if (open == nullptr) return Result::Missing;
        const auto value = open->find(name);
        if (value == open->end()) return Result::Missing;
        char* out = static_cast<char*>(data);
        const std::string& bytes = value->second.data;
        if (bytes.size() > capacity) {
            std::memset(out, kJunk, std::min<size_t>(capacity, 64));  // undefined: make it visible
            return Result::TooLarge;
        }
        std::memcpy(out, bytes.data(), bytes.size());
        std::memset(out + bytes.size(), kJunk, std::min<size_t>(capacity - bytes.size(), 64));
        type = value->second.type;
        size = static_cast<uint32_t>(bytes.size());
        return Result::Read;
    }

private:
    bool Open(Key* key) {
        open = key;
        return key != nullptr;
    }
    Key* open = nullptr;
};
