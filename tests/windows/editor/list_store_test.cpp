// The list window and the shortcut store: what the list shows of the item keys, what a
// row writes back (and in which order), the check box, and a store of another version
// that must stay untouched.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <memory>
#include <string>
#include <vector>

#include "core/shortcut_store.h"
#include "dialog_watch.h"
#include "registry_writes.h"
#include "resource.h"
#include "shortcuts_dlg.h"
#include "test_paths.h"
#include "test_store.h"

namespace {

using teststore::ItemPath;
using Lines = std::vector<std::string>;

// A top-level window of this program that counts the engines' reload broadcasts.
class ReloadListener {
public:
    ReloadListener() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TarvoReloadListener";
        RegisterClassA(&windowClass);
        reloadMessage = RegisterWindowMessageA(store::kReloadMessageName);
        count = 0;
        window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    ~ReloadListener() { DestroyWindow(window); }

    // A broadcast posted by this thread is already in its queue.
    int Seen() const {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return count;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == reloadMessage && reloadMessage != 0) ++count;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static inline UINT reloadMessage = 0;
    static inline int count = 0;
    HWND window = nullptr;
};

// Columns 0 to 3, image, item data and check box of a row.
std::string RowText(const CListCtrl& list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    std::string text;
    for (int column = 0; column < 4; ++column) text += std::string(list.GetItemText(row, column)) + "|";
    return text + "image " + std::to_string(item.iImage) + "|data " + std::to_string(item.lParam) +
           (list.GetCheck(row) ? "|on" : "|off");
}

class ListStore : public ::testing::Test {
protected:
    void SetUp() override {
        teststore::Clear();
        teststore::CreateRoot();
        teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    }
    void TearDown() override { teststore::Clear(); }

    std::unique_ptr<CShortcutsDlg> Open() {
        auto dialog = std::make_unique<CShortcutsDlg>(nullptr);
        EXPECT_TRUE(dialog->Create(IDD_SHORTCUTS));
        return dialog;
    }

