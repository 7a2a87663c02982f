// CShortcutsDlg's item commands: add, edit, delete and run the items of the list.
#include <windows.h>
#include <commctrl.h>

#include "core/shortcut_store.h"
#include "edit_shortcut_dlg.h"
#include "editor_app.h"
#include "registry_key.h"
#include "resource.h"
#include "shortcuts_dlg.h"

namespace {

CRegistryKey ItemKey(int index) { return CRegistryKey(ItemKeyPath(index), HKEY_CURRENT_USER, store::kItemStringLimit); }

}  // namespace

void CShortcutsDlg::AddItem(UINT templateId, int scriptType) {
    if (listControl.GetItemCount() >= maxItems) {
        AfxMessageBox("Maximum shortcuts reached. Please delete unused items first.", MB_OK);
        return;
    }
    RunEditDialog(templateId, -1, scriptType);
}

void CShortcutsDlg::EditSelectedItem() {
    const int row = listControl.GetNextItem(-1, LVNI_SELECTED);
    if (row == -1) {
        AddItem(IDD_EDIT_SHORTCUT, ScriptNone);
        return;
    }
    RunEditDialog(listControl.GetItemData(row) != 0 ? IDD_EDIT_SCRIPT : IDD_EDIT_SHORTCUT, row, ScriptNone);
}

void CShortcutsDlg::RunEditDialog(UINT templateId, int row, int scriptType) {
    // Before anything happens: a store of an incompatible version is never written.
    if (!StoreWritable()) return;
    // No shortcut fires while the dialog is open, and its capture has the keyboard alone.
    StopEngine();
    CString texts[4] = {"none", "", "", ""};
    if (row != -1) {
        for (int column = 0; column < 4; ++column) texts[column] = listControl.GetItemText(row, column);
        scriptType = static_cast<int>(listControl.GetItemData(row));
    }
    {
        CEditShortcutDlg dialog(templateId, row != -1, nullptr);
        dialog.SetValues(texts[0], texts[1], texts[2], texts[3]);
        dialog.scriptType = scriptType;
        const bool isNew = row == -1;
        dialog.SetOtherRows(OtherRows(row));
        const unsigned generation = listGeneration;
        bool keep = dialog.DoModal() == IDOK && !dialog.GetAction().IsEmpty() &&
                    !(templateId == IDD_EDIT_SCRIPT && dialog.scriptType == ScriptNone);
        if (keep && generation != listGeneration) keep = !ReportListReplaced();
        if (keep) {
            const int type = dialog.scriptType;
            const CString kept[4] = {dialog.GetShortcutText(), dialog.GetAction(), dialog.GetDescription(), dialog.GetScript()};
            // The row is written once, below: the list's own notifications while it is
            // filled (a new row gets its cleared check box) must not save it half done.
            initializing = true;
            if (row == -1) {
                row = listControl.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, listControl.GetItemCount(), kept[0], 0, 0,
                                             type, type);
                if (row >= 0)
                    for (int column = 1; column < 4; ++column) listControl.SetItemText(row, column, kept[column]);
            } else {
                for (int column = 0; column < 4; ++column) listControl.SetItemText(row, column, kept[column]);
                listControl.SetItem(row, 0, LVIF_IMAGE | LVIF_PARAM, nullptr, type, 0, 0, type);
            }
            initializing = false;
            // A new item is written whole; an edited one only where the dialog changed it.
            unsigned changed = isNew ? unsigned{AllValues} : 0u;
            const unsigned columnValues[4] = {ShortcutValue, ActionValue, DescriptionValue, ScriptValue};
            for (int column = 0; column < 4; ++column)
                if (kept[column] != texts[column]) changed |= columnValues[column];
            if (type != scriptType) changed |= TypeValue;
            // A row the list refused has no item key to go to.
            if (row >= 0 && changed) SaveItem(row, kept[0], kept[1], kept[2], kept[3], type, false, changed);
        }
    }
    // A "quit" from another instance can end this window while the dialog runs; its
    // OnDestroy has stopped the engine, which must then stay stopped.
    if (!::IsWindow(m_hWnd)) return;
    // Also after Cancel, and also when the engine had been stopped from the tray.
    StartEngine();
    NotifyEngine();
}

void CShortcutsDlg::DeleteSelectedItem() {
    const int row = listControl.GetNextItem(-1, LVNI_SELECTED);
    if (row == -1 || !StoreWritable()) return;
    CString question;
    question.LoadString(IDS_CONFIRM_DELETE);
    const unsigned generation = listGeneration;
    if (MessageBox(question, kMainWindowCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    // The row asked about is gone when an import replaced the list meanwhile.
    if (generation != listGeneration) return;
    listControl.DeleteItem(row);
    // Not every list view reports a deleted selection as a change of state.
    UpdateCommandStates(listControl.GetSelectedCount() > 0);
    // Row i is stored in item key i: every item above the deleted one moves down a key as
    // it is stored, values the editor could not read included, and the former last key goes.
    const int count = listControl.GetItemCount();
    for (int i = row; i < count; ++i) {
        if (!ItemKey(i).ReplaceValuesWith(ItemKey(i + 1)))
            SaveItem(i, listControl.GetItemText(i, 0), listControl.GetItemText(i, 1), listControl.GetItemText(i, 2),
                     listControl.GetItemText(i, 3), static_cast<int>(listControl.GetItemData(i)), false);
    }
    CString formerLast;
    formerLast.Format("%d", count);
    if (!CRegistryKey(store::kRootPath, HKEY_CURRENT_USER, store::kItemStringLimit).DeleteSubKey(formerLast))
        AfxMessageBox("Failed to remove the shortcut item from the registry.", MB_OK);
    NotifyEngine();
}

void CShortcutsDlg::RunSelectedScript() {
    const int row = listControl.GetNextItem(-1, LVNI_SELECTED);
    if (row == -1) return;
    RunScriptAndReport(static_cast<int>(listControl.GetItemData(row)), listControl.GetItemText(row, 3));
}

void CShortcutsDlg::OnListDoubleClick(NMHDR*, LRESULT* result) {
    EditSelectedItem();
    *result = 0;
}
