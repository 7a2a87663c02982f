// The message hook's reload on the broadcast, RunScript against the real temporary folder
// and shell, and which actions open through Explorer.
#include <gtest/gtest.h>

#include <ctime>
#include <thread>

#include "core/shortcut_store.h"
#include "engine.h"
#include "engine_state.h"
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
    Sleep(20);  // the reload starts in a later tick than the copies were posted in
    teststore::PumpMessages(300);
    ASSERT_EQ(itemsAdded, 3);
    EXPECT_EQ(AcquireShortcutTable()->Count(), 0);
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, reloadMessage, 0, 0));
    teststore::PumpMessages(300);
    EXPECT_GE(AcquireShortcutTable()->Count(), 3);
    RemoveHooks();
}

// The message hook as the system calls it when a copy of the broadcast leaves the queue.
void Deliver(HWND window, DWORD time) {
    MSG message{window, reloadMessage, 0, 0, time, {}};
    ReloadHookProc(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&message));
}

// A save whose broadcast is stamped with the tick in which the last reload began may have
// been written after that reload read the store: its copy reloads, even one for another
// window of the process while the window that reloaded is alive. A copy posted before a
// reload began is skipped.
TEST(Hooks, ASaveInTheTickOfTheLastReloadIsNotMissed) {
    reloadMessage = RegisterWindowMessageA(store::kReloadMessageName);
    HWND windows[2];
    for (HWND& window : windows)
        window = CreateWindowExA(0, "STATIC", "saves", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    teststore::Clear();
    teststore::CreateRoot();
    for (int round = 0; round < 5; ++round) {
        teststore::WriteItem(0, "CTRL + G", "calc.exe", 0, "", true);
        for (const DWORD now = GetTickCount(); GetTickCount() == now;) {}  // a tick has just begun
        const DWORD tick = GetTickCount();
        Deliver(windows[0], tick);
        teststore::SetDword(teststore::ItemPath(0), store::kDisabled, 0);
        Deliver(windows[1], tick);
        EXPECT_EQ(AcquireShortcutTable()->Count(), 1) << "round " << round;
    }
    teststore::SetDword(teststore::ItemPath(0), store::kDisabled, 1);
    Deliver(windows[1], GetTickCount() - 100);
    EXPECT_EQ(AcquireShortcutTable()->Count(), 1);
    for (HWND window : windows) DestroyWindow(window);
}

// A start whose keyboard hook failed leaves the message hook alone; stopping removes it.
TEST(Hooks, RemovingTakesAMessageHookThatIsAlone) {
    EngineState& engine = Engine();
    ASSERT_EQ(engine.keyboardHook, nullptr);
    engine.messageHook = SetWindowsHookExA(WH_GETMESSAGE, ReloadHookProc, GetModuleHandleA(nullptr), 0);
    ASSERT_NE(engine.messageHook, nullptr);
    EXPECT_TRUE(RemoveHooks());
    EXPECT_EQ(engine.messageHook, nullptr);
    EXPECT_FALSE(RemoveHooks());
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