    CWinApp app;
};

TEST_F(ListStore, RowsShowTheItemKeysAndLoadingWritesNothingBack) {
    // Each item holds something that a write-back would change: a code read as a name,
    // a folder name stored as text, a nonzero "Disabled" other than 1, missing values.
    teststore::WriteItem(0, "CTRL + D", "");
    teststore::SetDword(ItemPath(0), store::kAction, 2);
    teststore::SetString(ItemPath(0), store::kDescription, "Documents");
    teststore::WriteItem(1, "ALT + J", "Greeting", 3, "WScript.Echo(1)");
    teststore::SetDword(ItemPath(1), store::kDisabled, 7);
    teststore::SetString(ItemPath(2), store::kShortcut, "none");
    teststore::SetString(ItemPath(2), store::kAction, "My computer");
    teststore::WriteItem(3, "SHIFT + F2", "");
    teststore::SetDword(ItemPath(3), store::kAction, 4);

    teststore::RegistryWriteRecorder recorder;
    testwatch::DialogWatcher noComplaint;
    auto dialog = Open();
    EXPECT_FALSE(noComplaint.Stop());
    EXPECT_EQ(recorder.Writes(), Lines{});

    const CListCtrl& list = dialog->List();
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(RowText(list, 0), "CTRL + D|My documents|Documents||image 0|data 0|on");
    EXPECT_EQ(RowText(list, 1), "ALT + J|Greeting||WScript.Echo(1)|image 3|data 3|off");
    EXPECT_EQ(RowText(list, 2), "none|My computer|||image 0|data 0|on");
    EXPECT_EQ(RowText(list, 3), "SHIFT + F2||||image 0|data 0|on");
    EXPECT_EQ(teststore::ValueType(ItemPath(2), store::kAction), static_cast<DWORD>(REG_SZ));

    // The unchanged row goes back as the code it came from.
    EXPECT_TRUE(dialog->SaveItem(0, list.GetItemText(0, 0), list.GetItemText(0, 1), list.GetItemText(0, 2),
                                 list.GetItemText(0, 3), static_cast<int>(list.GetItemData(0)), false));
    EXPECT_EQ(teststore::ValueType(ItemPath(0), store::kAction), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(teststore::ReadDword(ItemPath(0), store::kAction), 2u);
    dialog->DestroyWindow();
}

TEST_F(ListStore, TheListHoldsAtMost200ItemsAndStopsAtTheFirstMissingKey) {
    for (int n = 0; n < 250; ++n) teststore::SetString(ItemPath(n), store::kShortcut, "F" + std::to_string(n));
    auto full = Open();
    ASSERT_EQ(full->List().GetItemCount(), 200);
    EXPECT_STREQ(full->List().GetItemText(199, 0), "F199");
    full->DestroyWindow();

    SHDeleteKeyA(HKEY_CURRENT_USER, ItemPath(7).c_str());
    auto gap = Open();
    ASSERT_EQ(gap->List().GetItemCount(), 7);
    EXPECT_STREQ(gap->List().GetItemText(6, 0), "F6");
    gap->DestroyWindow();
}

TEST_F(ListStore, SavingARowWritesItsValuesInOrderAndFolderNamesAsCodes) {
    teststore::WriteItem(0, "CTRL + A", "calc.exe", 0, "old script");
    auto dialog = Open();
    CListCtrl& list = dialog->List();

    // A plain shortcut leaves a "Script" from earlier days alone.
    teststore::RegistryWriteRecorder recorder;
    dialog->SaveItem(0, "CTRL + A", "notepad.exe", "Editor", "new script", 0, false);
    EXPECT_EQ(recorder.Writes(), (Lines{"0:Shortcut=sz:CTRL + A", "0:Disabled=dword:0", "0:Action=sz:notepad.exe",
                                        "0:Description=sz:Editor", "0:Type=dword:0"}));
    EXPECT_EQ(teststore::ReadString(ItemPath(0), store::kScript), "old script");

    // A new row at the end, as adding an item makes it: its box is cleared.
    list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, 1, "CTRL + B", 0, 0, 1, 1);
    recorder.Reset();
    dialog->SaveItem(1, "CTRL + B", "My network places", "Network", "echo hi", 1, false);
    EXPECT_EQ(recorder.Writes(), (Lines{"+1", "1:Shortcut=sz:CTRL + B", "1:Disabled=dword:1", "1:Action=dword:3",
                                        "1:Description=sz:Network", "1:Script=sz:echo hi", "1:Type=dword:1"}));

    // Only the exact names become codes; any other text replaces a code with text.
    const std::pair<const char*, const char*> actions[] = {
        {"My computer", "1:Action=dword:1"},      {"My documents", "1:Action=dword:2"},
        {"my computer", "1:Action=sz:my computer"}, {"My Documents", "1:Action=sz:My Documents"},
        {"My computer ", "1:Action=sz:My computer "}, {"", "1:Action=sz:"}};
    for (const auto& [action, written] : actions) {
        recorder.Reset();
        dialog->SaveItem(1, "CTRL + B", action, "", "", 1, false);
        ASSERT_EQ(recorder.Writes().size(), 6u) << action;
        EXPECT_EQ(recorder.Writes()[2], written);
    }
    EXPECT_EQ(teststore::ValueType(ItemPath(1), store::kAction), static_cast<DWORD>(REG_SZ));
    dialog->DestroyWindow();
}

TEST_F(ListStore, TheCheckBoxEnablesAndDisablesTheItemAndTellsTheEngines) {
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    teststore::WriteItem(1, "none", "notepad.exe", 0, "", true);
    teststore::WriteItem(2, "CTRL + C", "cmd.exe", 0, "", true);
    teststore::WriteItem(3, "none", "write.exe");
    auto dialog = Open();
    CListCtrl& list = dialog->List();
    ReloadListener engines;
    teststore::RegistryWriteRecorder recorder;

    list.SetCheck(0, FALSE);
    EXPECT_EQ(teststore::ReadDword(ItemPath(0), store::kDisabled), 1u);
    EXPECT_EQ(engines.Seen(), 1);
    list.SetCheck(2, TRUE);
    EXPECT_EQ(teststore::ReadDword(ItemPath(2), store::kDisabled), 0u);
    EXPECT_EQ(engines.Seen(), 2);
    EXPECT_EQ(recorder.Writes().size(), 10u);

    // A row without a key combination cannot be enabled.
    recorder.Reset();
    testwatch::DialogWatcher watcher;
    list.SetCheck(1, TRUE);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Seen().caption, "Vintrel");
    EXPECT_EQ(watcher.Seen().text, "Only items with a valid shortcut can be enabled.");
    EXPECT_EQ(watcher.Seen().icon, LoadIconA(nullptr, IDI_INFORMATION));
    EXPECT_EQ(watcher.Seen().owner, dialog->m_hWnd);
    EXPECT_FALSE(list.GetCheck(1));
    // Disabling one is not saved either.
    testwatch::DialogWatcher noBox;
    list.SetCheck(3, FALSE);
    EXPECT_FALSE(noBox.Stop());
    EXPECT_EQ(recorder.Writes(), Lines{});
    EXPECT_EQ(engines.Seen(), 2);

