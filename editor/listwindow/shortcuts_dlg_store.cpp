// CShortcutsDlg and the shortcut store: filling the list at start, writing rows back,
// and telling the running engines that the store changed.
#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "core/shortcut_store.h"
#include "editor_app.h"
#include "registry_key.h"
#include "resource.h"
#include "shortcuts_dlg.h"

namespace {

// "Action" as the list shows it: a special-folder code shows as its name.
CString ActionText(const CRegistryValue& action) {
    if (!action.found || action.number == 0) return action.string;
    const char* name = store::SpecialFolderName(action.number);
    return name ? name : "";
}

}  // namespace

void CShortcutsDlg::LoadItems() {
    CRegistryKey key(store::kRootPath, HKEY_CURRENT_USER, store::kItemStringLimit);
    // An account the installer did not set up (another user's) has no "Version", and the
    // engine loads nothing from such a store: set it up before the first item. A store
    // with a "Version" of any type or value is left as it is.
    if (!key.ValueExists(store::kVersion)) {
        for (const store::DefaultSetting& setting : store::kDefaultSettings)
            if (!key.ValueExists(setting.name)) key.WriteDword(setting.name, setting.value);
        key.WriteDword(store::kVersion, store::kCurrentVersion);
    }
    const uint32_t version = key.ReadDword(store::kVersion, 0);
    if (!store::IsVersionAccepted(version)) {
        storeRejected = true;
        rejectedVersion = version;
        CString message;
        message.Format("Wrong version of shortcuts stored in registry (0x%x)", version);
        AfxMessageBox(message, MB_OK);
        return;
    }
    if (!imageListsAttached) SetUpListView();
    for (int n = 0; n < maxItems; ++n) {
        key.SetKey(ItemKeyPath(n), HKEY_CURRENT_USER);
        // Each item key opened once for all its values.
        CRegistryValue values[] = {{store::kType, CRegistryValue::Number},       {store::kShortcut, CRegistryValue::Text},
                                   {store::kAction, CRegistryValue::NumberOrText}, {store::kDescription, CRegistryValue::Text},
                                   {store::kScript, CRegistryValue::Text},         {store::kDisabled, CRegistryValue::Number}};
        if (!key.ReadValues(values, std::size(values))) break;
        const auto& [type, shortcut, action, description, script, disabled] = values;
        const int image = static_cast<int>(type.number);
        const int row = listControl.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, n, shortcut.string, 0, 0, image, image);
        listControl.SetItemText(row, 1, ActionText(action));
        listControl.SetItemText(row, 2, description.string);
        listControl.SetItemText(row, 3, script.string);
        listControl.SetCheck(row, disabled.number == 0);
    }
}

bool CShortcutsDlg::WriteAction(const CRegistryKey& key, const CString& action) const {
    const uint32_t code = store::SpecialFolderCode(action);
    return code ? key.WriteDword(store::kAction, code) : key.WriteString(store::kAction, action);
}

bool CShortcutsDlg::StoreWritable() const {
    if (!storeRejected) return true;
    CString message;
    message.Format(
        "The shortcuts in the registry were written by an incompatible version of Tarvo "
        "(version 0x%x).\n\nThey are left untouched: no change can be saved.",
        rejectedVersion);
    AfxMessageBox(message, MB_OK);
    return false;
}

bool CShortcutsDlg::SaveItem(int row, CString shortcutText, CString action, CString description, CString script,
                             int scriptType, bool notify, unsigned values) {
    if (!StoreWritable()) return false;
    const bool enabled = listControl.GetCheck(row) != FALSE;
    const CRegistryKey key(ItemKeyPath(row), HKEY_CURRENT_USER, store::kItemStringLimit);
    // Each write stands alone; a failed one leaves the row as the user made it.
    if (values & ShortcutValue) key.WriteString(store::kShortcut, shortcutText);
    if (values & DisabledValue) key.WriteDword(store::kDisabled, enabled ? 0 : 1);
    if (values & ActionValue) WriteAction(key, action);
    if (values & DescriptionValue) key.WriteString(store::kDescription, description);
    if ((values & ScriptValue) && scriptType != 0) key.WriteString(store::kScript, script);
    if (values & TypeValue) key.WriteDword(store::kType, static_cast<uint32_t>(scriptType));
    if (notify) NotifyEngine();
    return true;
}

void CShortcutsDlg::NotifyEngine() {
    ::PostMessageW(HWND_BROADCAST, reloadMessage, 0, 0);
    UpdateTrayTip();
}

void CShortcutsDlg::OnListItemChanged(NMHDR* header, LRESULT* result) {
    *result = 0;
    // Checking the boxes while the list is filled must not write anything back.
    if (initializing) return;
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    // The list view reports a row's whole state, check box included, even when only its
    // selection changed; the box changed only when its state image did.
    if (!(change->uChanged & LVIF_STATE) || !((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK)) {
        UpdateCommandStates(listControl.GetSelectedCount() > 0);
        return;
    }
    const int row = change->iItem;
    if (row < 0) return;
    const CString shortcut = listControl.GetItemText(row, 0);
    if (shortcut != "none") {
        SaveItem(row, shortcut, listControl.GetItemText(row, 1), listControl.GetItemText(row, 2),
                 listControl.GetItemText(row, 3), static_cast<int>(listControl.GetItemData(row)), true, DisabledValue);
        return;
    }
    if (!listControl.GetCheck(row)) return;
    // Clearing the box raises one more notification, which finds it cleared.
    listControl.SetCheck(row, FALSE);
    CString text;
    text.LoadString(IDS_ONLY_VALID_ENABLED);
    MessageBox(text, kMainWindowCaption, MB_ICONINFORMATION);
}
