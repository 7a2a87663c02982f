// The list window's item commands: limit, Edit, Delete, Run script, and the engine around the edit dialog.
#include "editor_steps.h"

const UINT kAdds[] = {IDC_ADD, ID_ADD_SHORTCUT, IDC_ADD_SCRIPT, ID_ADD_BATCH, ID_ADD_VBSCRIPT, ID_ADD_JSCRIPT, ID_EDIT_ITEM};
const std::string kDeleteQuestion = "Vintrel: Are you sure you want to delete the items?";

// What the edit dialog of command shows, the engine meanwhile and after it; action is typed, then button.
static std::string EditDialog(CShortcutsDlg& window, UINT command, int button = IDCANCEL, const char* action = nullptr) {
    std::string seen;
    Modal(window, command, [&](HWND dialog) {
        HWND script = GetDlgItem(dialog, IDC_SCRIPT);
        const LRESULT type = SendDlgItemMessageW(dialog, IDC_SCRIPT_TYPE, CB_GETCURSEL, 0, 0);
        seen = Text(dialog) + ": " + Text(GetDlgItem(dialog, IDC_SHORTCUT_TEXT)) + ", " + Text(GetDlgItem(dialog, IDC_ACTION)) + ", " +
               (script ? Text(script) : "-") + ", type entry " + std::to_string(type) + (window.EngineRunning() ? ", running" : ", stopped");
        if (action) SetText(GetDlgItem(dialog, IDC_ACTION), action);
        PostMessageW(dialog, WM_COMMAND, button, 0);
    });
    return seen + (window.EngineRunning() ? ", then running" : ", then stopped");
}

static std::string StoredShortcuts(int from) {
    std::string texts;
    for (int item = from; KeyExists(ItemPath(item)); ++item) texts += ReadString(ItemPath(item), store::kShortcut) + " ";
    return texts;
}

// A full list refuses every Add but Edit; Delete asks once, and the later rows move up a key, after the last row too.
TEST_F(EditorWindow, AFullListRefusesAddsAndDeleteMovesTheRowsUp) {
    for (int item = 0; item < store::kMaxItems; ++item) WriteItem(item, "F" + std::to_string(item), "calc.exe");
    auto window = Open();
    CListCtrl& list = window->List();
    for (UINT command : kAdds)
        EXPECT_EQ(Reported(*window, command), std::string(AfxGetAppName()) + ": Maximum shortcuts reached. Please delete unused items first.");
    Select(list, {5});
    EXPECT_EQ(EditDialog(*window, IDC_EDIT_ITEM), "Edit shortcut: F5, calc.exe, -, type entry 0, stopped, then running");
    Select(list, {2, 5});
    EXPECT_EQ(Reported(*window, ID_DELETE_ITEM, IDNO), kDeleteQuestion);
    EXPECT_EQ(std::to_string(list.GetItemCount()) + " " + StoredShortcuts(0).substr(0, 12) + StoredShortcuts(197), "200 F0 F1 F2 F3 F197 F198 F199 ");
    EXPECT_EQ(Reported(*window, IDC_DELETE, IDYES), kDeleteQuestion);
    EXPECT_EQ(std::string(list.GetItemText(2, 0)) + " " + std::to_string(list.GetItemCount()), "F3 199");
    EXPECT_EQ(StoredShortcuts(0).substr(0, 12) + StoredShortcuts(196), "F0 F1 F3 F4 F197 F198 F199 ");
    Select(list, {198});
    EXPECT_EQ(Reported(*window, ID_DELETE_ITEM, IDYES), kDeleteQuestion);
    EXPECT_EQ(StoredShortcuts(196), "F197 F198 ");
}

