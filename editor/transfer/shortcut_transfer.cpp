#include "shortcut_transfer.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <memory>
#include <vector>

#include "core/shortcut_store.h"
#include "engine.h"
#include "registry_key.h"
#include "registry_value.h"
#include "text.h"

namespace {

using shortcutfile::Document;
using shortcutfile::Section;
using shortcutfile::Value;

// Opens an existing key for reading, or creates one for writing.
ScopedRegistryKey Key(HKEY root, const char* path, bool create) {
    return create ? ScopedRegistryKey(root, path, KEY_READ | KEY_WRITE, ScopedRegistryKey::Open::CreateIfMissing)
                  : ScopedRegistryKey(root, path, KEY_READ);
}

// Far beyond the largest list the store can hold, with every escape.
constexpr DWORD kLargestFile = 64u << 20;

// Item values in the order the editor writes them; settings in the installer's order.
const char* const kItemNames[] = {store::kShortcut, store::kDisabled, store::kAction,
                                  store::kDescription, store::kScript, store::kType};
const char* const kSettingNames[] = {store::kDoNotRemoveKeystroke, store::kBeepAfterKeystroke, store::kBeepType};

// A REG_DWORD of four bytes or a REG_SZ, as the readers take them; false for anything else.
bool ReadValue(HKEY key, const char* name, Value& value) {
    const std::wstring wideName = Wide(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS)
            return false;
        value = {name, true, number, ""};
        return true;
    }
    if (type != REG_SZ) return false;
    std::vector<wchar_t> units(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(units.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(units.data()), &got) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    size_t length = got / sizeof(wchar_t);
    // The terminator the writers add is not part of the text; anything before it is.
    if (length > 0 && units[length - 1] == L'\0') --length;
    value = {name, false, 0, Narrow(units.data(), length)};
    return true;
}

bool WriteValue(HKEY key, const Value& value) {
    const std::wstring name = Wide(value.name);
    if (value.isNumber) {
        const DWORD number = value.number;
        return RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number) == ERROR_SUCCESS;
    }
    const std::wstring text = Wide(value.text);
    return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// The store's "Version" when it is rejected; an absent one reads as 0, which passes.
bool VersionRejected(TransferReport& report) {
    const uint32_t version = GetRegistryDword(HKEY_CURRENT_USER, store::kRootPath, store::kVersion);
    if (store::IsVersionAccepted(version)) return false;
    report.result = TransferResult::StoreRefused;
    report.version = version;
    return true;
}

// Items up to the first gap, at most 200, as the readers count them.
int StoredItemCount() {
    int count = 0;
    while (count < store::kMaxItems && Key(HKEY_CURRENT_USER, ItemKeyPath(count), false)) ++count;
    return count;
}

// Every item key, also those above a gap, which a later list would otherwise bring back.
bool DeleteItemKeys() {
    const ScopedRegistryKey root = Key(HKEY_CURRENT_USER, store::kRootPath, false);
    if (!root) return true;
    std::vector<std::wstring> items;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(root.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        bool digits = length > 0;
        for (DWORD c = 0; c < length; ++c) digits = digits && name[c] >= L'0' && name[c] <= L'9';
        if (digits) items.emplace_back(name, length);
    }
    bool ok = true;
    for (const std::wstring& item : items) ok = SHDeleteKeyW(root.get(), item.c_str()) == ERROR_SUCCESS && ok;
    return ok;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kLargestFile;
    if (ok) {
        text.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = text.empty() || (ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr) && read == text.size());
    }
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    return CloseHandle(file) && ok;
}

}  // namespace

TransferReport ExportShortcuts(const std::string& path) {
    TransferReport report;
    // A store of another version may not mean what this one reads into it.
    if (VersionRejected(report)) return report;
    Document document;
    if (const ScopedRegistryKey root = Key(HKEY_CURRENT_USER, store::kRootPath, false)) {
        for (const char* name : kSettingNames) {
            Value value;
            if (ReadValue(root.get(), name, value) && value.isNumber) document.settings.push_back(value);
        }
    }
    for (int index = 0; index < store::kMaxItems; ++index) {
        const ScopedRegistryKey item = Key(HKEY_CURRENT_USER, ItemKeyPath(index), false);
        if (!item) break;
        Section section;
        for (const char* name : kItemNames) {
            Value value;
            if (!ReadValue(item.get(), name, value)) continue;
            // A value of a type the readers take as absent is left out, as they leave it.
            const std::string n = name;
            const bool numberName = n == store::kDisabled || n == store::kType;
            const bool textName = !numberName && n != store::kAction;
            if ((value.isNumber && textName) || (!value.isNumber && numberName)) continue;
            if (!value.isNumber && value.text.size() > store::kItemStringLimit) continue;
            section.push_back(value);
        }
        document.items.push_back(std::move(section));
    }
    if (!WriteWholeFile(path, shortcutfile::Write(document))) {
        report.result = TransferResult::FileError;
        return report;
    }
    report.items = document.items.size();
    return report;
}

