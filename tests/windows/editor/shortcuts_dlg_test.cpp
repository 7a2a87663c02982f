// The main window's frame, driven in this process: both layouts, the list view set-up,
// command enabling by selection, tooltips, help, and saving and restoring the position.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/shortcut_store.h"
#include "help_recorder.h"
#include "html_help.h"
#include "resource.h"
#include "shortcuts_dlg.h"
#include "test_paths.h"
#include "test_store.h"

namespace {

RECT ChildRect(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT WindowRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

::testing::AssertionResult RectIs(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
    if (rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom
                                         << ") instead of (" << left << "," << top << "," << right << "," << bottom << ")";
}

class ShortcutsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        teststore::Clear();
        teststore::CreateRoot();
        teststore::DeleteValue(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE);
        // Opening the window starts the engine from the installation folder.
        teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
        app.m_pszHelpFilePath = _strdup("C:\\help\\Tarvo.chm");
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        teststore::Clear();
    }

    std::unique_ptr<CShortcutsDlg> Open() {
        auto dialog = std::make_unique<CShortcutsDlg>(nullptr);
        EXPECT_TRUE(dialog->Create(IDD_SHORTCUTS));
        return dialog;
    }

    // Tool-bar and list geometry of the tool-bar layout, for the current client size.
    static void ExpectToolbarLayout(CShortcutsDlg& dialog) {
        RECT client;
        dialog.GetClientRect(&client);
        HWND bar = dialog.GetDlgItem(AFX_IDW_TOOLBAR);
        ASSERT_NE(bar, nullptr);
        const RECT barRect = ChildRect(dialog.m_hWnd, bar);
        const LONG barHeight = barRect.bottom - barRect.top;
        EXPECT_GT(barHeight, 16);
        EXPECT_TRUE(RectIs(barRect, 0, 0, client.right, barHeight));
        EXPECT_TRUE(RectIs(ChildRect(dialog.m_hWnd, dialog.GetDlgItem(IDC_SHORTCUT_LIST)), -1, barHeight, client.right + 1,
                           client.bottom + 1));
    }

    CWinApp app;
};

TEST_F(ShortcutsWindow, ToolbarLayoutShowsTheToolbarAboveTheListAndKeepsItThereWhenResized) {
    auto dialog = Open();
    HWND window = dialog->m_hWnd;
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Vintrel");
    EXPECT_NE(dialog->SendMessage(WM_GETICON, ICON_BIG), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(dialog->GetStyle() & WS_THICKFRAME);

    char about[64] = "";
    GetMenuStringA(GetSystemMenu(window, FALSE), IDM_ABOUTBOX, about, sizeof about, MF_BYCOMMAND);
    EXPECT_STREQ(about, "&About Vintrel...");

    for (int id : {IDOK, IDC_ABOUT, IDC_ADD, IDC_ADD_SCRIPT, IDC_DELETE, IDC_RUN_SCRIPT, IDC_EDIT_ITEM})
        EXPECT_FALSE(GetWindowLongA(dialog->GetDlgItem(id), GWL_STYLE) & WS_VISIBLE) << id;

    HWND bar = dialog->GetDlgItem(AFX_IDW_TOOLBAR);
    ASSERT_NE(bar, nullptr);
    const int ids[] = {ID_ADD_SHORTCUT, ID_ADD_BATCH, ID_ADD_VBSCRIPT, ID_ADD_JSCRIPT, 0, ID_RUN_SCRIPT, ID_EDIT_ITEM, 0,
                       ID_DELETE_ITEM, 0, ID_PREFERENCES, ID_HELP, ID_APP_ABOUT};
    ASSERT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 13);
    for (int i = 0; i < 13; ++i) {
        TBBUTTON button = {};
        SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, ids[i]) << i;
    }
    EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_PREFERENCES, 0));
    EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_ADD_SHORTCUT, 0));
    ExpectToolbarLayout(*dialog);

    const RECT before = WindowRect(window);
    SetWindowPos(window, nullptr, 0, 0, before.right - before.left + 120, before.bottom - before.top + 90,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ExpectToolbarLayout(*dialog);
    dialog->DestroyWindow();
}

