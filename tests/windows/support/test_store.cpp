#include "test_store.h"

#include <shlwapi.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/shortcut_store.h"
#include "text.h"

namespace teststore {

std::string ItemPath(int index) {
    char path[store::kItemPathSize];
    store::FormatItemPath(index, path);
    return path;
}

void Clear() { SHDeleteKeyW(HKEY_CURRENT_USER, Wide(store::kRootPath).c_str()); }
void CreateRoot(DWORD version) { SetDword(store::kRootPath, store::kVersion, version); }

// SHSetValueW creates the key when it is missing.
void SetRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size, HKEY root) {
    SHSetValueW(root, Wide(path).c_str(), Wide(name).c_str(), type, data, size);
}
void SetDword(const std::string& path, const char* name, DWORD value, HKEY root) {
    SetRaw(path, name, REG_DWORD, &value, sizeof value, root);
}
void SetString(const std::string& path, const char* name, const std::string& value, HKEY root) {
    const std::wstring wide = Wide(value);
    SetRaw(path, name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)), root);
}
void DeleteValue(const std::string& path, const char* name, HKEY root) {
    SHDeleteValueW(root, Wide(path).c_str(), Wide(name).c_str());
}

void WriteItem(int index, const std::string& shortcut, const std::string& action, int32_t type,
               const std::string& script, bool disabled) {
    const std::string path = ItemPath(index);
    SetString(path, store::kShortcut, shortcut);
    SetDword(path, store::kDisabled, disabled ? 1 : 0);
    SetString(path, store::kAction, action);
    if (!script.empty()) SetString(path, store::kScript, script);
    SetDword(path, store::kType, static_cast<DWORD>(type));
}

bool KeyExists(const std::string& path, HKEY root) {
    HKEY key = nullptr;
    return RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS && RegCloseKey(key) == ERROR_SUCCESS;
}
namespace {
LSTATUS GetValue(HKEY root, const std::string& path, const char* name, DWORD* type, void* data, DWORD* size) {
    return SHGetValueW(root, Wide(path).c_str(), Wide(name).c_str(), type, data, size);
}
}  // namespace
bool ValueExists(const std::string& path, const char* name, HKEY root) {
    return GetValue(root, path, name, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
DWORD ValueType(const std::string& path, const char* name, HKEY root) {
    DWORD type = REG_NONE;
    return GetValue(root, path, name, &type, nullptr, nullptr) == ERROR_SUCCESS ? type : REG_NONE;
}
DWORD ValueSize(const std::string& path, const char* name, HKEY root) {
    DWORD size = 0;
    return GetValue(root, path, name, nullptr, nullptr, &size) == ERROR_SUCCESS ? size : 0;
}
// Values the tests write stay far below the buffer; a longer one reads as empty.
std::string ReadString(const std::string& path, const char* name, HKEY root) {
    static wchar_t data[32768];
    DWORD size = sizeof data - sizeof *data;
    if (GetValue(root, path, name, nullptr, data, &size) != ERROR_SUCCESS) return "";
    return Narrow(data, wcsnlen(data, size / sizeof *data));
}
std::string ReadRaw(const std::string& path, const char* name, HKEY root) {
    static BYTE data[65536];
    DWORD type = 0, size = sizeof data;
    if (GetValue(root, path, name, &type, data, &size) != ERROR_SUCCESS) return "";
    return std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
}
DWORD ReadDword(const std::string& path, const char* name, HKEY root) {
    DWORD value = 0, size = sizeof value;
    GetValue(root, path, name, nullptr, &value, &size);
    return value;
}

std::string Snapshot(const std::string& path) {
    const std::string key = path.empty() ? store::kRootPath : path;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "";
    std::string text = "[" + key + "]\n";
    wchar_t name[256];
    static BYTE data[65536];
    // The data as stored, byte for byte.
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256, type = 0, dataSize = sizeof data;
        if (RegEnumValueW(handle, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        text += Narrow(name) + " " + std::to_string(type) + " " + std::string(reinterpret_cast<char*>(data), dataSize) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256;
        if (RegEnumKeyExW(handle, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        text += Snapshot(key + "\\" + Narrow(name));
    }
    RegCloseKey(handle);
    return text;
}

void PumpMessages(DWORD milliseconds) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds;) {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

SentKey KeyFor(char x) {
    const WORD vk = x == 'c' || x == 'r' ? VK_CONTROL : x == 'h' || x == 'i' ? VK_SHIFT : x == 'a' ? VK_MENU
                    : x == 's' ? VK_F9 : static_cast<BYTE>(x);
    // The generic VK_SHIFT maps to the left key's scan code; the right one has its own.
    const WORD scan = static_cast<WORD>(MapVirtualKeyW(x == 'i' ? VK_RSHIFT : vk, MAPVK_VK_TO_VSC));
    return {vk, scan, x == 'r'};
}

void Send(const std::string& keys) {
    for (size_t i = 0; i + 1 < keys.size(); i += 2) {
        const SentKey key = KeyFor(keys[i + 1]);
        INPUT input{INPUT_KEYBOARD};
        input.ki = KEYBDINPUT{key.virtualKey, key.scanCode,
                              (key.extended ? KEYEVENTF_EXTENDEDKEY : 0u) | (keys[i] == '-' ? KEYEVENTF_KEYUP : 0u), 0, 0};
        SendInput(1, &input, sizeof input);
    }
}

void TypeText(const std::string& text) {
    for (wchar_t unit : Wide(text)) {
        INPUT input[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
        input[0].ki = KEYBDINPUT{0, unit, KEYEVENTF_UNICODE, 0, 0};
        input[1].ki = KEYBDINPUT{0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, 0, 0};
        SendInput(2, input, sizeof *input);
    }
}

void SetClipboardText(const std::string& text) {
    const std::wstring wide = Wide(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

HANDLE Launch(std::string command) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    std::wstring wide = Wide(command);
    CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(process.hThread);
    return process.hProcess;
}

std::string ExeDirectory() {
    wchar_t path[MAX_PATH];
    const std::string program = Narrow(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return program.substr(0, program.rfind('\\') + 1);
}
std::string TempDirectory() {
    wchar_t path[MAX_PATH];
    return Narrow(path, GetTempPathW(MAX_PATH, path));
}
std::string ReadFile(const std::string& path, size_t from) {
    std::ifstream in(Wide(path).c_str(), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
std::vector<std::string> ScriptFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(TempDirectory() + "q*.*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        names.push_back(Narrow(found.cFileName));
    FindClose(search);
    return names;
}

}  // namespace teststore
