// The installer built from this tree, run silently in a fresh prefix as a user would run
// it: what it puts in place, the installed editor firing a shortcut in another process and
// asking the help viewer for its topic, an upgrade over a running editor and a user's
// store, and an uninstall that leaves only the user's shortcuts.
#include <gtest/gtest.h>

#include "html_help.h"
#include "installer_harness.h"

namespace {

using namespace e2e;

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kFiles[] = {"vintrel.exe", "lindle.dll", "Tarvo.chm", "uninstall.exe"};

std::string StartMenuFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS) + "Tarvo\\"; }

// The installed editor runs the engine on the user's shortcut, and F1 in its window asks
// the viewer (here a stand-in that logs the calls) for the main window's topic.
void ExpectEngineAndHelp(const std::string& folder, const char* targetName) {
    EXPECT_EQ(InstalledFolder(), folder);
    for (const char* file : kFiles) EXPECT_TRUE(Exists(folder + file)) << file;
    Target target(targetName, "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    SetString(kHtmlHelpServerKey, "", TestDir() + "help_recorder.dll", HKEY_CLASSES_ROOT);
    const std::string helpLog = target.path + "help.log";
    SetEnvironmentVariableW(L"TARVO_HELP_LOG", Wide(helpLog).c_str());
    Editor editor(folder);
    ASSERT_TRUE(target.Start());
    target.ExpectFired("a", "a fresh install");
    editor.Command(kTrayShow);
    ToFront(editor.main);
    Tap(VK_F1);
    EXPECT_TRUE(WaitFor([&] { return !ReadFile(helpLog).empty(); }));
    EXPECT_EQ(ReadFile(helpLog), folder + "Tarvo.chm 15 131174\n");
    EXPECT_TRUE(editor.Quit());
}

TEST(Installer, ASilentInstallSetsUpAWorkingEditorAndItsHelp) {
    ASSERT_EQ(Install(), 0u);
    const std::string folder = ShellFolder(CSIDL_PROGRAM_FILES) + "Tarvo\\";
    EXPECT_EQ(ReadFile(folder + "lindle.dll"), ReadFile(ExeDirectory() + "lindle.dll")) << "not this build's";
    EXPECT_FALSE(ValueExists(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE));
    EXPECT_TRUE(store::IsVersionAccepted(ReadDword(store::kRootPath, store::kVersion)));
    const std::pair<const char*, DWORD> settings[] = {
        {store::kDoNotRemoveKeystroke, 0}, {store::kBeepAfterKeystroke, 0}, {store::kBeepType, MB_ICONEXCLAMATION}};
    for (const auto& [name, value] : settings)
        EXPECT_EQ(ReadRaw(store::kRootPath, name), "4:" + std::string(reinterpret_cast<const char*>(&value), 4)) << name;
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
    ExpectEngineAndHelp(folder, "tarvo-world");
}

TEST(Installer, AnUpgradeKeepsTheUserStoreAndAnUninstallKeepsOnlyTheShortcuts) {
    const std::string folder = "C:\\Tarvo test\\";
    ASSERT_EQ(Install(" /NOTOOLBAR /D=" + folder.substr(0, folder.size() - 1)), 0u);
    EXPECT_EQ(InstalledFolder(), folder);

    // A user's store, an editor running on it and the engine mapped into another process:
    // the upgrade ends the editor, sets the mapped library aside and keeps every value, a
    // "Version" the programs reject and the layout chosen before included.
    Target target("tarvo-upgrade", "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    const std::pair<const char*, DWORD> user[] = {
        {store::kVersion, 0x200FF}, {store::kDoNotRemoveKeystroke, 0}, {store::kBeepAfterKeystroke, 1}, {store::kBeepType, 16}};
    for (const auto& [name, value] : user) SetDword(store::kRootPath, name, value);
    auto editor = std::make_unique<Editor>(folder);
    ASSERT_TRUE(target.Start());
    target.ExpectFired("a", "the first install");
    SetDword(store::kRootPath, store::kVersion, 0x30000);
    ASSERT_EQ(Install(), kRestartNeeded) << "the mapped library waits for the restart";
    EXPECT_TRUE(editor->Ended(0)) << "the upgrade did not end the running editor";
    for (const auto& [name, value] : user)
        EXPECT_EQ(ReadDword(store::kRootPath, name), name == store::kVersion ? 0x30000u : value) << name;
    EXPECT_EQ(ReadString(ItemPath(0), store::kShortcut), "CTRL + F");
    EXPECT_EQ(ReadDword(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE), 1u);
    EXPECT_EQ(ReadFile(folder + "lindle.dll"), ReadFile(ExeDirectory() + "lindle.dll"));
    SetDword(store::kRootPath, store::kVersion, 0x200FF);
    editor = std::make_unique<Editor>(folder);
    target.ExpectFired("a", "the upgrade");

    // The uninstaller ends the editor too; of its files only those set aside for the next
    // restart may stay. The user's store stays whole.
    ASSERT_TRUE(Uninstall(folder));
    EXPECT_TRUE(editor->Ended()) << "the uninstall did not end the running editor";
    for (const char* file : kFiles)
        EXPECT_TRUE(!Exists(folder + file) || PendingRenames().find(folder + file + "\n\n") != std::string::npos) << file << " stays for good";
    EXPECT_FALSE(ValueExists(kRunKey, "Tarvo"));
    EXPECT_FALSE(Exists(StartMenuFolder()));
    EXPECT_EQ(ReadString(ItemPath(0), store::kAction), target.Slashed("a.exe"));
    for (const auto& [name, value] : user) EXPECT_EQ(ReadDword(store::kRootPath, name), value) << name;
}

// Asked on its own page, the uninstaller removes the user's store too; every page is driven
// through its real controls. A program that keeps the library mapped leaves it for the
// restart, and the last page says so.
TEST(Installer, TheUninstallerRemovesTheShortcutsWhenTheUserSaysSo) {
    const DWORD installed = Install();  // a restart is due when an earlier test left the library mapped
    ASSERT_TRUE(installed == 0 || installed == kRestartNeeded) << installed;
    const std::string folder = InstalledFolder();
    Target target("tarvo-uninstall", "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    {
        Editor editor(folder);
        ASSERT_TRUE(target.Start());
        target.ExpectFired("a", "before the uninstall");
    }
    ASSERT_NE(Launch("\"" + folder + "uninstall.exe\""), nullptr);
    HWND wizard = WaitForWindow("Tarvo 2.0.4 Uninstall"), remove = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (remove = FindControl(wizard, "&Remove my shortcuts and settings from this computer")); }));
    HWND keep = FindControl(wizard, "&Keep my shortcuts and settings"), next = GetDlgItem(wizard, IDOK);
    EXPECT_EQ(SendMessageW(keep, BM_GETCHECK, 0, 0), BST_CHECKED) << "keeping is the default";
    SendMessageW(remove, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(keep, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(next, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return WindowText(next) == "&Uninstall"; }));
    SendMessageW(next, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([] { return !KeyExists(kUninstallKey, HKEY_LOCAL_MACHINE); }));
    EXPECT_TRUE(WaitFor([&] { return FindControl(wizard, "Restart Windows to finish the removal: some files of Tarvo are in use until then."); }))
        << "the last page does not tell that a restart finishes the removal";
    EXPECT_EQ(FindControl(wizard, "Uninstall was completed successfully."), nullptr);
    PostMessageW(next, BM_CLICK, 0, 0);  // Close
    EXPECT_FALSE(KeyExists(store::kRootPath));
    EXPECT_FALSE(Exists(folder + "vintrel.exe"));
    EXPECT_NE(PendingRenames().find(folder + "lindle.dll\n\n"), std::string::npos);
}

}  // namespace
