// The main window's pixel sizes follow the screen's DPI: tool-bar images and row icons
// grow with it, the Shortcut column holds the longest combination whole, a stored window
// size opens at the same size on the screen, and at 96 DPI every size is the one earlier
// versions drew.
#include <fstream>

#include "about_dlg.h"
#include "dpi.h"
#include "editor_window.h"

namespace {

constexpr char kLongest[] = "LALT + LSHIFT + F12";
constexpr char kProbeVariable[] = "TARVO_DPI_PROBE";
// A placement as every earlier version stored it: a window of 400 x 300 pixels at 96 DPI.
constexpr char kStoredRect[] = "100 120 500 420";
constexpr char kStoredPlacement[] = "0 1 -1 -1 -1 -1 100 120 500 420";

struct Sizes {
    int dpi = 0, toolbarImage = 0, rowIcon = 0, normalIcon = 0, shortcutColumn = 0, actionColumn = 0;
    int descriptionGap = 0;  // list width minus the Description column's
    int label = 0, text = 0;  // the first row's Shortcut label and the extent of its text
    int windowWidth = 0, windowHeight = 0;
    bool storedBack = false;  // closing wrote back the "Window settings" it opened with
    bool bannerCovers = false;  // the About box's banner fills its picture, no bands beside it
};

int ImageSize(HIMAGELIST list) {
    int cx = 0, cy = 0;
    return list && ImageList_GetIconSize(list, &cx, &cy) && cx == cy ? cx : -1;
}

Sizes Measure(CShortcutsDlg& dialog) {
    HWND list = dialog.List().m_hWnd;
    Sizes sizes;
    sizes.dpi = static_cast<int>(WindowDpi(dialog.m_hWnd));
    sizes.toolbarImage = ImageSize(reinterpret_cast<HIMAGELIST>(SendMessageA(dialog.GetDlgItem(AFX_IDW_TOOLBAR), TB_GETIMAGELIST, 0, 0)));
    sizes.rowIcon = ImageSize(ListView_GetImageList(list, LVSIL_SMALL));
    sizes.normalIcon = ImageSize(ListView_GetImageList(list, LVSIL_NORMAL));
    sizes.shortcutColumn = ListView_GetColumnWidth(list, 0);
    sizes.actionColumn = ListView_GetColumnWidth(list, 1);
    RECT rect;
    GetWindowRect(list, &rect);
    sizes.descriptionGap = static_cast<int>(rect.right - rect.left) - ListView_GetColumnWidth(list, 2);
    if (ListView_GetItemRect(list, 0, &rect, LVIR_LABEL)) sizes.label = static_cast<int>(rect.right - rect.left);
    sizes.text = ListView_GetStringWidth(list, kLongest);
    return sizes;
}

// Wine reads LogPixels once, when a process starts: each DPI is measured by a copy of this
// program started after it was set, which runs this test and writes what it measured.
TEST_F(EditorWindow, DpiProbe) {
    char path[MAX_PATH] = "";
    if (!GetEnvironmentVariableA(kProbeVariable, path, sizeof path)) GTEST_SKIP() << "run by ImagesAndColumnsFollowTheDpi";
    teststore::WriteItem(0, kLongest, "notepad.exe");
    auto dialog = Open();
    Sizes s = Measure(*dialog);
    dialog->DestroyWindow();

    teststore::SetString(store::kRootPath, store::kWindowSettings, kStoredPlacement);
    dialog = Open();
    RECT rect;
    GetWindowRect(dialog->m_hWnd, &rect);
    s.windowWidth = static_cast<int>(rect.right - rect.left);
    s.windowHeight = static_cast<int>(rect.bottom - rect.top);
    dialog->SendMessage(WM_CLOSE);
    s.storedBack = teststore::ReadString(store::kRootPath, store::kWindowSettings).find(kStoredRect) != std::string::npos;
    CAboutDlg about;
    about.Create(IDD_ABOUTBOX);
    HWND picture = FindWindowExW(about.m_hWnd, nullptr, L"Static", nullptr);
    BITMAP banner = {};
    GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof banner, &banner);
    GetClientRect(picture, &rect);
    s.bannerCovers = banner.bmWidth >= rect.right && banner.bmHeight >= rect.bottom && rect.right > 0;
    about.DestroyWindow();
    std::ofstream(path) << s.dpi << ' ' << s.toolbarImage << ' ' << s.rowIcon << ' ' << s.normalIcon << ' ' << s.shortcutColumn << ' '
                        << s.actionColumn << ' ' << s.descriptionGap << ' ' << s.label << ' ' << s.text << ' ' << s.windowWidth << ' '
                        << s.windowHeight << ' ' << s.storedBack << ' ' << s.bannerCovers;
    dialog->DestroyWindow();
}

