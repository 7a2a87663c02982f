#include "hyperlink_label.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "dpi.h"
#include "text.h"

namespace {

// One control of the Properties box; positions in dialog units.
struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    WORD classAtom;  // 0x0080 button, 0x0081 edit, 0x0082 static
    std::wstring text;
};

constexpr wchar_t kPropertiesTitle[] = L"Properties";
constexpr wchar_t kPropertiesFont[] = L"MS Sans Serif";
constexpr WORD kPropertiesFontSize = 8;

size_t RoundUp4(size_t size) { return (size + 3) & ~size_t(3); }

// Writes into a zero-filled block, so skipping bytes to a 4-byte boundary leaves zeros.
class TemplateWriter {
public:
    explicit TemplateWriter(BYTE* block) : begin_(block), at_(block) {}
    template <typename T>
    void Put(const T& value) {
        std::memcpy(at_, &value, sizeof value);
        at_ += sizeof value;
    }
    void PutText(const std::wstring& text) {
        std::memcpy(at_, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        at_ += (text.size() + 1) * sizeof(wchar_t);
    }
    void Align() { at_ = begin_ + RoundUp4(static_cast<size_t>(at_ - begin_)); }

private:
    BYTE* begin_;
    BYTE* at_;
};

}  // namespace

HLOCAL BuildLinkPropertiesTemplate(const char* text, const char* target, size_t* size) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    const TemplateItem items[] = {
        {child | BS_DEFPUSHBUTTON | WS_TABSTOP, 150, 147, 50, 14, IDOK, 0x0080, L"OK"},
        {child | SS_ICON, 7, 7, 32, 32, CLinkPropertiesDlg::IDC_LINK_ICON, 0x0082, L""},
        {child | SS_LEFT, 44, 14, 156, 25, 0xFFFF, 0x0082, Wide(text)},
        {child | SS_ETCHEDHORZ, 7, 44, 193, 1, 0xFFFF, 0x0082, L"Static"},
        {child | SS_LEFT, 7, 63, 37, 14, 0xFFFF, 0x0082, L"URL:"},
        {child | ES_MULTILINE | ES_READONLY | WS_TABSTOP, 44, 63, 156, 74, CLinkPropertiesDlg::IDC_LINK_URL, 0x0081, Wide(target)},
    };
    constexpr size_t count = sizeof items / sizeof items[0];

    // Header: the fixed part, no menu, the default class, the title, the font's size and face.
    *size = RoundUp4(sizeof(DLGTEMPLATE) + 2 * sizeof(WORD) + sizeof kPropertiesTitle + sizeof(WORD) + sizeof kPropertiesFont);
    for (size_t i = 0; i < count; ++i) {
        // The fixed part, the class by atom, the text with its terminator, no creation data.
        const size_t itemSize = sizeof(DLGITEMTEMPLATE) + 2 * sizeof(WORD) + (items[i].text.size() + 1) * sizeof(wchar_t) + sizeof(WORD);
        *size += i + 1 < count ? RoundUp4(itemSize) : itemSize;
    }

    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, *size);
    BYTE* bytes = block ? static_cast<BYTE*>(LocalLock(block)) : nullptr;
    if (!bytes) {
        if (block) LocalFree(block);
        return nullptr;
    }
    TemplateWriter writer(bytes);
    writer.Put(DLGTEMPLATE{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, static_cast<WORD>(count), 0, 0, 207, 169});
    writer.Put(WORD{0});
    writer.Put(WORD{0});
    writer.PutText(kPropertiesTitle);
    writer.Put(kPropertiesFontSize);
    writer.PutText(kPropertiesFont);
    for (const TemplateItem& item : items) {
        writer.Align();
        writer.Put(DLGITEMTEMPLATE{item.style, 0, item.x, item.y, item.cx, item.cy, item.id});
        writer.Put(WORD{0xFFFF});
        writer.Put(item.classAtom);
        writer.PutText(item.text);
        writer.Put(WORD{0});
    }
    LocalUnlock(block);
    return block;
}

BEGIN_MESSAGE_MAP(CHyperlinkLabel, CStatic)
    ON_WM_CONTEXTMENU()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_COMMAND(ID_LINK_COPY_SHORTCUT, OnCopyShortcut)
    ON_COMMAND(ID_LINK_PROPERTIES, OnProperties)
    ON_COMMAND(ID_LINK_OPEN, OnOpen)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_DESTROY()
    ON_MESSAGE(kDpiChangedAfterParent, OnDpiChangedAfterParent)
END_MESSAGE_MAP()

CHyperlinkLabel::CHyperlinkLabel() : handCursor(::LoadCursorW(nullptr, IDC_HAND)) {}

HBRUSH CHyperlinkLabel::CtlColor(HDC dc, UINT) {
    // A static control ignores the mouse unless it notifies its parent.
    const DWORD style = GetStyle();
    if (!(style & SS_NOTIFY)) ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(style | SS_NOTIFY));
    if (!underlinedFont.m_hObject) {
        LOGFONTW font = {};
        HFONT current = GetFont();
        if (!current) current = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
        if (::GetObjectW(current, sizeof font, &font) == sizeof font) {
            font.lfUnderline = 1;
            underlinedFont.CreateFontIndirect(&font);
        }
    }
    if (underlinedFont.m_hObject) ::SelectObject(dc, underlinedFont);
    const COLORREF colours[] = {linkColour, visitedColour, hoverColour};
    ::SetTextColor(dc, colours[state]);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

