// The engine's loader against the real registry.
#include <gtest/gtest.h>

#include <string>

#include "core/shortcut_store.h"
#include "engine.h"
#include "test_store.h"

namespace {

using teststore::ItemPath;

class TableLoader : public ::testing::Test {
protected:
    void SetUp() override {
        // Put the built-in settings back in force through an accepted store that sets them.
        teststore::Clear();
        teststore::CreateRoot();
        teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 0);
        teststore::SetDword(store::kRootPath, store::kBeepAfterKeystroke, 0);
        teststore::SetDword(store::kRootPath, store::kBeepType, 48);
        LoadShortcutTable();
        teststore::Clear();
    }
    void TearDown() override { teststore::Clear(); }
    static EngineSettings Settings() { return AcquireShortcutTable()->Settings(); }
};

TEST_F(TableLoader, RootAndVersionDecideWhetherAnythingLoads) {
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
    for (DWORD accepted : {0x0u, 0x20005u, 0x200FFu}) {
        teststore::SetDword(store::kRootPath, store::kVersion, accepted);
        EXPECT_EQ(LoadShortcutTable(), 1) << std::hex << accepted;
    }
    EXPECT_EQ(Settings().beepType, 16u);
    teststore::SetDword(store::kRootPath, store::kBeepType, 64);
    for (DWORD rejected : {0x30000u, 0x100u}) {
        teststore::SetDword(store::kRootPath, store::kVersion, rejected);
        EXPECT_EQ(LoadShortcutTable(), 0) << std::hex << rejected;
        EXPECT_EQ(Settings().beepType, 16u) << "a rejected store keeps the settings in force";
    }
    teststore::CreateRoot();
    teststore::DeleteValue(store::kRootPath, store::kBeepType);
    EXPECT_EQ(LoadShortcutTable(), 1);
    EXPECT_EQ(Settings().beepType, 16u) << "a deleted Beep type keeps its previous value";
}

// Invalid items are dropped, items are read up to the first missing key and from at most
// 200 keys, however many of them loaded.
TEST_F(TableLoader, ItemKeys) {
    teststore::CreateRoot();
    teststore::WriteItem(0, "CTRL + A", "disabled.exe", 0, "", true);
    teststore::WriteItem(1, "CTRL + B", "disabled7.exe");
    teststore::SetDword(ItemPath(1), store::kDisabled, 7);
    teststore::WriteItem(2, "CTRL + C", "no-type.exe");
    teststore::DeleteValue(ItemPath(2), store::kType);
    teststore::WriteItem(3, "CTRL + D", "type4.exe", 4);
    teststore::WriteItem(4, "CTRL + E", "");
    teststore::SetDword(ItemPath(4), store::kAction, 7);
    teststore::WriteItem(5, "none", "kept.exe");
    teststore::WriteItem(6, "CTRL + G", "");
    teststore::SetDword(ItemPath(6), store::kAction, 2);
    teststore::WriteItem(7, "CTRL + H", "h.exe", 1, std::string(9000, 'x'));
    teststore::WriteItem(8, "CTRL + J", "");
    teststore::SetRaw(ItemPath(8), store::kAction, REG_SZ, "notepad", 7);
    teststore::WriteItem(10, "CTRL + K", "after-the-gap.exe");

    ASSERT_EQ(LoadShortcutTable(), 4);
    {
        ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
        EXPECT_STREQ(table->Action(0), "kept.exe");
        EXPECT_EQ(table->Combination(0).virtualKey, 0) << "\"none\" loads as an entry";
        EXPECT_STREQ(table->Action(1), "::{450D8FBA-AD25-11D0-98A8-0800361B1103}");
        EXPECT_EQ(table->Combination(1).virtualKey, 'G');
        EXPECT_STREQ(table->Script(2), "") << "a 9000-byte script reads as absent";
        EXPECT_EQ(table->Type(2), 1);
        EXPECT_STREQ(table->Action(3), "notepad");
    }
    for (int i = 9; i < 205; ++i) teststore::WriteItem(i, "CTRL + L", "item" + std::to_string(i));
    EXPECT_EQ(LoadShortcutTable(), 195);
    EXPECT_STREQ(AcquireShortcutTable()->Action(194), "item199");
}

}  // namespace
