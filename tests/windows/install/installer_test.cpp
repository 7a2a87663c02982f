// This tree's installer run silently in a fresh prefix, its editor, an upgrade over a user's store, both ways to uninstall.
#include "html_help.h"
#include "installer_harness.h"

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kStartMenuFolder = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Tarvo\\";

// Through the installed editor a shortcut is captured, enabled, fired, changed and deleted, the engine stopped only in the
// dialog and at quit; asked on its page, the uninstaller removes the store and says a restart finishes the removal.
TEST(Installer, ASilentInstallSetsUpAnEditorThatEditsAndFiresAndTheUninstallerRemovesTheShortcutsWhenAsked) {
    ASSERT_EQ(Install(), 0u);
    const std::string folder = kDefaultFolder;
    EXPECT_EQ(InstalledFolder(), folder);
    EXPECT_EQ(FilesIn(folder), kInstalled);
    EXPECT_TRUE(store::IsVersionAccepted(ReadDword(store::kRootPath, store::kVersion)));
    EXPECT_EQ(Stored(store::kRootPath, store::kDoNotRemoveKeystroke) + "|" + Stored(store::kRootPath, store::kBeepAfterKeystroke) + "|" +
              Stored(store::kRootPath, store::kBeepType) + "|" + Stored(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE),
              "dword 0|dword 0|dword 48|none");  // MB_ICONEXCLAMATION
    EXPECT_TRUE(Exists(kStartMenuFolder + std::string("Tarvo.lnk")));
    EXPECT_EQ(ReadString(kRunKey, "Tarvo"), "\"" + folder + "vintrel.exe\"");
    const auto entry = [](const char* name) { return Stored(kUninstallKey, name, HKEY_LOCAL_MACHINE) + "|"; };
    EXPECT_EQ(entry("DisplayName") + entry("DisplayVersion") + entry("DisplayIcon") + entry("UninstallString") + entry("QuietUninstallString"),
              "Tarvo|2.0.4|" + folder + "vintrel.exe,0|\"" + folder + "uninstall.exe\"|\"" + folder + "uninstall.exe\" /S|");
    EXPECT_GT(ReadDword(kUninstallKey, "EstimatedSize", HKEY_LOCAL_MACHINE), 100u);  // in KB

    Target target("tarvo-installed", "ab");
    ASSERT_TRUE(target.Start());
    Editor editor(folder);
    const std::string actionA = target.Slashed("a.exe");
    ASSERT_TRUE(CaptureAndSave(editor.Open(kAddShortcut, "Add shortcut"), "+c+F-F-c", "LCTRL + F", actionA));
    // Stored disabled, its box cleared: the keys pass until it is checked. The list and store may lag the dialog a moment.
    HWND list = editor.List();
    const auto row = [&] { return Stored(ItemPath(0), store::kShortcut) + "|" + Stored(ItemPath(0), store::kAction) + "|" +
                                  Stored(ItemPath(0), store::kDisabled) + "|" + std::to_string(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) +
                                  "|" + std::to_string(SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) >> 12); };
    EXPECT_TRUE(WaitFor([&] { return row() == "LCTRL + F|" + actionA + "|dword 1|1|1"; })) << row();
    target.Settle();
    target.ExpectFired("", "the new item is disabled");
    SetRowState(list, 0, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    target.ExpectFired("a", "the box checked");
    SetRowState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    HWND dialog = editor.Open(kEditItem, "Edit shortcut");
    target.ExpectFired("", "the edit dialog open");
    SetText(GetDlgItem(dialog, kAction), target.Slashed("b.exe"));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    target.Settle();
    target.ExpectFired("b", "the action changed");
    PostMessageW(editor.Open(kDeleteItem, "Vintrel"), WM_COMMAND, IDYES, 0);  // Yes, delete
    EXPECT_TRUE(WaitFor([] { return !KeyExists(ItemPath(0)); }));
    target.ExpectFired("", "deleted");
    WriteItem(0, "CTRL + F", actionA);
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0);
    target.ExpectFired("a", "added by another program");
    EXPECT_TRUE(editor.Quit());
    target.ExpectFired("", "quit");

    ASSERT_NE(Launch("\"" + folder + "uninstall.exe\""), nullptr);
    HWND wizard = WaitForWindow("Tarvo 2.0.4 Uninstall"), remove = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (remove = FindControl(wizard, "&Remove my shortcuts and settings from this computer")); }));
    HWND keep = FindControl(wizard, "&Keep my shortcuts and settings"), next = GetDlgItem(wizard, IDOK);
    EXPECT_EQ(SendMessageW(keep, BM_GETCHECK, 0, 0), BST_CHECKED) << "keeping is the default";
    SendMessageW(remove, BM_CLICK, 0, 0);
    SendMessageW(next, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return Text(next) == "&Uninstall"; }));
    SendMessageW(next, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return FindControl(wizard, "Restart Windows to finish the removal: some files of Tarvo are in use until then."); }));
    EXPECT_EQ(FindControl(wizard, "Uninstall was completed successfully."), nullptr);
    PostMessageW(next, BM_CLICK, 0, 0);  // Close
    EXPECT_FALSE(KeyExists(store::kRootPath));
}

