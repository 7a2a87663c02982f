// Message maps: static tables that bind window messages, command ids and notifications to
// handler methods. A class declares its map with DECLARE_MESSAGE_MAP() and defines it
// between BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP(); a message no entry of the
// class takes is looked up in the base class's map, and so on up to CCmdTarget.
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_COMMAND(IDC_RUN, OnRun)
//       ON_NOTIFY(NM_DBLCLK, IDC_LIST, OnListDoubleClick)
//       ON_WM_SIZE()
//   END_MESSAGE_MAP()
//
// Each entry carries a small function, made from a lambda in the macro, that casts the
// target to the map's class and calls the handler with the message's unpacked arguments.
#pragma once

#include <windows.h>

class CCmdTarget;

struct AFX_MSGMAP_ENTRY {
    UINT message;  // 0 ends a table
    UINT code;     // notification code of WM_COMMAND and WM_NOTIFY entries
    UINT firstId;  // id range of WM_COMMAND and WM_NOTIFY entries
    UINT lastId;
    // Returns whether the message was handled; result is what the window procedure returns.
    bool (*handler)(CCmdTarget& target, WPARAM wParam, LPARAM lParam, LRESULT& result);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*base)();
    const AFX_MSGMAP_ENTRY* entries;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler for a command (WM_COMMAND with this id and notification code).
    virtual bool OnCmdMsg(UINT id, UINT code, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // The first entry of this object's maps that takes the message, or null.
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                                 \
protected:                                                    \
    static const AFX_MSGMAP* GetThisMessageMap();             \
    const AFX_MSGMAP* GetMessageMap() const override;         \
                                                              \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                               \
        using ThisClass = theClass;                                                 \
        using TheBaseClass = baseClass;                                             \
        static_assert(sizeof(ThisClass) > 0, "a complete class");                   \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                         \
            {0, 0, 0, 0, nullptr}};                                               \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                              \
    }

#define AFX_TARGET static_cast<ThisClass&>(target)
#define AFX_HANDLER [](CCmdTarget & target, WPARAM wParam, LPARAM lParam, LRESULT & result) -> bool

// Commands from menus, accelerators and buttons (BN_CLICKED): void fn().
#define ON_COMMAND(id, fn) \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(id), AFX_HANDLER { (void)wParam, (void)lParam, (void)result; AFX_TARGET.fn(); return true; }},
// A range of command ids: void fn(UINT id).
#define ON_COMMAND_RANGE(first, last, fn)                                       \
    {WM_COMMAND, 0, (UINT)(first), (UINT)(last), AFX_HANDLER {                  \
        (void)lParam, (void)result; AFX_TARGET.fn(LOWORD(wParam)); return true; }},
// A control notification carried by WM_COMMAND: void fn().
#define ON_CONTROL(code, id, fn) \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AFX_HANDLER { (void)wParam, (void)lParam, (void)result; AFX_TARGET.fn(); return true; }},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)

// WM_NOTIFY from the control with this id (the window in hwndFrom): void fn(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, fn)                                                    \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), AFX_HANDLER {                \
        (void)wParam; AFX_TARGET.fn(reinterpret_cast<NMHDR*>(lParam), &result); return true; }},
// WM_NOTIFY from controls in an id range, handled only when fn returns TRUE: BOOL fn(UINT id, NMHDR*, LRESULT*).
#define ON_NOTIFY_EX_RANGE(code, first, last, fn)                                  \
    {WM_NOTIFY, (UINT)(code), (UINT)(first), (UINT)(last), AFX_HANDLER {           \
        (void)wParam;                                                              \
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);                          \
        return AFX_TARGET.fn(static_cast<UINT>(header->idFrom), header, &result) != FALSE; }},

// Any message: LRESULT fn(WPARAM, LPARAM).
#define ON_MESSAGE(message, fn) \
    {(UINT)(message), 0, 0, 0, AFX_HANDLER { result = AFX_TARGET.fn(wParam, lParam); return true; }},

// Window messages with unpacked arguments.
#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, 0, AFX_HANDLER { (void)wParam, (void)lParam, (void)result; AFX_TARGET.OnPaint(); return true; }},
#define ON_WM_ERASEBKGND()                                                             \
    {WM_ERASEBKGND, 0, 0, 0, AFX_HANDLER {                                             \
        (void)lParam; result = AFX_TARGET.OnEraseBkgnd(reinterpret_cast<HDC>(wParam)); return true; }},
#define ON_WM_SIZE()                                                                   \
    {WM_SIZE, 0, 0, 0, AFX_HANDLER {                                                   \
        (void)result; AFX_TARGET.OnSize(static_cast<UINT>(wParam), (short)LOWORD(lParam), (short)HIWORD(lParam)); \
        return true; }},
#define ON_WM_SIZING()                                                                 \
    {WM_SIZING, 0, 0, 0, AFX_HANDLER {                                                 \
        AFX_TARGET.OnSizing(static_cast<UINT>(wParam), reinterpret_cast<RECT*>(lParam)); result = TRUE; return true; }},