TransferReport ReadShortcutFile(const std::string& path, Document& document) {
    TransferReport report;
    document = Document();
    std::string text;
    if (!ReadWholeFile(path, text)) {
        report.result = TransferResult::FileError;
        return report;
    }
    shortcutfile::ParseResult parsed = shortcutfile::Parse(text);
    if (!parsed.ok) {
        report.result = TransferResult::NotAList;
        report.line = parsed.line;
        report.detail = parsed.error;
        return report;
    }
    document = std::move(parsed.document);
    report.items = document.items.size();
    return report;
}

TransferReport ImportShortcuts(const Document& document, ImportMode mode) {
    TransferReport report;
    if (VersionRejected(report)) return report;
    const int first = mode == ImportMode::Add ? StoredItemCount() : 0;
    if (first + document.items.size() > static_cast<size_t>(store::kMaxItems)) {
        report.result = TransferResult::NotAList;
        report.detail = "the list would hold more than 200 shortcuts";
        return report;
    }
    bool ok = true;
    {
        const ScopedRegistryKey root = Key(HKEY_CURRENT_USER, store::kRootPath, true);
        ok = static_cast<bool>(root);
        if (ok) {
            DWORD type = 0;
            if (RegQueryValueExW(root.get(), L"Version", nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
                ok = WriteValue(root.get(), {store::kVersion, true, store::kCurrentVersion, ""});
            if (mode == ImportMode::Replace)
                for (const Value& value : document.settings) ok = WriteValue(root.get(), value) && ok;
        }
    }
    if (ok && mode == ImportMode::Replace) ok = DeleteItemKeys();
    for (size_t i = 0; ok && i < document.items.size(); ++i) {
        const ScopedRegistryKey item = Key(HKEY_CURRENT_USER, ItemKeyPath(first + static_cast<int>(i)), true);
        ok = static_cast<bool>(item);
        for (const Value& value : document.items[i]) ok = ok && WriteValue(item.get(), value);
    }
    // Also after a failed write: the engines should see what the store now holds.
    PostMessageW(HWND_BROADCAST, ReloadMessage(), 0, 0);
    if (!ok) report.result = TransferResult::FileError;
    report.items = document.items.size();
    return report;
}

TransferReport ImportShortcuts(const std::string& path, ImportMode mode) {
    Document document;
    const TransferReport read = ReadShortcutFile(path, document);
    if (read.result != TransferResult::Done) return read;
    return ImportShortcuts(document, mode);
}

bool RunTransferCommand(const std::string& word, int& exitCode) {
    if (word != "export" && word != "import") return false;
    // The file is the parameter after the command word, taken from the wide command line
    // so that any file name arrives whole.
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string path;
    bool wordSeen = false;
    for (int i = 1; arguments && i < count && path.empty(); ++i) {
        const bool flag = arguments[i][0] == L'/' || arguments[i][0] == L'-';
        if (wordSeen) path = Narrow(arguments[i]);
        else if (!flag) wordSeen = true;
    }
    LocalFree(arguments);
    if (path.empty()) {
        exitCode = static_cast<int>(TransferResult::FileError);
        return true;
    }
    const TransferReport report = word == "export" ? ExportShortcuts(path) : ImportShortcuts(path, ImportMode::Replace);
    if (word == "import" && (report.result == TransferResult::Done || report.result == TransferResult::FileError))
        PostMessageW(HWND_BROADCAST, ListImportedMessage(), 0, 0);
    exitCode = static_cast<int>(report.result);
    return true;
}

unsigned ListImportedMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tarvo list imported-{6B1F0E52-3C8A-4D3E-9F27-1A5C0D9E8B44}");
    return message;
}
