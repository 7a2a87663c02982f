#include "wnd.h"

#include <exception>
#include <unordered_map>

#include "afxres.h"
#include "winapp.h"

namespace {

// The objects attached to this thread's windows. Every message to an attached window
// looks its object up; a window property would serve too, but under Wine each property
// read is a round trip to the server.
std::unordered_map<HWND, CWnd*>& AttachedObjects() {
    thread_local std::unordered_map<HWND, CWnd*> objects;
    return objects;
}

// Per thread: the object the next created window attaches to, and the CBT hook that does it.
thread_local CWnd* windowBeingCreated = nullptr;
thread_local HHOOK creationHook = nullptr;

LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && windowBeingCreated) {
        CWnd* object = windowBeingCreated;
        windowBeingCreated = nullptr;
        object->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(creationHook, code, wParam, lParam);
}

// No exception may unwind through the system's code that called a window procedure.
void ReportUnexpectedFailure(const char* what) {
    CString text;
    text.Format("An internal error stopped this action:\n%s", what);
    ::MessageBoxW(nullptr, Wide(text).c_str(), Wide(AfxGetAppName()).c_str(), MB_OK | MB_ICONHAND | MB_TASKMODAL);
}

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (!object) return ::DefWindowProcW(window, message, wParam, lParam);
    try {
        if (message == WM_NCDESTROY) return object->HandleNcDestroy(wParam, lParam);
        return object->WindowProc(message, wParam, lParam);
    } catch (const std::exception& error) {
        ReportUnexpectedFailure(error.what());
    } catch (...) {
        ReportUnexpectedFailure("unknown exception");
    }
    return 0;
}

CWnd::~CWnd() {
    if (m_hWnd) ::DestroyWindow(UnsubclassWindow());
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    if (!window) return nullptr;
    const auto& objects = AttachedObjects();
    const auto found = objects.find(window);
    return found == objects.end() ? nullptr : found->second;
}

BOOL CWnd::SubclassWindow(HWND window) {
    if (!window || m_hWnd || FromHandlePermanent(window)) return FALSE;
    AttachedObjects()[window] = this;
    m_hWnd = window;
    superProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) { return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))); }

HWND CWnd::UnsubclassWindow() {
    HWND window = m_hWnd;
    if (!window) return nullptr;
    if (superProc_ && ::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc))
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
    AttachedObjects().erase(window);
    superProc_ = nullptr;
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

CString AfxGetWindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
    const int got = ::GetWindowTextW(window, &text[0], static_cast<int>(text.size()));
    return CString(Narrow(text.data(), static_cast<size_t>(got < 0 ? 0 : got)));
}

void CWnd::GetWindowText(CString& text) const { text = AfxGetWindowText(m_hWnd); }

int CWnd::MessageBox(const char* text, const char* caption, UINT type) const {
    return ::MessageBoxW(m_hWnd, Wide(text).c_str(), caption ? Wide(caption).c_str() : nullptr, type);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) const {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    if (swpFlags) SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Handlers may call Default() for the message in hand; nested messages keep their own.
    const CurrentMessage outer = current_;
    current_ = {message, wParam, lParam};
    LRESULT result = 0;
    bool handled = false;
    if (message == WM_COMMAND) {
        handled = OnCommand(wParam, lParam, result);
    } else if (message == WM_NOTIFY) {
        // Entries name the control that sends the notification; a tooltip's idFrom names its tool instead.
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        const UINT id = header->hwndFrom ? static_cast<UINT>(::GetDlgCtrlID(header->hwndFrom)) : static_cast<UINT>(header->idFrom);
        const AFX_MSGMAP_ENTRY* entry = FindEntry(WM_NOTIFY, header->code, id);
        handled = entry && entry->handler(*this, wParam, lParam, result);
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && ReflectCtlColor(message, wParam, lParam, result)) {
        handled = true;
    } else if (const AFX_MSGMAP_ENTRY* entry = FindEntry(message, 0, 0)) {
        handled = entry->handler(*this, wParam, lParam, result);
    }
    if (!handled) result = DefWindowProc(message, wParam, lParam);
    current_ = outer;
    return result;
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Menus and accelerators (no control window) count as plain commands.
    const UINT code = lParam == 0 ? 0 : HIWORD(wParam);
    return OnCmdMsg(LOWORD(wParam), code, wParam, lParam, result);
}

bool CWnd::ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    CWnd* control = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (!control || control == this) return false;
    const AFX_MSGMAP_ENTRY* entry = control->FindEntry(WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0);
    if (!entry) return false;
    AFX_CTLCOLOR request = {control->m_hWnd, reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX};
    LRESULT brush = 0;
    entry->handler(*control, 0, reinterpret_cast<LPARAM>(&request), brush);
    if (!brush) return false;
    result = brush;
    return true;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (superProc_) return ::CallWindowProcW(superProc_, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(current_.message, current_.wParam, current_.lParam); }

BOOL CWnd::OnHelpInfo(HELPINFO*) {
    CWnd* main = AfxGetMainWnd();
    if (!(GetStyle() & WS_CHILD) && main && main->m_hWnd) {
        main->SendMessage(WM_COMMAND, ID_HELP);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

LRESULT CWnd::HandleNcDestroy(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefWindowProc(WM_NCDESTROY, wParam, lParam);
    UnsubclassWindow();
    // The end of the main window is the end of the program's message loop.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        ::PostQuitMessage(0);
        app->m_pMainWnd = nullptr;
    }
    PostNcDestroy();
    return result;
}

void CWnd::HookWindowCreate(CWnd* object) {
    windowBeingCreated = object;
    if (!creationHook) creationHook = ::SetWindowsHookExW(WH_CBT, CreationHookProc, nullptr, ::GetCurrentThreadId());
}

void CWnd::UnhookWindowCreate() {
    windowBeingCreated = nullptr;
    if (creationHook) ::UnhookWindowsHookEx(creationHook);
    creationHook = nullptr;
}