LRESULT CHyperlinkLabel::OnDpiChangedAfterParent(WPARAM, LPARAM) {
    HFONT dialogFont = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
    LOGFONTW font = {};
    if (dialogFont && ::GetObjectW(dialogFont, sizeof font, &font) == sizeof font) {
        font.lfUnderline = TRUE;
        if (HFONT underlined = ::CreateFontIndirectW(&font)) {
            // The control lets go of the old font before it is deleted.
            SetFont(underlined, TRUE);
            underlinedFont.Attach(underlined);
        }
    }
    return Default();
}

BOOL CHyperlinkLabel::OnSetCursor(HWND, UINT, UINT) {
    if (menuActive) return static_cast<BOOL>(Default());
    ::SetCursor(handCursor);
    return TRUE;
}

void CHyperlinkLabel::OnMouseMove(UINT, POINT point) {
    RECT client;
    GetClientRect(&client);
    if (::PtInRect(&client, point)) {
        if (state != hoverState) {
            // Captured, the label hears the move that takes the pointer off it.
            ::SetCapture(m_hWnd);
            stateBeforeHover = state;
            state = hoverState;
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
        }
    } else if (LeaveHover()) {
        ::ReleaseCapture();
    }
    Default();
}

bool CHyperlinkLabel::LeaveHover() {
    if (state != hoverState) return false;
    state = stateBeforeHover;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return true;
}

void CHyperlinkLabel::OnLButtonDown(UINT, POINT) {
    // Opened once the click itself has been handled.
    PostMessage(WM_COMMAND, ID_LINK_OPEN, 0);
}

void CHyperlinkLabel::OnOpen() {
    HINSTANCE result;
    {
        CWaitCursor wait;
        result = ::ShellExecuteW(::GetParent(m_hWnd), L"open", Wide(target).c_str(), nullptr, nullptr, SW_SHOW);
    }
    // The shell may pump messages; the box can have been closed meanwhile, and
    // InvalidateRect(nullptr) would then repaint every window.
    if (reinterpret_cast<INT_PTR>(result) <= 32 || !::IsWindow(m_hWnd)) return;
    state = visitedState;
    // Kept, the capture taken on hover would send every later click in the dialog here
    // (OK included) and open the target again. Once it is released the label no longer
    // hears the pointer leave, so it shows the visited colour now.
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CHyperlinkLabel::OnCopyShortcut() {
    if (!::OpenClipboard(m_hWnd)) return;
    const std::wstring wide = Wide(target);
    const size_t size = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    void* text = block ? ::GlobalLock(block) : nullptr;
    if (text) {
        std::memcpy(text, wide.c_str(), size);
        ::GlobalUnlock(block);
        ::EmptyClipboard();
        // The clipboard owns the block once it took it.
        if (!::SetClipboardData(CF_UNICODETEXT, block)) ::GlobalFree(block);
    } else if (block) {
        // Without a block the clipboard keeps what it had.
        ::GlobalFree(block);
    }
    ::CloseClipboard();
}

void CHyperlinkLabel::OnContextMenu(HWND, POINT point) {
    LeaveHover();
    ::ReleaseCapture();
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: just inside the label's top-left corner.
        POINT corner = {0, 0};
        ::ClientToScreen(m_hWnd, &corner);
        point = {corner.x + 5, corner.y + 5};
    }
    CMenu menu;
    if (!menu.CreatePopupMenu()) return;
    menu.AppendMenu(MF_STRING, ID_LINK_OPEN, "&Open");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, ID_LINK_COPY_SHORTCUT, "Copy Shor&tcut");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, ID_LINK_PROPERTIES, "P&roperties");
    menuActive = true;
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, m_hWnd);
    menuActive = false;
}

void CHyperlinkLabel::OnProperties() {
    CString text;
    GetWindowText(text);
    size_t size = 0;
    HLOCAL block = BuildLinkPropertiesTemplate(text, target, &size);
    const void* dialogTemplate = block ? ::LocalLock(block) : nullptr;
    if (!dialogTemplate) {
        if (block) ::LocalFree(block);
        ::MessageBoxW(nullptr, L"Memory allocation for dialog template failed.", L"Allocation Failure", MB_ICONWARNING);
        return;
    }
    CLinkPropertiesDlg dialog;
    dialog.InitModalIndirect(static_cast<const DLGTEMPLATE*>(dialogTemplate));
    dialog.DoModal();
    ::LocalUnlock(block);
    ::LocalFree(block);
}

BEGIN_MESSAGE_MAP(CLinkPropertiesDlg, CDialog)
END_MESSAGE_MAP()

CLinkPropertiesDlg::~CLinkPropertiesDlg() {
    if (pageIcon) ::DestroyIcon(pageIcon);
}

BOOL CLinkPropertiesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The icon the system shows for web pages, whatever handles them here.
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(L".html", FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES);
    if (info.hIcon) {
        pageIcon = info.hIcon;
        ::SendDlgItemMessageW(m_hWnd, IDC_LINK_ICON, STM_SETICON, reinterpret_cast<WPARAM>(pageIcon), 0);
    }
    return TRUE;
}
