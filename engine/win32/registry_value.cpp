#include "registry_value.h"

#include <cstring>

ScopedRegistryKey::ScopedRegistryKey(HKEY root, const char* path, REGSAM access, Open how) {
    const LONG result = how == Open::Existing
                            ? RegOpenKeyExA(root, path, 0, access, &key)
                            : RegCreateKeyExA(root, path, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, access,
                                              nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) key = nullptr;
}

bool QueryDwordValue(HKEY key, const char* name, uint32_t& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof data) return false;
    value = data;
    return true;
}

bool QueryStringValue(HKEY key, const char* name, char* buffer, DWORD limit, size_t& length) {
    DWORD type = 0;
    DWORD size = limit;
    // A value longer than the limit fails with ERROR_MORE_DATA and so reads as absent.
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ || size > limit) return false;
    const void* nul = std::memchr(buffer, '\0', size);
    length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - buffer) : size;
    buffer[length] = '\0';
    return true;
}
