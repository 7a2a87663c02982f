// The message hook reloads the table of the process that retrieves the broadcast.
#include <gtest/gtest.h>

#include <string>

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

namespace {

// One thread reloads from a store whose contents alternate while another reads entries
// through snapshots: every entry read belongs wholly to one of the two stores.
struct StressShared {
    volatile LONG done = 0;
    volatile LONG reads = 0;
    volatile LONG torn = 0;
};

DWORD WINAPI ReadEntries(void* parameter) {
    StressShared& shared = *static_cast<StressShared*>(parameter);
    while (!shared.done) {
        ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
        for (int i = 0; i < table->Count(); ++i) {
            const std::string action = table->Action(i);
            const uint16_t key = table->Combination(i).virtualKey;
            const bool storeA = key == 'A' && table->Type(i) == 0 && action == "alpha" + std::to_string(i) &&
                                std::string(table->Script(i)).empty();
            const bool storeB = key == 'B' && table->Type(i) == 1 && action == "bravo" + std::to_string(i) &&
                                std::string(table->Script(i)) == "echo bravo";
            if (!storeA && !storeB) InterlockedIncrement(&shared.torn);
        }
        InterlockedIncrement(&shared.reads);
    }
    return 0;
}

TEST(TableConsistency, ReaderNeverSeesAPartlyReloadedTable) {
    teststore::Clear();
    teststore::CreateRoot();
    StressShared shared;
    HANDLE reader = CreateThread(nullptr, 0, ReadEntries, &shared, 0, nullptr);
    ASSERT_NE(reader, nullptr);
    for (int n = 0; n < 1000; ++n) {
        for (int i = 0; i < 3; ++i) {
            if (n % 2)
                teststore::WriteItem(i, "LCTRL + A", "alpha" + std::to_string(i));
            else
                teststore::WriteItem(i, "RALT + B", "bravo" + std::to_string(i), 1, "echo bravo");
            if (n % 2) teststore::DeleteValue(teststore::ItemPath(i), store::kScript);
        }
        ASSERT_EQ(LoadShortcutTable(), 3);
    }
    shared.done = 1;
    WaitForSingleObject(reader, INFINITE);
    CloseHandle(reader);
    EXPECT_EQ(shared.torn, 0);
    EXPECT_GT(shared.reads, 0);
    teststore::Clear();
}

}  // namespace
