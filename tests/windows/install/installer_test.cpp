// The installer built from this tree, run silently in a fresh prefix as a user would run
// it: what it puts in place, the installed editor firing a shortcut in another process and
// asking the help viewer for its topic, an upgrade over a running editor and a user's
// store, and an uninstall that leaves only the user's shortcuts.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "core/shortcut_store.h"
#include "html_help.h"
#include "hotkey_harness.h"
#include "test_paths.h"

namespace {

using namespace e2e;

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvo";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kPendingKey = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kFiles[] = {"vintrel.exe", "lindle.dll", "Tarvo.chm", "uninstall.exe"};
constexpr UINT kTrayShow = 143;
constexpr DWORD kWait = 30000;

std::string Folder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return std::string(path) + "\\";
}
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string StartMenuFolder() { return Folder(CSIDL_COMMON_PROGRAMS) + "Tarvo\\"; }

// Runs a command to its end; its exit code.
DWORD RunToEnd(const std::string& command) {
    HANDLE process = Launch(command);
    if (!process || WaitForSingleObject(process, 60000) != WAIT_OBJECT_0) return 0xFFFF;
    DWORD code = 0xFFFF;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}
std::string SetupProgram() { return WindowsPath(TARVO_BUILD_DIR) + TARVO_SETUP_NAME; }
DWORD Install(const std::string& switches = "") { return RunToEnd("\"" + SetupProgram() + "\" /S" + switches); }

// The product version in the file's version resource, as "a.b.c.d".
std::string ProductVersion(const std::string& file) {
    std::vector<char> data(GetFileVersionInfoSizeA(file.c_str(), nullptr));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (data.empty() || !GetFileVersionInfoA(file.c_str(), 0, data.size(), data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &size))
        return "";
    return std::to_string(HIWORD(info->dwProductVersionMS)) + "." + std::to_string(LOWORD(info->dwProductVersionMS)) +
           "." + std::to_string(HIWORD(info->dwProductVersionLS)) + "." + std::to_string(LOWORD(info->dwProductVersionLS));
}
// The uninstaller copies itself aside and returns at once; its last step removes its
// Add/Remove entry.
bool Uninstall(const std::string& folder) {
    return RunToEnd("\"" + folder + "uninstall.exe\" /S") == 0 &&
           WaitFor([] { return !KeyExists(kUninstallKey, HKEY_LOCAL_MACHINE); });
}

