// The shortcut store: the registry layer, what the list's rows show of the item keys and what saving a row writes.
#include "editor_steps.h"

// 200 rows at most, up to a gap; a folder's code shows as its name; a tick saves and reloads, a selection writes nothing.
TEST_F(EditorWindow, RowsShowTheItemKeysSavingWritesThemAndTheRegistryLayerBeneath) {
    WriteItem(0, "CTRL + D", "");
    SetDword(ItemPath(0), store::kAction, 2);
    WriteItem(1, "ALT + J", "Greeting", 3, "WScript.Echo(1)");
    WriteItem(2, "CTRL + A", "calc.exe", 0, "old script", true);
    for (int n = 3; n < 250; ++n) SetString(ItemPath(n), store::kShortcut, "F" + std::to_string(n));
    auto dialog = Open();
    CListCtrl& list = dialog->List();
    EXPECT_EQ(list.GetItemCount(), 200);
    for (int row : {0, 1}) {
        LVITEMW item = {LVIF_IMAGE | LVIF_PARAM, row};
        list.SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(std::string(list.GetItemText(row, 0)) + "|" + list.GetItemText(row, 1).GetString() + "|" + std::to_string(item.iImage) +
                      "|" + std::to_string(item.lParam), row ? "ALT + J|Greeting|3|3" : "CTRL + D|My documents|0|0");
    }
    list.SetCheck(0, FALSE);
    list.SetCheck(2, TRUE);
    EXPECT_EQ(Stored(ItemPath(0), store::kDisabled) + ", " + Stored(ItemPath(2), store::kDisabled), "dword 1, dword 0");
    EXPECT_EQ(Reloads(dialog->m_hWnd), 2);
    SHDeleteKeyW(HKEY_CURRENT_USER, Wide(ItemPath(3)).c_str());  // a write would bring it back
    list.SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_TRUE(!KeyExists(ItemPath(3)) && Reloads(dialog->m_hWnd) == 0);

    EXPECT_TRUE(dialog->SaveItem(0, list.GetItemText(0, 0), list.GetItemText(0, 1), "", "", 0, false));
    EXPECT_TRUE(dialog->SaveItem(1, "ALT + K", "My computer", "Hello", "echo hi", 1, false));
    EXPECT_TRUE(dialog->SaveItem(2, "CTRL + B", "notepad.exe", "Editor", "new script", 0, false));
    const std::tuple<int, const char*, const char*> expected[] = {
        {0, store::kAction, "dword 2"},  {1, store::kShortcut, "ALT + K"}, {1, store::kAction, "dword 1"}, {1, store::kDescription, "Hello"},
        {1, store::kScript, "echo hi"},  {1, store::kType, "dword 1"},    {1, store::kDisabled, "dword 0"},
        {2, store::kAction, "notepad.exe"}, {2, store::kScript, "old script"}, {2, store::kType, "dword 0"}};
    for (const auto& [item, name, value] : expected) EXPECT_EQ(Stored(ItemPath(item), name), value) << item << " " << name;
    dialog.reset();
    EXPECT_EQ(Open()->List().GetItemCount(), 3);

    // Beneath: reads give the default unless type and size fit, no write to "", deletes take subtrees; a store gets a missing "Version".
    const CRegistryKey key(ItemPath(3).c_str(), HKEY_CURRENT_USER, 16);
    EXPECT_TRUE(key.WriteDword("Number", 12) && key.WriteString("Text", "12"));
    SetString(ItemPath(3), "Long", std::string(16, 'x'));  // 17 bytes with the terminator
    EXPECT_EQ(std::to_string(key.ReadDword("Text", 1)) + key.ReadString("Number", "d").GetString() + key.ReadString("Long", "e").GetString(), "1de");
    using V = CRegistryValue;
    V values[] = {{"Number", V::Number}, {"Number", V::Text}, {"Text", V::Text}, {"Text", V::Number}, {"Long", V::Text}, {"Absent", V::Text}};
    ASSERT_TRUE(key.ReadValues(values, 6));
    std::string found;
    for (const V& value : values) found += value.found ? std::to_string(value.number) + value.string.GetString() + " " : "- ";
    EXPECT_EQ(found + (CRegistryKey(ItemPath(300).c_str(), HKEY_CURRENT_USER, 16).ReadValues(values, 1) ? "absent key read" : ""), "12 - 012 - - - ");

    const CRegistryKey empty("", HKEY_CURRENT_USER, 1024);
    EXPECT_FALSE(empty.WriteDword("TarvoProbe", 1) || empty.WriteString("TarvoProbe", "x") || ValueExists("", "TarvoProbe"));
    WriteItem(0, "CTRL + A", "a.exe");
    SetString(ItemPath(1) + "\\Nested\\Deeper", "Value", "x");
    EXPECT_TRUE(CRegistryKey(store::kRootPath, HKEY_CURRENT_USER, 1024).DeleteSubKey("1") && !KeyExists(ItemPath(1)) && KeyExists(ItemPath(0)));

    // No "Version" (none, or a store begun by hand): it and the settings it lacks are set; one of any type leaves all alone.
    const struct { const char *value, *expected; } cases[] = {{nullptr, "dword 131076 dword 0 dword 0 dword 48 "},
        {store::kBeepType, "dword 131076 dword 0 dword 0 dword 16 "}, {store::kVersion, "131076 none none none "}};
    for (const auto& c : cases) {
        Clear();
        if (c.value == store::kBeepType) SetDword(store::kRootPath, store::kBeepType, 16);
        if (c.value == store::kVersion) SetString(store::kRootPath, store::kVersion, "131076");
        Open();
        std::string stored;
        for (const char* name : {store::kVersion, store::kDoNotRemoveKeystroke, store::kBeepAfterKeystroke, store::kBeepType})
            stored += Stored(store::kRootPath, name) + " ";
        EXPECT_EQ(stored, c.expected);
    }
}
