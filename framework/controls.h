// The standard and common controls as CWnd objects. Attach one to a dialog's control with
// DDX_Control; every method is one call of the message or function it is named after.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "cstring.h"
#include "gdi_objects.h"
#include "text.h"
#include "wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    HICON SetIcon(HICON icon) const { return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon))); }
};

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON icon) const { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon))); }
    HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
    HBITMAP SetBitmap(HBITMAP bitmap) const { return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap))); }
};

class CEdit : public CWnd {
public:
    void SetLimitText(UINT limit) const { SendMessage(EM_SETLIMITTEXT, limit); }
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    BOOL SetReadOnly(BOOL readOnly = TRUE) const { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }
    void ReplaceSel(const char* text, BOOL undo = FALSE) const { SendMessage(EM_REPLACESEL, undo, reinterpret_cast<LPARAM>(Wide(text).c_str())); }
};

class CComboBox : public CWnd {
public:
    int AddString(const char* text) const { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()))); }
    int InsertString(int index, const char* text) const { return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(Wide(text).c_str()))); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    int FindStringExact(int start, const char* text) const { return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(Wide(text).c_str()))); }
    void GetLBText(int index, CString& text) const;
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
};

class CListBox : public CWnd {
public:
    int AddString(const char* text) const { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()))); }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    void GetText(int index, CString& text) const;
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
};

class CListCtrl : public CWnd {
public:
    HIMAGELIST SetImageList(CImageList* list, int which) const { return ListView_SetImageList(m_hWnd, list ? list->m_hImageList : nullptr, which); }
    HIMAGELIST GetImageList(int which) const { return ListView_GetImageList(m_hWnd, which); }
    DWORD SetExtendedStyle(DWORD style) const { return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style))); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1) const;
    int GetColumnWidth(int column) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column))); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    UINT GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }
    int GetNextItem(int item, int flags) const { return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(item), flags)); }
    int InsertItem(const LVITEMW* item) const { return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item))); }
    int InsertItem(UINT mask, int item, const char* text, UINT state, UINT stateMask, int image, LPARAM data) const;
    BOOL SetItem(const LVITEMW* item) const { return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item))); }
    BOOL SetItem(int item, int subItem, UINT mask, const char* text, int image, UINT state, UINT stateMask, LPARAM data) const;
    BOOL SetItemText(int item, int subItem, const char* text) const;
    CString GetItemText(int item, int subItem) const;
    DWORD_PTR GetItemData(int item) const;
    BOOL SetItemData(int item, DWORD_PTR data) const { return SetItem(item, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(data)); }
    UINT GetItemState(int item, UINT mask) const { return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask)); }
    BOOL SetItemState(int item, UINT state, UINT mask) const;
    // The check box is state image 2 (checked) or 1 (cleared).
    BOOL GetCheck(int item) const { return ((GetItemState(item, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1; }
    BOOL SetCheck(int item, BOOL check = TRUE) const { return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK); }
    BOOL DeleteItem(int item) const { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item))); }
    BOOL DeleteAllItems() const { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
};