// The files of a folder, by name.
std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (found.cFileName[0] != '.') names.push_back(found.cFileName);
    FindClose(search);
    return names;
}
// Files the system deletes at the next restart (a list of NUL-terminated paths).
std::string PendingDeletes() {
    static char data[65536];
    DWORD size = sizeof data;
    if (SHGetValueA(HKEY_LOCAL_MACHINE, kPendingKey, "PendingFileRenameOperations", nullptr, data, &size) != ERROR_SUCCESS)
        return "";
    std::string names(data, size);
    std::replace(names.begin(), names.end(), '\0', '\n');
    return names;
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

void ExpectFires(Target& target, const char* after) {
    EXPECT_EQ(target.Type("+c+F-F-c"), "+c-c") << after;
    EXPECT_EQ(target.Launched(1), "a") << after;
}

// The first descendant of a window with this text.
struct ControlSearch {
    const char* text;
    HWND found;
};
BOOL CALLBACK MatchControl(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    char text[128] = "";
    GetWindowTextA(child, text, sizeof text);
    if (strcmp(text, search->text) != 0) return TRUE;
    search->found = child;
    return FALSE;
}
HWND FindControl(HWND parent, const char* text) {
    ControlSearch search = {text, nullptr};
    EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressF1() {
    INPUT keys[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof keys[0]);
}

TEST(Installer, ASilentInstallSetsUpAWorkingEditorAndItsHelp) {
    EXPECT_EQ(ProductVersion(SetupProgram()), "2.0.4.0");
    ASSERT_EQ(Install(), 0u);
    const std::string folder = Folder(CSIDL_PROGRAM_FILES) + "Tarvo\\";
    for (const char* file : kFiles) EXPECT_TRUE(Exists(folder + file)) << file;
    for (const char* file : {"vintrel.exe", "lindle.dll"})
        EXPECT_EQ(ReadFile(folder + file), ReadFile(ExeDirectory() + file)) << file << " is not this build's";

    EXPECT_EQ(ValueType(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE), folder);
    EXPECT_FALSE(ValueExists(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(store::IsVersionAccepted(ReadDword(store::kRootPath, store::kVersion)));
    EXPECT_EQ(ValueType(store::kRootPath, store::kVersion), static_cast<DWORD>(REG_DWORD));
    const std::pair<const char*, DWORD> settings[] = {
        {store::kDoNotRemoveKeystroke, 0}, {store::kBeepAfterKeystroke, 0}, {store::kBeepType, MB_ICONEXCLAMATION}};
    for (const auto& [name, value] : settings) {
        EXPECT_EQ(ValueType(store::kRootPath, name), static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(ReadDword(store::kRootPath, name), value) << name;
    }

    EXPECT_TRUE(Exists(StartMenuFolder() + "Tarvo.lnk"));
    EXPECT_EQ(ReadString(kRunKey, "Tarvo"), "\"" + folder + "vintrel.exe\"");
    EXPECT_EQ(ReadString(kUninstallKey, "DisplayName", HKEY_LOCAL_MACHINE), "Tarvo");
    EXPECT_EQ(ReadString(kUninstallKey, "DisplayVersion", HKEY_LOCAL_MACHINE), "2.0.4");
    EXPECT_EQ(ReadString(kUninstallKey, "DisplayIcon", HKEY_LOCAL_MACHINE), folder + "vintrel.exe,0");
    EXPECT_EQ(ReadString(kUninstallKey, "UninstallString", HKEY_LOCAL_MACHINE), "\"" + folder + "uninstall.exe\"");
    EXPECT_EQ(ReadString(kUninstallKey, "QuietUninstallString", HKEY_LOCAL_MACHINE), "\"" + folder + "uninstall.exe\" /S");
    EXPECT_GT(ReadDword(kUninstallKey, "EstimatedSize", HKEY_LOCAL_MACHINE), 100u);  // in KB

    // The installed editor runs the engine on the user's shortcut, and F1 in its window asks
    // the viewer (here a stand-in that logs the calls) for the main window's topic.
    Target target("tarvo-installed", "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    SetString(kHtmlHelpServerKey, "", TestDir() + "help_recorder.dll", HKEY_CLASSES_ROOT);
    const std::string helpLog = target.path + "help.log";
    SetEnvironmentVariableA("TARVO_HELP_LOG", helpLog.c_str());
    InstalledEditor editor(folder);
    ASSERT_TRUE(target.Start());
    ExpectFires(target, "a fresh install");

    HWND window = FindWindowA(nullptr, "Vintrel");
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_COMMAND, kTrayShow, 0);
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window);
    PressF1();
    EXPECT_TRUE(WaitFor([&] { return !ReadFile(helpLog).empty(); }));
    EXPECT_EQ(ReadFile(helpLog), folder + "Tarvo.chm 15 131174\n");
    EXPECT_EQ(RunToEnd("\"" + folder + "vintrel.exe\" quit"), 0u);
    EXPECT_TRUE(editor.Ended(kWait));
}

TEST(Installer, AnUpgradeKeepsTheUserStoreAndAnUninstallKeepsOnlyTheShortcuts) {
    const std::string folder = "C:\\Tarvo test\\";
    ASSERT_EQ(Install(" /NOTOOLBAR /D=" + folder.substr(0, folder.size() - 1)), 0u);
    EXPECT_EQ(ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE), folder);
    EXPECT_EQ(ReadDword(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE), 1u);

    // A user's store and settings, an editor running on them and the engine mapped into
    // another process: the upgrade ends the editor, sets the mapped library aside and keeps
    // every value, the layout chosen before and the folder too.
    Target target("tarvo-upgrade", "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    const std::pair<const char*, DWORD> user[] = {
        {store::kVersion, 0x200FF}, {store::kDoNotRemoveKeystroke, 0}, {store::kBeepAfterKeystroke, 1}, {store::kBeepType, 16}};
    for (const auto& [name, value] : user) SetDword(store::kRootPath, name, value);
    auto editor = std::make_unique<InstalledEditor>(folder);
    ASSERT_TRUE(target.Start());
    ExpectFires(target, "the first install");
    ASSERT_EQ(Install(), 0u);
    EXPECT_TRUE(editor->Ended(0)) << "the upgrade did not end the running editor";
    for (const auto& [name, value] : user) EXPECT_EQ(ReadDword(store::kRootPath, name), value) << name;
    EXPECT_EQ(ReadString(ItemPath(0), store::kShortcut), "CTRL + F");
    EXPECT_EQ(ReadDword(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE), 1u);
    for (const char* file : kFiles) EXPECT_TRUE(Exists(folder + file)) << file;
    EXPECT_EQ(ReadFile(folder + "lindle.dll"), ReadFile(ExeDirectory() + "lindle.dll"));

    // A "Version" the programs reject is the user's business too.
    SetDword(store::kRootPath, store::kVersion, 0x30000);
    ASSERT_EQ(Install(), 0u);
    EXPECT_EQ(ReadDword(store::kRootPath, store::kVersion), 0x30000u);
    SetDword(store::kRootPath, store::kVersion, 0x200FF);

    editor = std::make_unique<InstalledEditor>(folder);
    ExpectFires(target, "the upgrade");

    // The uninstaller ends the editor too; of the folder only files set aside for the next
    // restart may stay.
    ASSERT_TRUE(Uninstall(folder));
    EXPECT_TRUE(editor->Ended(kWait)) << "the uninstall did not end the running editor";
    const std::string pending = PendingDeletes();
    for (const std::string& name : FolderEntries(folder)) {
        EXPECT_EQ(std::count(std::begin(kFiles), std::end(kFiles), name), 0) << name;
        EXPECT_NE(pending.find(folder + name), std::string::npos) << name << " stays for good";
    }
    EXPECT_FALSE(KeyExists(store::kRootPath, HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(ValueExists(kRunKey, "Tarvo"));
    EXPECT_FALSE(Exists(StartMenuFolder()));
    EXPECT_EQ(ReadString(ItemPath(0), store::kAction), target.Slashed("a.exe"));
    for (const auto& [name, value] : user) EXPECT_EQ(ReadDword(store::kRootPath, name), value) << name;
}

// Asked on its own page, the uninstaller removes the user's store too; every page is driven
// through its real controls.
TEST(Installer, TheUninstallerRemovesTheShortcutsWhenTheUserSaysSo) {
    ASSERT_EQ(Install(), 0u);
    const std::string folder = ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE);
    WriteItem(0, "CTRL + F", "calc.exe");
    ASSERT_NE(Launch("\"" + folder + "uninstall.exe\""), nullptr);
    HWND wizard = nullptr, remove = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        wizard = FindWindowA("#32770", "Tarvo 2.0.4 Uninstall");
        return wizard && (remove = FindControl(wizard, "&Remove my shortcuts and settings from this computer"));
    }));
    HWND keep = FindControl(wizard, "&Keep my shortcuts and settings");
    EXPECT_EQ(SendMessageA(keep, BM_GETCHECK, 0, 0), BST_CHECKED) << "keeping is the default";
    SendMessageA(remove, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(keep, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);  // Next
    ASSERT_TRUE(WaitFor([&] { return FindControl(wizard, "&Uninstall") != nullptr; }));
    SendMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);  // Uninstall
    EXPECT_TRUE(WaitFor([] { return !KeyExists(kUninstallKey, HKEY_LOCAL_MACHINE); }));
    PostMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);  // Close
    EXPECT_FALSE(KeyExists(store::kRootPath));
    EXPECT_FALSE(Exists(folder + "vintrel.exe"));
}

}  // namespace
