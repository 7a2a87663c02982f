#include "edit_shortcut_dlg.h"

#include <htmlhelp.h>

#include "core/shortcut_store.h"
#include "editor_app.h"
#include "engine.h"
#include "html_help.h"
#include "resource.h"
#include "text.h"

namespace {

// Help topics of the two templates; the script dialog's is not 0x20000 plus its id.
constexpr DWORD_PTR kShortcutHelpTopic = 0x20000 + IDD_EDIT_SHORTCUT;
constexpr DWORD_PTR kScriptHelpTopic = 0x2009B;
constexpr const char* kUserDefined = "User defined";
// The store's readers take an item text of up to kItemStringLimit characters with its
// terminator and treat a longer one as absent: a box must not take more than they read.
constexpr WPARAM kTextLimit = store::kItemStringLimit - 1;

// The action box: reading takes its text; writing selects the entry that is exactly the
// text, or else shows the text with no entry selected. (Selecting an entry that merely
// begins with the text would turn a typed "U" into "User defined".)
void ExchangeAction(CDataExchange* dx, CComboBox& box, CString& action) {
    if (dx->failed) return;
    if (dx->m_bSaveAndValidate) {
        box.GetWindowText(action);
        return;
    }
    int entry = -1;
    for (int i = 0; i < box.GetCount() && entry < 0; ++i) {
        CString text;
        box.GetLBText(i, text);
        if (text == action) entry = i;
    }
    box.SetCurSel(entry);
    if (entry < 0) box.SetWindowText(action);
}

}  // namespace

BEGIN_MESSAGE_MAP(CEditShortcutDlg, CDialog)
    ON_BN_CLICKED(IDC_CAPTURE, OnCapture)
    ON_MESSAGE(UM_KEYCAPTURED, OnKeyCaptured)
    ON_BN_CLICKED(IDC_LEFT_RIGHT, OnLeftRightClicked)
    ON_BN_CLICKED(IDC_TEST_SCRIPT, OnTestScript)
    ON_CBN_SELCHANGE(IDC_ACTION, OnActionSelected)
    ON_CBN_SELCHANGE(IDC_SCRIPT_TYPE, OnTypeSelected)
    ON_WM_DESTROY()
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CEditShortcutDlg::CEditShortcutDlg(UINT templateId, bool editing, CWnd* parent)
    : CDialog(templateId, parent), templateId(templateId), editing(editing) {}

void CEditShortcutDlg::SetValues(const CString& shortcutText, const CString& action, const CString& description,
                                 const CString& script) {
    this->shortcutText = shortcutText;
    openedShortcutText = shortcutText;
    this->action = action;
    this->description = description;
    this->script = script;
}

void CEditShortcutDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, IDC_SHORTCUT_TEXT, shortcutText);
    DDX_Text(dx, IDC_DESCRIPTION, description);
    DDX_Control(dx, IDC_CAPTURE, captureButton);
    DDX_Check(dx, IDC_LEFT_RIGHT, useLeftRight);
    if (templateId == IDD_EDIT_SHORTCUT) {
        DDX_Control(dx, IDC_ACTION, actionCombo);
        ExchangeAction(dx, actionCombo, action);
    } else {
        DDX_Text(dx, IDC_ACTION, action);
        DDX_Text(dx, IDC_SCRIPT, script);
        DDX_Control(dx, IDC_SCRIPT_TYPE, typeCombo);
    }
}

BOOL CEditShortcutDlg::OnInitDialog() {
    // Ticked at every opening; then the controls are filled while the action box has no
    // entries yet, so the action stands as text.
    useLeftRight = TRUE;
    CDialog::OnInitDialog();
    // A paste beyond the limit is cut in the box, where the user sees it.
    const auto limit = [this](int id, UINT message) { ::SendDlgItemMessageW(m_hWnd, id, message, kTextLimit, 0); };
    limit(IDC_DESCRIPTION, EM_LIMITTEXT);
    if (templateId == IDD_EDIT_SHORTCUT) {
        limit(IDC_ACTION, CB_LIMITTEXT);
    } else {
        limit(IDC_ACTION, EM_LIMITTEXT);
        limit(IDC_SCRIPT, EM_LIMITTEXT);
    }
    if (templateId == IDD_EDIT_SHORTCUT) {
        SetWindowText(editing ? "Edit shortcut" : "Add shortcut");
        actionCombo.AddString(kUserDefined);
        for (const store::SpecialFolder& folder : store::kSpecialFolders) actionCombo.AddString(folder.name);
        actionCombo.SetReadOnly(store::SpecialFolderCode(action) != 0);
    } else {
        SetWindowText(editing ? "Edit script" : "Add script");
        typeCombo.SetCurSel(scriptType - 1);
    }
    return TRUE;
}

void CEditShortcutDlg::OnActionSelected() {
    // Read first, so that what was typed in the other boxes stays.
    UpdateData(TRUE);
    // The box's text still shows the previous choice while it reports the new one.
    const int entry = actionCombo.GetCurSel();
    if (entry != 0) {
        if (entry > 0) actionCombo.GetLBText(entry, action);
        actionCombo.GetEditPart().SetReadOnly(TRUE);
    } else {
        actionCombo.SetCurSel(-1);
        action.Empty();
        actionCombo.GetEditPart().SetReadOnly(FALSE);
    }
    UpdateData(FALSE);
}

void CEditShortcutDlg::OnTypeSelected() {
    scriptType = typeCombo.GetCurSel() + 1;
    UpdateData(TRUE);
}

void CEditShortcutDlg::OnLeftRightClicked() {
    // Read before writing, so that text typed in the other boxes stays. The text in the
    // Shortcut box stays too; the setting applies to the next captured key.
    const BOOL ticked = !useLeftRight;
    UpdateData(TRUE);
    useLeftRight = ticked;
    UpdateData(FALSE);
}

void CEditShortcutDlg::OnTestScript() {
    UpdateData(TRUE);
    RunScriptAndReport(scriptType, script);
}

BOOL CEditShortcutDlg::OnHelpInfo(HELPINFO* info) {
    if (info->iContextType != HELPINFO_WINDOW) return CDialog::OnHelpInfo(info);
    ShowContextHelp(*info, templateId == IDD_EDIT_SHORTCUT ? kShortcutHelpTopic : kScriptHelpTopic);
    return TRUE;
}
