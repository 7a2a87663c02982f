// On 64-bit Windows (here a 64-bit prefix), through the installer and the installed editor:
// the 64-bit engine serves 64-bit programs, where a shortcut fires exactly once, a script
// shortcut runs and a saved change arrives; Stop, Exit or a killed editor leave no hooks
// and no host behind; upgrade and uninstall handle the 64-bit files. Without a working
// host the 32-bit engine serves 32-bit programs, and the user is told once.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <optional>

#include "installer_harness.h"

namespace {

using namespace e2e;

// The installation folder, after a silent install; over a library still mapped, the
// install finishes at the next restart.
std::string Installed() {
    const DWORD code = Install();
    EXPECT_TRUE(code == 0 || code == kRestartNeeded) << code;
    return InstalledFolder();
}

int HostProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof entry};
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        count += _wcsicmp(entry.szExeFile, L"lindle64host.exe") == 0;
    CloseHandle(snapshot);
    return count;
}

// Wine calls a hook only in processes that can load its library, and ends the chain at a
// hook that cannot be loaded: while the host runs, only its 64-bit hooks (installed after
// the editor's) run there, and 32-bit programs get nothing. Windows runs both; that the
// hook which Windows calls on the installing thread passes on is tested with the hooks.
bool BothEnginesRun() { return !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"); }

// A 64-bit and a 32-bit target, and marker a that left Ctrl + F starts.
struct TwoTargets {
    TwoTargets() {
        WriteItem(0, "CTRL + F", markers.Slashed("a.exe"));
        EXPECT_TRUE(wide.Start());
        EXPECT_TRUE(narrow.Start());
    }
    void Settle() {
        wide.Settle();
        narrow.Settle();
    }
    // In each target, Ctrl + F fires marker a exactly once and leaves only Ctrl, or reaches
    // the target whole; nothing is checked for a target without an expectation.
    void ExpectFires(bool wideFires, std::optional<bool> narrowFires, const std::string& after) {
        for (auto [target, fires] : {std::pair{&wide, std::optional{wideFires}}, {&narrow, narrowFires}}) {
            if (!fires) continue;
            const std::string kind = after + (target == &wide ? " in the 64-bit program" : " in the 32-bit program");
            EXPECT_EQ(target->Type("+c+F-F-c"), *fires ? "+c-c" : "+c+F-F-c") << kind;
            EXPECT_EQ(markers.Launched(*fires), *fires ? "a" : "") << kind;
        }
    }
    Target markers{"tarvo-markers", "ab"};
    Target wide{"tarvo-x64", "", WindowsPath(TARVO_X64_TEST_DIR) + "key_target.exe"};
    Target narrow{"tarvo-x86", ""};
};

TEST(Installer64, BothEnginesServeTheirProgramsAndEndWithTheEditor) {
    const std::string folder = Installed();
    EXPECT_NE(folder.find("Program Files (x86)"), std::string::npos) << folder;
    for (const char* file : {"lindle64.dll", "lindle64host.exe"}) EXPECT_EQ(ReadFile(folder + file), ReadFile(BinaryDir() + file)) << file;
    TwoTargets targets;
    WriteItem(1, "CTRL + G", "batch", ScriptBatch, "@\"" + targets.markers.path + "b.exe\"\r\n");
    auto editor = std::make_unique<Editor>(folder);
    EXPECT_EQ(HostProcesses(), 1);
    targets.Settle();
    targets.ExpectFires(true, BothEnginesRun(), "the start");
    targets.wide.Type("");
    Send("+c+G-G");  // a script's console window may take the foreground meanwhile
    EXPECT_EQ(targets.markers.Launched(1), "b") << "the script shortcut in the 64-bit program";
    EXPECT_EQ(targets.wide.Type("-c"), "+c-c");

    // The row's box unchecked and checked again: the editor saves and both engines reload.
    for (const bool enabled : {false, true}) {
        SetRowState(editor->List(), 0, INDEXTOSTATEIMAGEMASK(enabled ? 2 : 1), LVIS_STATEIMAGEMASK);
        ASSERT_EQ(ReadDword(ItemPath(0), store::kDisabled), enabled ? 0u : 1u);
        targets.ExpectFires(enabled, enabled && BothEnginesRun(), enabled ? "enabled again" : "disabled");
    }
    editor->Command(kTrayStop);
    EXPECT_EQ(HostProcesses(), 0) << "Stop";
    targets.ExpectFires(false, false, "Stop");
    editor->Command(kTrayStart);
    targets.Settle();
    targets.ExpectFires(true, BothEnginesRun(), "Start");
    editor->Command(kTrayExit);
    EXPECT_TRUE(editor->Ended());
    EXPECT_TRUE(WaitFor([] { return HostProcesses() == 0; })) << "Exit";
    targets.ExpectFires(false, false, "Exit");

    // An upgrade while the 64-bit program still has the library mapped.
    EXPECT_EQ(Installed(), folder);
    editor = std::make_unique<Editor>(folder);
    targets.Settle();
    targets.ExpectFires(true, BothEnginesRun(), "the upgrade");
    TerminateProcess(editor->process, 1);
    ASSERT_TRUE(editor->Ended());
    EXPECT_TRUE(WaitFor([] { return HostProcesses() == 0; })) << "the editor killed";
    // Windows removes a dead thread's hooks; Wine keeps global ones but for low-level hooks,
    // so there the killed editor's 32-bit hooks stay.
    targets.ExpectFires(false, BothEnginesRun() ? std::optional{false} : std::nullopt, "the editor killed");

    // The uninstaller removes the 64-bit files too; the library that the 64-bit program
    // still maps goes at the next restart.
    ASSERT_TRUE(Uninstall(folder));
    for (const char* file : {"lindle64.dll", "lindle64host.exe"})
        EXPECT_TRUE(!Exists(folder + file) || PendingRenames().find(folder + file) != std::string::npos) << file << " stays for good";
}

// A host that is missing or cannot load its library: the 32-bit engine runs on, and each
// run of the editor says so once.
TEST(Installer64, WithoutAWorkingHostTheEditorSaysSoOnceAndServes32BitPrograms) {
    TwoTargets targets;
    for (const std::string missing : {"lindle64host.exe", "lindle64.dll"}) {
        const std::string file = Installed() + missing;
        // Set aside: Wine's own explorer.exe keeps the library mapped.
        ASSERT_TRUE(MoveFileExW(Wide(file).c_str(), Wide(file + ".aside").c_str(), MOVEFILE_REPLACE_EXISTING)) << missing;
        Editor editor(InstalledFolder());
        HWND box = WaitForWindow("Tarvo");
        EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), "64-bit programs will not get shortcuts: 'lindle64host.exe' could not be started.\n\n"
                                                 "Shortcuts still work in 32-bit programs.") << missing;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitForInputIdle(editor.process, 20000);
        editor.main = FindWindowW(nullptr, L"Vintrel");
        EXPECT_EQ(HostProcesses(), 0) << missing;
        targets.Settle();
        targets.ExpectFires(false, true, "the start without " + missing);
        PostMessageW(editor.main, WM_COMMAND, kTrayStop, 0);
        PostMessageW(editor.main, WM_COMMAND, kTrayStart, 0);
        Sleep(2000);
        EXPECT_EQ(FindWindowW(WC_DIALOG, L"Tarvo"), nullptr) << "told twice without " << missing;
        targets.Settle();
        targets.ExpectFires(false, true, "Start again without " + missing);
        editor.Command(kTrayExit);
        EXPECT_TRUE(editor.Ended());
    }
}

}  // namespace
