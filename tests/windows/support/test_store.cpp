#include "test_store.h"

#include <shlwapi.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/shortcut_store.h"

namespace teststore {

std::string ItemPath(int index) {
    char path[store::kItemPathSize];
    store::FormatItemPath(index, path);
    return path;
}

void Clear() { SHDeleteKeyA(HKEY_CURRENT_USER, store::kRootPath); }
void CreateRoot(DWORD version) { SetDword(store::kRootPath, store::kVersion, version); }

// SHSetValueA creates the key when it is missing.
void SetRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size, HKEY root) {
    SHSetValueA(root, path.c_str(), name, type, data, size);
}
void SetDword(const std::string& path, const char* name, DWORD value, HKEY root) {
    SetRaw(path, name, REG_DWORD, &value, sizeof value, root);
}
void SetString(const std::string& path, const char* name, const std::string& value, HKEY root) {
    SetRaw(path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1), root);
}
void DeleteValue(const std::string& path, const char* name, HKEY root) { SHDeleteValueA(root, path.c_str(), name); }

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
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS && RegCloseKey(key) == ERROR_SUCCESS;
}
bool ValueExists(const std::string& path, const char* name, HKEY root) {
    return SHGetValueA(root, path.c_str(), name, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
DWORD ValueType(const std::string& path, const char* name, HKEY root) {
    DWORD type = REG_NONE;
    return SHGetValueA(root, path.c_str(), name, &type, nullptr, nullptr) == ERROR_SUCCESS ? type : REG_NONE;
}
DWORD ValueSize(const std::string& path, const char* name, HKEY root) {
    DWORD size = 0;
    return SHGetValueA(root, path.c_str(), name, nullptr, nullptr, &size) == ERROR_SUCCESS ? size : 0;
}
// Values the tests write stay far below the buffer; a longer one reads as empty.
std::string ReadString(const std::string& path, const char* name, HKEY root) {
    static char data[65536];
    DWORD size = sizeof data - 1;
    if (SHGetValueA(root, path.c_str(), name, nullptr, data, &size) != ERROR_SUCCESS) return "";
    return std::string(data, strnlen(data, size));
}
DWORD ReadDword(const std::string& path, const char* name, HKEY root) {
    DWORD value = 0, size = sizeof value;
    SHGetValueA(root, path.c_str(), name, nullptr, &value, &size);
    return value;
}

std::string Snapshot(const std::string& path) {
    const std::string key = path.empty() ? store::kRootPath : path;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "";
    std::string text = "[" + key + "]\n";
    char name[256];
    std::vector<BYTE> data(65536);  // texts over the store's limit too
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name, type = 0, dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(handle, i, name, &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS) break;
        text += std::string(name) + " " + std::to_string(type) + " " + std::string(reinterpret_cast<char*>(data.data()), dataSize) + "\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(handle, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        text += Snapshot(key + "\\" + name);
    }
    RegCloseKey(handle);
    return text;
}

void PumpMessages(DWORD milliseconds) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds;) {
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

SentKey KeyFor(char x) {
    const WORD vk = x == 'c' || x == 'r' ? VK_CONTROL : x == 'h' || x == 'i' ? VK_SHIFT : x == 'a' ? VK_MENU
                    : x == 's' ? VK_F9 : static_cast<BYTE>(x);
    // The generic VK_SHIFT maps to the left key's scan code; the right one has its own.
    const WORD scan = static_cast<WORD>(MapVirtualKeyA(x == 'i' ? VK_RSHIFT : vk, MAPVK_VK_TO_VSC));
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

HANDLE Launch(std::string command) {
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(process.hThread);
    return process.hProcess;
}

std::string ExeDirectory() {
    char path[MAX_PATH];
    const std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return program.substr(0, program.rfind('\\') + 1);
}
std::string TempDirectory() {
    char path[MAX_PATH];
    return std::string(path, GetTempPathA(MAX_PATH, path));
}
std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
std::vector<std::string> ScriptFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((TempDirectory() + "q*.*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        names.push_back(found.cFileName);
    FindClose(search);
    return names;
}

}  // namespace teststore
