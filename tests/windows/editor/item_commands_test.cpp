// The list window's item commands: the item limit, which dialog Edit opens, deleting, a
// row without a key combination, running scripts, the engine around the edit dialog, and
// a store of another version that no command may touch.
#include "editor_window.h"
#include "text.h"

#include <functional>
#include <thread>

namespace {

using teststore::ItemPath;
using testwatch::WindowText;

const char* const kLimitMessage = "Maximum shortcuts reached. Please delete unused items first.";

// Sends command (which opens the edit dialog and waits in it) while drive acts on the
// dialog from another thread.
void WithEditDialog(CShortcutsDlg& window, UINT command, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND dialog = testwatch::WaitForDialog(window.m_hWnd);
        if (!dialog) return;
        Sleep(200);
        drive(dialog);
        if (!teststore::WaitFor([&] { return !IsWindow(dialog); })) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    window.SendMessage(WM_COMMAND, command);
    driver.join();
}

// What a message box that a command shows says: its caption and text.
std::string Reported(CShortcutsDlg& window, UINT command, int answer = IDOK) {
    testwatch::DialogWatcher watcher(answer, window.m_hWnd);
    window.SendMessage(WM_COMMAND, command);
    return watcher.Finish() ? watcher.Seen().caption + ": " + watcher.Seen().text : "no box";
}

void Select(CListCtrl& list, std::initializer_list<int> rows) {
    list.SetItemState(-1, 0, LVIS_SELECTED);
    for (int row : rows) list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

std::string StoredShortcuts() {
    std::string texts;
    for (int item = 0; teststore::KeyExists(ItemPath(item)); ++item) texts += teststore::ReadString(ItemPath(item), store::kShortcut) + " ";
    return texts;
}

TEST_F(EditorWindow, WithAFullListEveryAddShowsTheLimit) {
    for (int item = 0; item < store::kMaxItems; ++item) teststore::WriteItem(item, "F" + std::to_string(item), "calc.exe");
    auto window = Open();
    for (UINT command : {IDC_ADD, ID_ADD_SHORTCUT, IDC_ADD_SCRIPT, ID_ADD_BATCH, ID_ADD_VBSCRIPT, ID_ADD_JSCRIPT, ID_EDIT_ITEM})
        EXPECT_EQ(Reported(*window, command), std::string(AfxGetAppName()) + ": " + kLimitMessage) << command;
    EXPECT_EQ(window->List().GetItemCount(), store::kMaxItems);
    // Editing a row adds nothing, so it still opens.
    Select(window->List(), {5});
    std::string seen;
    WithEditDialog(*window, IDC_EDIT_ITEM, [&](HWND dialog) {
        seen = WindowText(dialog) + ": " + WindowText(GetDlgItem(dialog, IDC_SHORTCUT_TEXT));
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(seen, "Edit shortcut: F5");
    window->DestroyWindow();
}

// Edit with nothing selected adds a shortcut; on a script row it opens the script dialog
// with its texts and type. The engine is stopped while a dialog is open and runs
// afterwards, even when it had been stopped from the tray. A script without a type is not added.
TEST_F(EditorWindow, EditOpensTheRowsDialogAndTheEngineRunsAfterwards) {
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    teststore::WriteItem(1, "ALT + J", "Greeting", ScriptVBScript, "WScript.Echo(1)");
    auto window = Open();
    CListCtrl& list = window->List();
    window->SendMessage(WM_COMMAND, ID_TRAY_STOP);
    ASSERT_FALSE(window->EngineRunning());
    std::vector<std::string> seen;
    auto look = [&](UINT command, const char* action, int button) {
        WithEditDialog(*window, command, [&](HWND dialog) {
            HWND script = GetDlgItem(dialog, IDC_SCRIPT);
            seen.push_back(WindowText(dialog) + ": " + WindowText(GetDlgItem(dialog, IDC_SHORTCUT_TEXT)) + ", " +
                           WindowText(GetDlgItem(dialog, IDC_ACTION)) + ", " + (script ? WindowText(script) : "-") + ", type entry " +
                           std::to_string(SendDlgItemMessageA(dialog, IDC_SCRIPT_TYPE, CB_GETCURSEL, 0, 0)) +
                           (window->EngineRunning() ? ", running" : ", stopped"));
            if (action) SetDlgItemTextA(dialog, IDC_ACTION, action);
            PostMessageA(dialog, WM_COMMAND, button, 0);
        });
    };
    look(ID_EDIT_ITEM, nullptr, IDCANCEL);
    EXPECT_TRUE(window->EngineRunning());
    Select(list, {1});
    look(ID_EDIT_ITEM, nullptr, IDCANCEL);
    look(IDC_ADD_SCRIPT, "No type", IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"Add shortcut: none, , -, type entry 0, stopped",
                                              "Edit script: ALT + J, Greeting, WScript.Echo(1), type entry 1, stopped",
                                              "Add script: none, , , type entry -1, stopped"}));
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_FALSE(teststore::KeyExists(ItemPath(2)));
    EXPECT_TRUE(window->EngineRunning());
    window->DestroyWindow();
}

// "vintrel quit" from another instance ends the window while its edit dialog is open: the
// engine that its end stopped must not be started again behind it.
TEST_F(EditorWindow, AWindowEndedDuringTheDialogLeavesTheEngineStopped) {
    auto window = Open();
    ASSERT_TRUE(window->EngineRunning());
    WithEditDialog(*window, IDC_ADD, [&](HWND dialog) {
        const HWND main = window->m_hWnd;
        PostMessageA(main, WM_DESTROY, 0, 0);
        PostMessageA(main, WM_NCDESTROY, 0, 0);
        teststore::WaitFor([&] { return window->m_hWnd == nullptr; });
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(window->m_hWnd, nullptr);
    EXPECT_FALSE(window->EngineRunning());
}

// With rows 2 and 5 of six selected, one question and row 2 goes: every row moves into
// its key and the former last key is deleted. So does deleting the last row.
TEST_F(EditorWindow, DeleteAsksOnceAndRemovesTheFirstSelectedRow) {
    for (int item = 0; item < 6; ++item) teststore::WriteItem(item, "F" + std::to_string(item + 1), "calc.exe");
    auto window = Open();
    CListCtrl& list = window->List();
    Select(list, {2, 5});
    const std::string question = "Vintrel: Are you sure you want to delete the items?";
    EXPECT_EQ(Reported(*window, ID_DELETE_ITEM, IDNO), question);
    EXPECT_EQ(StoredShortcuts(), "F1 F2 F3 F4 F5 F6 ");
    EXPECT_EQ(Reported(*window, IDC_DELETE, IDYES), question);
    EXPECT_EQ(std::string(list.GetItemText(2, 0)) + " " + std::to_string(list.GetItemCount()), "F4 5");
    EXPECT_EQ(StoredShortcuts(), "F1 F2 F4 F5 F6 ");
    Select(list, {4});
    EXPECT_EQ(Reported(*window, ID_DELETE_ITEM, IDYES), question);
    EXPECT_EQ(StoredShortcuts(), "F1 F2 F4 F5 ");
    EXPECT_FALSE(teststore::KeyExists(ItemPath(4)));
    window->DestroyWindow();
}

// Checking a row without a key combination is refused; Run script runs the first selected
// row, and a plain row there reports string 104.
TEST_F(EditorWindow, ANoneRowStaysDisabledAndRunScriptRunsTheFirstSelectedRow) {
    const std::string marker = teststore::TempDirectory() + "tarvo-run-script.txt";
    DeleteFileA(marker.c_str());
    teststore::WriteItem(0, "none", "calc.exe", 0, "", true);
    teststore::WriteItem(1, "CTRL + B", "Marker", ScriptBatch, "@echo ran> \"" + marker + "\"\r\n");
    auto window = Open();
    CListCtrl& list = window->List();
    testwatch::DialogWatcher watcher(IDOK, window->m_hWnd);
    list.SetCheck(0, TRUE);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Seen().caption + ": " + watcher.Seen().text, "Vintrel: Only items with a valid shortcut can be enabled.");
    EXPECT_FALSE(list.GetCheck(0));
    EXPECT_EQ(teststore::ReadDword(ItemPath(0), store::kDisabled), 1u);

    Select(list, {1});
    window->SendMessage(WM_COMMAND, ID_RUN_SCRIPT);
    EXPECT_EQ(teststore::ReadFile(marker), "ran\r\n");
    Select(list, {0, 1});
    EXPECT_EQ(Reported(*window, IDC_RUN_SCRIPT), std::string(AfxGetAppName()) + ": Failed to create the script.");
    DeleteFileA(marker.c_str());
    window->DestroyWindow();
}

// A store whose "Version" was rejected: every command that would change it refuses before
// anything happens, with the message that saving gives; the store stays byte for byte.
TEST_F(EditorWindow, ARejectedStoreIsNeverChangedByACommand) {
    teststore::CreateRoot(0x30000);
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    teststore::WriteItem(1, "CTRL + B", "cmd.exe");
    testwatch::DialogWatcher versionBox;
    auto window = Open();
    ASSERT_TRUE(versionBox.Finish());
    const std::string before = teststore::Snapshot();
    const bool running = window->EngineRunning();
    // The list stays empty for such a store; a row put in directly stands for a selection.
    window->List().InsertItem(LVIF_TEXT, 0, "CTRL + A", 0, 0, 0, 0);
    for (UINT command : {IDC_ADD, ID_ADD_SHORTCUT, IDC_ADD_SCRIPT, ID_ADD_BATCH, ID_ADD_VBSCRIPT, ID_ADD_JSCRIPT, ID_EDIT_ITEM, ID_DELETE_ITEM}) {
        Select(window->List(), {0});  // Edit and Delete need a selection; the Adds ignore it
        const std::string seen = Reported(*window, command);
        EXPECT_NE(seen.find("incompatible version"), std::string::npos) << command << " " << seen;
        EXPECT_EQ(window->EngineRunning(), running) << command;
    }
    EXPECT_EQ(window->List().GetItemCount(), 1);
    EXPECT_EQ(teststore::Snapshot(), before);
    window->DestroyWindow();
}

}  // namespace

namespace {

// A row's stored values, type and bytes each.
std::string StoredBytes(int item) {
    std::string all;
    for (const char* name : {store::kShortcut, store::kDisabled, store::kAction, store::kDescription, store::kScript, store::kType})
        all += teststore::ReadRaw(ItemPath(item), name) + "|";
    return all;
}

// Text that another tool wrote, in any script and with a lone surrogate (which only a
// byte-exact round trip keeps), shows intact; ticking, editing and deleting other rows
// leave its stored bytes as they were, though the delete moves it into another key.
TEST_F(EditorWindow, TextOfAnyScriptShowsIntactAndSurvivesChangesToOtherRows) {
    const std::string text = teststore::kWorldText, action = "C:\\" + text + "\\a.exe", script = "echo " + text;
    for (int item = 0; item < 3; ++item)
        teststore::WriteItem(item, "F" + std::to_string(item + 1), item == 1 ? "calc.exe" : action,
                             item == 1 ? ScriptNone : ScriptBatch, item == 1 ? "" : script);
    teststore::SetString(ItemPath(0), store::kDescription, text);
    const wchar_t lone[] = {L'x', 0xD800, L'y', 0};
    teststore::SetRaw(ItemPath(2), store::kDescription, REG_SZ, lone, sizeof lone);
    const std::string before[] = {StoredBytes(0), StoredBytes(2)};
    auto window = Open();
    CListCtrl& list = window->List();
    std::string shown;
    for (int column = 1; column < 4; ++column) shown += std::string(list.GetItemText(0, column)) + "|";
    EXPECT_EQ(shown + list.GetItemText(2, 2).GetString(), action + "|" + text + "|" + script + "|x\xED\xA0\x80y");

    list.SetCheck(1, FALSE);
    EXPECT_TRUE(window->SaveItem(1, "F9", "notepad.exe", "edited", "", ScriptNone, true));
    EXPECT_EQ(StoredBytes(0) + StoredBytes(2), before[0] + before[1]) << "ticked and edited row 1";
    Select(list, {1});
    EXPECT_EQ(Reported(*window, ID_DELETE_ITEM, IDYES), "Vintrel: Are you sure you want to delete the items?");
    EXPECT_EQ(StoredBytes(0) + StoredBytes(1), before[0] + before[1]) << "deleted row 1";
    window->DestroyWindow();
}

// Characters typed as an input method sends them and pasted from the clipboard reach the
// store as they were, characters outside the BMP included: in the script dialog's boxes
// and in the shortcut dialog's action combo box.
TEST_F(EditorWindow, TypedAndPastedTextOfAnyScriptIsStoredIntact) {
    teststore::WriteItem(0, "CTRL + A", "-", ScriptBatch, "rem");
    teststore::WriteItem(1, "CTRL + B", "calc.exe");
    auto window = Open();
    const std::string text = teststore::kWorldText, both = text + " " + text;
    const std::wstring wide = Wide(both);
    const std::string stored = "1:" + std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * 2);
    const std::vector<std::vector<std::pair<int, const char*>>> rows = {
        {{IDC_ACTION, store::kAction}, {IDC_DESCRIPTION, store::kDescription}, {IDC_SCRIPT, store::kScript}},
        {{IDC_ACTION, store::kAction}, {IDC_DESCRIPTION, store::kDescription}}};
    for (int row = 0; row < 2; ++row) {
        Select(window->List(), {row});
        std::string seen;
        WithEditDialog(*window, ID_EDIT_ITEM, [&](HWND dialog) {
            for (int i = 0; i < 100 && GetForegroundWindow() != dialog; ++i, Sleep(20)) SetForegroundWindow(dialog);
            for (const auto& [id, name] : rows[row]) {
                HWND box = GetDlgItem(dialog, id);
                SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);  // selects the text
                teststore::TypeText(text + " ");
                teststore::SetClipboardText(text);
                teststore::Send("+c+V-V-c");
                teststore::WaitFor([&] { return WindowText(box) == both; });
                seen += WindowText(box) + "|";
            }
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        std::string expected;
        for (const auto& [id, name] : rows[row]) {
            expected += both + "|";
            EXPECT_EQ(teststore::ReadRaw(ItemPath(row), name), stored) << row << " " << name;
        }
        EXPECT_EQ(seen, expected) << row;
    }
    window->DestroyWindow();
}

}  // namespace
