#include "controls.h"

namespace {

// The text of a combo or list box entry: its length with one message, its text with another.
void ReadEntryText(const CWnd& box, UINT lengthMessage, UINT textMessage, int index, CString& text) {
    const int length = static_cast<int>(box.SendMessage(lengthMessage, static_cast<WPARAM>(index)));
    if (length < 0) {
        text.Empty();
        return;
    }
    box.SendMessage(textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
    text.ReleaseBuffer();
}

}  // namespace

void CComboBox::GetLBText(int index, CString& text) const { ReadEntryText(*this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index, text); }

void CListBox::GetText(int index, CString& text) const { ReadEntryText(*this, LB_GETTEXTLEN, LB_GETTEXT, index, text); }

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int subItem) const {
    LVCOLUMNA info = {};
    info.mask = LVCF_FMT | LVCF_TEXT;
    info.fmt = format;
    info.pszText = const_cast<char*>(heading);
    if (width != -1) {
        info.mask |= LVCF_WIDTH;
        info.cx = width;
    }
    if (subItem != -1) {
        info.mask |= LVCF_SUBITEM;
        info.iSubItem = subItem;
    }
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)));
}

namespace {

LVITEMA MakeItem(UINT mask, int item, int subItem, const char* text, int image, UINT state, UINT stateMask, LPARAM data) {
    LVITEMA info = {};
    info.mask = mask;
    info.iItem = item;
    info.iSubItem = subItem;
    info.pszText = const_cast<char*>(text);
    info.iImage = image;
    info.state = state;
    info.stateMask = stateMask;
    info.lParam = data;
    return info;
}

}  // namespace

int CListCtrl::InsertItem(UINT mask, int item, const char* text, UINT state, UINT stateMask, int image, LPARAM data) const {
    const LVITEMA info = MakeItem(mask, item, 0, text, image, state, stateMask, data);
    return InsertItem(&info);
}

BOOL CListCtrl::SetItem(int item, int subItem, UINT mask, const char* text, int image, UINT state, UINT stateMask,
                        LPARAM data) const {
    const LVITEMA info = MakeItem(mask, item, subItem, text, image, state, stateMask, data);
    return SetItem(&info);
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) const {
    LVITEMA info = {};
    info.iSubItem = subItem;
    info.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    // The control cuts the text to the buffer; grow until it is no longer cut.
    CString text;
    for (int size = 256;; size *= 2) {
        LVITEMA info = {};
        info.iSubItem = subItem;
        info.cchTextMax = size;
        info.pszText = text.GetBuffer(size);
        const int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
        if (length < size - 1 || size >= (1 << 20)) {
            text.ReleaseBuffer(length);
            return text;
        }
    }
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    LVITEMA info = {};
    info.mask = LVIF_PARAM;
    info.iItem = item;
    SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return static_cast<DWORD_PTR>(info.lParam);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) const {
    LVITEMA info = {};
    info.state = state;
    info.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&info)));
}
