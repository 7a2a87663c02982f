// The list and the shortcut store: what the rows show of the item keys, what saving a row
// writes, the check box, and a store without a version.
#include "editor_steps.h"

namespace {

using teststore::ItemPath;

// A value of an item key as "dword N" or its text.
std::string Stored(int item, const char* name) {
    const DWORD type = teststore::ValueType(ItemPath(item), name);
    if (type == REG_DWORD) return "dword " + std::to_string(teststore::ReadDword(ItemPath(item), name));
    return type == REG_SZ ? teststore::ReadString(ItemPath(item), name) : "type " + std::to_string(type);
}

TEST_F(EditorWindow, TheListHoldsAtMost200ItemsAndEndsAtAGap) {
    for (int n = 0; n < 250; ++n) teststore::SetString(ItemPath(n), store::kShortcut, "F" + std::to_string(n));
    for (int expected : {200, 7}) {
        auto dialog = Open();
        EXPECT_EQ(dialog->List().GetItemCount(), expected);
        dialog->DestroyWindow();
        SHDeleteKeyA(HKEY_CURRENT_USER, ItemPath(7).c_str());
    }
}

// A folder's code shows as its name and goes back as its code; a plain shortcut leaves an
// old "Script" alone.
TEST_F(EditorWindow, RowsShowTheItemKeysAndSavingWritesThemBack) {
    teststore::WriteItem(0, "CTRL + D", "");
    teststore::SetDword(ItemPath(0), store::kAction, 2);
    teststore::WriteItem(1, "ALT + J", "Greeting", 3, "WScript.Echo(1)");
    teststore::WriteItem(2, "CTRL + A", "calc.exe", 0, "old script");
    auto dialog = Open();
    CListCtrl& list = dialog->List();
    for (int row : {0, 1}) {
        LVITEMW item = {LVIF_IMAGE | LVIF_PARAM, row};
        list.SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::string(list.GetItemText(row, 0)) + "|" + list.GetItemText(row, 1).GetString() + "|" + std::to_string(item.iImage) +
                      "|" + std::to_string(item.lParam),
                  row ? "ALT + J|Greeting|3|3" : "CTRL + D|My documents|0|0");
    }
    EXPECT_TRUE(dialog->SaveItem(0, list.GetItemText(0, 0), list.GetItemText(0, 1), "", "", 0, false));
    EXPECT_TRUE(dialog->SaveItem(1, "ALT + K", "My computer", "Hello", "echo hi", 1, false));
    EXPECT_TRUE(dialog->SaveItem(2, "CTRL + B", "notepad.exe", "Editor", "new script", 0, false));
    const std::tuple<int, const char*, const char*> expected[] = {
        {0, store::kAction, "dword 2"},  {1, store::kShortcut, "ALT + K"}, {1, store::kAction, "dword 1"}, {1, store::kDescription, "Hello"},
        {1, store::kScript, "echo hi"},  {1, store::kType, "dword 1"},    {1, store::kDisabled, "dword 0"},
        {2, store::kAction, "notepad.exe"}, {2, store::kScript, "old script"}, {2, store::kType, "dword 0"}};
    for (const auto& [item, name, value] : expected) EXPECT_EQ(Stored(item, name), value) << item << " " << name;
    dialog->DestroyWindow();
}

TEST_F(EditorWindow, TheCheckBoxSavesDisabledAndTellsTheEnginesButSelectingWritesNothing) {
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    teststore::WriteItem(1, "CTRL + B", "cmd.exe", 0, "", true);
    auto dialog = Open();
    CListCtrl& list = dialog->List();
    list.SetCheck(0, FALSE);
    list.SetCheck(1, TRUE);
    EXPECT_EQ(Stored(0, store::kDisabled) + ", " + Stored(1, store::kDisabled), "dword 1, dword 0");
    EXPECT_EQ(Reloads(dialog->m_hWnd), 2);
    // A write would bring the deleted key back.
    SHDeleteKeyA(HKEY_CURRENT_USER, ItemPath(1).c_str());
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_FALSE(teststore::KeyExists(ItemPath(1)));
    EXPECT_EQ(Reloads(dialog->m_hWnd), 0);
    dialog->DestroyWindow();
}

// A store without "Version" (none at all, or another account's begun by hand) gets the
// current one and the keystroke settings it lacks before anything else; a "Version" of any
// type leaves the store as it is.
TEST_F(EditorWindow, AStoreWithoutAVersionIsSetUpAndOneWithAnyVersionLeftAlone) {
    const char* settings[] = {store::kVersion, store::kDoNotRemoveKeystroke, store::kBeepAfterKeystroke, store::kBeepType};
    const struct { const char *value, *expected; } cases[] = {{nullptr, "131076 0 0 48 "}, {store::kBeepType, "131076 0 0 16 "}, {store::kVersion, ""}};
    for (const auto& c : cases) {
        teststore::Clear();
        if (c.value == store::kBeepType) teststore::SetDword(store::kRootPath, store::kBeepType, 16);
        if (c.value == store::kVersion) teststore::SetString(store::kRootPath, store::kVersion, "131076");
        const std::string before = teststore::Snapshot();
        Open()->DestroyWindow();
        std::string stored;
        for (const char* name : settings)
            if (teststore::ValueType(store::kRootPath, name) == REG_DWORD) stored += std::to_string(teststore::ReadDword(store::kRootPath, name)) + " ";
        EXPECT_EQ(stored, c.expected);
        if (!*c.expected) EXPECT_EQ(teststore::Snapshot(), before);
    }
}

}  // namespace
