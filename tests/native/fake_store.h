// A made-up shortcut store for the loader: keys and values held in memory, read the way
// the registry answers (text as UTF-16LE). The bytes past a value's data in the reader's
// buffer are overwritten with kJunk, so text taken from past the value shows.
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
    static std::string Utf16(const std::string& utf8) {  // NULs included
        std::u16string units(utf::Utf8ToUtf16(utf8.data(), utf8.size(), nullptr, 0), u'\0');
        utf::Utf8ToUtf16(utf8.data(), utf8.size(), &units[0], units.size());
        return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);  // little-endian hosts only
    }
    static Value Text(const std::string& text) { return {kString, Utf16(text + '\0')}; }

    bool OpenRoot() override { return (open = hasRoot ? &root : nullptr) != nullptr; }
    bool OpenItem(int index) override { return (open = items.count(index) ? &items[index] : nullptr) != nullptr; }
    Result ReadValue(const char* name, uint32_t& type, void* data, uint32_t capacity, uint32_t& size) override {
        ++valueReads;
        const auto value = open ? open->find(name) : Key::iterator{};
        if (!open || value == open->end()) return Result::Missing;
        const std::string& bytes = value->second.data;
        char* out = static_cast<char*>(data);
        const size_t copied = bytes.size() > capacity ? 0 : bytes.size();  // too large: undefined, so made visible
        std::memcpy(out, bytes.data(), copied);
        std::memset(out + copied, kJunk, std::min<size_t>(capacity - copied, 64));
        if (bytes.size() > capacity) return Result::TooLarge;
        type = value->second.type;
        size = static_cast<uint32_t>(bytes.size());
        return Result::Read;
    }

private:
    Key* open = nullptr;
};
