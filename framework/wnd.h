// CWnd: a C++ object attached to a window handle. Attaching subclasses the window so its
// messages go through the object's message map; what no entry handles goes to the
// window's previous procedure (DefWindowProc), which is also where Default() sends the
// message being handled. The object detaches itself when the window gets WM_NCDESTROY.
//
// Windows the framework creates (dialogs, tool bars) are attached from a CBT hook at
// creation, so their maps also see the first messages (WM_NCCREATE, WM_CREATE).
#pragma once

#include <windows.h>

#include "cmd_target.h"
#include "cstring.h"
#include "menu.h"
#include "text.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    // A window still attached is detached and then destroyed: by then the derived
    // object is gone, so its message map (OnDestroy and the rest) never sees the
    // window's end. Owners call DestroyWindow before deleting an object whose handlers
    // must run.
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to a window, or null. Windows are attached, detached and looked
    // up on the thread that owns them.
    static CWnd* FromHandlePermanent(HWND window);

    BOOL SubclassWindow(HWND window);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL PreTranslateMessage(MSG* message);

    // One-line wrappers over the API they name.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageW(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::PostMessageW(m_hWnd, message, wParam, lParam); }
    BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
    BOOL UpdateWindow() const { return ::UpdateWindow(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL DestroyWindow();
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const { ::MoveWindow(m_hWnd, x, y, width, height, repaint); }
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE) const { MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint); }
    BOOL SetWindowPos(HWND after, int x, int y, int width, int height, UINT flags) const { return ::SetWindowPos(m_hWnd, after, x, y, width, height, flags); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ScreenToClient(RECT* rect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2); }
    void SetWindowText(const char* text) const { ::SetWindowTextW(m_hWnd, Wide(text).c_str()); }
    void GetWindowText(CString& text) const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    // Changes the style bits; with swpFlags the frame is recalculated by SetWindowPos.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    HICON SetIcon(HICON icon, BOOL big) const { return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon))); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const { placement->length = sizeof *placement; return ::GetWindowPlacement(m_hWnd, placement); }
    // Not owned: the system menu belongs to the window.
    CMenu GetSystemMenu(BOOL revert) const { return CMenu(::GetSystemMenu(m_hWnd, revert), false); }
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK) const;
    HWND SetActiveWindow() const { return ::SetActiveWindow(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }

    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2 };
    // Lays out the control bars with ids first..last from the top of the client area
    // (rectClient when given) and gives the rest to the child leftOver (0 for none). In
    // reposQuery mode nothing moves; rectParam receives the client area that would be
    // left: the remaining rectangle when stretch, else the size the bars need.
    void RepositionBars(UINT first, UINT last, UINT leftOver, UINT flags = reposDefault, RECT* rectParam = nullptr,
                        const RECT* rectClient = nullptr, BOOL stretch = TRUE);

protected:
    // Runs the message map; what it leaves goes to DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's previous procedure (the class's own for subclassed windows).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc of the message being handled.
    LRESULT Default();
    // WM_COMMAND: the map of this window, then wherever RouteCommand sends it.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After WM_NCDESTROY has detached the object; an object that owns itself deletes itself here.
    virtual void PostNcDestroy() {}

    // Default handling for the ON_WM_ entries, for handlers that add to it.
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
    void OnSize(UINT, int, int) { Default(); }
    void OnSizing(UINT, RECT*) { Default(); }
    void OnClose() { Default(); }
    void OnDestroy() { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    HBRUSH OnCtlColor(HDC, HWND, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
    // A top-level window asks the main window for help (ID_HELP); a child passes F1 on.
    BOOL OnHelpInfo(HELPINFO* info);

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

    // Makes the next window this thread creates attach to object; undone by UnhookWindowCreate.
    static void HookWindowCreate(CWnd* object);
    static void UnhookWindowCreate();

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleNcDestroy(WPARAM wParam, LPARAM lParam);
    // A WM_CTLCOLOR* request about a control whose map takes the reflected request
    // (ON_WM_CTLCOLOR_REFLECT): the control answers it; true when it gave a brush.
    bool ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    WNDPROC superProc_ = nullptr;
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } current_ = {0, 0, 0};
};

LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A window's text as UTF-8.
CString AfxGetWindowText(HWND window);
