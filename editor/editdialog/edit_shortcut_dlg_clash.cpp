// CEditShortcutDlg and combinations that are already taken: by another row of the list
// (only the first matching row ever runs) or by Windows and the programs in front, which
// lose the keys while the engine swallows them.
#include "edit_shortcut_dlg.h"

#include "core/shortcut_store.h"
#include "resource.h"
#include "text.h"

namespace {

// The engine takes a fired shortcut's keys away unless "Do not remove keystroke" is 1.
bool KeysSwallowed() {
    DWORD value = 0, type = 0, size = sizeof value;
    return RegGetValueW(HKEY_CURRENT_USER, Wide(store::kRootPath).c_str(), Wide(store::kDoNotRemoveKeystroke).c_str(), RRF_RT_ANY,
                        &type, &value, &size) != ERROR_SUCCESS ||
           type != REG_DWORD || value != 1;
}

int Ask(HWND owner, const std::string& text) {
    return MessageBoxW(owner, Wide(text).c_str(), Wide(AfxGetAppName()).c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
}

}  // namespace

void CEditShortcutDlg::ShowClashNote() {
    const std::string text = shortcutText.GetString();
    std::string note;
    const int clash = FindClash(text, otherRows);
    const char* reserved = ReservedCombination(text);
    if (clash >= 0)
        note = "Already used by \"" + otherRows[clash].label + "\": only the first in the list will run.";
    else if (reserved && KeysSwallowed())
        note = "Windows or most programs use " + std::string(reserved) + ": they would no longer receive it.";
    ::SetDlgItemTextW(m_hWnd, IDC_CLASH_NOTE, Wide(note).c_str());
}

bool CEditShortcutDlg::ConfirmCombination(const CString& text) {
    const std::string combination = text.GetString();
    const int clash = FindClash(combination, otherRows);
    if (clash >= 0 && Ask(m_hWnd, combination + " is already used by \"" + otherRows[clash].label +
                                      "\". Keep both? Only the first in the list will run.") != IDYES)
        return false;
    const char* reserved = ReservedCombination(combination);
    if (reserved && KeysSwallowed() &&
        Ask(m_hWnd, combination + " takes " + reserved +
                        " away from Windows and the programs that use it: while this shortcut is enabled, they no longer "
                        "receive it. Keep it?") != IDYES)
        return false;
    return true;
}

void CEditShortcutDlg::OnOK() {
    wchar_t buffer[256] = L"";
    ::GetDlgItemTextW(m_hWnd, IDC_SHORTCUT_TEXT, buffer, 256);
    const CString text = Narrow(buffer).c_str();
    // Asked once, when the combination is new to this row; an unchanged one was answered before.
    if ((!editing || text != openedShortcutText) && !ConfirmCombination(text)) return;
    CDialog::OnOK();
}
