// Reading the shortcut store. The registry reads go through StoreReader, so that the
// rules that turn whatever the store holds into a table can be run against any values:
// the engine hands it the real registry, tests and the fuzzer hand it made-up ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "shortcut_table.h"

// One open key at a time: the store's root key or one item key.
class StoreReader {
public:
    enum class Result { Read, Missing, TooLarge };
    // Registry value types by their Windows numbers.
    static constexpr uint32_t kString = 1;  // REG_SZ
    static constexpr uint32_t kDword = 4;   // REG_DWORD

    // Open "Software\Vellora\Tarvo" or its item key index, closing the key open before;
    // false when the key is missing.
    virtual bool OpenRoot() = 0;
    virtual bool OpenItem(int index) = 0;
    // Reads one value of the open key as RegQueryValueExW does (text comes as UTF-16LE): on Read, at most capacity
    // bytes were copied to data and size is how many (the value's whole size), type its
    // type; TooLarge when the value holds more than capacity bytes (data is then
    // undefined); Missing for any other failure.
    virtual Result ReadValue(const char* name, uint32_t& type, void* data, uint32_t capacity, uint32_t& size) = 0;

protected:
    ~StoreReader() = default;
};

namespace store {

// A REG_DWORD of exactly four bytes.
bool ReadDword(StoreReader& reader, const char* name, uint32_t& value);
// Bytes of the UTF-8 buffer that a string of at most limit UTF-16 units needs, terminator included.
constexpr size_t TextBufferSize(uint32_t limit) { return size_t{limit} * 3 + 1; }

// A REG_SZ, which the registry holds as UTF-16LE, of at most limit units (a stored
// terminator counts), converted to UTF-8 in buffer (TextBufferSize(limit) bytes). The
// text ends at the first NUL or at the end of the data; it is terminated.
bool ReadString(StoreReader& reader, const char* name, char* buffer, uint32_t limit, size_t& length);

// A value stored either as a REG_DWORD (as ReadDword takes it) or as a REG_SZ (as
// ReadString takes it, limit at least 2), with one read.
enum class ValueKind { Missing, Number, Text };
ValueKind ReadDwordOrString(StoreReader& reader, const char* name, char* buffer, uint32_t limit, size_t& length,
                            uint32_t& number);

// Reads the settings and the items of the store into a new table. Settings the store does
// not hold keep their values from current. Null when memory ran out.
std::unique_ptr<ShortcutTable> ReadShortcutTable(StoreReader& reader, const EngineSettings& current);

}  // namespace store
