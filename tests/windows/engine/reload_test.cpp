// The message hook reloads the table of the process that retrieves the broadcast.
#include <gtest/gtest.h>

#include "core/shortcut_store.h"
#include "engine.h"
#include "test_store.h"

namespace {

class ReloadHook : public ::testing::Test {
protected:
    void SetUp() override {
        teststore::Clear();
        teststore::CreateRoot();
        LoadShortcutTable();
        // A top-level window so that this thread receives broadcasts.
        window = CreateWindowExA(0, "STATIC", "reload target", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        RemoveHooks();
        if (window) DestroyWindow(window);
        teststore::Clear();
    }
    HWND window = nullptr;
};

TEST_F(ReloadHook, BroadcastMessageReloadsTheTableWhileHooksAreInstalled) {
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), nullptr), 1);
    EXPECT_TRUE(HooksInstalled());
    EXPECT_EQ(AcquireShortcutTable()->Count(), 0);

    teststore::WriteItem(0, "CTRL + F", "calc.exe");
    teststore::WriteItem(1, "CTRL + G", "notepad.exe");
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(store::kReloadMessageName), 0, 0));
    teststore::PumpMessages(300);
    ASSERT_EQ(AcquireShortcutTable()->Count(), 2);
    EXPECT_STREQ(AcquireShortcutTable()->Action(1), "notepad.exe");

    // Without the hooks the same broadcast changes nothing.
    EXPECT_TRUE(RemoveHooks());
    EXPECT_FALSE(RemoveHooks());
    teststore::SetDword(teststore::ItemPath(1), store::kDisabled, 1);
    PostMessageA(HWND_BROADCAST, ReloadMessage(), 0, 0);
    teststore::PumpMessages(300);
    EXPECT_EQ(AcquireShortcutTable()->Count(), 2);
}

TEST_F(ReloadHook, InstallIsSafeTwiceAndRemoveSwitchesCaptureOff) {
    ASSERT_EQ(InstallHooks(GetModuleHandleA(nullptr), window), 1);
    EXPECT_EQ(InstallHooks(GetModuleHandleA(nullptr), nullptr), 1);
    SetCaptureMode(true);
    EXPECT_TRUE(RemoveHooks());
    EXPECT_FALSE(HooksInstalled());
}

}  // namespace
