// The engine's loader against the real registry.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/shortcut_store.h"
#include "engine.h"
#include "test_store.h"

namespace {

using teststore::ItemPath;

EngineSettings Settings() { return AcquireShortcutTable()->Settings(); }

// The first test of the program: nothing has been loaded yet.
TEST(TableLoader, RootAndVersionDecideWhetherAnythingLoads) {
    EXPECT_EQ(LoadShortcutTable(), 0) << "no root key";
    EXPECT_TRUE(Settings().removeKeystroke);
    EXPECT_FALSE(Settings().beepAfterKeystroke);
    EXPECT_EQ(Settings().beepType, 48u);

    teststore::WriteItem(0, "CTRL + F", "calc.exe");
    teststore::SetDword(store::kRootPath, store::kBeepType, 16);
    EXPECT_EQ(LoadShortcutTable(), 0) << "root without Version";
    EXPECT_EQ(Settings().beepType, 48u);
    teststore::SetString(store::kRootPath, store::kVersion, "65536");
    EXPECT_EQ(LoadShortcutTable(), 0) << "Version as REG_SZ";
    const std::pair<DWORD, int> versions[] = {{0x0, 1}, {0x20005, 1}, {0x200FF, 1}, {0x30000, 0}, {0x100, 0}};
    for (const auto& [version, loads] : versions) {
        if (!loads) teststore::SetDword(store::kRootPath, store::kBeepType, 64);  // a rejected store keeps 16
        teststore::SetDword(store::kRootPath, store::kVersion, version);
        EXPECT_EQ(LoadShortcutTable(), loads) << std::hex << version;
        EXPECT_EQ(Settings().beepType, 16u) << std::hex << version;
    }
    teststore::CreateRoot();
    teststore::DeleteValue(store::kRootPath, store::kBeepType);
    EXPECT_EQ(LoadShortcutTable(), 1);
    EXPECT_EQ(Settings().beepType, 16u) << "a deleted Beep type keeps its previous value";
}

// Invalid items are dropped, and items are read up to the first missing key and from at
// most 200 keys, however many of them loaded.
TEST(TableLoader, ItemKeys) {
    teststore::CreateRoot();
    for (int i = 0; i < 9; ++i) teststore::WriteItem(i, "CTRL + G", "x.exe");
    teststore::SetDword(ItemPath(0), store::kDisabled, 1);
    teststore::SetDword(ItemPath(1), store::kDisabled, 7);
    teststore::DeleteValue(ItemPath(2), store::kType);
    teststore::SetDword(ItemPath(3), store::kType, 4);
    teststore::SetDword(ItemPath(4), store::kAction, 7);
    teststore::SetString(ItemPath(5), store::kShortcut, "none");
    teststore::SetDword(ItemPath(6), store::kAction, 2);
    teststore::WriteItem(7, "CTRL + G", "x.exe", 1, std::string(9000, 'x'));
    teststore::SetRaw(ItemPath(8), store::kAction, REG_SZ, "notepad", 7);  // no terminator
    teststore::WriteItem(10, "CTRL + G", "after-the-gap.exe");
    ASSERT_EQ(LoadShortcutTable(), 4);
    ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
    EXPECT_EQ(table->Combination(0).virtualKey, 0) << "\"none\" loads as an entry";
    EXPECT_STREQ(table->Action(1), "::{450D8FBA-AD25-11D0-98A8-0800361B1103}");
    EXPECT_EQ(table->Type(2), 1);
    EXPECT_STREQ(table->Script(2), "") << "a 9000-byte script reads as absent";
    EXPECT_STREQ(table->Action(3), "notepad");
    for (int i = 9; i < 205; ++i) teststore::WriteItem(i, "CTRL + L", "item" + std::to_string(i));
    EXPECT_EQ(LoadShortcutTable(), 195);
    EXPECT_STREQ(AcquireShortcutTable()->Action(194), "item199");
}

// One thread reloads from a store that alternates between two contents while another
// reads the table: every table read is wholly one of them.
TEST(TableLoader, ReaderNeverSeesAPartlyReloadedTable) {
    const std::string stores[2] = {"A0a0|;A0a1|;A0a2|;", "B1b0|echo;B1b1|echo;B1b2|echo;"};  // as read below
    teststore::Clear();
    teststore::CreateRoot();
    ASSERT_EQ(LoadShortcutTable(), 0);
    std::atomic<bool> done{false};
    int reads = 0, torn = 0;
    std::thread reader([&] {
        for (; !done; ++reads) {
            ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
            std::string text;
            for (int i = 0; i < table->Count(); ++i)
                text += static_cast<char>(table->Combination(i).virtualKey) + std::to_string(table->Type(i)) +
                        table->Action(i) + "|" + table->Script(i) + ";";
            torn += !text.empty() && text != stores[0] && text != stores[1];
        }
    });
    for (int n = 0; n < 1000; ++n) {
        const int b = n % 2;
        for (int i = 0; i < 3; ++i) {
            teststore::WriteItem(i, b ? "RALT + B" : "LCTRL + A", (b ? "b" : "a") + std::to_string(i), b, "echo");
            if (!b) teststore::DeleteValue(ItemPath(i), store::kScript);
        }
        EXPECT_EQ(LoadShortcutTable(), 3);
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(reads, 0);
}

}  // namespace
