// In capture mode the keyboard hook hands every keystroke to the capture window and
// keeps it from its own window.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "engine.h"
#include "test_store.h"

namespace {

std::vector<KeyCombination> captured;
std::vector<UINT> keyMessages;

LRESULT CALLBACK CaptureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_KEYCAPTURED) {
        EXPECT_EQ(wParam, 0u);
        captured.push_back(*reinterpret_cast<const KeyCombination*>(lParam));
        return 0;
    }
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
        keyMessages.push_back(message);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void SendKey(WORD vk, WORD scan, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Pumps messages until done() holds or a few seconds pass, then a little longer so that
// keystrokes that should not arrive have had their chance.
template <typename Done>
void PumpUntil(Done done) {
    for (int i = 0; i < 250 && !done(); ++i) teststore::PumpMessages(20);
    teststore::PumpMessages(200);
}

HWND CreateForegroundWindow(WNDPROC proc) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TarvoCaptureTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "capture", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    for (int i = 0; window && i < 100 && GetForegroundWindow() != window; ++i) {
        SetForegroundWindow(window);
        teststore::PumpMessages(20);
    }
    SetFocus(window);
    return window;
}

TEST(CaptureMode, LeftCtrlPressAndReleaseGoToTheCaptureWindowOnly) {
    HWND window = CreateForegroundWindow(CaptureWindowProc);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(GetForegroundWindow(), window);
    // Without capture mode the same keystrokes reach the window: the check below can fail.
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), window), 1);
    SendKey(VK_CONTROL, 29, false);
    SendKey(VK_CONTROL, 29, true);
    PumpUntil([] { return keyMessages.size() >= 2; });
    EXPECT_EQ(keyMessages.size(), 2u);
    EXPECT_TRUE(captured.empty());
    RemoveHooks();
    keyMessages.clear();

    SetCaptureMode(true);
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), window), 1);
    SendKey(VK_CONTROL, 29, false);
    SendKey(VK_CONTROL, 29, true);
    PumpUntil([] { return captured.size() >= 2; });
    RemoveHooks();

    EXPECT_TRUE(keyMessages.empty());
    ASSERT_EQ(captured.size(), 2u);
    EXPECT_EQ(captured[0].virtualKey, VK_CONTROL);
    EXPECT_EQ(captured[0].scanCode, 29);
    EXPECT_EQ(captured[0].leftCtrl, 1);
    EXPECT_EQ(captured[0].rightCtrl, 0);
    EXPECT_EQ(captured[0].released, 0);
    EXPECT_EQ(captured[1].virtualKey, VK_CONTROL);
    EXPECT_EQ(captured[1].leftCtrl, 0);
    EXPECT_EQ(captured[1].released, 1);

    // RemoveHooks ended capture mode: reinstalled, the hook passes keystrokes again.
    captured.clear();
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), window), 1);
    SendKey('G', 0x22, false);
    SendKey('G', 0x22, true);
    PumpUntil([] { return keyMessages.size() >= 2; });
    RemoveHooks();
    EXPECT_TRUE(captured.empty());
    EXPECT_EQ(keyMessages.size(), 2u);
    DestroyWindow(window);
}

}  // namespace