TEST_F(ShortcutsWindow, NoToolbarAsDwordGivesTheFixedButtonLayoutButNotAsText) {
    teststore::SetDword(store::kRootPath, store::kNoToolbar, 1, HKEY_LOCAL_MACHINE);
    auto buttons = Open();
    EXPECT_FALSE(buttons->ToolbarMode());
    EXPECT_EQ(buttons->GetDlgItem(AFX_IDW_TOOLBAR), nullptr);
    EXPECT_FALSE(buttons->GetStyle() & WS_THICKFRAME);
    for (int id : {IDOK, IDC_ABOUT, IDC_ADD, IDC_ADD_SCRIPT, IDC_DELETE, IDC_RUN_SCRIPT, IDC_EDIT_ITEM})
        EXPECT_TRUE(GetWindowLongA(buttons->GetDlgItem(id), GWL_STYLE) & WS_VISIBLE) << id;
    // The list stays where the template put it, inside the client area.
    EXPECT_GT(ChildRect(buttons->m_hWnd, buttons->GetDlgItem(IDC_SHORTCUT_LIST)).left, 0);
    buttons->DestroyWindow();

    teststore::SetString(store::kRootPath, store::kNoToolbar, "1", HKEY_LOCAL_MACHINE);
    auto toolbar = Open();
    EXPECT_TRUE(toolbar->ToolbarMode());
    EXPECT_NE(toolbar->GetDlgItem(AFX_IDW_TOOLBAR), nullptr);
    toolbar->DestroyWindow();

    teststore::SetDword(store::kRootPath, store::kNoToolbar, 0, HKEY_LOCAL_MACHINE);
    auto zero = Open();
    EXPECT_TRUE(zero->ToolbarMode());
    zero->DestroyWindow();
}

TEST_F(ShortcutsWindow, ListViewHasItsColumnsStylesAndImageLists) {
    auto dialog = Open();
    HWND list = dialog->GetDlgItem(IDC_SHORTCUT_LIST);
    EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0x424);
    const RECT listRect = WindowRect(list);
    const char* headings[] = {"Shortcut", "Action", "Description", "Script"};
    const int widths[] = {160, 160, static_cast<int>(listRect.right - listRect.left) - 324, 0};
    for (int column = 0; column < 4; ++column) {
        char text[64] = "";
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        info.pszText = text;
        info.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info))) << column;
        EXPECT_STREQ(text, headings[column]);
        EXPECT_EQ(info.cx, widths[column]) << column;
        EXPECT_EQ(info.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    LVCOLUMNA fifth = {};
    fifth.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessageA(list, LVM_GETCOLUMNA, 4, reinterpret_cast<LPARAM>(&fifth)));
    for (auto [which, size] : {std::pair<int, int>{LVSIL_NORMAL, 32}, {LVSIL_SMALL, 16}}) {
        HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, which, 0));
        ASSERT_NE(images, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(images), 4);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        EXPECT_EQ(cx, size);
        EXPECT_EQ(cy, size);
    }
    dialog->DestroyWindow();
}

