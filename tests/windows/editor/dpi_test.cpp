// The main window's pixel sizes follow the screen's DPI; at 96 they are those of every earlier version.
#include "about_dlg.h"
#include "dpi.h"
#include "editor_steps.h"

constexpr char kLongest[] = "LALT + LSHIFT + F12", kProbeVariable[] = "TARVO_DPI_PROBE";

// Bar, row and icon images, 2 columns; list less Description, longest keys whole, a stored 400x300 window, About banner.
constexpr struct { DWORD dpi; const char *sizes, *rest; } kExpected[] = {
    {96, "16 16 32 160 160", "324 whole 400x300 kept covered"}, {120, "16 20 40 200 200", "405 whole 500x375 kept covered"},
    {144, "24 24 48 240 240", "486 whole 600x450 kept covered"}, {192, "32 32 64 320 320", "648 whole 800x600 kept covered"}};

static std::string Measure(CShortcutsDlg& dialog) {
    HWND list = dialog.List().m_hWnd;
    std::string sizes;
    for (HIMAGELIST images : {reinterpret_cast<HIMAGELIST>(SendMessageW(dialog.GetDlgItem(AFX_IDW_TOOLBAR), TB_GETIMAGELIST, 0, 0)),
                              ListView_GetImageList(list, LVSIL_SMALL), ListView_GetImageList(list, LVSIL_NORMAL)}) {
        int cx = -1, cy = -2;
        ImageList_GetIconSize(images, &cx, &cy);
        sizes += (cx == cy ? std::to_string(cx) : "?") + " ";
    }
    return sizes + std::to_string(ListView_GetColumnWidth(list, 0)) + " " + std::to_string(ListView_GetColumnWidth(list, 1));
}

// Wine reads LogPixels at a process's start: a copy of this program measures each DPI ("Window settings" are at 96).
TEST_F(EditorWindow, DpiProbe) {
    char path[MAX_PATH] = "";
    if (!GetEnvironmentVariableA(kProbeVariable, path, sizeof path)) GTEST_SKIP() << "run by ImagesAndColumnsFollowTheDpi";
    WriteItem(0, kLongest, "notepad.exe");
    auto dialog = Open();
    HWND list = dialog->List().m_hWnd;
    RECT bounds, label = {};
    GetWindowRect(list, &bounds);
    ListView_GetItemRect(list, 0, &label, LVIR_LABEL);
    std::ofstream out(path);
    out << WindowDpi(dialog->m_hWnd) << ' ' << Measure(*dialog) << ' ' << bounds.right - bounds.left - ListView_GetColumnWidth(list, 2)
        << (label.right - label.left >= ListView_GetStringWidth(list, kLongest) + 2 * GetSystemMetrics(SM_CXEDGE) ? " whole " : " cut ");  // + margins
    dialog->DestroyWindow();
    SetString(store::kRootPath, store::kWindowSettings, "0 1 -1 -1 -1 -1 100 120 500 420");
    dialog = Open();
    GetWindowRect(dialog->m_hWnd, &bounds);
    out << bounds.right - bounds.left << 'x' << bounds.bottom - bounds.top;
    dialog->SendMessage(WM_CLOSE);
    out << (ReadString(store::kRootPath, store::kWindowSettings).find("100 120 500 420") != std::string::npos ? " kept" : " changed");
    CAboutDlg about;
    about.Create(IDD_ABOUTBOX);
    HWND picture = FindWindowExW(about.m_hWnd, nullptr, L"Static", nullptr);
    BITMAP banner = {};
    GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof banner, &banner);
    GetClientRect(picture, &bounds);
    out << (banner.bmWidth >= bounds.right && banner.bmHeight >= bounds.bottom && bounds.right > 0 ? " covered" : " bands");
}

// Then, moved to a monitor of another DPI, the window takes the suggested rectangle and that DPI's sizes.
TEST_F(EditorWindow, ImagesAndColumnsFollowTheDpi) {
    const std::string report = TempDirectory() + "dpi-probe.txt";
    SetEnvironmentVariableA(kProbeVariable, report.c_str());
    for (const auto& expected : kExpected) {
        SetDword("Control Panel\\Desktop", "LogPixels", expected.dpi);
        DeleteFileA(report.c_str());
        EXPECT_EQ(RunToEnd("\"" + ExeDirectory() + "editor_tests.exe\" --gtest_brief=1 --gtest_filter=EditorWindow.DpiProbe"), 0u);
        EXPECT_EQ(ReadFile(report), std::to_string(expected.dpi) + " " + expected.sizes + " " + expected.rest);
    }
    SetEnvironmentVariableA(kProbeVariable, nullptr);
    SetDword("Control Panel\\Desktop", "LogPixels", kBaseDpi);

    auto dialog = Open();
    RECT suggested = {40, 30, 1040, 730}, now, bar, list;
    dialog->SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(dialog->m_hWnd, &now);
    GetWindowRect(dialog->GetDlgItem(AFX_IDW_TOOLBAR), &bar);
    GetWindowRect(dialog->List().m_hWnd, &list);
    EXPECT_EQ(Measure(*dialog) + (EqualRect(&now, &suggested) && bar.bottom - bar.top >= 24 && list.top == bar.bottom ? "" : " misplaced"),
              kExpected[2].sizes);
}
