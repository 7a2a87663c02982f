// Driving the real program as a user does: the editor started on a prepared store, its
// dialogs and controls found, keys and clicks given as real input, and key_target.exe as
// the window that receives keys and the marker programs that show what a shortcut started.
// Waits: 20 seconds for a condition to hold (teststore::WaitFor), 30 for a process to end.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "core/shortcut_store.h"
#include "dialog_watch.h"
#include "test_store.h"
#include "text.h"

namespace drive {

using namespace teststore;
using testwatch::Click;
using testwatch::WindowText;

constexpr UINT kList = 1001, kCapture = 1015, kShortcutBox = 1019, kAction = 1030;
constexpr UINT kEditItem = 32772, kAddShortcut = 32774, kDeleteItem = 32776;
constexpr UINT kTrayExit = 141, kTrayShow = 143, kTrayStop = 144, kTrayStart = 145;

inline void ToFront(HWND window) {
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window);
}
inline void Tap(WORD vk) {  // a press and release
    INPUT input[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof *input);
}
// A window's text, also of another process's window; and setting it.
inline std::string Text(HWND window) {
    wchar_t text[1024] = L"";
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}
inline void SetText(HWND window, const std::string& text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}
// A visible dialog of any process with this caption, other than except; null after the wait.
inline HWND WaitForWindow(const char* caption, HWND except = nullptr) {
    HWND found = nullptr;
    WaitFor([&] {
        for (found = nullptr; (found = FindWindowExW(nullptr, found, WC_DIALOG, Wide(caption).c_str()));)
            if (found != except && IsWindowVisible(found)) return true;
        return false;
    });
    return found;
}
inline BOOL CALLBACK MatchControl(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<std::pair<std::string, HWND>*>(data);
    return WindowText(child) == search->first ? (search->second = child, FALSE) : TRUE;
}
// The first descendant of parent that shows this text, or null.
inline HWND FindControl(HWND parent, const std::string& text) {
    std::pair<std::string, HWND> search{text, nullptr};
    EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.second;
}
// A list row's state set through the control, as a click does; the item record has to
// live in the list's process.
inline void SetRowState(HWND list, int row, UINT state, UINT mask) {
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
// Runs a command to its end (a minute at most); its exit code, 0xFFFF when it did not end.
inline DWORD RunToEnd(const std::string& command) {
    HANDLE process = Launch(command);
    DWORD code = 0xFFFF;
    if (process && WaitForSingleObject(process, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}
inline bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

// A folder in the temporary folder with copies of key_target.exe named <letter>.exe (the
// markers log their letter to markers.log), and key_target.exe (or the given build of it)
// started as the target: a window that logs every key it receives to keys.log.
struct Target {
    Target(const std::string& name, const std::string& letters, const std::string& program = ExeDirectory() + "key_target.exe")
        : path(TempDirectory() + name + "\\"), program(program) {
        CreateDirectoryW(Wide(path).c_str(), nullptr);
        for (const char* log : {"keys.log", "markers.log"}) DeleteFileW(Wide(path + log).c_str());
        for (char c : letters) CopyFileW(Wide(program).c_str(), Wide(path + c + ".exe").c_str(), 0);
    }
    ~Target() { TerminateProcess(process, 0); }
    // With forward slashes, so that the shell starts the file itself rather than opening
    // a drive path through explorer.exe.
    std::string Slashed(const std::string& name) const {
        std::string file = path + name;
        std::replace(file.begin(), file.end(), '\\', '/');
        return file;
    }
    bool Start() {  // the library maps into it and loads its table then
        process = Launch("\"" + program + "\" \"" + path + "keys.log\"");
        return WaitFor([&] { return Window() != nullptr; });
    }
    HWND Window() const {  // other targets may run beside it
        for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"TarvoKeyTarget", nullptr));) {
            DWORD id = 0;
            GetWindowThreadProcessId(window, &id);
            if (id == GetProcessId(process)) return window;
        }
        return nullptr;
    }
    // Brings the target to the front (a script's console may have taken it), sends the
    // keys and an unbound F9; the keys logged before F9.
    std::string Type(const std::string& keys) {
        ToFront(Window());
        Send(keys + "+s-s");
        std::string text;
        if (!WaitFor([&] { return (text = ReadFile(path + "keys.log")).find("+s-s") != std::string::npos; }))
            return "no F9 after " + text;
        DeleteFileW(Wide(path + "keys.log").c_str());  // nothing follows F9
        return text.substr(0, text.find("+s-s"));
    }
    // The sorted letters of the markers started since the previous call, once count have
    // come and a second has passed for any other.
    std::string Launched(size_t count) {
        WaitFor([&] { return ReadFile(path + "markers.log").size() >= launched + count; });
        Sleep(1000);
        std::string letters = ReadFile(path + "markers.log").substr(launched);
        launched += letters.size();
        std::sort(letters.begin(), letters.end());
        return letters;
    }
    // Left Ctrl + F either reaches the target whole or fires marker letter and leaves only Ctrl.
    void ExpectFired(const std::string& letter, const std::string& after) {
        EXPECT_EQ(Type("+c+F-F-c"), letter.empty() ? "+c+F-F-c" : "+c-c") << after;
        EXPECT_EQ(Launched(letter.size()), letter) << after;
    }
    // Unbound keys first: under Wine the first keystrokes after hooks were installed anew
    // can pass the target before the hooks reach it.
    void Settle() {
        for (int i = 0; i < 3; ++i, Sleep(300)) Type("");
    }

    const std::string path, program;
    HANDLE process = nullptr;
    size_t launched = 0;
};