    // Selecting rows is no check box change: nothing is written and Edit follows it.
    HWND bar = dialog->GetDlgItem(AFX_IDW_TOOLBAR);
    list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_EDIT_ITEM, 0));
    list.SetItemState(2, 0, LVIS_SELECTED);
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_EDIT_ITEM, 0));
    EXPECT_EQ(recorder.Writes(), Lines{});
    EXPECT_EQ(engines.Seen(), 2);
    dialog->DestroyWindow();
}

TEST_F(ListStore, AStoreOfAnotherVersionIsReportedAndNeverWritten) {
    teststore::CreateRoot(0x30000);
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    ReloadListener engines;
    teststore::RegistryWriteRecorder recorder;

    testwatch::DialogWatcher versionBox;
    auto dialog = Open();
    ASSERT_TRUE(versionBox.Finish());
    EXPECT_EQ(versionBox.Seen().caption, "editor_tests");
    EXPECT_EQ(versionBox.Seen().text, "Wrong version of shortcuts stored in registry (0x30000)");
    EXPECT_EQ(versionBox.Seen().icon, LoadIconA(nullptr, IDI_EXCLAMATION));

    const CListCtrl& list = dialog->List();
    EXPECT_EQ(list.GetItemCount(), 0);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    EXPECT_FALSE(list.SendMessage(LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(list.GetExtendedStyle(), 0u);

    // Whatever would write the store refuses and says why.
    list.InsertItem(LVIF_TEXT | LVIF_PARAM, 0, "CTRL + B", 0, 0, 0, 0);
    testwatch::DialogWatcher refusal;
    EXPECT_FALSE(dialog->SaveItem(0, "CTRL + B", "notepad.exe", "", "", 0, true));
    ASSERT_TRUE(refusal.Finish());
    EXPECT_EQ(refusal.Seen().caption, "editor_tests");
    EXPECT_NE(refusal.Seen().text.find("incompatible version"), std::string::npos) << refusal.Seen().text;
    EXPECT_NE(refusal.Seen().text.find("untouched"), std::string::npos) << refusal.Seen().text;

    EXPECT_EQ(recorder.Writes(), Lines{});
    EXPECT_EQ(teststore::ReadString(ItemPath(0), store::kShortcut), "CTRL + A");
    EXPECT_EQ(teststore::ReadDword(store::kRootPath, store::kVersion), 0x30000u);
    EXPECT_EQ(engines.Seen(), 0);
    dialog->DestroyWindow();
}

}  // namespace