// The engine stops for the edit dialog, runs after it unless the window ended meanwhile; text of any script is stored intact.
TEST_F(EditorWindow, EditRunScriptAndTextOfAnyScriptInTheDialogs) {
    const std::string marker = TempDirectory() + "tarvo-run-script.txt";
    WriteItem(0, "none", "calc.exe", 0, "", true);
    WriteItem(1, "ALT + J", "Greeting", ScriptVBScript, "WScript.Echo(1)");
    WriteItem(2, "CTRL + B", "Marker", ScriptBatch, "@echo ran> \"" + marker + "\"\r\n");
    WriteItem(3, "CTRL + A", "calc.exe");
    auto window = Open();
    CListCtrl& list = window->List();
    window->SendMessage(WM_COMMAND, ID_TRAY_STOP);
    EXPECT_EQ(EditDialog(*window, ID_EDIT_ITEM), "Add shortcut: none, , -, type entry 0, stopped, then running");
    Select(list, {1});
    EXPECT_EQ(EditDialog(*window, ID_EDIT_ITEM), "Edit script: ALT + J, Greeting, WScript.Echo(1), type entry 1, stopped, then running");
    EXPECT_EQ(EditDialog(*window, IDC_ADD_SCRIPT, IDOK, "No type"), "Add script: none, , , type entry -1, stopped, then running");
    EXPECT_TRUE(list.GetItemCount() == 4 && !KeyExists(ItemPath(4)));

    EXPECT_EQ(Reported(window->m_hWnd, [&] { list.SetCheck(0, TRUE); }), "Vintrel: Only items with a valid shortcut can be enabled.");
    EXPECT_TRUE(!list.GetCheck(0) && ReadDword(ItemPath(0), store::kDisabled) == 1);
    Select(list, {2});
    window->SendMessage(WM_COMMAND, ID_RUN_SCRIPT);
    EXPECT_EQ(ReadFile(marker), "ran\r\n");
    Select(list, {0, 2});
    EXPECT_EQ(Reported(*window, IDC_RUN_SCRIPT), std::string(AfxGetAppName()) + ": Failed to create the script.");

    const std::string text = kWorldText, both = text + " " + text;
    const std::string stored = "1:" + std::string(reinterpret_cast<const char*>(Wide(both).c_str()), (Wide(both).size() + 1) * 2);  // REG_SZ, whole
    const std::pair<int, const char*> boxes[] = {{IDC_ACTION, store::kAction}, {IDC_DESCRIPTION, store::kDescription}, {IDC_SCRIPT, store::kScript}};
    for (int row : {2, 3}) {
        Select(list, {row});
        Modal(*window, ID_EDIT_ITEM, [&](HWND dialog) {
            for (const auto& [id, name] : boxes)
                if (HWND box = GetDlgItem(dialog, id)) {
                    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);  // selects the text
                    TypeText(text + " ");
                    SetClipboardText(text);
                    Send("+c+V-V-c");
                    WaitFor([&] { return Text(box) == both; });
                }
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        for (const auto& [id, name] : boxes)
            if (id != IDC_SCRIPT || row == 2) EXPECT_EQ(ReadRaw(ItemPath(row), name), stored) << row << " " << name;
    }

    Modal(*window, IDC_ADD, [&](HWND dialog) {
        PostMessageW(window->m_hWnd, WM_DESTROY, 0, 0);
        PostMessageW(window->m_hWnd, WM_NCDESTROY, 0, 0);
        WaitFor([&] { return window->m_hWnd == nullptr; });
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(window->m_hWnd == nullptr && !window->EngineRunning());
}

// No command rewrites values it did not change, even unreadable ones; a store of another version refuses every command.
TEST_F(EditorWindow, CommandsNeverOverwriteValuesTheyDidNotChange) {
    const std::string text = kWorldText, action = "C:\\" + text + "\\a.exe", script = "echo " + text, item = ItemPath(1);
    WriteItem(0, "CTRL + A", "calc.exe");
    WriteItem(1, "CTRL + B", "calc.exe", 0, "", true);
    SetRaw(item, store::kDescription, REG_BINARY, "\1\2", 2);
    SetString(item, store::kType, "2");
    SetString(item, store::kScript, std::string(9000, 'x'));
    SetRaw(item, "Later", REG_MULTI_SZ, "a\0b\0", 5);
    WriteItem(2, "F3", action, ScriptBatch, script);
    const std::wstring description = Wide(text) + L"x\xD800y";
    SetRaw(ItemPath(2), store::kDescription, REG_SZ, description.c_str(), (description.size() + 1) * 2);
    auto values = [](int row) { const std::string all = Snapshot(ItemPath(row)); return all.substr(all.find('\n')); };
    const std::string before = values(1) + values(2);
    auto window = Open();
    CListCtrl& list = window->List();
    EXPECT_EQ(std::string(list.GetItemText(2, 1)) + "|" + list.GetItemText(2, 2).GetString() + "|" + list.GetItemText(2, 3).GetString(),
              action + "|" + text + "x\xED\xA0\x80y|" + script);
    list.SetCheck(1, TRUE);
    SetDword(item, store::kDisabled, 1);  // as it was, so that the rest compares whole
    Select(list, {1});
    EditDialog(*window, ID_EDIT_ITEM, IDOK, "notepad.exe");
    EXPECT_EQ(ReadString(item, store::kAction), "notepad.exe");
    SetString(item, store::kAction, "calc.exe");
    EXPECT_EQ(values(1) + values(2), before);
    Select(list, {0});
    EXPECT_EQ(Reported(*window, ID_DELETE_ITEM, IDYES), kDeleteQuestion);
    EXPECT_EQ(values(0) + values(1) + (KeyExists(ItemPath(2)) ? "and row 2" : ""), before);
    window.reset();

    CreateRoot(0x30000);
    EXPECT_EQ(Reported(nullptr, [&] { window = Open(); }), std::string(AfxGetAppName()) + ": Wrong version of shortcuts stored in registry (0x30000)");
    const std::string whole = Snapshot();
    const bool running = window->EngineRunning();
    window->List().InsertItem(LVIF_TEXT, 0, "CTRL + A", 0, 0, 0, 0);  // the list stays empty: a row to select
    const std::string refusal = Reported(window->m_hWnd, [&] { EXPECT_FALSE(window->SaveItem(1, "CTRL + B", "x.exe", "", "", 0, true)); });
    EXPECT_NE(refusal.find("incompatible version"), std::string::npos) << refusal;
    for (UINT command : kAdds) EXPECT_EQ(Reported(*window, command), refusal) << command;
    Select(window->List(), {0});
    for (UINT command : {ID_EDIT_ITEM, ID_DELETE_ITEM}) EXPECT_EQ(Reported(*window, command), refusal) << command;
    EXPECT_TRUE(window->EngineRunning() == running && window->List().GetItemCount() == 1 && Reloads(window->m_hWnd) == 0 && Snapshot() == whole);
}
