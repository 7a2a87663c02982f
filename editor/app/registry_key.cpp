#include "registry_key.h"

#include <shlwapi.h>

#include <vector>

#include "registry_value.h"

namespace {

// An open key, closed when it goes out of scope.
class OpenKey {
public:
    OpenKey(HKEY root, const char* path, REGSAM access) {
        if (RegOpenKeyExA(root, path, 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

protected:
    OpenKey() = default;
    HKEY key_ = nullptr;
};

// Opens the key, creating it when missing.
class CreatedKey : public OpenKey {
public:
    CreatedKey(HKEY root, const char* path) {
        if (RegCreateKeyExA(root, path, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
};

bool WriteValue(const CRegistryKey& target, const char* name, DWORD type, const void* data, DWORD size) {
    if (target.path.IsEmpty()) return false;
    CreatedKey key(target.root, target.path);
    return key && RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

bool CRegistryKey::KeyExists() const { return static_cast<bool>(OpenKey(root, path, KEY_READ)); }

uint32_t CRegistryKey::ReadDword(const char* name, uint32_t defaultValue) const {
    OpenKey key(root, path, KEY_READ);
    uint32_t value = 0;
    return key && QueryDwordValue(key.get(), name, value) ? value : defaultValue;
}

CString CRegistryKey::ReadString(const char* name, const char* defaultValue) const {
    OpenKey key(root, path, KEY_READ);
    if (!key) return defaultValue;
    std::vector<char> buffer(static_cast<size_t>(readLimit) + 1);
    size_t length = 0;
    if (!QueryStringValue(key.get(), name, buffer.data(), readLimit, length)) return defaultValue;
    return CString(buffer.data(), static_cast<int>(length));
}

bool CRegistryKey::WriteDword(const char* name, uint32_t value) const {
    const DWORD data = value;
    return WriteValue(*this, name, REG_DWORD, &data, sizeof data);
}

bool CRegistryKey::WriteString(const char* name, const char* text) const {
    const CString value(text);
    return WriteValue(*this, name, REG_SZ, value.GetString(), static_cast<DWORD>(value.GetLength() + 1));
}

bool CRegistryKey::DeleteSubKey(const char* subKey) const {
    OpenKey key(root, path, KEY_READ);
    return key && SHDeleteKeyA(key.get(), subKey) == ERROR_SUCCESS;
}

uint32_t GetRegistryDword(HKEY root, const char* path, const char* name) {
    OpenKey key(root, path, KEY_READ);
    uint32_t value = 0;
    return key && QueryDwordValue(key.get(), name, value) ? value : 0;
}
