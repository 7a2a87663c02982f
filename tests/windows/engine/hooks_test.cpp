// The message hook's reload on the broadcast, the keyboard hook in the process that
// installed it, RunScript against the real temporary folder and shell, and which actions
// open through Explorer.
#include <gtest/gtest.h>

#include <ctime>
#include <thread>

#include "core/shortcut_store.h"
#include "core/keystroke_decision.h"
#include "engine.h"
#include "hotkey_harness.h"
#include "launcher.h"
#include "script_runner.h"
#include "test_store.h"

namespace {

UINT reloadMessage = 0;
int itemsAdded = 0;

// On each reload broadcast it gets, adds an item to the store.
LRESULT CALLBACK AddingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == reloadMessage) teststore::WriteItem(itemsAdded++, "CTRL + G", "calc.exe");
    return DefWindowProcA(window, message, wParam, lParam);
}

// A broadcast leaves a copy for each top-level window of the thread; the table is read
// once for it, not once per copy (a reload per copy would see the items that the copies
// before it added). The next broadcast reloads again.
TEST(Hooks, OneBroadcastReloadsOnceForAllWindows) {
    teststore::Clear();
    teststore::CreateRoot();
    reloadMessage = RegisterWindowMessageA(store::kReloadMessageName);
    for (int i = 0; i < 3; ++i) {
        HWND window = CreateWindowExA(0, "STATIC", "copies", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AddingWindowProc));
    }
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), nullptr), 1);
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, reloadMessage, 0, 0));
    teststore::PumpMessages(300);
    ASSERT_EQ(itemsAdded, 3);
    // Copies posted across a millisecond's edge carry two time stamps: at most one more read.
    EXPECT_LE(AcquireShortcutTable()->Count(), 1);
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, reloadMessage, 0, 0));
    teststore::PumpMessages(300);
    EXPECT_GE(AcquireShortcutTable()->Count(), 3);
    RemoveHooks();
}

// Windows calls the keyboard hook of the process that installed it for the keystrokes of
// programs of the other bitness too (Wine never does), with that program's window in
// front. Such a call must pass on untouched and launch nothing, or a program of either
// bitness would launch twice; the same keystrokes with this process's window in front
// fire. The hooks are this thread's only, so that the test program stays out of the target.
TEST(Hooks, TheInstallingProcessLeavesKeystrokesForOtherProcessesAlone) {
    e2e::Target target("tarvo-marshalled", "a");
    teststore::Clear();
    teststore::CreateRoot();
    teststore::WriteItem(0, "F", target.Slashed("a.exe"));
    ASSERT_EQ(LoadShortcutTable(), 1);
    ASSERT_TRUE(target.Start());
    HWND own = CreateWindowExA(0, "STATIC", "own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 50, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), own), 1);
    using namespace keystroke;
    const LPARAM press = 1 | (33 << kScanCodeShift), release = press | kPreviousStateBit | kTransitionBit;
    const struct {
        HWND front;
        bool fires;
    } cases[] = {{target.Window(), false}, {own, true}};
    for (const auto& [front, fires] : cases) {
        for (int i = 0; i < 100 && GetForegroundWindow() != front; ++i, Sleep(20)) SetForegroundWindow(front);
        ASSERT_EQ(GetForegroundWindow(), front);
        EXPECT_EQ(KeyboardHookProc(HC_ACTION, 'F', press) == -1, fires);
        EXPECT_EQ(KeyboardHookProc(HC_ACTION, 'F', release) == -1, fires);
        EXPECT_EQ(target.Launched(fires), fires ? "a" : "");
    }
    RemoveHooks();
    DestroyWindow(own);
    teststore::Clear();
}

// Runs started in the same second keep their own files and leave none behind; other types
// and a missing temporary folder run nothing; an empty script never blocks.
TEST(RunScript, SameSecondRunsAndTheTemporaryFolder) {
    const std::string temp = teststore::TempDirectory(), out = temp + "tarvo-scripts\\", names[2] = {"first", "second"};
    CreateDirectoryA(out.c_str(), nullptr);
    for (int type : {0, 4}) EXPECT_EQ(RunScript(type, "echo x"), ScriptTypeUnknown) << type;
    int results[2] = {-1, -1};
    time_t started[2] = {0, 1};
    auto run = [&](int i) {  // each lingers so that the other starts while it runs
        const std::string text = "@echo " + names[i] + "> \"" + out + names[i] + "\"\r\n@ping -n 2 127.0.0.1 >nul\r\n";
        started[i] = time(nullptr);
        results[i] = RunScript(ScriptBatch, text.c_str());
    };
    for (const time_t now = time(nullptr); time(nullptr) == now;) Sleep(1);  // just after a second begins
    std::thread other(run, 1);
    run(0);
    other.join();
    EXPECT_EQ(started[0], started[1]);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(results[i], ScriptRan);
        EXPECT_EQ(teststore::ReadFile(out + names[i]), names[i] + "\r\n");
    }
    EXPECT_EQ(teststore::ScriptFiles(), std::vector<std::string>{});
    // Wine's shell refuses an empty batch file; the call must return, not wait on an error box.
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    EXPECT_EQ(RunScript(ScriptBatch, ""), wine ? ScriptOpenFailed : ScriptRan);
    for (const std::string& name : teststore::ScriptFiles()) DeleteFileA((temp + name).c_str());

    for (const char* name : {"TMP", "TEMP"}) SetEnvironmentVariableA(name, "C:\\tarvo-no-such-folder");
    EXPECT_EQ(RunScript(ScriptBatch, "echo x"), ScriptCreateFailed);
    for (const char* name : {"TMP", "TEMP"}) SetEnvironmentVariableA(name, temp.c_str());
}

TEST(Launch, ExplorerOpensShellFoldersDrivesAndNetworkPaths) {
    for (const char* yes : {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "C:\\", "d:\\tools\\x.exe", "\\\\server\\share"})
        EXPECT_TRUE(OpensThroughExplorer(yes)) << yes;
    for (const char* no : {"calc.exe", "C:/tools/x.exe", "C:", ":", "\\single", "http://example.com/", ""})
        EXPECT_FALSE(OpensThroughExplorer(no)) << no;
}

}  // namespace
