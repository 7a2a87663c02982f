// The installer built from this tree, run silently in a fresh prefix as a user would run
// it: what it puts in place, the installed editor firing a shortcut in another process and
// asking the help viewer for its topic, an upgrade over a running editor and a user's
// store, and an uninstall that leaves only the user's shortcuts.
#include <gtest/gtest.h>

#include "core/shortcut_store.h"
#include "dialog_watch.h"
#include "html_help.h"
#include "installer_harness.h"

namespace {

using namespace e2e;

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvo";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kFiles[] = {"vintrel.exe", "lindle.dll", "Tarvo.chm", "uninstall.exe"};

std::string StartMenuFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + "Tarvo\\"; }

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
    const std::string folder = ShellFolder(CSIDL_PROGRAM_FILES) + "Tarvo\\";
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
    ASSERT_EQ(Install(), kRestartNeeded) << "the mapped library waits for the restart";
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
    const std::string pending = PendingRenames();
    for (const char* file : kFiles)
        EXPECT_TRUE(!Exists(folder + file) || pending.find(folder + file + "\n\n") != std::string::npos) << file << " stays for good";
    EXPECT_FALSE(KeyExists(store::kRootPath, HKEY_LOCAL_MACHINE));
    EXPECT_FALSE(ValueExists(kRunKey, "Tarvo"));
    EXPECT_FALSE(Exists(StartMenuFolder()));
    EXPECT_EQ(ReadString(ItemPath(0), store::kAction), target.Slashed("a.exe"));
    for (const auto& [name, value] : user) EXPECT_EQ(ReadDword(store::kRootPath, name), value) << name;
}

// An account that setup did not run in has no store: the installed editor sets one up, and
// a shortcut added through its dialog, by capture, and checked, fires.
TEST(Installer, AShortcutOfAnotherAccountFires) {
    const DWORD installed = Install();
    ASSERT_TRUE(installed == 0 || installed == kRestartNeeded) << installed;
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vellora");
    const std::string folder = ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE);
    Target target("tarvo-account", "a");
    InstalledEditor editor(folder);
    ASSERT_TRUE(target.Start());
    HWND main = FindWindowA(nullptr, "Vintrel");
    PostMessageA(main, WM_COMMAND, 32774, 0);  // the tool bar's Add
    HWND dialog = WaitForWindow("Add shortcut", main);
    ASSERT_NE(dialog, nullptr);
    for (int i = 0; i < 100 && GetForegroundWindow() != dialog; ++i, Sleep(20)) SetForegroundWindow(dialog);
    Sleep(300);
    HWND capture = GetDlgItem(dialog, 1015);
    testwatch::Click(capture);
    ASSERT_TRUE(WaitFor([&] { return Text(capture) == "End capture"; }));
    Send("+c+F-F-c");
    EXPECT_TRUE(WaitFor([&] { return Text(GetDlgItem(dialog, 1019)) == "LCTRL + F"; }));
    testwatch::Click(capture);
    const std::string action = target.Slashed("a.exe");
    SendMessageA(GetDlgItem(dialog, 1030), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(action.c_str()));
    testwatch::Click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    SetRowState(GetDlgItem(main, 1001), 0, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    ExpectFires(target, "a new account's first shortcut");
    EXPECT_EQ(ReadDword(store::kRootPath, store::kVersion), 0x20004u);
    EXPECT_EQ(RunToEnd("\"" + folder + "vintrel.exe\" quit"), 0u);
}

// Asked on its own page, the uninstaller removes the user's store too; every page is driven
// through its real controls. A program that keeps the library mapped leaves it for the
// restart, and the last page says so.
TEST(Installer, TheUninstallerRemovesTheShortcutsWhenTheUserSaysSo) {
    const DWORD installed = Install();  // a restart is due when an earlier test left the library mapped
    ASSERT_TRUE(installed == 0 || installed == kRestartNeeded) << installed;
    const std::string folder = ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE);
    Target target("tarvo-uninstall", "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    {
        InstalledEditor editor(folder);
        ASSERT_TRUE(target.Start());
        ExpectFires(target, "before the uninstall");
    }
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
    EXPECT_TRUE(WaitFor([&] {
        return FindControl(wizard, "Restart Windows to finish the removal: some files of Tarvo are in use until then.");
    })) << "the last page does not tell that a restart finishes the removal";
    EXPECT_EQ(FindControl(wizard, "Uninstall was completed successfully."), nullptr);
    PostMessageA(GetDlgItem(wizard, IDOK), BM_CLICK, 0, 0);  // Close
    EXPECT_FALSE(KeyExists(store::kRootPath));
    EXPECT_FALSE(Exists(folder + "vintrel.exe"));
    EXPECT_NE(PendingRenames().find(folder + "lindle.dll\n\n"), std::string::npos);
}

}  // namespace
