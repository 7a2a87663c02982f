#include "registry_value.h"

#include "core/shortcut_store.h"
#include "wide_name.h"

ScopedRegistryKey::ScopedRegistryKey(HKEY root, const char* path, REGSAM access, Open how) {
    const WideName<1024> wide(path);
    const LONG result = !wide.fits()                ? ERROR_FILENAME_EXCED_RANGE
                        : how == Open::Existing ? RegOpenKeyExW(root, wide.get(), 0, access, &key)
                                                : RegCreateKeyExW(root, wide.get(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                                  access, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS) key = nullptr;
}

void RegistryStoreReader::Close() {
    if (key) RegCloseKey(key);
    key = nullptr;
}

bool RegistryStoreReader::Open(const char* path) {
    Close();
    const StoreName wide(path);
    if (wide.fits() && RegOpenKeyExW(HKEY_CURRENT_USER, wide.get(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) return true;
    key = nullptr;
    return false;
}

bool RegistryStoreReader::OpenRoot() { return Open(store::kRootPath); }

bool RegistryStoreReader::OpenItem(int index) {
    char path[store::kItemPathSize];
    store::FormatItemPath(index, path);
    return Open(path);
}

StoreReader::Result RegistryStoreReader::QueryValue(HKEY key, const char* name, uint32_t& type, void* data,
                                                    uint32_t capacity, uint32_t& size) {
    DWORD valueType = 0;
    DWORD valueSize = capacity;
    const StoreName wide(name);
    if (!wide.fits()) return Result::Missing;
    const LONG result = RegQueryValueExW(key, wide.get(), nullptr, &valueType, static_cast<BYTE*>(data), &valueSize);
    if (result == ERROR_MORE_DATA) return Result::TooLarge;
    if (result != ERROR_SUCCESS || valueSize > capacity) return Result::Missing;
    type = valueType;
    size = valueSize;
    return Result::Read;
}

namespace {

// One key the caller holds open, read through the store's bounded reads.
class OpenKeyReader final : public StoreReader {
public:
    explicit OpenKeyReader(HKEY key) : key(key) {}
    bool OpenRoot() override { return false; }
    bool OpenItem(int) override { return false; }
    Result ReadValue(const char* name, uint32_t& type, void* data, uint32_t capacity, uint32_t& size) override {
        return RegistryStoreReader::QueryValue(key, name, type, data, capacity, size);
    }

private:
    HKEY key;
};

}  // namespace

bool QueryDwordValue(HKEY key, const char* name, uint32_t& value) {
    OpenKeyReader reader(key);
    return store::ReadDword(reader, name, value);
}

bool QueryStringValue(HKEY key, const char* name, char* buffer, DWORD limit, size_t& length) {
    OpenKeyReader reader(key);
    return store::ReadString(reader, name, buffer, limit, length);
}

store::ValueKind QueryDwordOrStringValue(HKEY key, const char* name, char* buffer, DWORD limit, size_t& length,
                                         uint32_t& number) {
    OpenKeyReader reader(key);
    return store::ReadDwordOrString(reader, name, buffer, limit, length, number);
}
