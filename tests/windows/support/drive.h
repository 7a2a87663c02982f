// Driving the real program as a user does: the store, real keys and clicks, dialogs, the editor, targets and markers.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <thread>

#include "core/shortcut_store.h"
#include "text.h"

namespace drive {

constexpr const char* kWorldText = "Программы 文档 😀";  // outside any one code page: Cyrillic, CJK, beyond the BMP
constexpr UINT kList = 1001, kCapture = 1015, kShortcutBox = 1019, kAction = 1030;
constexpr UINT kEditItem = 32772, kAddShortcut = 32774, kDeleteItem = 32776;
constexpr UINT kTrayExit = 141, kTrayShow = 143, kTrayStop = 144, kTrayStart = 145;

template <typename Done> bool WaitFor(Done done) {  // up to 20 seconds for done() to hold; whether it did
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(10)) if (done()) return true;
    return done();
}
inline std::string Replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

// The store: paths are below root (the user's key by default); a value written creates its key.
inline std::string ItemPath(int index) {
    char path[store::kItemPathSize];
    store::FormatItemPath(index, path);
    return path;
}
inline void SetRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size, HKEY root = HKEY_CURRENT_USER) {
    SHSetValueW(root, Wide(path).c_str(), Wide(name).c_str(), type, data, size);
}
inline void SetDword(const std::string& path, const char* name, DWORD value, HKEY root = HKEY_CURRENT_USER) {
    SetRaw(path, name, REG_DWORD, &value, sizeof value, root);
}
inline void SetString(const std::string& path, const char* name, const std::string& value, HKEY root = HKEY_CURRENT_USER) {
    SetRaw(path, name, REG_SZ, Wide(value).c_str(), static_cast<DWORD>(Wide(value).size() * 2 + 2), root);
}
inline void DeleteValue(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER) {
    SHDeleteValueW(root, Wide(path).c_str(), Wide(name).c_str());
}
inline void Clear() { SHDeleteKeyW(HKEY_CURRENT_USER, Wide(store::kRootPath).c_str()); }  // the whole store
inline void CreateRoot(DWORD version = 0x10000) { SetDword(store::kRootPath, store::kVersion, version); }
inline void WriteItem(int index, const std::string& shortcut, const std::string& action, int32_t type = 0,
                      const std::string& script = "", bool disabled = false) {
    const std::string path = ItemPath(index);
    SetString(path, store::kShortcut, shortcut);
    SetDword(path, store::kDisabled, disabled ? 1 : 0);
    SetString(path, store::kAction, action);
    if (!script.empty()) SetString(path, store::kScript, script);
    SetDword(path, store::kType, static_cast<DWORD>(type));
}
inline bool KeyExists(const std::string& path, HKEY root = HKEY_CURRENT_USER) {
    HKEY key = nullptr;
    return RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS && RegCloseKey(key) == ERROR_SUCCESS;
}
// "<type>:<data bytes as stored>", or "" when the value is missing; the readers below take it apart.
inline std::string ReadRaw(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER) {
    DWORD type = 0, size = 65536;
    std::string data(size, '\0');
    if (SHGetValueW(root, Wide(path).c_str(), Wide(name).c_str(), &type, &data[0], &size) != ERROR_SUCCESS) return "";
    return std::to_string(type) + ":" + data.substr(0, size);
}
inline bool ValueExists(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER) { return !ReadRaw(path, name, root).empty(); }
inline std::string ValueData(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER) {
    const std::string raw = ReadRaw(path, name, root);
    return raw.substr(raw.find(':') + 1);
}
inline std::string ReadString(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER) {  // up to a terminating null
    return Narrow(reinterpret_cast<const wchar_t*>((ValueData(path, name, root) + std::string(2, '\0')).c_str()));
}
inline DWORD ReadDword(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER) {
    const std::string data = ValueData(path, name, root) + std::string(sizeof(DWORD), '\0');  // 0 when missing or longer
    return data.size() <= 2 * sizeof(DWORD) ? *reinterpret_cast<const DWORD*>(data.data()) : 0;
}
// Any value as text: a string as it reads, a number as "dword N", another type as "type N", "none" when missing.
inline std::string Stored(const std::string& path, const char* name, HKEY root = HKEY_CURRENT_USER) {
    const std::string raw = ReadRaw(path, name, root), type = raw.substr(0, raw.find(':'));
    return raw.empty() ? "none" : type == std::to_string(REG_SZ) ? ReadString(path, name, root)
           : type == std::to_string(REG_DWORD) ? "dword " + std::to_string(ReadDword(path, name, root)) : "type " + type;
}
// Every key and value below path (the store's root by default) as text, byte for byte, to compare whole stores.
inline std::string Snapshot(const std::string& path = "") {
    const std::string key = path.empty() ? store::kRootPath : path;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "";
    std::string text = "[" + key + "]\n";
    wchar_t name[256];
    for (DWORD i = 0, size = 256; RegEnumValueW(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i, size = 256)
        text += Narrow(name) + " " + ReadRaw(key, Narrow(name).c_str()) + "\n";
    for (DWORD i = 0, size = 256; RegEnumKeyExW(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i, size = 256)
        text += Snapshot(key + "\\" + Narrow(name));
    RegCloseKey(handle);
    return text;
}

// Send: "+x" presses and "-x" releases x: c or r the left or right Ctrl, h or i Shift, a Alt, s F9, else the key's character.
struct SentKey { WORD virtualKey, scanCode; bool extended; };  // what SendInput is given for the key x of Send
inline SentKey KeyFor(char x) {
    const WORD vk = x == 'c' || x == 'r' ? VK_CONTROL : x == 'h' || x == 'i' ? VK_SHIFT : x == 'a' ? VK_MENU : x == 's' ? VK_F9 : static_cast<BYTE>(x);
    // The generic VK_SHIFT maps to the left key's scan code; the right one has its own.
    return {vk, static_cast<WORD>(MapVirtualKeyW(x == 'i' ? VK_RSHIFT : vk, MAPVK_VK_TO_VSC)), x == 'r'};
}
inline void KeyInput(WORD vk, WORD scan, DWORD flags) {
    INPUT input{INPUT_KEYBOARD};
    input.ki = KEYBDINPUT{vk, scan, flags, 0, 0};
    SendInput(1, &input, sizeof input);
}
inline void Send(const std::string& keys) {
    for (size_t i = 0; i + 1 < keys.size(); i += 2) {
        const SentKey key = KeyFor(keys[i + 1]);
        KeyInput(key.virtualKey, key.scanCode, (key.extended ? KEYEVENTF_EXTENDEDKEY : 0u) | (keys[i] == '-' ? KEYEVENTF_KEYUP : 0u));
    }
}
inline void Tap(WORD vk) { for (DWORD up : {0, KEYEVENTF_KEYUP}) KeyInput(vk, 0, up); }  // a press and release
inline void TypeText(const std::string& text) {  // as characters, unit by unit as an input method does
    for (wchar_t unit : Wide(text)) for (DWORD up : {0, KEYEVENTF_KEYUP}) KeyInput(0, unit, KEYEVENTF_UNICODE | up);
}
inline void SetClipboardText(const std::string& text) {
    const std::wstring wide = Wide(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    if (OpenClipboard(nullptr) && EmptyClipboard()) SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

inline void ClickAt(POINT at, bool press = true) {  // a left click at a point of the screen (with press false, only the move there)
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {{INPUT_MOUSE}, {INPUT_MOUSE}, {INPUT_MOUSE}};
    const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i)  // absolute positions run from 0 to 65535 across the primary screen
        inputs[i].mi = {(at.x * 65536 + width - 1) / width, (at.y * 65536 + height - 1) / height, 0, flags[i] | MOUSEEVENTF_ABSOLUTE};
    SendInput(press ? 3 : 1, inputs, sizeof *inputs);
}
inline void MoveMouse(POINT at) { ClickAt(at, false); }
inline POINT Centre(RECT rect, HWND from = nullptr) {  // of a rectangle in from's client area, on the screen
    MapWindowPoints(from, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}
inline POINT Centre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return Centre(rect);
}
inline void Click(HWND window) { ClickAt(Centre(window)); }

inline std::string Text(HWND window) {  // also of another process's window
    wchar_t text[4096] = L"";
    SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}
inline void SetText(HWND window, const std::string& text) { SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str())); }
inline void ToFront(HWND window) { for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window); }
// A visible top-level window of the class (and caption, when given) other than except, of process (0: any), or null.
inline HWND FindTop(const wchar_t* windowClass, const char* caption, DWORD process, HWND except = nullptr) {
    for (HWND found = nullptr; (found = FindWindowExW(nullptr, found, windowClass, caption ? Wide(caption).c_str() : nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        if (found != except && IsWindowVisible(found) && (!process || owner == process)) return found;
    }
    return nullptr;
}
// A dialog other than except: with a caption, of any process; without, of this process; null after the wait.
inline HWND WaitForDialog(HWND except = nullptr, const char* caption = nullptr) {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindTop(WC_DIALOG, caption, caption ? 0 : GetCurrentProcessId(), except)) != nullptr; });
    return dialog;
}
inline HWND WaitForWindow(const char* caption, HWND except = nullptr) { return WaitForDialog(except, caption); }
inline BOOL CALLBACK Visit(HWND child, LPARAM visit) { return (*reinterpret_cast<std::function<BOOL(HWND)>*>(visit))(child); }
inline void EachDescendant(HWND parent, std::function<BOOL(HWND)> visit) { EnumChildWindows(parent, Visit, reinterpret_cast<LPARAM>(&visit)); }
inline HWND FindControl(HWND parent, const std::string& text) {  // the first descendant showing text, or null
    HWND found = nullptr;
    EachDescendant(parent, [&](HWND child) { return Text(child) == text ? (found = child, FALSE) : TRUE; });
    return found;
}
inline void ClickCheck(HWND box) {  // until its state flips: under load a click can reach a dialog before it takes input
    const LRESULT before = SendMessageW(box, BM_GETCHECK, 0, 0);
    for (int attempt = 0; attempt < 3 && SendMessageW(box, BM_GETCHECK, 0, 0) == before; ++attempt) {
        Click(box);
        for (int i = 0; i < 100 && SendMessageW(box, BM_GETCHECK, 0, 0) == before; ++i) Sleep(20);
    }
}
inline void PickFromCombo(HWND box, int row) {  // with a click on the box's button and one on the row, as a user picks
    COMBOBOXINFO info = {sizeof info};
    GetComboBoxInfo(box, &info);
    ClickAt(Centre(info.rcButton, box));
    WaitFor([&] { return IsWindowVisible(info.hwndList) != FALSE; });
    Sleep(300);  // shown on the display
    RECT item;
    SendMessageW(info.hwndList, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
    ClickAt(Centre(item, info.hwndList));
    WaitFor([&] { return !IsWindowVisible(info.hwndList); });
    Sleep(300);
}
inline void SetRowState(HWND list, int row, UINT state, UINT mask) {  // as a click does; the item record lives in the list's process
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
    LVITEMW item = {0, 0, 0, state, mask};
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
}
// Clicks button in the next message box of this process but ignore: its text; "" when none came (or, with orClosed, ignore closed).
inline std::string Answer(int button, HWND ignore = nullptr, bool orClosed = false) {
    HWND box = nullptr;
    WaitFor([&] { return (box = FindTop(WC_DIALOG, nullptr, GetCurrentProcessId(), ignore)) || (orClosed && !IsWindow(ignore)); });
    if (!box) return "";
    ToFront(box);
    Sleep(300);
    std::string text = Text(GetDlgItem(box, 0xFFFF));
    Click(GetDlgItem(box, button));
    if (!WaitFor([&] { return !IsWindow(box); }))  // the test goes on, and fails
        PostMessageW(box, WM_COMMAND, button, 0), text = "not closed by a click: " + text;
    return text;
}
// A thread that waits for a dialog of this process but ignore, records what it shows, lets inspect see it and closes it with button.
struct DialogWatcher {
    explicit DialogWatcher(int button = IDOK, HWND ignore = nullptr, std::function<void(HWND)> inspect = {})
        : thread([this, button, ignore, inspect] {
              if (!(dialog = WaitForDialog(ignore))) return;
              Sleep(200);  // the box finishes its own initialisation
              seen.caption = Text(dialog);
              EachDescendant(dialog, [this](HWND child) {
                  wchar_t name[32] = L"";
                  GetClassNameW(child, name, 32);
                  if (lstrcmpiW(name, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                      seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
                  else if (lstrcmpiW(name, L"Static") == 0)
                      seen.text += (seen.text.empty() ? "" : "\n") + Text(child);
                  return TRUE;
              });
              if (inspect) inspect(dialog);
              PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
          }) {}
    ~DialogWatcher() { Finish(); }
    bool Finish() {  // true when a dialog was seen and closed
        if (thread.joinable()) thread.join();
        return dialog != nullptr;
    }
    const auto& Seen() const { return seen; }

    HWND dialog = nullptr;
    struct { std::string caption, text; HICON icon = nullptr; } seen;
    std::thread thread;  // last: it starts once the others are made
};
inline void PumpMessages(DWORD milliseconds) {  // runs the thread's message loop for that time
    for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds;) {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline std::string ExeDirectory() {  // the test program's folder; all folders here end in a backslash
    wchar_t path[MAX_PATH];
    const std::string program = Narrow(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return program.substr(0, program.rfind('\\') + 1);
}
inline std::string TempDirectory() {
    wchar_t path[MAX_PATH];
    return Narrow(path, GetTempPathW(MAX_PATH, path));
}
inline std::string ReadFile(const std::string& path, size_t from = 0) {  // from byte from on; empty when missing
    std::ifstream in(Wide(path).c_str(), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }
inline std::vector<std::string> ScriptFiles() {  // the files a script run leaves in the temporary folder ("q*.*")
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(TempDirectory() + "q*.*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) names.push_back(Narrow(found.cFileName));
    FindClose(search);
    return names;
}
inline HANDLE Launch(std::string command) {  // the process's handle
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    CreateProcessW(nullptr, &Wide(command)[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(process.hThread);
    return process.hProcess;
}
inline DWORD RunToEnd(const std::string& command) {  // the exit code, 0xFFFF when it did not end within a minute
    HANDLE process = Launch(command);
    DWORD code = 0xFFFF;
    if (process && WaitForSingleObject(process, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// Markers <letter>.exe (key_target.exe, logging to markers.log) in a temporary folder, and a target logging its keys to keys.log.
struct Target {
    Target(const std::string& name, const std::string& letters, const std::string& program = ExeDirectory() + "key_target.exe")
        : path(TempDirectory() + name + "\\"), program(program) {
        CreateDirectoryW(Wide(path).c_str(), nullptr);
        for (const char* log : {"keys.log", "markers.log"}) DeleteFileW(Wide(path + log).c_str());
        for (char c : letters) CopyFileW(Wide(program).c_str(), Wide(path + c + ".exe").c_str(), 0);
    }
    ~Target() { TerminateProcess(process, 0); }
    std::string Slashed(const std::string& name) const { return Replaced(path + name, '\\', '/'); }  // the shell starts it itself, not explorer.exe
    bool Start() {  // the library maps into it and loads its table then
        process = Launch("\"" + program + "\" \"" + path + "keys.log\"");
        return WaitFor([&] { return Window() != nullptr; });
    }
    HWND Window() const { return process ? FindTop(L"TarvoKeyTarget", nullptr, GetProcessId(process)) : nullptr; }  // others may run beside it
    std::string Type(const std::string& keys) {  // the keys logged before an unbound F9 sent after them, in front (a console may take it)
        ToFront(Window());
        Send(keys + "+s-s");
        std::string text;
        if (!WaitFor([&] { return (text = ReadFile(path + "keys.log")).find("+s-s") != std::string::npos; })) return "no F9 after " + text;
        DeleteFileW(Wide(path + "keys.log").c_str());  // nothing follows F9
        return text.substr(0, text.find("+s-s"));
    }
    std::string Launched(size_t count) {  // sorted letters of the markers started since the last call, once count came and a second more
        WaitFor([&] { return ReadFile(path + "markers.log").size() >= launched + count; });
        Sleep(1000);
        std::string letters = ReadFile(path + "markers.log").substr(launched);
        launched += letters.size();
        std::sort(letters.begin(), letters.end());
        return letters;
    }
    void ExpectFired(const std::string& letter, const std::string& after) {  // left Ctrl + F reaches it whole or fires letter, leaving Ctrl
        EXPECT_EQ(Type("+c+F-F-c"), letter.empty() ? "+c+F-F-c" : "+c-c") << after;
        EXPECT_EQ(Launched(letter.size()), letter) << after;
    }
    void Settle() { for (int i = 0; i < 3; ++i, Sleep(300)) Type(""); }  // under Wine the first keys after new hooks can pass them by

    const std::string path, program;
    HANDLE process = nullptr;
    size_t launched = 0;
};

struct Editor {  // vintrel.exe started from folder as the Start menu starts it; ended at the end if still running
    explicit Editor(const std::string& folder) : folder(folder), process(Launch("\"" + folder + "vintrel.exe\"")) {
        WaitForInputIdle(process, 20000);  // through its start-up: window created, engine started
        main = FindWindowW(nullptr, L"Vintrel");
    }
    ~Editor() {
        if (!Ended(0)) TerminateProcess(process, 1);
        CloseHandle(process);
    }
    static bool InstallCopy(const std::string& folder) {  // this build's vintrel.exe and lindle.dll there, the installation folder
        for (const char* file : {"vintrel.exe", "lindle.dll"})
            if (!CopyFileW(Wide(ExeDirectory() + file).c_str(), Wide(folder + file).c_str(), FALSE)) return false;
        SetString(store::kRootPath, store::kInstallationPath, folder, HKEY_LOCAL_MACHINE);
        return true;
    }
    bool Ended(DWORD wait = 30000) const { return WaitForSingleObject(process, wait) == WAIT_OBJECT_0; }
    void Command(UINT id) const { SendMessageW(main, WM_COMMAND, id, 0); }
    HWND List() const { return GetDlgItem(main, kList); }
    HWND Open(UINT command, const char* caption) const {  // posts a command that opens a dialog; the dialog, in front
        PostMessageW(main, WM_COMMAND, command, 0);
        HWND dialog = WaitForWindow(caption, main);
        ToFront(dialog);
        return dialog;
    }
    bool Quit() const { return RunToEnd("\"" + folder + "vintrel.exe\" quit") == 0 && Ended(); }

    const std::string folder;
    HANDLE process;
    HWND main;
};

// In the Add or Edit dialog: captures keys, types the action, OK; false when it did not show shown or stayed open.
inline bool CaptureAndSave(HWND dialog, const std::string& keys, const std::string& shown, const std::string& action) {
    Sleep(300);  // settled in front
    HWND capture = GetDlgItem(dialog, kCapture), box = GetDlgItem(dialog, kShortcutBox);
    Click(capture);
    if (!WaitFor([&] { return Text(capture) == "End capture"; })) return false;
    Send(keys);
    const bool captured = WaitFor([&] { return Text(box) == shown; });
    Click(capture);  // a key handled in the capture puts the stored values back into the boxes: the action goes in after it ends
    const bool ended = WaitFor([&] { return Text(capture) == "Capture"; });
    SetText(GetDlgItem(dialog, kAction), action);
    Click(GetDlgItem(dialog, IDOK));
    return captured && ended && WaitFor([&] { return !IsWindow(dialog); });
}

}  // namespace drive

inline std::string WindowsPath(const std::string& path) { return "Z:" + drive::Replaced(path, '/', '\\') + "\\"; }  // the build tree is Z:
inline std::string BinaryDir() { return WindowsPath(TARVO_BIN_DIR); }
inline std::string TestDir() { return WindowsPath(TARVO_TEST_DIR); }
