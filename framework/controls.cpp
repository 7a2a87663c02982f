#include "controls.h"

#include <vector>

#include "text.h"

namespace {

// The text of a combo or list box entry: its length with one message, its text with another.
void ReadEntryText(const CWnd& box, UINT lengthMessage, UINT textMessage, int index, CString& text) {
    const int length = static_cast<int>(box.SendMessage(lengthMessage, static_cast<WPARAM>(index)));
    if (length < 0) {
        text.Empty();
        return;
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int got = static_cast<int>(box.SendMessage(textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
    text = Narrow(buffer.data(), got < 0 ? 0 : static_cast<size_t>(got));
}

}  // namespace

void CComboBox::GetLBText(int index, CString& text) const { ReadEntryText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text); }

void CListBox::GetText(int index, CString& text) const { ReadEntryText(*this, LB_GETTEXTLEN, LB_GETTEXT, index, text); }

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int subItem) const {
    LVCOLUMNW info = {};
    info.mask = LVCF_FMT | LVCF_TEXT;
    info.fmt = format;
    std::wstring wide = Wide(heading);
    info.pszText = &wide[0];
    if (width != -1) {
        info.mask |= LVCF_WIDTH;
        info.cx = width;
    }
    if (subItem != -1) {
        info.mask |= LVCF_SUBITEM;
        info.iSubItem = subItem;
    }
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
}

namespace {

// wide holds the text the item points to while it is in use.
LVITEMW MakeItem(UINT mask, int item, int subItem, const char* text, int image, UINT state, UINT stateMask, LPARAM data,
                 std::wstring& wide) {
    LVITEMW info = {};
    info.mask = mask;
    info.iItem = item;
    info.iSubItem = subItem;
    wide = Wide(text);
    // LPSTR_TEXTCALLBACK and no text stay what they are.
    info.pszText = text == LPSTR_TEXTCALLBACKA ? LPSTR_TEXTCALLBACKW : text ? &wide[0] : nullptr;
    info.iImage = image;
    info.state = state;
    info.stateMask = stateMask;
    info.lParam = data;
    return info;
}

}  // namespace

int CListCtrl::InsertItem(UINT mask, int item, const char* text, UINT state, UINT stateMask, int image, LPARAM data) const {
    std::wstring wide;
    const LVITEMW info = MakeItem(mask, item, 0, text, image, state, stateMask, data, wide);
    return InsertItem(&info);
}

BOOL CListCtrl::SetItem(int item, int subItem, UINT mask, const char* text, int image, UINT state, UINT stateMask,
                        LPARAM data) const {
    std::wstring wide;
    const LVITEMW info = MakeItem(mask, item, subItem, text, image, state, stateMask, data, wide);
    return SetItem(&info);
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) const {
    LVITEMW info = {};
    info.iSubItem = subItem;
    std::wstring wide = Wide(text);
    info.pszText = text == LPSTR_TEXTCALLBACKA ? LPSTR_TEXTCALLBACKW : &wide[0];
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    // The control cuts the text to the buffer; grow until it is no longer cut.
    for (int size = 256;; size *= 2) {
        std::vector<wchar_t> buffer(static_cast<size_t>(size));
        LVITEMW info = {};
        info.iSubItem = subItem;
        info.cchTextMax = size;
        info.pszText = buffer.data();
        const int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
        if (length < size - 1 || size >= (1 << 20)) return CString(Narrow(buffer.data(), static_cast<size_t>(length)));
    }
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    LVITEMW info = {};
    info.mask = LVIF_PARAM;
    info.iItem = item;
    SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    return static_cast<DWORD_PTR>(info.lParam);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) const {
    LVITEMW info = {};
    info.state = state;
    info.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
}
