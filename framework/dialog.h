// CDialog: a real dialog from a template resource, run modeless (Create) or modal
// (DoModal). Derived classes override OnInitDialog and DoDataExchange; UpdateData runs
// the DDX functions in one direction. OK and Cancel end the dialog: a modal run returns
// IDOK or IDCANCEL, a modeless dialog is only hidden (EndDialog does not destroy it).
// A dialog built in memory is constructed without a template id and given its template
// with InitModalIndirect before DoModal; the caller keeps the template alive meanwhile.
#pragma once

#include <windows.h>

#include "cstring.h"
#include "wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) : templateId_(templateId), parent_(parent) {}
    CDialog() : CDialog(0) {}

    BOOL InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);

    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // IDOK, IDCANCEL or what EndDialog was given; -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    BOOL EndDialog(INT_PTR result) const { return ::EndDialog(m_hWnd, result); }

    // TRUE: controls to members (and validate); FALSE: members to controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* message) override;
    // Sends the messages of the template's initialisation data (resource type 240, the same
    // id as the template: control id, message, data length, data; ending in a zero id)
    // to its controls. Runs before OnInitDialog; true when there was nothing wrong.
    BOOL ExecuteDlgInit(UINT templateId);

protected:
    // Base: fills the controls from the members; TRUE gives the first control the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Unhandled commands go on to the application's command map.
    bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    UINT templateId_;
    CWnd* parent_;
    const DLGTEMPLATE* indirectTemplate_ = nullptr;

    DECLARE_MESSAGE_MAP()
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }
};

// The data exchange of one UpdateData run. A DDX function that fails (text that is not
// a number, a missing control) tells the user, focuses the control and marks the run as
// failed; later DDX calls of the run then do nothing.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    bool failed = false;

    // The control's handle, remembered for Fail; null (and the run failed) when missing.
    HWND PrepareCtrl(int id);
    void Fail();

private:
    HWND lastControl_ = nullptr;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