TEST_F(ShortcutsWindow, ItemCommandsFollowTheSelectionInBothLayouts) {
    for (bool toolbar : {true, false}) {
        SCOPED_TRACE(toolbar ? "tool-bar layout" : "button layout");
        if (toolbar)
            teststore::DeleteValue(store::kRootPath, store::kNoToolbar, HKEY_LOCAL_MACHINE);
        else
            teststore::SetDword(store::kRootPath, store::kNoToolbar, 1, HKEY_LOCAL_MACHINE);
        auto dialog = Open();
        HWND bar = dialog->GetDlgItem(AFX_IDW_TOOLBAR);
        auto enabled = [&](int command, int button) -> bool {
            return toolbar ? SendMessageA(bar, TB_ISBUTTONENABLED, command, 0) != 0 : IsWindowEnabled(dialog->GetDlgItem(button)) != 0;
        };
        auto states = [&] {
            return std::string(enabled(ID_EDIT_ITEM, IDC_EDIT_ITEM) ? "E" : "-") + (enabled(ID_RUN_SCRIPT, IDC_RUN_SCRIPT) ? "R" : "-") +
                   (enabled(ID_DELETE_ITEM, IDC_DELETE) ? "D" : "-");
        };
        EXPECT_EQ(states(), "---");

        CListCtrl& list = dialog->List();
        list.InsertItem(LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE, 0, "CTRL + A", 0, 0, 0, 0);
        list.InsertItem(LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE, 1, "CTRL + B", 0, 0, 2, 2);
        list.InsertItem(LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE, 2, "CTRL + C", 0, 0, 0, 0);

        list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        dialog->UpdateCommandStates(true);
        EXPECT_EQ(states(), "E-D");
        list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        dialog->UpdateCommandStates(true);
        EXPECT_EQ(states(), "ERD");
        // A script row alone, behind a plain one that is not selected.
        list.SetItemState(0, 0, LVIS_SELECTED);
        dialog->UpdateCommandStates(true);
        EXPECT_EQ(states(), "ERD");
        list.SetItemState(1, 0, LVIS_SELECTED);
        dialog->UpdateCommandStates(false);
        EXPECT_EQ(states(), "---");
        if (toolbar) EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONENABLED, ID_PREFERENCES, 0));
        dialog->DestroyWindow();
    }
}

TEST_F(ShortcutsWindow, ToolTipsAreTheStringTableEntriesOfTheCommands) {
    auto dialog = Open();
    HWND tip = reinterpret_cast<HWND>(SendMessageA(dialog->GetDlgItem(AFX_IDW_TOOLBAR), TB_GETTOOLTIPS, 0, 0));

    NMTTDISPINFOA narrow = {};
    narrow.hdr = {tip, ID_ADD_SHORTCUT, TTN_NEEDTEXTA};
    EXPECT_EQ(dialog->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&narrow)), 0);
    EXPECT_STREQ(narrow.szText, "Create a new shortcut");

    NMTTDISPINFOW wide = {};
    wide.hdr = {tip, ID_APP_ABOUT, TTN_NEEDTEXTW};
    dialog->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide));
    EXPECT_STREQ(wide.szText, L"Display program information, version number and copyright");

    // A tool named by its window handle answers with that window's control id.
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, dialog->m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_DELETE_ITEM)), nullptr, nullptr);
    NMTTDISPINFOA byWindow = {};
    byWindow.hdr = {tip, reinterpret_cast<UINT_PTR>(child), TTN_NEEDTEXTA};
    byWindow.uFlags = TTF_IDISHWND;
    dialog->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&byWindow));
    EXPECT_STREQ(byWindow.szText, "Delete the item");

    NMTTDISPINFOA none = {};
    none.hdr = {tip, 0, TTN_NEEDTEXTA};
    std::strcpy(none.szText, "untouched");
    dialog->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&none));
    EXPECT_STREQ(none.szText, "untouched");
    dialog->DestroyWindow();
}

TEST_F(ShortcutsWindow, HelpGoesToTheViewerWithTheWindowsContext) {
    // The stand-in viewer registered before this process binds the viewer for the first time.
    const std::string recorder = TestDir() + "help_recorder.dll";
    teststore::SetString(kHtmlHelpServerKey, "", recorder, HKEY_CLASSES_ROOT);
    auto lastCall = reinterpret_cast<const HelpCall* (*)()>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA(recorder.c_str()), "LastHelpCall")));
    ASSERT_NE(lastCall, nullptr);

    auto dialog = Open();
    app.m_pMainWnd = dialog.get();
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = IDC_SHORTCUT_LIST;
    info.hItemHandle = dialog->GetDlgItem(IDC_SHORTCUT_LIST);
    EXPECT_EQ(dialog->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), TRUE);
    ASSERT_EQ(lastCall()->count, 1);
    EXPECT_EQ(lastCall()->owner, dialog->m_hWnd);
    EXPECT_STREQ(lastCall()->file, "C:\\help\\Tarvo.chm");
    EXPECT_EQ(lastCall()->command, 15u);
    EXPECT_EQ(lastCall()->data, 131174u);

    // The tool bar's and the tray's Help open the default topic without an owner.
    for (UINT command : {static_cast<UINT>(ID_HELP), static_cast<UINT>(ID_TRAY_HELP)}) {
        lastCall();
        dialog->SendMessage(WM_COMMAND, command);
        EXPECT_EQ(lastCall()->owner, nullptr);
        EXPECT_EQ(lastCall()->command, 0u);
        EXPECT_EQ(lastCall()->data, 0u);
    }
    EXPECT_EQ(lastCall()->count, 3);
    app.m_pMainWnd = nullptr;
    dialog->DestroyWindow();
}

