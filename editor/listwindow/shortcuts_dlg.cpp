#include "shortcuts_dlg.h"

#include <commctrl.h>

#include <algorithm>

#include "about_dlg.h"
#include "core/shortcut_store.h"
#include "dpi.h"
#include "editor_app.h"
#include "engine.h"
#include "html_help.h"
#include "registry_key.h"
#include "resource.h"
#include "text.h"
#include "tray_icon.h"

namespace {

// Help context of the main window: 0x20000 plus its dialog resource number.
constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_SHORTCUTS;
constexpr int kToolTipLength = 80;

// Widens a tool tip, whenever it is sized, by what its own measure of the text leaves out:
// it counts the letters' advances, and what is drawn past them (a letter's overhang, a
// smoothed edge: the last pixel of the "t" of "Create a new VB script" in Wine's default
// font) is cut.
LRESULT CALLBACK FitTipToText(HWND tip, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR shownText) {
    const std::wstring& text = *reinterpret_cast<const std::wstring*>(shownText);
    auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
    if (message == WM_WINDOWPOSCHANGING && !(position->flags & SWP_NOSIZE) && position->cx > 0 && !text.empty()) {
        HDC dc = GetDC(tip);
        HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0)));
        ABC first = {}, last = {};
        int overhang = 0;
        if (GetCharABCWidthsW(dc, text.front(), text.front(), &first) && GetCharABCWidthsW(dc, text.back(), text.back(), &last))
            overhang = std::max(0, -first.abcA) + std::max(0, -last.abcC);
        SelectObject(dc, font);
        ReleaseDC(tip, dc);
        position->cx += overhang + 1;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(tip, FitTipToText, 1);
    return DefSubclassProc(tip, message, wParam, lParam);
}

}  // namespace

UINT CShortcutsDlg::reloadMessage = 0;

BEGIN_MESSAGE_MAP(CShortcutsDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZING()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    ON_WM_HELPINFO()
    // The tool bar of a Unicode window asks for wide tips only.
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
    ON_COMMAND(IDC_ABOUT, OnAbout)
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
    ON_COMMAND(ID_HELP, OnHelpCommand)
    ON_COMMAND(ID_TRAY_HELP, OnHelpCommand)
    ON_NOTIFY(NM_CLICK, IDC_SHORTCUT_LIST, OnListClick)
    ON_NOTIFY(NM_DBLCLK, IDC_SHORTCUT_LIST, OnListDoubleClick)
    ON_COMMAND(IDC_ADD, OnAddShortcut)
    ON_COMMAND(ID_ADD_SHORTCUT, OnAddShortcut)
    ON_COMMAND(IDC_ADD_SCRIPT, OnAddScript)
    ON_COMMAND(ID_ADD_BATCH, OnAddBatch)
    ON_COMMAND(ID_ADD_VBSCRIPT, OnAddVBScript)
    ON_COMMAND(ID_ADD_JSCRIPT, OnAddJScript)
    ON_COMMAND(IDC_EDIT_ITEM, EditSelectedItem)
    ON_COMMAND(ID_EDIT_ITEM, EditSelectedItem)
    ON_COMMAND(IDC_DELETE, DeleteSelectedItem)
    ON_COMMAND(ID_DELETE_ITEM, DeleteSelectedItem)
    ON_COMMAND(IDC_RUN_SCRIPT, RunSelectedScript)
    ON_COMMAND(ID_RUN_SCRIPT, RunSelectedScript)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_SHORTCUT_LIST, OnListItemChanged)
    ON_WM_DESTROY()
    ON_MESSAGE(UM_TRAYNOTIFY, OnTrayNotify)
    ON_COMMAND(ID_TRAY_SHOW, OnTrayShow)
    ON_COMMAND(ID_TRAY_STOP, OnTrayStop)
    ON_COMMAND(ID_TRAY_START, OnTrayStart)
    ON_COMMAND(ID_TRAY_ABOUT, OnAbout)
    ON_COMMAND(ID_PREFERENCES, OnPreferences)
    ON_COMMAND(ID_TRAY_PREFERENCES, OnPreferences)
    ON_COMMAND(ID_TRAY_EXIT, OnTrayExit)
    ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CShortcutsDlg::CShortcutsDlg(CWnd* parent)
    : CDialog(IDD_SHORTCUTS, parent),
      windowIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TARVO))),
      dpi(kBaseDpi),
      maxItems(store::kMaxItems),
      toolbarMode(GetRegistryDword(HKEY_LOCAL_MACHINE, store::kRootPath, store::kNoToolbar) == 0) {}

