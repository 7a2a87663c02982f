#include "window_settings.h"

#include <cstdio>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One number after optional blanks; false when no digit follows or the magnitude passes
// the limit. Digits are read in 64 bits and stop counting once past the limit.
bool ReadNumber(const char*& p, const char* end, uint64_t limit, bool& negative, uint64_t& magnitude) {
    while (p < end && IsBlank(*p)) ++p;
    negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || *p < '0' || *p > '9') return false;
    magnitude = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
        if (magnitude > limit) return false;
    }
    return true;
}

bool ReadUnsigned(const char*& p, const char* end, uint32_t& value) {
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ReadNumber(p, end, UINT32_MAX, negative, magnitude)) return false;
    // A sign on an unsigned number negates it modulo 2^32, as scanning "%u" does.
    value = static_cast<uint32_t>(negative ? 0u - magnitude : magnitude);
    return true;
}

bool ReadSigned(const char*& p, const char* end, int32_t& value) {
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ReadNumber(p, end, uint64_t{INT32_MAX} + 1, negative, magnitude)) return false;
    if (!negative && magnitude > INT32_MAX) return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}

bool FitsAsSize(int32_t low, int32_t high) {
    const int64_t size = int64_t{high} - low;
    return size >= 0 && size <= INT32_MAX;
}

}  // namespace

std::string FormatWindowSettings(const WindowSettings& s) {
    char text[128];
    std::snprintf(text, sizeof text, "%u %u %d %d %d %d %d %d %d %d", static_cast<unsigned>(s.flags),
                  static_cast<unsigned>(s.showCmd), static_cast<int>(s.minX), static_cast<int>(s.minY),
                  static_cast<int>(s.maxX), static_cast<int>(s.maxY), static_cast<int>(s.left),
                  static_cast<int>(s.top), static_cast<int>(s.right), static_cast<int>(s.bottom));
    return text;
}

bool ParseWindowSettings(const char* text, size_t length, WindowSettings& settings) {
    if (text == nullptr) return false;
    const char* p = text;
    const char* end = text + length;
    WindowSettings read{};
    int32_t* const numbers[] = {&read.minX, &read.minY, &read.maxX, &read.maxY,
                                &read.left, &read.top,  &read.right, &read.bottom};
    if (!ReadUnsigned(p, end, read.flags) || !ReadUnsigned(p, end, read.showCmd)) return false;
    for (int32_t* number : numbers)
        if (!ReadSigned(p, end, *number)) return false;
    if (!FitsAsSize(read.left, read.right) || !FitsAsSize(read.top, read.bottom)) return false;
    settings = read;
    return true;
}
