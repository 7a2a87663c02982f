// Running the installer built from this tree, and the editor it installed, as a user would.
#pragma once

#include <set>

#include "drive.h"

using namespace drive;

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvo";
constexpr const char* kDefaultFolder = "C:\\Program Files\\Tarvo\\";  // of a 32-bit Windows
inline DWORD Install(const std::string& switches = "", const std::string& setup = WindowsPath(TARVO_BUILD_DIR) + TARVO_SETUP_NAME) {
    return RunToEnd("\"" + setup + "\" /S" + switches);
}
inline std::string InstalledFolder() { return ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE); }
// The files the system renames ("\n!\\??\\" and the new name follow) or deletes ("\n\n" follows) at the next restart.
inline std::string PendingRenames() {
    const std::string data = ValueData("System\\CurrentControlSet\\Control\\Session Manager", "PendingFileRenameOperations", HKEY_LOCAL_MACHINE);
    return Replaced(Narrow(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t)), '\0', '\n');
}
inline bool Pending(const std::string& text) { return PendingRenames().find(text) != std::string::npos; }
inline bool Uninstall(const std::string& folder) {  // silent, to its end: its last step removes the uninstall entry
    return RunToEnd("\"" + folder + "uninstall.exe\" /S") == 0 &&
           WaitFor([] { return !KeyExists(store::kRootPath, HKEY_LOCAL_MACHINE) && !KeyExists(kUninstallKey, HKEY_LOCAL_MACHINE); });
}
inline std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder + "*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(Narrow(found.cFileName));
    FindClose(search);
    return names;
}
const std::set<std::string> kInstalled{"Tarvo.chm", "lindle.dll", "uninstall.exe", "vintrel.exe"};  // in a 32-bit Windows
