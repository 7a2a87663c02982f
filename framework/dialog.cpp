#include "dialog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "winapp.h"

namespace {

// The dialog manager's own procedure does nothing: every message already went through
// the dialog's message map on its way to the dialog class's window procedure.
INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The system's modal loop shows each message to the thread's WH_MSGFILTER hook (code
// MSGF_DIALOGBOX) before its own dialog handling: there the windows under the message,
// innermost first, get their PreTranslateMessage, as in the framework's own loop.
thread_local HHOOK modalFilter = nullptr;
thread_local int modalDepth = 0;
// The message being pre-translated: CDialog::PreTranslateMessage calls IsDialogMessage,
// which shows that same message (perhaps as a copy) to this filter again. A modal loop
// started while it is dispatched filters its own messages as usual.
thread_local MSG filtering = {};

bool SameMessage(const MSG& a, const MSG& b) {
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam && a.time == b.time;
}

LRESULT CALLBACK ModalFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    if (code != MSGF_DIALOGBOX || SameMessage(*message, filtering)) return CallNextHookEx(modalFilter, code, wParam, lParam);
    const MSG outer = filtering;
    filtering = *message;
    BOOL handled = FALSE;
    for (HWND window = message->hwnd; window && !handled;) {
        if (CWnd* object = CWnd::FromHandlePermanent(window)) handled = object->PreTranslateMessage(message);
        if (!(::GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) break;
        window = ::GetParent(window);
    }
    filtering = outer;
    return handled ? TRUE : CallNextHookEx(modalFilter, code, wParam, lParam);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOKCommand)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    templateId_ = templateId;
    parent_ = parent;
    HookWindowCreate(this);
    HWND window = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId), parent ? parent->m_hWnd : nullptr,
                                       DialogProc, 0);
    UnhookWindowCreate();
    return window != nullptr;
}

BOOL CDialog::InitModalIndirect(const DLGTEMPLATE* dialogTemplate, CWnd* parent) {
    indirectTemplate_ = dialogTemplate;
    parent_ = parent;
    return dialogTemplate != nullptr;
}

INT_PTR CDialog::DoModal() {
    // Without a parent the main window owns the dialog, so it is disabled while the dialog
    // runs; when the main window has a dialog of its own open, that one owns it instead.
    HWND owner = parent_ ? parent_->m_hWnd : nullptr;
    CWnd* main = AfxGetMainWnd();
    if (!owner && main && main != this && main->m_hWnd) owner = ::GetLastActivePopup(main->m_hWnd);
    if (modalDepth++ == 0) modalFilter = ::SetWindowsHookExW(WH_MSGFILTER, ModalFilterProc, nullptr, ::GetCurrentThreadId());
    HookWindowCreate(this);
    const INT_PTR result =
        indirectTemplate_ ? ::DialogBoxIndirectParamW(AfxGetResourceHandle(), indirectTemplate_, owner, DialogProc, 0)
                          : ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(templateId_), owner, DialogProc, 0);
    UnhookWindowCreate();
    if (--modalDepth == 0 && modalFilter) {
        ::UnhookWindowsHookEx(modalFilter);
        modalFilter = nullptr;
    }
    return result;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return !exchange.failed;
}

BOOL CDialog::PreTranslateMessage(MSG* message) {
    // Tab, arrows, Enter and Escape for a modeless dialog; a modal one has its own loop.
    return m_hWnd && ::IsDialogMessageW(m_hWnd, message);
}

