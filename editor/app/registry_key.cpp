#include "registry_key.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "registry_value.h"
#include "text.h"

namespace {

bool WriteValue(const CRegistryKey& target, const char* name, DWORD type, const void* data, DWORD size) {
    if (target.path.IsEmpty()) return false;
    ScopedRegistryKey key(target.root, target.path, KEY_ALL_ACCESS, ScopedRegistryKey::Open::CreateIfMissing);
    return key && RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

// A wide-opened key, closed on every path.
struct WideKey {
    WideKey(const CRegistryKey& of, REGSAM access, bool create) {
        const std::wstring path = Wide(of.path.GetString());
        const LSTATUS status = create ? RegCreateKeyExW(of.root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr)
                                      : RegOpenKeyExW(of.root, path.c_str(), 0, access, &key);
        if (status != ERROR_SUCCESS) key = nullptr;
    }
    ~WideKey() { if (key) RegCloseKey(key); }
    WideKey(const WideKey&) = delete;
    WideKey& operator=(const WideKey&) = delete;
    HKEY key = nullptr;
};

}  // namespace

bool CRegistryKey::KeyExists() const { return static_cast<bool>(ScopedRegistryKey(root, path, KEY_READ)); }

bool CRegistryKey::ValueExists(const char* name) const {
    const WideKey key(*this, KEY_QUERY_VALUE, false);
    return key.key && RegQueryValueExW(key.key, Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

uint32_t CRegistryKey::ReadDword(const char* name, uint32_t defaultValue) const {
    CRegistryValue value(name, CRegistryValue::Number);
    return ReadValues(&value, 1) && value.found ? value.number : defaultValue;
}

CString CRegistryKey::ReadString(const char* name, const char* defaultValue) const {
    CRegistryValue value(name, CRegistryValue::Text);
    return ReadValues(&value, 1) && value.found ? value.string : CString(defaultValue);
}

bool CRegistryKey::ReadValues(CRegistryValue* values, size_t count) const {
    ScopedRegistryKey key(root, path, KEY_READ);
    if (!key) return false;
    std::vector<char> buffer;
    for (size_t i = 0; i < count; ++i) {
        CRegistryValue& value = values[i];
        if (value.kind == CRegistryValue::Number) {
            value.found = QueryDwordValue(key.get(), value.name, value.number);
            continue;
        }
        buffer.resize(static_cast<size_t>(readLimit) + 1);
        size_t length = 0;
        bool text = false;
        if (value.kind == CRegistryValue::Text) {
            text = value.found = QueryStringValue(key.get(), value.name, buffer.data(), readLimit, length);
        } else {
            const store::ValueKind kind =
                QueryDwordOrStringValue(key.get(), value.name, buffer.data(), readLimit, length, value.number);
            value.found = kind != store::ValueKind::Missing;
            text = kind == store::ValueKind::Text;
        }
        if (text) value.string = CString(buffer.data(), static_cast<int>(length));
    }
    return true;
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
    ScopedRegistryKey key(root, path, KEY_READ);
    return key && SHDeleteKeyA(key.get(), subKey) == ERROR_SUCCESS;
}

bool CRegistryKey::ReplaceValuesWith(const CRegistryKey& source) const {
    const WideKey from(source, KEY_READ, false);
    if (!from.key || path.IsEmpty()) return false;
    const WideKey to(*this, KEY_ALL_ACCESS, true);
    if (!to.key) return false;
    DWORD count = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(from.key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName, &longestData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> name(std::max<DWORD>(longestName, 16383) + 1);
    // Clear first, so that nothing of the former item stays beside the moved one.
    for (;;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(to.key, 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            RegDeleteValueW(to.key, name.data()) != ERROR_SUCCESS)
            break;
    }
    std::vector<BYTE> data(longestData + 1);
    bool copied = true;
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = REG_NONE;
        if (RegEnumValueW(from.key, i, name.data(), &length, nullptr, &type, data.data(), &size) != ERROR_SUCCESS ||
            RegSetValueExW(to.key, name.data(), 0, type, data.data(), size) != ERROR_SUCCESS)
            copied = false;
    }
    return copied;
}

uint32_t GetRegistryDword(HKEY root, const char* path, const char* name) {
    ScopedRegistryKey key(root, path, KEY_READ);
    uint32_t value = 0;
    return key && QueryDwordValue(key.get(), name, value) ? value : 0;
}
