// Running the installer built from this tree, and the editor it installed, as a user would.
#pragma once

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "hotkey_harness.h"
#include "test_paths.h"

namespace e2e {

constexpr DWORD kWait = 30000;
// What a silent setup returns when files wait for the next restart.
constexpr DWORD kRestartNeeded = ERROR_SUCCESS_REBOOT_REQUIRED;

inline bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }
inline std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return std::string(path) + "\\";
}

// Runs a command to its end; its exit code.
inline DWORD RunToEnd(const std::string& command) {
    HANDLE process = Launch(command);
    DWORD code = 0xFFFF;
    if (process && WaitForSingleObject(process, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}
inline DWORD Install(const std::string& switches = "",
                     const std::string& setup = WindowsPath(TARVO_BUILD_DIR) + TARVO_SETUP_NAME) {
    return RunToEnd("\"" + setup + "\" /S" + switches);
}

// The files the system renames or deletes at the next restart, one a line.
inline std::string PendingRenames() {
    char pending[65536] = "";
    DWORD size = sizeof pending - 1;
    if (SHGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                    "PendingFileRenameOperations", nullptr, pending, &size) != ERROR_SUCCESS)
        size = 0;
    std::replace(pending, pending + size, '\0', '\n');
    return std::string(pending, size);
}

// The installed editor, started as the Start menu or the Run key starts it.
struct InstalledEditor {
    explicit InstalledEditor(const std::string& folder) : process(Launch("\"" + folder + "vintrel.exe\"")) {
        WaitForInputIdle(process, kWait);  // through its start-up: window created, engine started
    }
    ~InstalledEditor() {
        if (!Ended(0)) TerminateProcess(process, 1);
        CloseHandle(process);
    }
    bool Ended(DWORD wait) const { return WaitForSingleObject(process, wait) == WAIT_OBJECT_0; }
    HANDLE process;
};

// Left Ctrl + F, bound to a.exe, fires once and its keys are swallowed.
inline void ExpectFires(Target& target, const char* after) {
    EXPECT_EQ(target.Type("+c+F-F-c"), "+c-c") << after;
    EXPECT_EQ(target.Launched(1), "a") << after;
}

}  // namespace e2e
