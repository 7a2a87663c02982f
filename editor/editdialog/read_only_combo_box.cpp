#include "read_only_combo_box.h"

BEGIN_MESSAGE_MAP(CReadOnlyComboBox, CComboBox)
    ON_WM_CTLCOLOR()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

void CReadOnlyComboBox::SetReadOnly(bool lock) {
    readOnly = lock;
    if (editPart.m_hWnd) editPart.SetReadOnly(lock);
}

HBRUSH CReadOnlyComboBox::OnCtlColor(HDC dc, HWND control, UINT kind) {
    // An unlocked edit asks with CTLCOLOR_EDIT (a locked one with CTLCOLOR_STATIC), and
    // the combo box's own list with CTLCOLOR_LISTBOX.
    if (kind == CTLCOLOR_EDIT && !editPart.m_hWnd && editPart.SubclassWindow(control))
        editPart.SetReadOnly(readOnly);
    else if (kind == CTLCOLOR_LISTBOX && !listPart.m_hWnd)
        listPart.SubclassWindow(control);
    return CComboBox::OnCtlColor(dc, control, kind);
}

void CReadOnlyComboBox::OnDestroy() {
    editPart.UnsubclassWindow();
    listPart.UnsubclassWindow();
    CComboBox::OnDestroy();
}
