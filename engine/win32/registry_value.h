// Bounded registry reads shared by the engine's loader and the editor's registry layer.
// Neither relies on a stored terminator, and a value of another type counts as absent.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "core/store_reader.h"

// A registry key opened (or created) for one operation and closed on every path.
class ScopedRegistryKey {
public:
    enum class Open { Existing, CreateIfMissing };
    ScopedRegistryKey(HKEY root, const char* path, REGSAM access, Open how = Open::Existing);
    ~ScopedRegistryKey() { if (key) RegCloseKey(key); }
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;
    explicit operator bool() const { return key != nullptr; }
    HKEY get() const { return key; }

private:
    HKEY key = nullptr;
};

// The store's keys under HKEY_CURRENT_USER, read through the real registry.
class RegistryStoreReader final : public StoreReader {
public:
    RegistryStoreReader() = default;
    ~RegistryStoreReader() { Close(); }
    RegistryStoreReader(const RegistryStoreReader&) = delete;
    RegistryStoreReader& operator=(const RegistryStoreReader&) = delete;
    bool OpenRoot() override;
    bool OpenItem(int index) override;
    Result ReadValue(const char* name, uint32_t& type, void* data, uint32_t capacity, uint32_t& size) override {
        return QueryValue(key, name, type, data, capacity, size);
    }

    // RegQueryValueExW in StoreReader's terms.
    static Result QueryValue(HKEY key, const char* name, uint32_t& type, void* data, uint32_t capacity, uint32_t& size);

private:
    bool Open(const char* path);
    void Close();
    HKEY key = nullptr;
};

// A REG_DWORD of exactly four bytes.
bool QueryDwordValue(HKEY key, const char* name, uint32_t& value);

// A REG_SZ of at most limit UTF-16 units, as UTF-8 in buffer (store::TextBufferSize(limit)
// bytes). The text ends at the first NUL or at the end of the data; it is terminated.
bool QueryStringValue(HKEY key, const char* name, char* buffer, DWORD limit, size_t& length);

// Either of the two, with one read.
store::ValueKind QueryDwordOrStringValue(HKEY key, const char* name, char* buffer, DWORD limit, size_t& length,
                                         uint32_t& number);