TEST_F(ShortcutsWindow, ClosingSavesThePlacementAndTheNextWindowRestoresItsNormalRectangle) {
    auto fresh = Open();
    const RECT created = WindowRect(fresh->m_hWnd);
    fresh->DestroyWindow();

    auto first = Open();
    first->ShowWindow(SW_SHOW);
    first->MoveWindow(100, 120, 500, 400);
    first->SendMessage(WM_CLOSE);
    teststore::PumpMessages(200);
    EXPECT_FALSE(IsWindowVisible(first->m_hWnd));
    EXPECT_TRUE(IsWindow(first->m_hWnd));
    const std::string saved = teststore::ReadString(store::kRootPath, store::kWindowSettings);
    unsigned flags = 0, show = 0;
    int n[8] = {};
    ASSERT_EQ(std::sscanf(saved.c_str(), "%u %u %d %d %d %d %d %d %d %d", &flags, &show, &n[0], &n[1], &n[2], &n[3], &n[4],
                          &n[5], &n[6], &n[7]),
              10)
        << saved;
    EXPECT_EQ(n[4], 100);
    EXPECT_EQ(n[5], 120);
    EXPECT_EQ(n[6], 600);
    EXPECT_EQ(n[7], 520);
    first->DestroyWindow();

    auto second = Open();
    EXPECT_TRUE(RectIs(WindowRect(second->m_hWnd), 100, 120, 600, 520));
    ExpectToolbarLayout(*second);
    second->DestroyWindow();

    // A stored maximised state is not applied; only the normal rectangle is.
    teststore::SetString(store::kRootPath, store::kWindowSettings, "2 3 -1 -1 -8 -8 50 60 450 360");
    auto maximised = Open();
    EXPECT_TRUE(RectIs(WindowRect(maximised->m_hWnd), 50, 60, 450, 360));
    EXPECT_FALSE(IsZoomed(maximised->m_hWnd));
    maximised->DestroyWindow();

    // Partly off the screen is the user's choice and stays.
    teststore::SetString(store::kRootPath, store::kWindowSettings, "0 1 -1 -1 -1 -1 -100 10 300 310");
    auto partly = Open();
    EXPECT_TRUE(RectIs(WindowRect(partly->m_hWnd), -100, 10, 300, 310));
    partly->DestroyWindow();

    // Nine numbers or no numbers: the window keeps the size and place it was created with.
    for (const char* text : {"0 1 -1 -1 -1 -1 50 60 450", "fifty sixty", ""}) {
        teststore::SetString(store::kRootPath, store::kWindowSettings, text);
        auto ignored = Open();
        const RECT rect = WindowRect(ignored->m_hWnd);
        EXPECT_TRUE(EqualRect(&rect, &created)) << text;
        ignored->DestroyWindow();
    }
}

TEST_F(ShortcutsWindow, APlacementWhollyOffEveryMonitorIsBroughtOntoTheNearestOne) {
    teststore::SetString(store::kRootPath, store::kWindowSettings, "0 1 -1 -1 -1 -1 5000 5000 5400 5300");
    auto dialog = Open();
    const RECT rect = WindowRect(dialog->m_hWnd);
    EXPECT_EQ(rect.right - rect.left, 400);
    EXPECT_EQ(rect.bottom - rect.top, 300);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT inside;
    IntersectRect(&inside, &rect, &monitor.rcWork);
    EXPECT_TRUE(EqualRect(&inside, &rect));
    // The corner nearest to where it was stored.
    EXPECT_EQ(rect.right, monitor.rcWork.right);
    EXPECT_EQ(rect.bottom, monitor.rcWork.bottom);
    dialog->DestroyWindow();
}

}  // namespace
