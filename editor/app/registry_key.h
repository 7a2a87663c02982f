// CRegistryKey: every registry access of the editor. A small value (key path, root and
// the largest text it reads); it holds no handle: each operation opens its key, does its
// work and closes the key again on every path.
#pragma once

#include <windows.h>

#include <cstdint>

#include "cstring.h"

// One value for CRegistryKey::ReadValues, asked for as a number, as text, or as either
// (then number stays 0 when text was read).
struct CRegistryValue {
    enum Kind { Number, Text, NumberOrText };
    CRegistryValue(const char* name, Kind kind) : name(name), kind(kind) {}
    const char* name;
    Kind kind;
    bool found = false;
    uint32_t number = 0;
    CString string;
};

class CRegistryKey {
public:
    CRegistryKey() = default;
    CRegistryKey(const char* path, HKEY root, uint32_t readLimit) : path(path), root(root), readLimit(readLimit) {}

    void SetKey(const char* newPath, HKEY newRoot) {
        path = newPath;
        root = newRoot;
    }

    bool KeyExists() const;
    // Whether the key holds a value of that name, of any type.
    bool ValueExists(const char* name) const;
    // The value when it is a REG_DWORD, else the default.
    uint32_t ReadDword(const char* name, uint32_t defaultValue) const;
    // The text when it is a REG_SZ of at most readLimit UTF-16 units (a stored terminator
    // counts), else the default; the text ends at its first NUL or at the end of the data.
    CString ReadString(const char* name, const char* defaultValue) const;
    // Reads the values with one opening of the key, each as ReadDword or ReadString would;
    // false, with none found, when the key does not open. A whole list at start reads
    // 1,400 values: one opening per item instead of one per value.
    bool ReadValues(CRegistryValue* values, size_t count) const;
    // Create the key when needed and write; false at once when path is empty.
    bool WriteDword(const char* name, uint32_t value) const;
    bool WriteString(const char* name, const char* text) const;
    // Removes the subkey with all its values and subkeys.
    bool DeleteSubKey(const char* subKey) const;
    // Makes this key's values exactly those of source, each with its stored type and
    // bytes, values the editor cannot read or does not know included; creates this key
    // when needed. False, changing nothing, when source does not open.
    bool ReplaceValuesWith(const CRegistryKey& source) const;

    CString path;
    HKEY root = HKEY_LOCAL_MACHINE;
    uint32_t readLimit = 1024;
};

// A REG_DWORD value, or 0 when the key or value is missing or of another type.
uint32_t GetRegistryDword(HKEY root, const char* path, const char* name);

// The path of item key index below the store's root.
CString ItemKeyPath(int index);
