// Running the installer built from this tree, and the editor it installed, as a user would.
#pragma once

#include <shlobj.h>
#include <shlwapi.h>

#include "core/shortcut_store.h"
#include "drive.h"
#include "test_paths.h"

namespace e2e {

using namespace drive;

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvo";
// What a silent setup returns when files wait for the next restart.
constexpr DWORD kRestartNeeded = ERROR_SUCCESS_REBOOT_REQUIRED;

inline std::string ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return Narrow(path) + "\\";
}
inline DWORD Install(const std::string& switches = "", const std::string& setup = WindowsPath(TARVO_BUILD_DIR) + TARVO_SETUP_NAME) {
    return RunToEnd("\"" + setup + "\" /S" + switches);
}
inline std::string InstalledFolder() { return ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE); }

// The files the system renames or deletes at the next restart, one a line.
inline std::string PendingRenames() {
    std::string pending = ReadRaw("System\\CurrentControlSet\\Control\\Session Manager", "PendingFileRenameOperations",
                                  HKEY_LOCAL_MACHINE);
    pending.erase(0, pending.find(':') + 1);
    std::wstring wide(reinterpret_cast<const wchar_t*>(pending.data()), pending.size() / sizeof(wchar_t));
    std::replace(wide.begin(), wide.end(), L'\0', L'\n');
    return Narrow(wide);
}
// A silent uninstall to its end (its last step removes its entry in the uninstall list).
inline bool Uninstall(const std::string& folder) {
    return RunToEnd("\"" + folder + "uninstall.exe\" /S") == 0 &&
           WaitFor([] { return !KeyExists(store::kRootPath, HKEY_LOCAL_MACHINE) && !KeyExists(kUninstallKey, HKEY_LOCAL_MACHINE); });
}

}  // namespace e2e
