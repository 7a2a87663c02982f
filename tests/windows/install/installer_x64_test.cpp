// On 64-bit Windows (here a 64-bit prefix), through the installer and the installed editor:
// the 64-bit engine serves 64-bit programs, where a shortcut fires exactly once, a script
// shortcut runs and a saved change arrives; Stop, Exit or a killed editor leave no hooks
// and no host behind; upgrade and uninstall handle the 64-bit files. Without a working
// host the 32-bit engine serves 32-bit programs, and the user is told once.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <optional>

#include "core/shortcut_store.h"
#include "hotkey_harness.h"
#include "test_paths.h"

namespace {

using namespace e2e;

constexpr UINT kList = 1001, kTrayExit = 141, kTrayStop = 144, kTrayStart = 145;
constexpr DWORD kWait = 30000;

DWORD RunToEnd(const std::string& command) {
    HANDLE process = Launch(command);
    DWORD code = 0xFFFF;
    if (process && WaitForSingleObject(process, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// The installation folder, after a silent install.
std::string Install() {
    EXPECT_EQ(RunToEnd("\"" + WindowsPath(TARVO_BUILD_DIR) + TARVO_SETUP_NAME + "\" /S"), 0u);
    return ReadString(store::kRootPath, store::kInstallationPath, HKEY_LOCAL_MACHINE);
}

HANDLE StartEditor(const std::string& folder) {
    HANDLE editor = Launch("\"" + folder + "vintrel.exe\"");
    WaitForInputIdle(editor, kWait);  // through its start-up: window created, engine started
    return editor;
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
bool BothEnginesRun() { return !GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"); }

// A 64-bit and a 32-bit target, and marker a that left Ctrl + F starts.
struct TwoTargets {
    TwoTargets() {
        WriteItem(0, "CTRL + F", markers.Slashed("a.exe"));
        EXPECT_TRUE(wide.Start());
        EXPECT_TRUE(narrow.Start());
    }
    // Under Wine the first keystrokes after hooks were installed anew can pass a target
    // before the hooks reach it: unbound keys go first.
    void Settle() {
        for (int i = 0; i < 3; ++i, Sleep(300))
            for (Target* target : {&wide, &narrow}) target->Type("");
    }
    // In each target, Ctrl + F fires marker a exactly once and leaves only Ctrl, or reaches
    // the target whole.
    void ExpectFires(bool wideFires, std::optional<bool> narrowFires, const std::string& after) {
        for (auto [target, fires] : {std::pair{&wide, std::optional{wideFires}}, {&narrow, narrowFires}}) {
            if (!fires) continue;
            const char* kind = target == &wide ? " in the 64-bit program" : " in the 32-bit program";
            EXPECT_EQ(target->Type("+c+F-F-c"), *fires ? "+c-c" : "+c+F-F-c") << after << kind;
            EXPECT_EQ(markers.Launched(*fires), *fires ? "a" : "") << after << kind;
        }
    }
    Target markers{"tarvo-markers", "ab"};
    Target wide{"tarvo-x64", "", WindowsPath(TARVO_X64_TEST_DIR) + "key_target.exe"};
    Target narrow{"tarvo-x86", ""};
};

TEST(Installer64, BothEnginesServeTheirProgramsAndEndWithTheEditor) {
    const std::string folder = Install();
    EXPECT_NE(folder.find("Program Files (x86)"), std::string::npos) << folder;
    for (const char* file : {"lindle64.dll", "lindle64host.exe"})
        EXPECT_EQ(ReadFile(folder + file), ReadFile(BinaryDir() + file)) << file;
    TwoTargets targets;
    WriteItem(1, "CTRL + G", "batch", ScriptBatch, "@\"" + targets.markers.path + "b.exe\"\r\n");
    HANDLE editor = StartEditor(folder);
    EXPECT_EQ(HostProcesses(), 1);
    targets.Settle();
    targets.ExpectFires(true, BothEnginesRun(), "the start");
    targets.wide.Type("");
    Send("+c+G-G");  // a script's console window may take the foreground meanwhile
    EXPECT_EQ(targets.markers.Launched(1), "b") << "the script shortcut in the 64-bit program";
    EXPECT_EQ(targets.wide.Type("-c"), "+c-c");

    // The row's box unchecked and checked again: the editor saves and both engines reload.
    HWND main = FindWindowA(nullptr, "Vintrel"), list = GetDlgItem(main, kList);
    for (const bool enabled : {false, true}) {
        SetRowState(list, 0, INDEXTOSTATEIMAGEMASK(enabled ? 2 : 1), LVIS_STATEIMAGEMASK);
        ASSERT_EQ(ReadDword(ItemPath(0), store::kDisabled), enabled ? 0u : 1u);
        targets.ExpectFires(enabled, enabled && BothEnginesRun(), enabled ? "enabled again" : "disabled");
    }

    SendMessageA(main, WM_COMMAND, kTrayStop, 0);
    EXPECT_EQ(HostProcesses(), 0) << "Stop";
    targets.ExpectFires(false, false, "Stop");
    SendMessageA(main, WM_COMMAND, kTrayStart, 0);
    targets.Settle();
    targets.ExpectFires(true, BothEnginesRun(), "Start");
    SendMessageA(main, WM_COMMAND, kTrayExit, 0);
    EXPECT_EQ(WaitForSingleObject(editor, kWait), WAIT_OBJECT_0);
    EXPECT_TRUE(WaitFor([] { return HostProcesses() == 0; })) << "Exit";
    targets.ExpectFires(false, false, "Exit");

    // An upgrade while the 64-bit program still has the library mapped.
    EXPECT_EQ(Install(), folder);
    editor = StartEditor(folder);
    targets.Settle();
    targets.ExpectFires(true, BothEnginesRun(), "the upgrade");
    TerminateProcess(editor, 1);
    ASSERT_EQ(WaitForSingleObject(editor, kWait), WAIT_OBJECT_0);
    EXPECT_TRUE(WaitFor([] { return HostProcesses() == 0; })) << "the editor killed";
    // Windows removes a dead thread's hooks; Wine keeps global ones but for low-level hooks,
    // so there the killed editor's 32-bit hooks stay.
    targets.ExpectFires(false, BothEnginesRun() ? std::optional{false} : std::nullopt, "the editor killed");

    // The uninstaller removes the 64-bit files too; the library that the 64-bit program
    // still maps goes at the next restart.
    ASSERT_EQ(RunToEnd("\"" + folder + "uninstall.exe\" /S"), 0u);
    ASSERT_TRUE(WaitFor([] { return !KeyExists(store::kRootPath, HKEY_LOCAL_MACHINE); }));
    char pending[65536] = "";
    DWORD size = sizeof pending - 1;
    if (SHGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                    "PendingFileRenameOperations", nullptr, pending, &size) != ERROR_SUCCESS)
        size = 0;
    std::replace(pending, pending + size, '\0', '\n');
    for (const char* file : {"lindle64.dll", "lindle64host.exe"})
        EXPECT_TRUE(GetFileAttributesA((folder + file).c_str()) == INVALID_FILE_ATTRIBUTES ||
                    strstr(pending, (folder + file).c_str()))
            << file << " stays for good";
}

// A host that is missing or cannot load its library: the 32-bit engine runs on, and each
// run of the editor says so once.
TEST(Installer64, WithoutAWorkingHostTheEditorSaysSoOnceAndServes32BitPrograms) {
    TwoTargets targets;
    for (const char* missing : {"lindle64host.exe", "lindle64.dll"}) {
        const std::string folder = Install();
        // Set aside: Wine's own explorer.exe keeps the library mapped.
        const std::string file = folder + missing;
        ASSERT_TRUE(MoveFileExA(file.c_str(), (file + ".aside").c_str(), MOVEFILE_REPLACE_EXISTING)) << missing;
        HANDLE editor = Launch("\"" + folder + "vintrel.exe\"");
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = FindWindowA("#32770", "Tarvo")) != nullptr; })) << missing;
        wchar_t text[200] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 200);
        EXPECT_STREQ(text, L"64-bit programs will not get shortcuts: 'lindle64host.exe' could not be started.\n\n"
                           L"Shortcuts still work in 32-bit programs.");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        WaitForInputIdle(editor, kWait);
        EXPECT_EQ(HostProcesses(), 0) << missing;
        targets.Settle();
        targets.ExpectFires(false, true, std::string("the start without ") + missing);

        HWND main = FindWindowA(nullptr, "Vintrel");
        PostMessageA(main, WM_COMMAND, kTrayStop, 0);
        PostMessageA(main, WM_COMMAND, kTrayStart, 0);
        Sleep(2000);
        EXPECT_EQ(FindWindowA("#32770", "Tarvo"), nullptr) << "told twice without " << missing;
        targets.Settle();
        targets.ExpectFires(false, true, std::string("Start again without ") + missing);
        SendMessageA(main, WM_COMMAND, kTrayExit, 0);
        EXPECT_EQ(WaitForSingleObject(editor, kWait), WAIT_OBJECT_0);
    }
}

}  // namespace
