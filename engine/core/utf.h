// Text inside the program is UTF-8 in char strings; Windows takes and gives UTF-16.
// These two conversions are the only bridge, used wherever text crosses into a wide
// Win32 call or comes back from one.
//
// Any UTF-16 sequence survives the round trip byte for byte: a lone surrogate (which
// the registry or a window text may hold) becomes its own three-byte form rather than a
// replacement character, as WTF-8 does, so reading a value and writing it back never
// changes it. Malformed UTF-8 bytes become U+FFFD.
#pragma once

#include <cstddef>

namespace utf {

// Converts length UTF-16 units. Writes at most capacity bytes (no terminator) and
// returns the number of bytes the whole text needs; out may be null to measure.
size_t Utf16ToUtf8(const char16_t* text, size_t length, char* out, size_t capacity) noexcept;

// Converts length UTF-8 bytes. Writes at most capacity units (no terminator) and
// returns the number of units the whole text needs; out may be null to measure.
size_t Utf8ToUtf16(const char* text, size_t length, char16_t* out, size_t capacity) noexcept;

// The most UTF-8 bytes one UTF-16 unit can need.
constexpr size_t kMaxUtf8PerUnit = 3;

}  // namespace utf
