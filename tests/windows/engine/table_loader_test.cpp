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
        teststore::Clear();
        // Return the engine to its built-in settings: an accepted store that sets them.
        teststore::CreateRoot();
        teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 0);
        teststore::SetDword(store::kRootPath, store::kBeepAfterKeystroke, 0);
        teststore::SetDword(store::kRootPath, store::kBeepType, 48);
        LoadShortcutTable();
        teststore::Clear();
    }
    void TearDown() override { teststore::Clear(); }

    static int Count() { return AcquireShortcutTable()->Count(); }
    static std::string Action(int i) { return AcquireShortcutTable()->Action(i); }
    static EngineSettings Settings() { return AcquireShortcutTable()->Settings(); }
};

TEST_F(TableLoader, NoRootKeyGivesAnEmptyTableWithDefaults) {
    EXPECT_EQ(LoadShortcutTable(), 0);
    EXPECT_TRUE(Settings().removeKeystroke);
    EXPECT_FALSE(Settings().beepAfterKeystroke);
    EXPECT_EQ(Settings().beepType, 48u);
}

TEST_F(TableLoader, VersionDecidesWhetherAnythingLoads) {
    teststore::WriteItem(0, "CTRL + F", "calc.exe");
    teststore::SetDword(store::kRootPath, store::kBeepType, 16);  // root without "Version"
    EXPECT_EQ(LoadShortcutTable(), 0);
    EXPECT_EQ(Settings().beepType, 48u) << "a store without Version sets nothing";

    teststore::SetString(store::kRootPath, store::kVersion, "65536");
    EXPECT_EQ(LoadShortcutTable(), 0) << "Version as REG_SZ counts as absent";

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
}

TEST_F(TableLoader, ItemKeysAreReadUpToTheFirstGapAndAtMost200) {
    teststore::CreateRoot();
    teststore::WriteItem(0, "CTRL + A", "a.exe");
    teststore::WriteItem(1, "CTRL + B", "b.exe");
    teststore::WriteItem(3, "CTRL + D", "d.exe");
    EXPECT_EQ(LoadShortcutTable(), 2);

    teststore::WriteItem(2, "CTRL + C", "c.exe");
    for (int i = 4; i < 205; ++i) teststore::WriteItem(i, "CTRL + E", "item" + std::to_string(i));
    EXPECT_EQ(LoadShortcutTable(), 200);
    EXPECT_EQ(Action(199), "item199");
}

TEST_F(TableLoader, InvalidItemsAreDroppedAndLaterOnesPacked) {
    teststore::CreateRoot();
    teststore::WriteItem(0, "CTRL + A", "disabled.exe", 0, "", true);
    teststore::WriteItem(1, "CTRL + B", "disabled7.exe");
    teststore::SetDword(ItemPath(1), store::kDisabled, 7);
    teststore::WriteItem(2, "CTRL + C", "no-type.exe");
    teststore::DeleteValue(ItemPath(2), store::kType);
    teststore::WriteItem(3, "CTRL + D", "type4.exe", 4);
    teststore::WriteItem(4, "CTRL + E", "", 1, "echo");  // scripts need an action too
    teststore::WriteItem(5, "CTRL + F", "x");
    teststore::SetDword(ItemPath(5), store::kAction, 7);
    teststore::WriteItem(6, "CTRL + G", "x");
    teststore::DeleteValue(ItemPath(6), store::kShortcut);
    teststore::WriteItem(7, "CTRL + H", "x");
    teststore::SetDword(ItemPath(7), store::kShortcut, 1);
    teststore::WriteItem(8, "none", "kept.exe");
    teststore::WriteItem(9, "CTRL + J", "x");
    teststore::SetDword(ItemPath(9), store::kAction, 2);
    teststore::WriteItem(10, "CTRL + K", "enabled.exe", 3, "WScript.Echo 1");
    teststore::SetDword(ItemPath(10), store::kDisabled, 0);

    ASSERT_EQ(LoadShortcutTable(), 3);
    ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
    EXPECT_STREQ(table->Action(0), "kept.exe");
    EXPECT_EQ(table->Combination(0).virtualKey, 0) << "\"none\" still loads as an entry";
    EXPECT_STREQ(table->Action(1), "::{450D8FBA-AD25-11D0-98A8-0800361B1103}");
    EXPECT_EQ(table->Combination(1).virtualKey, 'J');
    EXPECT_STREQ(table->Action(2), "enabled.exe");
    EXPECT_EQ(table->Type(2), 3);
    EXPECT_STREQ(table->Script(2), "WScript.Echo 1");
}

TEST_F(TableLoader, TextValuesAreBoundedAndNeedNoTerminator) {
    teststore::CreateRoot();
    teststore::WriteItem(0, "CTRL + A", "a.exe", 1, std::string(9000, 'x'));
    teststore::WriteItem(1, "CTRL + B", std::string(9000, 'y'));
    teststore::WriteItem(2, "CTRL + C", "c.exe", 1, std::string(8191, 's'));  // 8192 bytes with the NUL
    teststore::WriteItem(3, "CTRL + D", "d.exe");
    const char unterminated[] = {'n', 'o', 't', 'e', 'p', 'a', 'd'};
    teststore::SetRaw(ItemPath(3), store::kAction, REG_SZ, unterminated, sizeof unterminated);
    teststore::WriteItem(4, "CTRL + E", "e.exe");
    const char embedded[] = {'e', '.', 'e', 'x', 'e', '\0', 'j', 'u', 'n', 'k'};
    teststore::SetRaw(ItemPath(4), store::kAction, REG_SZ, embedded, sizeof embedded);

    ASSERT_EQ(LoadShortcutTable(), 4);
    ShortcutTablePublisher::Snapshot table = AcquireShortcutTable();
    EXPECT_STREQ(table->Action(0), "a.exe");
    EXPECT_STREQ(table->Script(0), "") << "a 9000-byte script reads as absent";
    EXPECT_EQ(std::string(table->Script(1)).size(), 8191u);
    EXPECT_STREQ(table->Action(2), "notepad");
    EXPECT_STREQ(table->Action(3), "e.exe");
}

TEST_F(TableLoader, SettingsChangeOnlyWhenPresentWithTheRightType) {
    teststore::CreateRoot();
    teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 1);
    teststore::SetDword(store::kRootPath, store::kBeepAfterKeystroke, 5);
    teststore::SetDword(store::kRootPath, store::kBeepType, 16);
    LoadShortcutTable();
    EXPECT_FALSE(Settings().removeKeystroke);
    EXPECT_TRUE(Settings().beepAfterKeystroke);
    EXPECT_EQ(Settings().beepType, 16u);

    teststore::DeleteValue(store::kRootPath, store::kBeepType);
    teststore::SetString(store::kRootPath, store::kBeepAfterKeystroke, "0");
    teststore::SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 2);
    LoadShortcutTable();
    EXPECT_EQ(Settings().beepType, 16u) << "a deleted Beep type keeps its previous value";
    EXPECT_TRUE(Settings().beepAfterKeystroke);
    EXPECT_TRUE(Settings().removeKeystroke) << "only exactly 1 keeps the keystroke";
}

}  // namespace
