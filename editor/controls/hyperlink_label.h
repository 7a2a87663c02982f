// CHyperlinkLabel: a static text of a dialog turned into a link. Attach it to the static
// control with DDX_Control and give it a target with SetTarget; from its first paint on
// it is drawn underlined in the link colour (red under the pointer, purple once opened),
// shows the hand cursor, opens its target through the shell on a left click and offers
// Open, Copy Shortcut and Properties on its context menu.
#pragma once

#include <windows.h>

#include "afxwin.h"

class CHyperlinkLabel : public CStatic {
public:
    enum State { linkState = 0, visitedState = 1, hoverState = 2 };
    // The context menu's commands, which the label also takes as its own commands.
    enum Command : UINT { ID_LINK_COPY_SHORTCUT = 32771, ID_LINK_PROPERTIES = 32773, ID_LINK_OPEN = 32776 };

    CHyperlinkLabel();

    void SetTarget(const CString& newTarget) { target = newTarget; }

protected:
    HBRUSH CtlColor(HDC dc, UINT ctlType);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnContextMenu(HWND window, POINT point);
    void OnDestroy() { Default(); }
    // On a monitor of another DPI the dialog sets its controls a font made for that DPI:
    // the underlined copy follows it.
    LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
    void OnOpen();
    void OnCopyShortcut();
    void OnProperties();

    DECLARE_MESSAGE_MAP()

private:
    // Back to the state before the pointer came, repainted; true when it was hovering.
    bool LeaveHover();

    CString target;
    HCURSOR handCursor;
    COLORREF linkColour = RGB(0, 0, 255);
    COLORREF visitedColour = RGB(128, 0, 128);
    COLORREF hoverColour = RGB(255, 0, 0);
    int state = linkState;
    int stateBeforeHover = linkState;
    bool menuActive = false;
    CFont underlinedFont;
};

// The Properties box of a label, always run from the in-memory template that
// CHyperlinkLabel builds: the label's text beside the icon of web pages, and the target.
class CLinkPropertiesDlg : public CDialog {
public:
    // Control ids in the template.
    enum { IDC_LINK_ICON = 1019, IDC_LINK_URL = 1020 };

    CLinkPropertiesDlg() = default;
    ~CLinkPropertiesDlg() override;

protected:
    BOOL OnInitDialog() override;
    DECLARE_MESSAGE_MAP()

private:
    // The shell hands us its own copy of the icon; it is ours to destroy.
    HICON pageIcon = nullptr;
};

// The Properties box's template for a label's text and target: a DLGTEMPLATE with its
// six items, in a block from LocalAlloc of exactly the size it needs (size receives it).
// Null when the block cannot be allocated.
HLOCAL BuildLinkPropertiesTemplate(const char* text, const char* target, size_t* size);
