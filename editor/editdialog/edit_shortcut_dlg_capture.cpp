// CEditShortcutDlg's key capture: while it is on, the editor's engine build hooks this
// thread's keystrokes, hands each one to the dialog in UM_KEYCAPTURED and swallows it,
// so Enter, Escape and Tab cannot close the dialog or move the focus.
#include "edit_shortcut_dlg.h"

#include "core/key_combination.h"
#include "engine.h"

namespace {
// The message the system posts for an F1 press; the SDK headers leave it out.
constexpr UINT WM_KEYF1 = 0x004D;
}  // namespace

void CEditShortcutDlg::OnCapture() {
    UpdateData(TRUE);
    if (HooksInstalled()) {
        captureButton.SetWindowText("Capture");
        RemoveHooks();
    } else {
        shortcutText = "none";
        lastCapturedText.Empty();
        UpdateData(FALSE);
        ShowClashNote();
        captureButton.SetWindowText("End capture");
        SetCaptureMode(true);
        // When the hook cannot be installed, capturing stays false and the next click retries.
        InstallHooks(AfxGetInstanceHandle(), m_hWnd);
    }
    capturing = HooksInstalled();
}

LRESULT CEditShortcutDlg::OnKeyCaptured(WPARAM, LPARAM lParam) {
    // The hook's record, valid only during this call; the hook calls from this thread.
    if (lParam == 0 || InSendMessage()) return 0;
    const KeyCombination& key = *reinterpret_cast<const KeyCombination*>(lParam);
    CString text;
    if (!key.released) {
        const FormattedKeyCombination formatted = FormatKeyCombination(key, useLeftRight ? ModifierMode::Sided : ModifierMode::Plain);
        text = formatted.text;
        if (formatted.complete) lastCapturedText = text;
    } else {
        text = lastCapturedText.IsEmpty() ? CString("none") : lastCapturedText;
    }
    shortcutText = text;
    UpdateData(FALSE);
    ShowClashNote();
    return 0;
}

BOOL CEditShortcutDlg::PreTranslateMessage(MSG* message) {
    // Characters posted to the dialog while capturing would otherwise reach its boxes.
    // Wine also posts WM_KEYF1 for an F1 press before the keyboard hook swallows it: while
    // capturing, F1 is a key to capture, not a help request.
    if (capturing && (message->message == WM_CHAR || message->message == WM_KEYF1)) return TRUE;
    return CDialog::PreTranslateMessage(message);
}

void CEditShortcutDlg::OnDestroy() {
    CDialog::OnDestroy();
    // Also a message hook left alone by a keyboard hook that could not be installed.
    RemoveHooks();
    capturing = false;
}
