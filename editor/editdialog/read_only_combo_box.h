// CReadOnlyComboBox: a drop-down combo box whose edit part can be locked against typing
// while its list stays usable. The combo box creates its edit and list children itself;
// they are attached on their first colour request (which each sends to the combo box)
// and let go when the combo box is destroyed.
//
//   DDX_Control(dx, IDC_ACTION, actionCombo);
//   actionCombo.SetReadOnly(true);           // takes effect when the edit part is attached
//   actionCombo.GetEditPart().SetReadOnly(FALSE);  // later changes go to the edit part
#pragma once

#include "afxwin.h"

class CReadOnlyComboBox : public CComboBox {
public:
    CEdit& GetEditPart() { return editPart; }
    // Stores the lock; an edit part already attached gets it at once.
    void SetReadOnly(bool lock);

protected:
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    CEdit editPart;
    CListBox listPart;
    bool readOnly = false;
};
