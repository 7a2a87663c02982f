// CShortcutsDlg: the editor's main window, a dialog titled "Vintrel" listing every stored
// shortcut. It offers the item commands on a tool bar (default) or on a column of push
// buttons (machine-wide "No toolbar" set to a nonzero DWORD). Closing it only hides it;
// its position is saved then and restored when the next window opens.
#pragma once

#include <windows.h>

#include "afxwin.h"

class CShortcutsDlg : public CDialog {
public:
    explicit CShortcutsDlg(CWnd* parent = nullptr);
    ~CShortcutsDlg() override;

    // Enables Edit and Delete when a row is selected, Run script when a selected row is a script.
    void UpdateCommandStates(bool anySelected);
    // Image lists, extended style and the four columns of the list control.
    void SetUpListView();
    // Prepares the list control for the store's rows.
    void LoadItems();
    // Tool-bar layout: creates the tool bar and grows the window by the room it takes.
    bool CreateDialogToolbar();
    // Tool-bar layout: tool bar across the top, the list (its border just outside) below.
    void RepositionToolbarAndList();
    // save: writes the window's placement to "Window settings". Load: reads it into
    // placement (all but length); false unless the text holds ten numbers.
    bool PersistWindowPlacement(bool save, WINDOWPLACEMENT* placement);

    bool ToolbarMode() const { return toolbarMode; }
    CListCtrl& List() { return listControl; }

    // The id of the registered reload message, set when the first main window opens.
    static UINT reloadMessage;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    BOOL OnEraseBkgnd(HDC dc);
    void OnSizing(UINT side, RECT* rect);
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    BOOL OnHelpInfo(HELPINFO* info);
    BOOL OnToolTipText(UINT id, NMHDR* header, LRESULT* result);
    void OnAbout();
    void OnHelpCommand();
    void OnListClick(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void AddAboutToSystemMenu();
    void CreateImageLists();
    void ShowAboutBox();

    CListCtrl listControl;
    CButton okButton;
    CButton aboutButton;
    CButton addButton;
    CButton addScriptButton;
    CButton deleteButton;
    CButton runScriptButton;
    CButton editButton;
    CToolBar toolBar;
    CImageList* normalImages = nullptr;
    CImageList* smallImages = nullptr;
    HICON windowIcon = nullptr;
    HWND trayOwner = nullptr;
    HMENU trayPopupMenu = nullptr;
    HMODULE engineModule = nullptr;
    int maxItems;
    bool initializing = true;
    bool toolbarMode;
    bool imageListsAttached = false;
};

// A rectangle wholly off every monitor moved (and if need be shrunk) into the nearest
// monitor's work area; any other rectangle unchanged.
RECT KeepOnScreen(const RECT& rect);
