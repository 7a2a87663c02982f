// Bounded registry reads shared by the engine's loader and the editor's registry layer.
// Neither relies on a stored terminator, and a value of another type counts as absent.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// A REG_DWORD of exactly four bytes.
bool QueryDwordValue(HKEY key, const char* name, uint32_t& value);

// A REG_SZ of at most limit bytes, read into buffer (which holds at least limit + 1
// bytes). The text ends at the first NUL or at the end of the data; it is terminated.
bool QueryStringValue(HKEY key, const char* name, char* buffer, DWORD limit, size_t& length);
