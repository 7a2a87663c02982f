// Tool bars: buttons and images come from the tool-bar resource, and RepositionBars
// reports (reposQuery) or makes (default) the room a bar takes at the top of its parent.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "afxwin.h"
#include "test_ids.h"

namespace {

class CHostDlg : public CDialog {
public:
    CHostDlg() : CDialog(IDD_TEST) {}
    CToolBar bar;
};

RECT ChildRect(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(ToolBar, LoadsButtonsSeparatorsAndImagesFromTheResource) {
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST));
    ASSERT_TRUE(host.bar.CreateEx(&host, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
    ASSERT_TRUE(host.bar.LoadToolBar(IDR_TEST_BAR));
    EXPECT_EQ(GetDlgCtrlID(host.bar.m_hWnd), AFX_IDW_TOOLBAR);
    EXPECT_TRUE(host.bar.GetStyle() & TBSTYLE_TOOLTIPS);
    EXPECT_NE(host.bar.SendMessage(TB_GETTOOLTIPS), 0);

    ASSERT_EQ(host.bar.SendMessage(TB_BUTTONCOUNT), 4);
    const int ids[] = {ID_TOOL_FIRST, 0, ID_TOOL_SECOND, ID_TOOL_THIRD};
    const int images[] = {0, -1, 1, 2};
    for (int i = 0; i < 4; ++i) {
        TBBUTTON button = {};
        host.bar.SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, ids[i]) << i;
        EXPECT_EQ((button.fsStyle & TBSTYLE_SEP) != 0, ids[i] == 0) << i;
        if (ids[i]) EXPECT_EQ(button.iBitmap, images[i]) << i;
    }
    HIMAGELIST images16 = reinterpret_cast<HIMAGELIST>(host.bar.SendMessage(TB_GETIMAGELIST));
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images16, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    EXPECT_EQ(ImageList_GetImageCount(images16), 10);  // the whole strip
    host.DestroyWindow();
}

TEST(ToolBar, RejectsAResourceThatIsMissingOrNotOfVersionOne) {
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST));
    ASSERT_TRUE(host.bar.CreateEx(&host));
    EXPECT_FALSE(host.bar.LoadToolBar(12345));
    EXPECT_EQ(host.bar.SendMessage(TB_BUTTONCOUNT), 0);
    host.DestroyWindow();
}

TEST(RepositionBars, QueryReportsTheRestAndDefaultPlacesBarAndLeftOver) {
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST));
    ASSERT_TRUE(host.bar.CreateEx(&host));
    ASSERT_TRUE(host.bar.LoadToolBar(IDR_TEST_BAR));
    RECT client;
    host.GetClientRect(&client);
    const int barHeight = host.bar.CalcHeight();
    ASSERT_GT(barHeight, 16);

    const RECT barBefore = ChildRect(host.m_hWnd, host.bar.m_hWnd);
    RECT rest = {};
    host.RepositionBars(AFX_IDW_TOOLBAR, AFX_IDW_TOOLBAR + 0xFF, 0, CWnd::reposQuery, &rest);
    EXPECT_EQ(rest.left, client.left);
    EXPECT_EQ(rest.top, client.top + barHeight);
    EXPECT_EQ(rest.right, client.right);
    EXPECT_EQ(rest.bottom, client.bottom);
    const RECT barAfterQuery = ChildRect(host.m_hWnd, host.bar.m_hWnd);
    EXPECT_TRUE(EqualRect(&barBefore, &barAfterQuery));  // a query moves nothing

    // Default mode: the bar across the top, the list box in all the rest.
    host.RepositionBars(AFX_IDW_TOOLBAR, AFX_IDW_TOOLBAR + 0xFF, IDC_ENTRIES);
    const RECT bar = ChildRect(host.m_hWnd, host.bar.m_hWnd);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(bar.bottom, barHeight);
    const RECT list = ChildRect(host.m_hWnd, host.GetDlgItem(IDC_ENTRIES));
    EXPECT_EQ(list.top, barHeight);
    EXPECT_EQ(list.bottom, client.bottom);
    EXPECT_EQ(list.right - list.left, client.right);

    // Ids outside the range are left alone.
    RECT untouched = {};
    host.RepositionBars(1, 2, 0, CWnd::reposQuery, &untouched);
    EXPECT_TRUE(EqualRect(&untouched, &client));
    host.DestroyWindow();
}

}  // namespace