BOOL CDialog::ExecuteDlgInit(UINT templateId) {
    const LPCWSTR kDialogInitType = MAKEINTRESOURCEW(240);
    const WORD kWin16ListBoxAddString = 0x0401, kWin16ComboBoxAddString = 0x0403;
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), kDialogInitType);
    if (!found) return TRUE;
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    const DWORD size = ::SizeofResource(module, found);
    if (!data) return FALSE;
    // Records are packed: read the fields bytewise, and never past the resource's end.
    for (DWORD at = 0; at + 2 <= size;) {
        WORD id = 0, message = 0;
        DWORD length = 0;
        std::memcpy(&id, data + at, 2);
        if (id == 0) return TRUE;
        if (at + 8 > size) return FALSE;
        std::memcpy(&message, data + at + 2, 2);
        std::memcpy(&length, data + at + 4, 4);
        at += 8;
        if (length > size - at) return FALSE;
        // Resource compilers store the list messages in their 16-bit numbering.
        if (message == kWin16ListBoxAddString) message = LB_ADDSTRING;
        if (message == kWin16ComboBoxAddString) message = CB_ADDSTRING;
        // The entries are stored as narrow text (our resource scripts keep them UTF-8).
        const char* entry = reinterpret_cast<const char*>(data + at);
        const std::wstring text = Wide(entry, strnlen(entry, length));
        ::SendDlgItemMessageW(m_hWnd, id, message, 0, reinterpret_cast<LPARAM>(text.c_str()));
        at += length;
    }
    return FALSE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CWnd::WindowProc(message, wParam, lParam);
        ExecuteDlgInit(templateId_);
        return OnInitDialog();
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

bool CDialog::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (CWnd::OnCommand(wParam, lParam, result)) return true;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(LOWORD(wParam), lParam == 0 ? 0 : HIWORD(wParam), wParam, lParam, result);
}

HWND CDataExchange::PrepareCtrl(int id) {
    lastControl_ = m_pDlgWnd->GetDlgItem(id);
    if (!lastControl_) failed = true;
    return lastControl_;
}

void CDataExchange::Fail() {
    if (lastControl_) {
        ::SetFocus(lastControl_);
        if (::SendMessageW(lastControl_, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) ::SendMessageW(lastControl_, EM_SETSEL, 0, -1);
    }
    failed = true;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx->failed || control.m_hWnd) return;
    HWND window = dx->PrepareCtrl(id);
    if (window && !control.SubclassWindow(window)) dx->failed = true;
}

namespace {

void ReadWindowText(HWND control, CString& value) { value = AfxGetWindowText(control); }

// An int that a control reports with one message and takes with another.
void ExchangeByMessage(CDataExchange* dx, int id, int& value, UINT getMessage, UINT setMessage) {
    if (dx->failed) return;
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, getMessage, 0, 0));
    else
        ::SendMessageW(control, setMessage, static_cast<WPARAM>(value), 0);
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    if (dx->failed) return;
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        ReadWindowText(control, value);
    } else {
        ::SetWindowTextW(control, Wide(value).c_str());
    }
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    if (dx->failed) return;
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (!dx->m_bSaveAndValidate) {
        CString text;
        text.Format("%d", value);
        ::SetWindowTextW(control, Wide(text).c_str());
        return;
    }
    const CString text = AfxGetWindowText(control);
    const char* begin = text;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(begin, &end, 10);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (end == begin || *end != '\0' || errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        AfxMessageBox("Please enter an integer.", MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
        return;
    }
    value = static_cast<int>(number);
}


void DDX_Check(CDataExchange* dx, int id, int& value) { ExchangeByMessage(dx, id, value, BM_GETCHECK, BM_SETCHECK); }

void DDX_CBIndex(CDataExchange* dx, int id, int& index) { ExchangeByMessage(dx, id, index, CB_GETCURSEL, CB_SETCURSEL); }

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
    if (dx->failed) return;
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        ReadWindowText(control, value);
    } else if ((::GetWindowLongW(control, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) {
        // A drop-down list has no edit part: select the entry that starts with the text.
        ::SendMessageW(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Wide(value).c_str()));
    } else {
        ::SetWindowTextW(control, Wide(value).c_str());
    }
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) { ExchangeByMessage(dx, id, index, LB_GETCURSEL, LB_SETCURSEL); }
