// The hooks installed in this process: the message hook reloads the table on the
// broadcast, and in capture mode the keyboard hook hands keystrokes to the capture window.
// Also: a reader never sees a partly reloaded table.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/shortcut_store.h"
#include "engine.h"
#include "test_store.h"

namespace {

std::vector<KeyCombination> captured;
int keyMessages = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_KEYCAPTURED && wParam == 0)
        captured.push_back(*reinterpret_cast<const KeyCombination*>(lParam));
    else if (message == WM_KEYDOWN || message == WM_KEYUP)
        ++keyMessages;
    else
        return DefWindowProcA(window, message, wParam, lParam);
    return 0;
}

// A top-level window in the foreground: it gets the broadcast and the keystrokes.
class Hooks : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TarvoHookTest";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, windowClass.lpszClassName, "hooks", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
            SetForegroundWindow(window);
            teststore::PumpMessages(20);
        }
        ASSERT_EQ(GetForegroundWindow(), window);
        teststore::Clear();
        teststore::CreateRoot();
        LoadShortcutTable();
    }
    void TearDown() override {
        RemoveHooks();
        DestroyWindow(window);
        teststore::Clear();
    }
    // A left Ctrl press and release; pumps until two messages of either kind came, then
    // a little longer for any further one.
    static void PressLeftCtrl() {
        for (DWORD flags : {0ul, static_cast<DWORD>(KEYEVENTF_KEYUP)}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = VK_CONTROL;
            input.ki.wScan = 29;
            input.ki.dwFlags = flags;
            SendInput(1, &input, sizeof input);
        }
        for (int i = 0; i < 250 && keyMessages + captured.size() < 2; ++i) teststore::PumpMessages(20);
        teststore::PumpMessages(200);
    }
    HWND window = nullptr;
};

TEST_F(Hooks, BroadcastReloadsTheTableOnceRetrieved) {
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), nullptr), 1);
    teststore::WriteItem(0, "CTRL + F", "calc.exe");
    teststore::WriteItem(1, "CTRL + G", "notepad.exe");
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0));
    EXPECT_EQ(AcquireShortcutTable()->Count(), 0);
    teststore::PumpMessages(300);
    EXPECT_EQ(AcquireShortcutTable()->Count(), 2);
}

TEST_F(Hooks, CaptureModeHandsLeftCtrlToTheCaptureWindowOnly) {
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), window), 1);
    PressLeftCtrl();
    EXPECT_EQ(keyMessages, 2) << "without capture mode the keystrokes reach the window";
    RemoveHooks();
    keyMessages = 0;

    SetCaptureMode(true);
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), window), 1);
    PressLeftCtrl();
    EXPECT_EQ(keyMessages, 0);
    ASSERT_EQ(captured.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(captured[i].virtualKey, VK_CONTROL);
        EXPECT_EQ(captured[i].scanCode, 29);
        EXPECT_EQ(captured[i].leftCtrl, 1 - i);
        EXPECT_EQ(captured[i].rightCtrl, 0);
        EXPECT_EQ(captured[i].released, i);
    }
}

// One thread reloads from a store that alternates between two contents while another
// reads entries: every entry read belongs wholly to one of them.
TEST(TableConsistency, ReaderNeverSeesAPartlyReloadedTable) {
    teststore::Clear();
    teststore::CreateRoot();
    std::atomic<bool> done{false};
    int reads = 0, torn = 0;
    std::thread reader([&] {
        for (; !done; ++reads) {
            ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
            for (int i = 0; i < table->Count(); ++i) {
                const std::string text = std::string(table->Action(i)) + "|" + table->Script(i);
                const int key = table->Combination(i).virtualKey, type = table->Type(i);
                if (!(key == 'A' && type == 0 && text == "alpha" + std::to_string(i) + "|") &&
                    !(key == 'B' && type == 1 && text == "bravo" + std::to_string(i) + "|echo bravo"))
                    ++torn;
            }
        }
    });
    for (int n = 0; n < 1000; ++n) {
        for (int i = 0; i < 3; ++i) {
            if (n % 2) {
                teststore::WriteItem(i, "LCTRL + A", "alpha" + std::to_string(i));
                teststore::DeleteValue(teststore::ItemPath(i), store::kScript);
            } else {
                teststore::WriteItem(i, "RALT + B", "bravo" + std::to_string(i), 1, "echo bravo");
            }
        }
        EXPECT_EQ(LoadShortcutTable(), 3);
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(reads, 0);
    teststore::Clear();
}

}  // namespace
