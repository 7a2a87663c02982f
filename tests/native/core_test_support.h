// For the core's tests and fuzz targets: modifier flags by index, and a store in memory that answers as the registry does.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "core/keystroke_decision.h"
#include "core/shortcut_clash.h"
#include "core/shortcut_file.h"
#include "core/shortcut_store.h"
#include "core/store_reader.h"
#include "core/utf.h"
#include "core/window_settings.h"

// The flag of modifier 0 Alt, 1 Ctrl or 2 Shift on side 0 left, 1 right or 2 any.
inline uint8_t& ModifierFlag(KeyCombination& k, int modifier, int side) {
    uint8_t* const flags[3][3] = {{&k.leftAlt, &k.rightAlt, &k.anyAlt}, {&k.leftCtrl, &k.rightCtrl, &k.anyCtrl},
                                  {&k.leftShift, &k.rightShift, &k.anyShift}};
    return *flags[modifier][side];
}

// Bytes past a value's data in the reader's buffer become '#', so text taken from past the value shows.
class FakeStore final : public StoreReader {
public:
    struct Value { uint32_t type; std::string data; };
    using Key = std::map<std::string, Value>;
    bool hasRoot = true;
    Key root;
    std::map<int, Key> items;  // a missing index is a gap
    int valueReads = 0;

    static Value Dword(uint32_t value) { return {kDword, std::string(reinterpret_cast<const char*>(&value), 4)}; }
    static std::string Utf16(const std::string& utf8) {  // NULs included; little-endian hosts only
        std::u16string units(utf::Utf8ToUtf16(utf8.data(), utf8.size(), nullptr, 0), u'\0');
        utf::Utf8ToUtf16(utf8.data(), utf8.size(), &units[0], units.size());
        return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
    }
    static Value Text(const std::string& text) { return {kString, Utf16(text + '\0')}; }

    bool OpenRoot() override { return (open = hasRoot ? &root : nullptr) != nullptr; }
    bool OpenItem(int index) override { return (open = items.count(index) ? &items[index] : nullptr) != nullptr; }
    Result ReadValue(const char* name, uint32_t& type, void* data, uint32_t capacity, uint32_t& size) override {
        ++valueReads;
        const auto value = open ? open->find(name) : Key::iterator{};
        if (!open || value == open->end()) return Result::Missing;
        const std::string& bytes = value->second.data;
        const size_t copied = bytes.size() > capacity ? 0 : bytes.size();  // too large: undefined, so made visible
        std::memcpy(data, bytes.data(), copied);
        std::memset(static_cast<char*>(data) + copied, '#', std::min<size_t>(capacity - copied, 64));
        if (bytes.size() > capacity) return Result::TooLarge;
        type = value->second.type;
        size = static_cast<uint32_t>(bytes.size());
        return Result::Read;
    }

private:
    Key* open = nullptr;
};