// Into a folder named in any script, /NOTOOLBAR: the editor fires, F1 asks help of its installed file. An upgrade keeps
// every value, even a "Version" the programs reject; the silent uninstall ends the editor and keeps the user's store whole.
TEST(Installer, AnUpgradeKeepsTheUserStoreAndAnUninstallKeepsOnlyTheShortcuts) {
    const std::string folder = std::string("C:\\") + kWorldText + "\\Tarvo\\";
    ASSERT_EQ(Install(" /NOTOOLBAR /D=" + folder.substr(0, folder.size() - 1)), 0u);
    EXPECT_EQ(InstalledFolder(), folder);
    Target target("tarvo-upgrade", "a");
    WriteItem(0, "CTRL + F", target.Slashed("a.exe"));
    const std::pair<const char*, DWORD> user[] = {
        {store::kVersion, 0x200FF}, {store::kDoNotRemoveKeystroke, 0}, {store::kBeepAfterKeystroke, 1}, {store::kBeepType, 16}};
    for (const auto& [name, value] : user) SetDword(store::kRootPath, name, value);
    SetString(kHtmlHelpServerKey, "", TestDir() + "help_recorder.dll", HKEY_CLASSES_ROOT);
    SetEnvironmentVariableW(L"TARVO_HELP_LOG", Wide(target.path + "help.log").c_str());
    auto editor = std::make_unique<Editor>(folder);
    ASSERT_TRUE(target.Start());
    target.ExpectFired("a", "the first install");
    editor->Command(kTrayShow);
    ToFront(editor->main);
    Tap(VK_F1);
    EXPECT_TRUE(WaitFor([&] { return ReadFile(target.path + "help.log") == folder + "Tarvo.chm 15 131174\n"; }));

    SetDword(store::kRootPath, store::kVersion, 0x30000);
    ASSERT_EQ(Install(), ERROR_SUCCESS_REBOOT_REQUIRED) << "the mapped library waits for the restart";
    for (const auto& [name, value] : user) EXPECT_EQ(ReadDword(store::kRootPath, name), name == store::kVersion ? 0x30000u : value) << name;
    EXPECT_EQ(ReadDword(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE), 1u);
    SetDword(store::kRootPath, store::kVersion, 0x200FF);
    editor = std::make_unique<Editor>(folder);

    ASSERT_TRUE(Uninstall(folder));
    EXPECT_TRUE(editor->Ended()) << "the uninstall did not end the running editor";
    EXPECT_FALSE(ValueExists(kRunKey, "Tarvo"));
    EXPECT_FALSE(Exists(kStartMenuFolder));
    EXPECT_EQ(ReadString(ItemPath(0), store::kAction), target.Slashed("a.exe"));
    for (const auto& [name, value] : user) EXPECT_EQ(ReadDword(store::kRootPath, name), value) << name;
}