CShortcutsDlg::~CShortcutsDlg() {
    // Once attached, the list control owns the image-list handles and destroys them with
    // itself; only the wrapper objects are ours then.
    if (imageListsAttached) {
        normalImages->Detach();
        smallImages->Detach();
    }
    delete normalImages;
    delete smallImages;
    if (smallWindowIcon) DestroyIcon(smallWindowIcon);
    if (bigWindowIcon) DestroyIcon(bigWindowIcon);
}

void CShortcutsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SHORTCUT_LIST, listControl);
    DDX_Control(dx, IDOK, okButton);
    DDX_Control(dx, IDC_ABOUT, aboutButton);
    DDX_Control(dx, IDC_ADD, addButton);
    DDX_Control(dx, IDC_ADD_SCRIPT, addScriptButton);
    DDX_Control(dx, IDC_DELETE, deleteButton);
    DDX_Control(dx, IDC_RUN_SCRIPT, runScriptButton);
    DDX_Control(dx, IDC_EDIT_ITEM, editButton);
}

BOOL CShortcutsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutToSystemMenu();
    AddExtrasToSystemMenu();
    dpi = WindowDpi(m_hWnd);
    SetWindowIcons();
    SetWindowText(kMainWindowCaption);

    if (toolbarMode) {
        RECT client;
        GetClientRect(&client);
        listControl.MoveWindow(-1, 0, client.right + 2, client.bottom + 1);
        for (CButton* button : {&okButton, &aboutButton, &addButton, &addScriptButton, &deleteButton, &runScriptButton, &editButton})
            button->ShowWindow(SW_HIDE);
        CreateDialogToolbar();
    } else {
        // A fixed frame; SWP_FRAMECHANGED so the border is redrawn without the sizing edge.
        ModifyStyle(WS_THICKFRAME, 0, SWP_FRAMECHANGED);
    }
    UpdateCommandStates(false);
    CreateImageLists();
    maxItems = store::kMaxItems;
    reloadMessage = ReloadMessage();

    LoadItems();
    trayOwner = m_hWnd;
    AddOwnTrayIcon();
    StartEngine();

    RECT created;
    GetWindowRect(&created);
    minimumSize = SIZE{(created.right - created.left) / 2, (created.bottom - created.top) / 2};
    // A placement the user could not see or take hold of leaves the window where it is.
    WINDOWPLACEMENT placement = {};
    if (PersistWindowPlacement(false, &placement) && PlacementUsable(placement.rcNormalPosition, minimumSize)) {
        MoveWindow(placement.rcNormalPosition);
        RepositionToolbarAndList();
    }
    initializing = false;
    UpdateTrayTip();
    return FALSE;
}

void CShortcutsDlg::AddAboutToSystemMenu() {
    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (about.IsEmpty()) return;
    CMenu systemMenu = GetSystemMenu(FALSE);
    if (!systemMenu.m_hMenu) return;
    systemMenu.AppendMenu(MF_SEPARATOR);
    systemMenu.AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
}

void CShortcutsDlg::CreateImageLists() {
    normalImages = new CImageList;
    smallImages = new CImageList;
    FillRowImages(*normalImages, *smallImages, dpi);
}

