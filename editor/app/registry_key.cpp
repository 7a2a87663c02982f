#include "registry_key.h"

#include <shlwapi.h>

#include <vector>

#include "core/shortcut_store.h"
#include "registry_value.h"
#include "text.h"

namespace {

bool WriteValue(const CRegistryKey& target, const char* name, DWORD type, const void* data, DWORD size) {
    if (target.path.IsEmpty()) return false;
    ScopedRegistryKey key(target.root, target.path, KEY_ALL_ACCESS, ScopedRegistryKey::Open::CreateIfMissing);
    return key && RegSetValueExW(key.get(), Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

bool CRegistryKey::KeyExists() const { return static_cast<bool>(ScopedRegistryKey(root, path, KEY_READ)); }

bool CRegistryKey::ValueExists(const char* name) const {
    const ScopedRegistryKey key(root, path, KEY_QUERY_VALUE);
    return key && RegQueryValueExW(key.get(), Wide(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
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
        buffer.resize(store::TextBufferSize(readLimit));
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
    const std::wstring value = Wide(text);
    return WriteValue(*this, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool CRegistryKey::DeleteSubKey(const char* subKey) const {
    ScopedRegistryKey key(root, path, KEY_READ);
    return key && SHDeleteKeyW(key.get(), Wide(subKey).c_str()) == ERROR_SUCCESS;
}

bool CRegistryKey::ReplaceValuesWith(const CRegistryKey& source) const {
    const ScopedRegistryKey from(source.root, source.path, KEY_READ);
    if (!from || path.IsEmpty()) return false;
    const ScopedRegistryKey to(root, path, KEY_ALL_ACCESS, ScopedRegistryKey::Open::CreateIfMissing);
    if (!to) return false;
    DWORD count = 0, longestData = 0;
    if (RegQueryInfoKeyW(from.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, &longestData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> name(16384);  // the longest value name there can be, terminated
    // Clear first, so that nothing of the former item stays beside the moved one.
    for (;;) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(to.get(), 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            RegDeleteValueW(to.get(), name.data()) != ERROR_SUCCESS)
            break;
    }
    std::vector<BYTE> data(longestData + 2);
    bool copied = true;
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = REG_NONE;
        if (RegEnumValueW(from.get(), i, name.data(), &length, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
            copied = false;
            continue;
        }
        // Text whose last character is not a zero gets one added when the character after
        // it in the caller's buffer is zero; the copy keeps the bytes as they were.
        data[size] = data[size + 1] = 0xFF;
        if (RegSetValueExW(to.get(), name.data(), 0, type, data.data(), size) != ERROR_SUCCESS) copied = false;
    }
    return copied;
}

uint32_t GetRegistryDword(HKEY root, const char* path, const char* name) {
    ScopedRegistryKey key(root, path, KEY_READ);
    uint32_t value = 0;
    return key && QueryDwordValue(key.get(), name, value) ? value : 0;
}

CString ItemKeyPath(int index) {
    char path[store::kItemPathSize];
    store::FormatItemPath(index, path);
    return path;
}
