// The main window's pixel sizes at the DPI of the monitor it is on: row icons, tool-bar
// images, window icons and column widths, made when it opens and again when it moves to
// a monitor of another DPI.
#include "shortcuts_dlg.h"

#include <commctrl.h>

#include <utility>

#include "dpi.h"
#include "resource.h"

namespace {

constexpr UINT kToolbarBitmaps[][2] = {{16, IDR_TOOLBAR}, {24, IDB_TOOLBAR_24}, {32, IDB_TOOLBAR_32}};

}  // namespace

void CShortcutsDlg::FillRowImages(CImageList& normalList, CImageList& smallList, UINT dpi) {
    for (auto [list, size] : {std::pair<CImageList*, int>{&normalList, 32}, {&smallList, 16}}) {
        const int pixels = ScaleForDpi(size, dpi);
        // 32-bit colour: with the default depth (16 colours) the icons' colours and soft
        // edges are lost.
        list->Create(pixels, pixels, ILC_COLOR32 | ILC_MASK, 0, 4);
        // Image index = script type: plain shortcut, Batch, VBScript, JScript.
        for (UINT icon : {IDI_SHORTCUT, IDI_BATCH, IDI_VBSCRIPT, IDI_JSCRIPT}) {
            HICON handle = LoadIconAtSize(AfxGetResourceHandle(), icon, pixels);
            list->Add(handle);
            if (handle) DestroyIcon(handle);
        }
    }
}

bool CShortcutsDlg::CreateToolbarControl() {
    if (!toolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC,
                          RECT{0, 0, 0, 0}, AFX_IDW_TOOLBAR))
        return false;
    const int size = ToolbarImageSize(dpi);
    UINT bitmap = IDR_TOOLBAR;
    for (const auto& [pixels, id] : kToolbarBitmaps)
        if (static_cast<int>(pixels) == size) bitmap = id;
    if (!toolBar.LoadToolBar(IDR_TOOLBAR, bitmap, size)) {
        toolBar.DestroyWindow();
        return false;
    }
    return true;
}

void CShortcutsDlg::SetWindowIcons() {
    HICON smallIcon = LoadIconAtSize(AfxGetResourceHandle(), IDI_TARVO, ScaleForDpi(16, dpi));
    HICON bigIcon = LoadIconAtSize(AfxGetResourceHandle(), IDI_TARVO, ScaleForDpi(32, dpi));
    SetIcon(bigIcon ? bigIcon : windowIcon, TRUE);
    SetIcon(smallIcon ? smallIcon : windowIcon, FALSE);
    // The window keeps using the handles it was given: the old ones go only once replaced.
    if (smallWindowIcon) DestroyIcon(smallWindowIcon);
    if (bigWindowIcon) DestroyIcon(bigWindowIcon);
    smallWindowIcon = smallIcon;
    bigWindowIcon = bigIcon;
}

LRESULT CShortcutsDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    // The dialog manager rescales the dialog's fonts and controls first.
    Default();
    const UINT oldDpi = dpi;
    dpi = HIWORD(wParam);
    if (dpi == 0 || dpi == oldDpi) return 0;

    auto* normalList = new CImageList;
    auto* smallList = new CImageList;
    FillRowImages(*normalList, *smallList, dpi);
    if (imageListsAttached) {
        // The list owns only the lists it holds: the old ones go once replaced.
        listControl.SetImageList(normalList, LVSIL_NORMAL);
        listControl.SetImageList(smallList, LVSIL_SMALL);
    }
    std::swap(normalImages, normalList);
    std::swap(smallImages, smallList);
    delete normalList;
    delete smallList;
    if (imageListsAttached)
        for (int column = 0; column < 3; ++column)
            listControl.SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                                    MulDiv(listControl.GetColumnWidth(column), static_cast<int>(dpi), static_cast<int>(oldDpi)));

    SetWindowIcons();
    if (toolbarMode && toolBar.m_hWnd) {
        toolBar.DestroyWindow();
        if (CreateToolbarControl()) RepositionBars(AFX_IDW_TOOLBAR, AFX_IDW_TOOLBAR + 0xFF, 0);
        UpdateCommandStates(listControl.GetSelectedCount() > 0);
    }
    minimumSize = SIZE{MulDiv(minimumSize.cx, static_cast<int>(dpi), static_cast<int>(oldDpi)),
                       MulDiv(minimumSize.cy, static_cast<int>(dpi), static_cast<int>(oldDpi))};
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RepositionToolbarAndList();
    return 0;
}
