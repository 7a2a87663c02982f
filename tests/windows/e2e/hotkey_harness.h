// End-to-end harness: keystrokes sent to key_target.exe, a window in its own process
// that logs the key messages it receives, and copies of it as markers that log which of
// them an action started.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "test_store.h"
#include "text.h"

namespace e2e {

using namespace teststore;

// A folder in the temporary folder with copies of key_target.exe named <letter>.exe,
// and key_target.exe (or the given build of it) started in its own process.
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
    // Starts key_target.exe; the library maps into it and loads its table then.
    bool Start() {
        process = Launch("\"" + program + "\" \"" + path + "keys.log\"");
        return WaitFor([&] { return Window() != nullptr; });
    }
    // Its window: other targets may run beside it.
    HWND Window() const {
        for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "TarvoKeyTarget", nullptr));) {
            DWORD id = 0;
            GetWindowThreadProcessId(window, &id);
            if (id == GetProcessId(process)) return window;
        }
        return nullptr;
    }
    // Brings the target to the front (a batch file's console window may have taken it),
    // sends the keys and then an unbound F9; returns the keys logged before F9.
    std::string Type(const std::string& keys) {
        HWND window = Window();
        for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window);
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

    const std::string path, program;
    HANDLE process = nullptr;
    size_t launched = 0;
};

// A row's state set through the list control of the editor's process, as a click does: the
// item record has to live in that process.
inline void SetRowState(HWND list, int row, UINT state, UINT mask) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
    LVITEMA item = {0, 0, 0, state, mask};
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
}

}  // namespace e2e