#define ON_WM_CLOSE() \
    {WM_CLOSE, 0, 0, 0, AFX_HANDLER { (void)wParam, (void)lParam, (void)result; AFX_TARGET.OnClose(); return true; }},
#define ON_WM_DESTROY() \
    {WM_DESTROY, 0, 0, 0, AFX_HANDLER { (void)wParam, (void)lParam, (void)result; AFX_TARGET.OnDestroy(); return true; }},
#define ON_WM_TIMER() \
    {WM_TIMER, 0, 0, 0, AFX_HANDLER { (void)lParam, (void)result; AFX_TARGET.OnTimer(static_cast<UINT_PTR>(wParam)); return true; }},
#define ON_WM_SYSCOMMAND()                                                             \
    {WM_SYSCOMMAND, 0, 0, 0, AFX_HANDLER {                                             \
        (void)result; AFX_TARGET.OnSysCommand(static_cast<UINT>(wParam), lParam); return true; }},
// The seven WM_CTLCOLOR* messages, as one handler with the kind (CTLCOLOR_EDIT, ...):
// HBRUSH fn(HDC dc, HWND control, UINT kind).
#define AFX_CTLCOLOR_ENTRY(kind)                                                        \
    {WM_CTLCOLORMSGBOX + (kind), 0, 0, 0, AFX_HANDLER {                                 \
        result = reinterpret_cast<LRESULT>(AFX_TARGET.OnCtlColor(reinterpret_cast<HDC>(wParam), \
                                                                 reinterpret_cast<HWND>(lParam), (kind))); \
        return true; }},
#define ON_WM_CTLCOLOR()                                                                \
    AFX_CTLCOLOR_ENTRY(CTLCOLOR_MSGBOX) AFX_CTLCOLOR_ENTRY(CTLCOLOR_EDIT) AFX_CTLCOLOR_ENTRY(CTLCOLOR_LISTBOX) \
    AFX_CTLCOLOR_ENTRY(CTLCOLOR_BTN) AFX_CTLCOLOR_ENTRY(CTLCOLOR_DLG) AFX_CTLCOLOR_ENTRY(CTLCOLOR_SCROLLBAR) \
    AFX_CTLCOLOR_ENTRY(CTLCOLOR_STATIC)
#define ON_WM_HELPINFO()                                                               \
    {WM_HELP, 0, 0, 0, AFX_HANDLER {                                                   \
        (void)wParam; result = AFX_TARGET.OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam)); return true; }},

// Mouse and menu messages with unpacked arguments; the point is in client coordinates, or
// in screen coordinates for WM_CONTEXTMENU (-1, -1 when the keyboard asked for the menu).
#define AFX_LPARAM_POINT POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)}
#define ON_WM_MOUSEMOVE()                                                              \
    {WM_MOUSEMOVE, 0, 0, 0, AFX_HANDLER {                                              \
        (void)result; AFX_TARGET.OnMouseMove(static_cast<UINT>(wParam), AFX_LPARAM_POINT); \
        return true; }},
#define ON_WM_LBUTTONDOWN()                                                            \
    {WM_LBUTTONDOWN, 0, 0, 0, AFX_HANDLER {                                            \
        (void)result; AFX_TARGET.OnLButtonDown(static_cast<UINT>(wParam), AFX_LPARAM_POINT); \
        return true; }},
#define ON_WM_CONTEXTMENU()                                                            \
    {WM_CONTEXTMENU, 0, 0, 0, AFX_HANDLER {                                            \
        (void)result; AFX_TARGET.OnContextMenu(reinterpret_cast<HWND>(wParam), AFX_LPARAM_POINT); \
        return true; }},
#define ON_WM_SETCURSOR()                                                              \
    {WM_SETCURSOR, 0, 0, 0, AFX_HANDLER {                                              \
        result = AFX_TARGET.OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)); return true; }},

// Reflected messages: a control's request to its parent, sent back to the control's own
// map (see CWnd::ReflectCtlColor). The colour request of any WM_CTLCOLOR* message comes
// as one AFX_CTLCOLOR; the handler returns the brush, or null to leave it to the parent:
// HBRUSH CtlColor(HDC dc, UINT ctlType).
#define WM_REFLECT_BASE 0xBC00
#define AFX_WM_CTLCOLOR 0x0019
struct AFX_CTLCOLOR {
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;  // CTLCOLOR_STATIC and the others
};
#define ON_WM_CTLCOLOR_REFLECT()                                                       \
    {WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, 0, AFX_HANDLER {                         \
        (void)wParam;                                                                  \
        const AFX_CTLCOLOR* request = reinterpret_cast<const AFX_CTLCOLOR*>(lParam);   \
        result = reinterpret_cast<LRESULT>(AFX_TARGET.CtlColor(request->hDC, request->nCtlType)); return true; }},
