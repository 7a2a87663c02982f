#include "toolbar.h"

#include <vector>

#include "winapp.h"

namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);
// Space the etched line of a CBRS_BORDER_ edge takes.
constexpr int kEdge = 2;

struct ToolBarResource {
    WORD version;
    WORD width;
    WORD height;
    WORD count;
    WORD ids[1];
};

}  // namespace

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, RECT borders, UINT id) {
    barStyle_ = style & CBRS_ALL;
    borders_ = borders;
    // The bar is placed by RepositionBars, not by the control's own parent alignment.
    DWORD windowStyle = (style & ~CBRS_ALL) | ctrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NORESIZE | CCS_NODIVIDER;
    if (style & CBRS_TOOLTIPS) windowStyle |= TBSTYLE_TOOLTIPS;
    HookWindowCreate(this);
    HWND window = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, windowStyle, 0, 0, 0, 0, parent->m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
    UnhookWindowCreate();
    if (!window) return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT id, UINT bitmapId, int imageSize) {
    HINSTANCE instance = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), RT_TOOLBAR);
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    const auto* data = loaded ? static_cast<const ToolBarResource*>(::LockResource(loaded)) : nullptr;
    const DWORD size = found ? ::SizeofResource(instance, found) : 0;
    if (!data || size < 8 || data->version != 1 || size < 8u + 2u * data->count) return FALSE;

    const int width = imageSize > 0 ? imageSize : data->width;
    const int height = imageSize > 0 ? imageSize : data->height;
    if (!images_.Attach(ImageList_LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), width, 0, kTransparent, IMAGE_BITMAP,
                                             LR_CREATEDIBSECTION)))
        return FALSE;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.m_hImageList));

    std::vector<TBBUTTON> buttons(data->count);
    int image = 0;
    for (WORD i = 0; i < data->count; ++i) {
        TBBUTTON& button = buttons[i];
        button.idCommand = data->ids[i];
        if (data->ids[i] == 0) {
            button.fsStyle = TBSTYLE_SEP;
        } else {
            button.iBitmap = image++;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
        }
    }
    return SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
}

int CToolBar::CalcHeight() const {
    int height = HIWORD(SendMessage(TB_GETBUTTONSIZE)) + borders_.top + borders_.bottom;
    if (barStyle_ & CBRS_BORDER_TOP) height += kEdge;
    if (barStyle_ & CBRS_BORDER_BOTTOM) height += kEdge;
    return height;
}

void CToolBar::OnSizeParent(AFX_SIZEPARENTPARAMS* layout) const {
    if (!(GetStyle() & WS_VISIBLE)) return;
    const int height = CalcHeight();
    const int width = layout->bStretch ? layout->rect.right - layout->rect.left : static_cast<int>(SendMessage(TB_GETBUTTONSIZE) & 0xFFFF);
    if (layout->hDWP)
        layout->hDWP = ::DeferWindowPos(layout->hDWP, m_hWnd, nullptr, layout->rect.left, layout->rect.top, width, height,
                                        SWP_NOZORDER | SWP_NOACTIVATE);
    layout->rect.top += height;
    layout->sizeTotal.cy += height;
    if (width > layout->sizeTotal.cx) layout->sizeTotal.cx = width;
}

LRESULT CToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZEPARENT:
        OnSizeParent(reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam));
        return 0;
    case WM_ERASEBKGND: {
        // The bar paints its own face: its parent may leave the background undrawn.
        RECT client;
        GetClientRect(&client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_NCCALCSIZE: {
        // Room for the etched edges and the borders outside the control's client area.
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        RECT* client = reinterpret_cast<RECT*>(lParam);
        if (barStyle_ & CBRS_BORDER_TOP) client->top += kEdge;
        if (barStyle_ & CBRS_BORDER_BOTTOM) client->bottom -= kEdge;
        client->top += borders_.top;
        client->bottom -= borders_.bottom;
        client->left += borders_.left;
        client->right -= borders_.right;
        if (client->bottom < client->top) client->bottom = client->top;
        return result;
    }
    case WM_NCPAINT: {
        CWnd::WindowProc(message, wParam, lParam);
        HDC dc = ::GetWindowDC(m_hWnd);
        RECT rect;
        GetWindowRect(&rect);
        RECT client;
        GetClientRect(&client);
        ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        ::OffsetRect(&client, -rect.left, -rect.top);
        ::OffsetRect(&rect, -rect.left, -rect.top);
        // Only the frame: the control paints its client area itself.
        ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
        UINT edges = 0;
        if (barStyle_ & CBRS_BORDER_TOP) edges |= BF_TOP;
        if (barStyle_ & CBRS_BORDER_BOTTOM) edges |= BF_BOTTOM;
        if (edges) ::DrawEdge(dc, &rect, EDGE_ETCHED, edges);
        ::ReleaseDC(m_hWnd, dc);
        return 0;
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CWnd::RepositionBars(UINT first, UINT last, UINT leftOver, UINT flags, RECT* rectParam, const RECT* rectClient,
                          BOOL stretch) {
    AFX_SIZEPARENTPARAMS layout = {};
    layout.bStretch = stretch;
    if (rectClient)
        layout.rect = *rectClient;
    else
        GetClientRect(&layout.rect);
    if (flags != reposQuery) layout.hDWP = ::BeginDeferWindowPos(8);

    HWND leftOverWindow = nullptr;
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == leftOver && leftOver != 0)
            leftOverWindow = child;
        else if (id >= first && id <= last && FromHandlePermanent(child))
            ::SendMessageW(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }

    if (flags == reposQuery) {
        if (rectParam) {
            if (stretch)
                *rectParam = layout.rect;
            else
                *rectParam = RECT{0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy};
        }
        return;
    }
    if (leftOverWindow) {
        RECT rest = layout.rect;
        if (flags == reposExtra && rectParam) {
            rest.left += rectParam->left;
            rest.top += rectParam->top;
            rest.right -= rectParam->right;
            rest.bottom -= rectParam->bottom;
        }
        if (layout.hDWP)
            layout.hDWP = ::DeferWindowPos(layout.hDWP, leftOverWindow, nullptr, rest.left, rest.top, rest.right - rest.left,
                                           rest.bottom - rest.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
}
