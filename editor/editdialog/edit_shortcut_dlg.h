// CEditShortcutDlg: the modal dialog that edits one item of the list, on template 138
// (a shortcut: key combination, action, description) or 139 (a script: key combination,
// action name, script text and type, description). The key combination is only ever
// captured from the keyboard: Capture hooks this thread's keystrokes through the
// editor's own build of the engine until End capture.
//
//   CEditShortcutDlg dialog(IDD_EDIT_SCRIPT, true, nullptr);
//   dialog.SetValues(shortcut, action, description, script);
//   dialog.scriptType = type;
//   if (dialog.DoModal() == IDOK) { ... dialog.GetAction() ... dialog.scriptType ... }
//
// The dialog validates nothing: an empty action or no script type still ends with IDOK.
#pragma once

#include <vector>

#include "afxwin.h"
#include "core/shortcut_clash.h"
#include "read_only_combo_box.h"

class CEditShortcutDlg : public CDialog {
public:
    CEditShortcutDlg(UINT templateId, bool editing, CWnd* parent = nullptr);

    // Only stores the texts; the controls get them when the dialog opens.
    void SetValues(const CString& shortcutText, const CString& action, const CString& description, const CString& script);
    CString GetShortcutText() const { return shortcutText; }
    CString GetAction() const { return action; }
    CString GetDescription() const { return description; }
    CString GetScript() const { return script; }
    bool Capturing() const { return capturing; }
    // The list's other rows: OK asks before it keeps a combination that one of them
    // (enabled) also fires on, and capturing names such a row as it happens.
    void SetOtherRows(std::vector<ClashCandidate> rows) { otherRows = std::move(rows); }

    // 0 no type chosen, 1 Batch, 2 VBScript, 3 JScript; the type box shows entry scriptType - 1.
    int scriptType = 0;

    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnCapture();
    LRESULT OnKeyCaptured(WPARAM wParam, LPARAM lParam);
    void OnLeftRightClicked();
    void OnTestScript();
    void OnActionSelected();
    void OnTypeSelected();
    void OnDestroy();
    BOOL OnHelpInfo(HELPINFO* info);
    void OnOK() override;
    DECLARE_MESSAGE_MAP()

private:
    CReadOnlyComboBox actionCombo;  // template 138 only
    CReadOnlyComboBox typeCombo;    // template 139 only
    UINT templateId;
    bool editing;
    CString shortcutText;
    CString action;
    CString script;
    CString description;
    CButton captureButton;
    bool capturing = false;
    // The last captured text that ended in a main key; shown again at each key release.
    CString lastCapturedText;
    // Not stored anywhere: ticked each time the dialog opens.
    BOOL useLeftRight = TRUE;

    // The clash line under the Shortcut box, for the text in it.
    void ShowClashNote();
    // Asks about a clash or a combination others use; false when the user said No.
    bool ConfirmCombination(const CString& text);
    std::vector<ClashCandidate> otherRows;
    CString openedShortcutText;
};