// vintrel.exe started from folder as the Start menu starts it; ended at the end if still running.
struct Editor {
    explicit Editor(const std::string& folder) : folder(folder), process(Launch("\"" + folder + "vintrel.exe\"")) {
        WaitForInputIdle(process, 20000);  // through its start-up: window created, engine started
        main = FindWindowW(nullptr, L"Vintrel");
    }
    ~Editor() {
        if (!Ended(0)) TerminateProcess(process, 1);
        CloseHandle(process);
    }
    // Copies this build's vintrel.exe and lindle.dll into folder and makes it the
    // installation folder, so that the editor started there loads that library.
    static bool InstallCopy(const std::string& folder) {
        for (const char* file : {"vintrel.exe", "lindle.dll"})
            if (!CopyFileW(Wide(ExeDirectory() + file).c_str(), Wide(folder + file).c_str(), FALSE)) return false;
        SetString(store::kRootPath, store::kInstallationPath, folder, HKEY_LOCAL_MACHINE);
        return true;
    }
    bool Ended(DWORD wait = 30000) const { return WaitForSingleObject(process, wait) == WAIT_OBJECT_0; }
    void Command(UINT id) const { SendMessageW(main, WM_COMMAND, id, 0); }
    HWND List() const { return GetDlgItem(main, kList); }
    // Posts a command that opens a dialog with this caption; the dialog, in front.
    HWND Open(UINT command, const char* caption) const {
        PostMessageW(main, WM_COMMAND, command, 0);
        HWND dialog = WaitForWindow(caption, main);
        ToFront(dialog);
        return dialog;
    }
    bool Quit() const { return RunToEnd("\"" + folder + "vintrel.exe\" quit") == 0 && Ended(); }  // "vintrel quit"

    const std::string folder;
    HANDLE process;
    HWND main;
};

// In the Add or Edit dialog: captures keys with the Capture button, types the action, OK.
// False when the dialog did not show what was captured or did not close.
inline bool CaptureAndSave(HWND dialog, const std::string& keys, const std::string& shown, const std::string& action) {
    Sleep(300);  // settled in front
    HWND capture = GetDlgItem(dialog, kCapture), box = GetDlgItem(dialog, kShortcutBox);
    Click(capture);
    if (!WaitFor([&] { return Text(capture) == "End capture"; })) return false;
    Send(keys);
    const bool captured = WaitFor([&] { return Text(box) == shown; });
    Click(capture);
    SetText(GetDlgItem(dialog, kAction), action);
    Click(GetDlgItem(dialog, IDOK));
    return captured && WaitFor([&] { return !IsWindow(dialog); });
}

}  // namespace drive
