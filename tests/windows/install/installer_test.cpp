// The installer built from this tree, run silently in a fresh prefix as a user would run
// it: what it puts in place, the installed editor firing a shortcut in another process and
// asking the help viewer for its topic, an upgrade over a running editor and a user's
// store, and an uninstall that leaves only the user's shortcuts.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "core/shortcut_store.h"
#include "dialog_watch.h"
#include "html_help.h"
#include "hotkey_harness.h"
#include "test_paths.h"

namespace {

using namespace e2e;

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvo";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kFiles[] = {"vintrel.exe", "lindle.dll", "Tarvo.chm", "uninstall.exe"};
constexpr DWORD kWait = 30000;

bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string Folder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return std::string(path) + "\\";
}
std::string StartMenuFolder() { return Folder(CSIDL_COMMON_PROGRAMS) + "Tarvo\\"; }

// Runs a command to its end; its exit code.
DWORD RunToEnd(const std::string& command) {
    HANDLE process = Launch(command);
    DWORD code = 0xFFFF;
    if (process && WaitForSingleObject(process, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}
DWORD Install(const std::string& switches = "") {
    return RunToEnd("\"" + WindowsPath(TARVO_BUILD_DIR) + TARVO_SETUP_NAME + "\" /S" + switches);
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
BOOL CALLBACK MatchControl(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<std::pair<std::string, HWND>*>(data);
    return testwatch::WindowText(child) == search->first ? (search->second = child, FALSE) : TRUE;
}
void ExpectEngineAndHelp(const std::string& folder, const char* targetName);

HWND FindControl(HWND parent, const char* text) {
    std::pair<std::string, HWND> search{text, nullptr};
    EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

TEST(Installer, ASilentInstallSetsUpAWorkingEditorAndItsHelp) {
    ASSERT_EQ(Install(), 0u);
    const std::string folder = Folder(CSIDL_PROGRAM_FILES) + "Tarvo\\";
    for (const char* file : kFiles) EXPECT_TRUE(Exists(folder + file)) << file;
    EXPECT_EQ(ReadFile(folder + "lindle.dll"), ReadFile(ExeDirectory() + "lindle.dll")) << "not this build's";

    EXPECT_EQ(ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE), folder);
    EXPECT_FALSE(ValueExists(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(store::IsVersionAccepted(ReadDword(store::kRootPath, store::kVersion)));
    const std::pair<const char*, DWORD> settings[] = {
        {store::kDoNotRemoveKeystroke, 0}, {store::kBeepAfterKeystroke, 0}, {store::kBeepType, MB_ICONEXCLAMATION}};
    for (const auto& [name, value] : settings) {
        EXPECT_EQ(ValueType(store::kRootPath, name), static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(ReadDword(store::kRootPath, name), value) << name;
    }
    EXPECT_TRUE(Exists(StartMenuFolder() + "Tarvo.lnk"));
    EXPECT_EQ(ReadString(kRunKey, "Tarvo"), "\"" + folder + "vintrel.exe\"");
    const std::pair<const char*, std::string> entry[] = {{"DisplayName", "Tarvo"}, {"DisplayVersion", "2.0.4"},
        {"DisplayIcon", folder + "vintrel.exe,0"}, {"UninstallString", "\"" + folder + "uninstall.exe\""},
        {"QuietUninstallString", "\"" + folder + "uninstall.exe\" /S"}};
    for (const auto& [name, value] : entry) EXPECT_EQ(ReadString(kUninstallKey, name, HKEY_LOCAL_MACHINE), value);
    EXPECT_GT(ReadDword(kUninstallKey, "EstimatedSize", HKEY_LOCAL_MACHINE), 100u);  // in KB

    ExpectEngineAndHelp(folder, "tarvo-installed");
}

// An installation into a folder whose name no one code page holds works the same.
TEST(Installer, AFolderNamedInAnyScriptWorksTheSame) {
    const std::string folder = std::string("C:\\") + kWorldText + "\\Tarvo\\";
    ASSERT_EQ(Install(" /D=" + folder.substr(0, folder.size() - 1)), 0u);
    EXPECT_EQ(ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE), folder);
    for (const char* file : kFiles) EXPECT_TRUE(Exists(folder + file)) << file;
    ExpectEngineAndHelp(folder, "tarvo-world");
}

// The installed editor runs the engine on the user's shortcut, and F1 in its window asks
// the viewer (here a stand-in that logs the calls) for the main window's topic.
void ExpectEngineAndHelp(const std::string& folder, const char* targetName) {
    Target target(targetName, "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    SetString(kHtmlHelpServerKey, "", TestDir() + "help_recorder.dll", HKEY_CLASSES_ROOT);
    const std::string helpLog = target.path + "help.log";
    SetEnvironmentVariableA("TARVO_HELP_LOG", helpLog.c_str());
    InstalledEditor editor(folder);
    ASSERT_TRUE(target.Start());
    ExpectFires(target, "a fresh install");

    HWND window = FindWindowA(nullptr, "Vintrel");
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_COMMAND, 143, 0);  // the tray menu's Show
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window);
    INPUT f1[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    f1[0].ki.wVk = f1[1].ki.wVk = VK_F1;
    f1[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, f1, sizeof f1[0]);
    EXPECT_TRUE(WaitFor([&] { return !ReadFile(helpLog).empty(); }));
    EXPECT_EQ(ReadFile(helpLog), folder + "Tarvo.chm 15 131174\n");
    EXPECT_EQ(RunToEnd("\"" + folder + "vintrel.exe\" quit"), 0u);
    EXPECT_TRUE(editor.Ended(kWait));
}

TEST(Installer, AnUpgradeKeepsTheUserStoreAndAnUninstallKeepsOnlyTheShortcuts) {
    const std::string folder = "C:\\Tarvo test\\";
    ASSERT_EQ(Install(" /NOTOOLBAR /D=" + folder.substr(0, folder.size() - 1)), 0u);
    EXPECT_EQ(ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE), folder);

    // A user's store, an editor running on it and the engine mapped into another process:
    // the upgrade ends the editor, sets the mapped library aside and keeps every value, a
    // "Version" the programs reject and the layout chosen before included.
    Target target("tarvo-upgrade", "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    const std::pair<const char*, DWORD> user[] = {
        {store::kVersion, 0x200FF}, {store::kDoNotRemoveKeystroke, 0}, {store::kBeepAfterKeystroke, 1}, {store::kBeepType, 16}};
    for (const auto& [name, value] : user) SetDword(store::kRootPath, name, value);
    auto editor = std::make_unique<InstalledEditor>(folder);
    ASSERT_TRUE(target.Start());
    ExpectFires(target, "the first install");
    SetDword(store::kRootPath, store::kVersion, 0x30000);
    ASSERT_EQ(Install(), 0u);
    EXPECT_TRUE(editor->Ended(0)) << "the upgrade did not end the running editor";
    for (const auto& [name, value] : user)
        EXPECT_EQ(ReadDword(store::kRootPath, name), name == store::kVersion ? 0x30000u : value) << name;
    EXPECT_EQ(ReadString(ItemPath(0), store::kShortcut), "CTRL + F");
    EXPECT_EQ(ReadDword(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE), 1u);
    EXPECT_EQ(ReadFile(folder + "lindle.dll"), ReadFile(ExeDirectory() + "lindle.dll"));
    SetDword(store::kRootPath, store::kVersion, 0x200FF);
    editor = std::make_unique<InstalledEditor>(folder);
    ExpectFires(target, "the upgrade");

    // The uninstaller ends the editor too; of its files only those set aside for the next
    // restart may stay. The user's store stays whole.
    ASSERT_EQ(RunToEnd("\"" + folder + "uninstall.exe\" /S"), 0u);
    ASSERT_TRUE(WaitFor([] { return !KeyExists(kUninstallKey, HKEY_LOCAL_MACHINE); }));  // its last step
    EXPECT_TRUE(editor->Ended(kWait)) << "the uninstall did not end the running editor";
    char pending[65536] = "";
    DWORD size = sizeof pending - 1;
    if (SHGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                    "PendingFileRenameOperations", nullptr, pending, &size) != ERROR_SUCCESS)
        size = 0;
    std::replace(pending, pending + size, '\0', '\n');
    for (const char* file : kFiles)
        EXPECT_TRUE(!Exists(folder + file) || strstr(pending, (folder + file).c_str())) << file << " stays for good";
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
    ASSERT_TRUE(WaitFor([&] { return testwatch::WindowText(GetDlgItem(wizard, IDOK)) == "&Uninstall"; }));
    SendMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([] { return !KeyExists(kUninstallKey, HKEY_LOCAL_MACHINE); }));
    PostMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);  // Close
    EXPECT_FALSE(KeyExists(store::kRootPath));
    EXPECT_FALSE(Exists(folder + "vintrel.exe"));
}

}  // namespace