Sizes MeasureAt(DWORD dpi) {
    teststore::SetDword("Control Panel\\Desktop", "LogPixels", dpi);
    const std::string report = teststore::TempDirectory() + "dpi-probe.txt";
    DeleteFileA(report.c_str());
    SetEnvironmentVariableA(kProbeVariable, report.c_str());
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    HANDLE probe = teststore::Launch("\"" + std::string(program) + "\" --gtest_brief=1 --gtest_filter=EditorWindow.DpiProbe");
    EXPECT_EQ(WaitForSingleObject(probe, 60000), WAIT_OBJECT_0);
    CloseHandle(probe);
    SetEnvironmentVariableA(kProbeVariable, nullptr);
    teststore::SetDword("Control Panel\\Desktop", "LogPixels", kBaseDpi);
    Sizes s;
    std::ifstream(report) >> s.dpi >> s.toolbarImage >> s.rowIcon >> s.normalIcon >> s.shortcutColumn >> s.actionColumn >>
        s.descriptionGap >> s.label >> s.text >> s.windowWidth >> s.windowHeight >> s.storedBack >> s.bannerCovers;
    return s;
}

// What each DPI must give; at 96 the sizes of every earlier version.
struct Expected {
    int dpi, toolbarImage, rowIcon, normalIcon, column, descriptionGap;
};
constexpr Expected kExpected[] = {
    {96, 16, 16, 32, 160, 324}, {120, 16, 20, 40, 200, 405}, {144, 24, 24, 48, 240, 486}, {192, 32, 32, 64, 320, 648}};

void ExpectSizes(const Sizes& s, const Expected& e) {
    EXPECT_EQ(s.toolbarImage, e.toolbarImage);
    EXPECT_EQ(s.rowIcon, e.rowIcon);
    EXPECT_EQ(s.normalIcon, e.normalIcon);
    EXPECT_EQ(s.shortcutColumn, e.column);
    EXPECT_EQ(s.actionColumn, e.column);
}

TEST(DpiTest, ImagesAndColumnsFollowTheDpi) {
    for (const Expected& expected : kExpected) {
        SCOPED_TRACE(expected.dpi);
        const Sizes s = MeasureAt(static_cast<DWORD>(expected.dpi));
        ASSERT_EQ(s.dpi, expected.dpi) << "the probe did not run at this DPI";
        ExpectSizes(s, expected);
        EXPECT_EQ(s.descriptionGap, expected.descriptionGap);
        // The list draws a label's text inside a margin of a few pixels on either side.
        EXPECT_GE(s.label, s.text + 2 * GetSystemMetrics(SM_CXEDGE)) << kLongest << " is cut";
        // "Window settings" holds sizes at 96 DPI: they open scaled and are stored as they were.
        EXPECT_EQ(s.windowWidth, ScaleForDpi(400, expected.dpi));
        EXPECT_EQ(s.windowHeight, ScaleForDpi(300, expected.dpi));
        EXPECT_TRUE(s.storedBack);
        EXPECT_TRUE(s.bannerCovers);
    }
}

// Windows sends WM_DPICHANGED when the window moves to a monitor of another DPI: the
// window takes the suggested rectangle and its images and columns the new DPI's sizes.
TEST_F(EditorWindow, MovingToAnotherDpiRelaysTheWindowOut) {
    auto dialog = Open();
    ExpectSizes(Measure(*dialog), kExpected[0]);
    const RECT suggested = {40, 30, 1040, 730};
    dialog->SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    GetWindowRect(dialog->m_hWnd, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    ExpectSizes(Measure(*dialog), kExpected[2]);
    RECT bar, list;
    GetWindowRect(dialog->GetDlgItem(AFX_IDW_TOOLBAR), &bar);
    GetWindowRect(dialog->List().m_hWnd, &list);
    EXPECT_GE(bar.bottom - bar.top, 24);
    EXPECT_EQ(list.top, bar.bottom);
    dialog->DestroyWindow();
}

}  // namespace
