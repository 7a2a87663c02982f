// The editor window's placement as the store's "Window settings" text holds it: the ten
// numbers of a WINDOWPLACEMENT.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct WindowSettings {
    uint32_t flags;
    uint32_t showCmd;
    int32_t minX, minY;  // ptMinPosition
    int32_t maxX, maxY;  // ptMaxPosition
    int32_t left, top, right, bottom;  // rcNormalPosition
};

// "%u %u %d %d %d %d %d %d %d %d", in the order of the fields.
std::string FormatWindowSettings(const WindowSettings& settings);

// Reads the ten numbers as scanning with that format would: blanks before each number, an
// optional sign, text after the tenth ignored. False when ten numbers do not scan, when a
// number lies outside its field's range, or when the normal rectangle has a negative size
// or one that does not fit in 32 bits (a window cannot be placed by it). The text need
// not be terminated.
bool ParseWindowSettings(const char* text, size_t length, WindowSettings& settings);
