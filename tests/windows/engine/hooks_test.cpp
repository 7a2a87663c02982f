// The hooks installed in this process: the message hook reloads the table on the
// broadcast, and in capture mode the keyboard hook hands keystrokes to the capture
// window. And RunScript, which the keyboard hook calls, against the real temporary
// folder and shell.
#include <gtest/gtest.h>

#include <ctime>
#include <thread>
#include <tuple>

#include "core/shortcut_store.h"
#include "engine.h"
#include "launcher.h"
#include "script_runner.h"
#include "test_store.h"

namespace {

std::vector<KeyCombination> captured;
int keyMessages = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_KEYCAPTURED && wParam == 0) captured.push_back(*reinterpret_cast<KeyCombination*>(lParam));
    keyMessages += message == WM_KEYDOWN || message == WM_KEYUP;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Hooks, BroadcastReloadsTheTableAndCaptureModeTakesLeftCtrl) {
    // A top-level window in the foreground: it gets the broadcast and the keystrokes.
    HWND window = CreateWindowExA(0, "STATIC", "hooks", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, teststore::PumpMessages(20))
        SetForegroundWindow(window);
    ASSERT_EQ(GetForegroundWindow(), window);
    teststore::CreateRoot();

    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), window), 1);
    teststore::WriteItem(0, "CTRL + F", "calc.exe");
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0));
    EXPECT_EQ(AcquireShortcutTable()->Count(), 0);
    teststore::PumpMessages(300);
    EXPECT_EQ(AcquireShortcutTable()->Count(), 1);

    // A left Ctrl press and release reach the window; in capture mode they reach the
    // capture window only.
    for (int expected : {2, 0}) {
        keyMessages = 0;
        RemoveHooks();
        SetCaptureMode(expected == 0);
        ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), window), 1);
        teststore::Send("+c-c");
        for (int i = 0; i < 250 && keyMessages + captured.size() < 2; ++i) teststore::PumpMessages(20);
        teststore::PumpMessages(200);  // for any further message
        EXPECT_EQ(keyMessages, expected);
    }
    RemoveHooks();
    ASSERT_EQ(captured.size(), 2u);
    for (int i = 0; i < 2; ++i) {  // virtual key, scan code, left and right Ctrl, released
        const KeyCombination& key = captured[i];
        EXPECT_EQ(std::make_tuple(key.virtualKey, key.scanCode, key.leftCtrl, key.rightCtrl, key.released),
                  std::make_tuple(VK_CONTROL, 29, 1 - i, 0, i));
    }
}

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

// Other types do nothing; a batch file holds exactly the text and goes once run; runs
// started in the same second keep their own files; without a temporary folder nothing
// runs; an empty script never blocks. (VBScript and JScript: see the end-to-end test.)
TEST(RunScript, TypesFilesAndTheTemporaryFolder) {
    const std::string temp = teststore::TempDirectory(), out = temp + "tarvo-scripts\\", names[2] = {"first", "second"};
    CreateDirectoryA(out.c_str(), nullptr);
    for (int type : {0, 4}) EXPECT_EQ(RunScript(type, "echo x"), ScriptTypeUnknown) << type;
    // The script copies itself aside, so the file's bytes can be checked after its deletion.
    const std::string batch = "@copy /y %0 \"" + out + "self.txt\" >nul\r\n";
    EXPECT_EQ(RunScript(ScriptBatch, batch.c_str()), ScriptRan);
    EXPECT_EQ(teststore::ReadFile(out + "self.txt"), batch);

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

    // An empty batch file runs on Windows; Wine's shell refuses it, and the file stays as
    // after any failed open. Either way the call returns instead of waiting on an error box
    // that nobody in a host process would see.
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    EXPECT_EQ(RunScript(ScriptBatch, ""), wine ? ScriptOpenFailed : ScriptRan);
    EXPECT_EQ(teststore::ScriptFiles().size(), wine ? 1u : 0u);
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
