// The main window's frame: the two layouts, commands that follow the selection, tool tips, the saved position.
#include "editor_steps.h"

static std::string WindowRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " + std::to_string(rect.right) + " " + std::to_string(rect.bottom);
}

// The width of the ink on the tip's background: of the tip as it paints itself, or of text drawn in its font.
static int InkWidth(HWND tip, const wchar_t* text = nullptr) {
    RECT client;
    GetClientRect(tip, &client);
    client.right = std::max<LONG>(client.right, 400);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB}};
    DWORD* pixels = nullptr;
    HGDIOBJ old = SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0));
    SetDCBrushColor(dc, static_cast<COLORREF>(SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0)));
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    if (!text) SendMessageW(tip, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    if (text) TextOutW(dc, 10, 2, text, lstrlenW(text));
    int first = client.right, last = -1;
    for (int i = 0; i < client.right * client.bottom; ++i)
        if ((pixels[i] ^ pixels[0]) & 0xFFFFFF) first = std::min<int>(first, i % client.right), last = std::max<int>(last, i % client.right);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return last - first + 1;
}

// "No toolbar" (a DWORD) gives buttons in a fixed frame; same columns, commands follow the selection; whole tips; placement.
TEST_F(EditorWindow, LayoutsCommandsToolTipsAndPlacement) {
    for (const DWORD type : {REG_NONE, REG_DWORD, REG_SZ}) {
        if (type == REG_DWORD) SetDword(store::kRootPath, store::kNoToolbar, 1, HKEY_LOCAL_MACHINE);
        if (type == REG_SZ) SetString(store::kRootPath, store::kNoToolbar, "1", HKEY_LOCAL_MACHINE);
        auto dialog = Open();
        const bool toolbar = type != REG_DWORD;
        HWND bar = dialog->GetDlgItem(AFX_IDW_TOOLBAR);
        EXPECT_EQ(std::to_string(bar != nullptr) + std::to_string((dialog->GetStyle() & WS_THICKFRAME) != 0) +
                      std::to_string((GetWindowLongW(dialog->GetDlgItem(IDC_ADD), GWL_STYLE) & WS_VISIBLE) != 0), toolbar ? "110" : "001") << type;
        CListCtrl& list = dialog->List();
        RECT rect;
        GetWindowRect(list.m_hWnd, &rect);
        std::string columns = std::to_string(list.GetExtendedStyle()) + ":";
        wchar_t text[64];
        LVCOLUMNW info = {LVCF_TEXT | LVCF_WIDTH, 0, 0, text, 64};
        for (int column = 0; list.SendMessage(LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info)); ++column)
            columns += Narrow(text) + " " + std::to_string(info.cx) + "|";
        EXPECT_EQ(columns, "1060:Shortcut 160|Action 160|Description " + std::to_string(rect.right - rect.left - 324) + "|Script 0|");
        list.InsertItem(LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE, 0, "CTRL + A", 0, 0, 0, 0);
        list.InsertItem(LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE, 1, "CTRL + B", 0, 0, 2, 2);
        std::string seen;  // selected: none, the plain row, both, the script row alone, none again
        for (const std::initializer_list<int> rows : {std::initializer_list<int>{}, {0}, {0, 1}, {1}, {}}) {
            Select(list, rows);
            for (const auto& [command, button, letter] : {std::tuple<int, int, char>{ID_EDIT_ITEM, IDC_EDIT_ITEM, 'E'},
                                                          {ID_RUN_SCRIPT, IDC_RUN_SCRIPT, 'R'}, {ID_DELETE_ITEM, IDC_DELETE, 'D'}})
                seen += (toolbar ? SendMessageW(bar, TB_ISBUTTONENABLED, command, 0) : IsWindowEnabled(dialog->GetDlgItem(button))) ? letter : '-';
            seen += " ";
        }
        EXPECT_EQ(seen, "--- E-D ERD ERD --- ") << type;
    }
    auto first = Open();
    const std::string created = WindowRect(first->m_hWnd);
    first->ShowWindow(SW_SHOW);
    HWND bar = first->GetDlgItem(AFX_IDW_TOOLBAR), tip = reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    for (const UINT button : {ID_ADD_SHORTCUT, ID_ADD_BATCH, ID_ADD_VBSCRIPT, ID_ADD_JSCRIPT}) {
        wchar_t text[80] = L"";
        LoadStringW(GetModuleHandleW(nullptr), button, text, 80);
        RECT rect;
        SendMessageW(bar, TB_GETRECT, button, reinterpret_cast<LPARAM>(&rect));
        MoveMouse({0, 0});
        PumpMessages(300);
        MoveMouse(Centre(rect, bar));
        for (int i = 0; i < 50 && !IsWindowVisible(tip); ++i) PumpMessages(50);
        ASSERT_TRUE(IsWindowVisible(tip)) << button;
        EXPECT_EQ(InkWidth(tip), InkWidth(tip, text)) << button;
    }
    first->MoveWindow(100, 120, 500, 400);
    first->SendMessage(WM_CLOSE);
    first.reset();
    // Saved on closing; title bar in reach; then 9 numbers, too wide, off every monitor, title bar off, all -1, too small.
    const std::pair<const char*, std::string> cases[] = {{nullptr, "100 120 600 520"}, {"0 1 0 0 0 0 -300 100 400 500", "-300 100 400 500"},
        {"0 1 -1 -1 -1 -1 50 60 450", created}, {"0 1 -1 -1 -1 -1 -2147483648 0 2147483647 300", created},
        {"0 1 -1 -1 -1 -1 5000 5000 5400 5300", created}, {"0 1 0 0 0 0 -100000 -100000 100000 100000", created},
        {"0 1 0 0 0 0 100 -200 600 300", created}, {"-1 -1 -1 -1 -1 -1 -1 -1 -1 -1", created}, {"0 1 0 0 0 0 10 10 11 11", created}};
    for (const auto& [stored, expected] : cases) {
        if (stored) SetString(store::kRootPath, store::kWindowSettings, stored);
        EXPECT_EQ(WindowRect(Open()->m_hWnd), expected) << (stored ? stored : "saved on closing");
    }
}

TEST(HtmlHelp, AFailedBindingStaysFailedSilentlyWhenTheViewerAppearsLater) {
    const char* server = "CLSID\\{0F1E2D3C-0000-4000-8000-7A7A7A7A0001}\\InprocServer32";
    HtmlHelpBinding binding(server, "no-such-viewer.ocx");
    EXPECT_EQ(binding.Call(nullptr, "a.chm", 0, 0), nullptr);
    SetString(server, "", TestDir() + "help_recorder.dll", HKEY_CLASSES_ROOT);
    EXPECT_TRUE(binding.Call(nullptr, "a.chm", 0, 0) == nullptr && HelpCall().empty());
}
