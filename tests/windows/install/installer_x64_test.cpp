// On 64-bit Windows, through the installer and its editor: the 64-bit engine serves 64-bit programs beside the 32-bit one.
#include "installer_harness.h"

#include <tlhelp32.h>

static int HostProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof entry};
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        count += _wcsicmp(entry.szExeFile, L"lindle64host.exe") == 0;
    CloseHandle(snapshot);
    return count;
}

TEST(Installer64, BothEnginesServeTheirProgramsAndEndWithTheEditorAndWithoutAHostThe32BitOneServesAlone) {
    // Wine ends a hook chain at a process that cannot load the hook's library: there only the 64-bit hooks (last) run.
    const char* both = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") ? "yn" : "yy";
    Target markers("tarvo-markers", "ab"), narrow("tarvo-x86", "");
    Target wide("tarvo-x64", "", WindowsPath(TARVO_X64_TEST_DIR) + "key_target.exe");
    // 64-bit target first: 'y' left Ctrl + F fires a once, leaving only Ctrl; 'n' it passes whole; '-' untried.
    const auto expectFires = [&](const std::string& expected, const std::string& after) {
        for (int i = 0; i < 2; ++i) {
            Target& target = i ? narrow : wide;
            if (expected.find('y') != std::string::npos) target.Settle();  // new hooks may miss the first keystrokes
            if (const bool y = expected[i] == 'y'; expected[i] != '-')
                EXPECT_EQ(target.Type("+c+F-F-c").append("|" + markers.Launched(y)), y ? "+c-c|a" : "+c+F-F-c|") << after << (i ? ", x86" : ", x64");
        }
    };
    ASSERT_EQ(Install(), 0u);
    const std::string folder = InstalledFolder();
    EXPECT_NE(folder.find("Program Files (x86)"), std::string::npos) << folder;
    for (const char* file : {"lindle64.dll", "lindle64host.exe"}) EXPECT_EQ(ReadFile(folder + file), ReadFile(BinaryDir() + file)) << file;
    WriteItem(0, "CTRL + F", markers.Slashed("a.exe"));
    ASSERT_TRUE(wide.Start() && narrow.Start());
    WriteItem(1, "CTRL + G", "batch", ScriptBatch, "@\"" + markers.path + "b.exe\"\r\n");
    auto editor = std::make_unique<Editor>(folder);
    EXPECT_EQ(HostProcesses(), 1);
    expectFires(both, "the start");
    wide.Type("");
    Send("+c+G-G");  // a script's console window may take the foreground meanwhile
    EXPECT_EQ(markers.Launched(1), "b") << "the script shortcut in the 64-bit program";
    EXPECT_EQ(wide.Type("-c"), "+c-c");
    for (const bool enabled : {false, true}) {  // the row's box: the editor saves, both engines reload
        SetRowState(editor->List(), 0, INDEXTOSTATEIMAGEMASK(enabled ? 2 : 1), LVIS_STATEIMAGEMASK);
        ASSERT_EQ(ReadDword(ItemPath(0), store::kDisabled), enabled ? 0u : 1u);
        expectFires(enabled ? both : "nn", enabled ? "enabled again" : "disabled");
    }
    editor->Command(kTrayStop);
    EXPECT_EQ(HostProcesses(), 0) << "Stop";
    expectFires("nn", "Stop");
    editor->Command(kTrayStart);
    expectFires(both, "Start");
    editor->Command(kTrayExit);
    EXPECT_TRUE(editor->Ended());
    EXPECT_TRUE(WaitFor([] { return HostProcesses() == 0; })) << "Exit";
    expectFires("nn", "Exit");

    EXPECT_EQ(Install(), ERROR_SUCCESS_REBOOT_REQUIRED) << "an upgrade while the 64-bit program has the library mapped";
    editor = std::make_unique<Editor>(folder);
    expectFires(both, "the upgrade");
    TerminateProcess(editor->process, 1);
    ASSERT_TRUE(editor->Ended());
    EXPECT_TRUE(WaitFor([] { return HostProcesses() == 0; })) << "the editor killed";
    // Windows removes a dead thread's hooks; Wine keeps all but low-level ones: there the killed editor's 32-bit hooks stay.
    expectFires(both[1] == 'y' ? "nn" : "n-", "the editor killed");
    ASSERT_TRUE(Uninstall(folder));
    for (const char* file : {"lindle64.dll", "lindle64host.exe"})
        EXPECT_TRUE(!Exists(folder + file) || Pending(folder + file)) << file << " stays for good";

    // A host that is missing or cannot load its library: each run of the editor says so once.
    for (const std::string missing : {"lindle64host.exe", "lindle64.dll"}) {
        Install();  // over a pending uninstall, or an install finished at the restart
        const std::string file = folder + missing;  // set aside: Wine's own explorer.exe keeps the library mapped
        ASSERT_TRUE(MoveFileExW(Wide(file).c_str(), Wide(file + ".aside").c_str(), MOVEFILE_REPLACE_EXISTING)) << missing;
        Editor editor(folder);
        HWND box = WaitForWindow("Tarvo");
        EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), "64-bit programs will not get shortcuts: 'lindle64host.exe' could not be started.\n\n"
                                                 "Shortcuts still work in 32-bit programs.") << missing;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitForInputIdle(editor.process, 20000);
        editor.main = FindWindowW(nullptr, L"Vintrel");
        EXPECT_EQ(HostProcesses(), 0) << missing;
        expectFires("ny", "the start without " + missing);
        editor.Command(kTrayStop);
        PostMessageW(editor.main, WM_COMMAND, kTrayStart, 0);
        Sleep(2000);
        EXPECT_EQ(FindWindowW(WC_DIALOG, L"Tarvo"), nullptr) << "told twice without " << missing;
        expectFires("ny", "Start again without " + missing);
        editor.Command(kTrayExit);
        EXPECT_TRUE(editor.Ended());
    }
}
