// CToolBar: a common-controls tool bar docked in its parent by RepositionBars. The
// buttons come from a tool-bar resource (type RT_TOOLBAR):
//   WORD version (1), WORD image width, WORD image height, WORD item count,
//   then one WORD command id per item, 0 for a separator;
// the images from the bitmap resource of the same id: one image per button in button
// order, magenta (255, 0, 255) where transparent. With CBRS_TOOLTIPS the control asks its
// parent for each button's tip with TTN_NEEDTEXT.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "afxres.h"
#include "gdi_objects.h"
#include "wnd.h"

#define RT_TOOLBAR MAKEINTRESOURCEW(241)

// Sent by RepositionBars to each control bar; lParam points to AFX_SIZEPARENTPARAMS.
constexpr UINT WM_SIZEPARENT = 0x0361;

struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;      // null when only asking (reposQuery)
    RECT rect;      // the area still free; each bar takes its part from it
    SIZE sizeTotal; // the size of all bars so far
    BOOL bStretch;  // bars take the full width
};

class CToolBar : public CWnd {
public:
    // ctrlStyle: TBSTYLE_ flags; style: WS_ flags and CBRS_ flags; borders in pixels inside the bar.
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                  RECT borders = RECT{0, 0, 0, 0}, UINT id = AFX_IDW_TOOLBAR);
    BOOL LoadToolBar(UINT id) { return LoadToolBar(id, id, 0); }
    // The buttons of tool-bar resource id with their images from bitmapId, each imageSize
    // pixels square (0: the size the tool-bar resource gives), for screens of other DPIs.
    BOOL LoadToolBar(UINT id, UINT bitmapId, int imageSize);
    // The height the bar takes at the top of its parent.
    int CalcHeight() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnSizeParent(AFX_SIZEPARENTPARAMS* layout) const;

    DWORD barStyle_ = 0;
    RECT borders_ = {0, 0, 0, 0};
    CImageList images_;
};