void CShortcutsDlg::SetUpListView() {
    listControl.SetImageList(normalImages, LVSIL_NORMAL);
    listControl.SetImageList(smallImages, LVSIL_SMALL);
    imageListsAttached = true;
    listControl.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    RECT list;
    listControl.GetWindowRect(&list);
    const int width = ScaleForDpi(160, dpi);
    listControl.InsertColumn(0, "Shortcut", LVCFMT_LEFT, width);
    listControl.InsertColumn(1, "Action", LVCFMT_LEFT, width);
    listControl.InsertColumn(2, "Description", LVCFMT_LEFT, (list.right - list.left) - 2 * width - ScaleForDpi(4, dpi));
    listControl.InsertColumn(3, "Script", LVCFMT_LEFT, 0);
}

void CShortcutsDlg::UpdateCommandStates(bool anySelected) {
    bool scriptSelected = false;
    for (int row = listControl.GetNextItem(-1, LVNI_SELECTED); row != -1; row = listControl.GetNextItem(row, LVNI_SELECTED))
        if (static_cast<int>(listControl.GetItemData(row)) >= 1) scriptSelected = true;
    const bool canRun = anySelected && scriptSelected;
    if (toolbarMode) {
        toolBar.SendMessage(TB_ENABLEBUTTON, ID_EDIT_ITEM, MAKELONG(anySelected, 0));
        toolBar.SendMessage(TB_ENABLEBUTTON, ID_RUN_SCRIPT, MAKELONG(canRun, 0));
        toolBar.SendMessage(TB_ENABLEBUTTON, ID_DELETE_ITEM, MAKELONG(anySelected, 0));
    } else {
        editButton.EnableWindow(anySelected);
        runScriptButton.EnableWindow(canRun);
        deleteButton.EnableWindow(anySelected);
    }
}

void CShortcutsDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX)
        ShowAboutBox();
    else if (!OnExtraSysCommand(id & 0xFFF0))
        CDialog::OnSysCommand(id, lParam);
}

void CShortcutsDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, windowIcon);
    EndPaint(m_hWnd, &paint);
}

BOOL CShortcutsDlg::OnEraseBkgnd(HDC dc) {
    // Tool bar and list cover the whole client area: drawing under them only flickers.
    if (toolbarMode) return TRUE;
    return CDialog::OnEraseBkgnd(dc);
}

void CShortcutsDlg::OnSizing(UINT side, RECT* rect) {
    CDialog::OnSizing(side, rect);
    RepositionToolbarAndList();
}

void CShortcutsDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (!initializing) RepositionToolbarAndList();
}

void CShortcutsDlg::OnClose() {
    WINDOWPLACEMENT placement = {};
    PersistWindowPlacement(true, &placement);
    ::SetActiveWindow(nullptr);
    // The dialog manager turns WM_CLOSE into IDCANCEL, which hides the window.
    CDialog::OnClose();
}

LRESULT CShortcutsDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, minimumSize.cx);
    info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, minimumSize.cy);
    return 0;
}

BOOL CShortcutsDlg::OnHelpInfo(HELPINFO* info) {
    if (info->iContextType != HELPINFO_WINDOW) return CDialog::OnHelpInfo(info);
    ShowHelpTopic(kHelpContext);
    return TRUE;
}

BOOL CShortcutsDlg::OnToolTipText(UINT, NMHDR* header, LRESULT* result) {
    UINT_PTR id = header->idFrom;
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const UINT flags = info->uFlags;
    if (flags & TTF_IDISHWND) id = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    if (id == 0) return FALSE;

    CString text;
    text.LoadString(static_cast<UINT>(id));
    shownTipText = Wide(text);
    lstrcpynW(info->szText, shownTipText.c_str(), kToolTipLength);
    *result = 0;
    SetWindowSubclass(header->hwndFrom, FitTipToText, 1, reinterpret_cast<DWORD_PTR>(&shownTipText));
    // The tip may open under the tool bar's parent; keep it on top.
    ::SetWindowPos(header->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return TRUE;
}

void CShortcutsDlg::OnAbout() { ShowAboutBox(); }

void CShortcutsDlg::OnHelpCommand() { ShowHelp(nullptr); }

void CShortcutsDlg::OnListClick(NMHDR*, LRESULT* result) { *result = 0; }

void CShortcutsDlg::ShowAboutBox() {
    CAboutDlg about;
    about.DoModal();
}
