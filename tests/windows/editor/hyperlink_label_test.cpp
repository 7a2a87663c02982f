// The About box's "Home page" link driven by real mouse input, the dialog's colour request,
// the shell, the clipboard and the label's menu and Properties box.
#include "editor_window.h"

#include <vector>

#include "about_dlg.h"
#include "dpi.h"
#include "hyperlink_label.h"

namespace {

constexpr COLORREF kLink = RGB(0, 0, 255), kVisited = RGB(128, 0, 128), kHover = RGB(255, 0, 0);

POINT Centre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void MoveMouse(POINT at) {
    INPUT input{INPUT_MOUSE};
    input.mi = {MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1), MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0,
                MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE};
    SendInput(1, &input, sizeof input);
}

// A program that records its start, so a successful Open can be seen.
std::string Marker() { return TestDir() + "start_marker.exe"; }
std::string MarkerStarted() { return teststore::ReadString("Software\\TarvoTest", "Started"); }

class HyperlinkLabel : public EditorWindow {
protected:
    void SetUp() override {
        EditorWindow::SetUp();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvoTest");
        MoveMouse({1200, 1000});
        ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
        label = about.homePageLabel.m_hWnd;
    }
    void TearDown() override { about.DestroyWindow(); }

    void Show() {
        about.ShowWindow(SW_SHOW);
        about.UpdateWindow();
        teststore::PumpMessages(200);
    }
    void Hover(HWND over) {
        MoveMouse(Centre(over));
        teststore::PumpMessages(300);
    }
    COLORREF Colour(HWND of) {
        HDC dc = CreateCompatibleDC(nullptr);
        about.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(of));
        const COLORREF colour = GetTextColor(dc);
        DeleteDC(dc);
        return colour;
    }

    CAboutDlg about;
    HWND label = nullptr;
};

// Before its first paint the label ignores the mouse. A click posts exactly one Open; only
// an Open that succeeds marks a label visited, an empty target fails without a message.
// On a monitor of another DPI the dialog's font changes size; the link keeps its underline
// in the new size.
HFONT dialogFont = nullptr;
WNDPROC dialogProc = nullptr;
LRESULT CALLBACK DialogWithFont(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(dialogFont);
    return CallWindowProcW(dialogProc, window, message, wParam, lParam);
}

TEST_F(HyperlinkLabel, TheUnderlinedFontFollowsTheDialogsFontToAnotherDpi) {
    Show();
    LOGFONTW larger = {};
    larger.lfHeight = -24;
    lstrcpyW(larger.lfFaceName, L"Tahoma");
    dialogFont = CreateFontIndirectW(&larger);
    dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(about.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DialogWithFont)));
    SendMessageW(label, kDpiChangedAfterParent, 0, 0);
    SetWindowLongPtrW(about.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dialogProc));
    LOGFONTW now = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof now, &now);
    EXPECT_EQ(now.lfHeight, -24);
    EXPECT_TRUE(now.lfUnderline);
    about.DestroyWindow();
    DeleteObject(dialogFont);
}

TEST_F(HyperlinkLabel, HoverColoursAndOpen) {
    const POINT centre = Centre(label);
    EXPECT_EQ(SendMessageA(label, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTTRANSPARENT);
    Show();
    EXPECT_TRUE(GetWindowLongA(label, GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(SendMessageA(label, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTCLIENT);
    EXPECT_EQ(Colour(label), kLink);
    Hover(label);
    EXPECT_EQ(GetCapture(), label);
    EXPECT_EQ(Colour(label), kHover);
    Hover(about.GetDlgItem(IDOK));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Colour(label), kLink);

    about.homePageLabel.SetTarget(Marker().c_str());
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    std::vector<MSG> posted;
    for (MSG message; PeekMessageA(&message, label, WM_COMMAND, WM_COMMAND, PM_REMOVE);) posted.push_back(message);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, WPARAM{CHyperlinkLabel::ID_LINK_OPEN});
    EXPECT_TRUE(MarkerStarted().empty());
    DispatchMessageA(&posted[0]);
    EXPECT_TRUE(teststore::WaitFor([] { return !MarkerStarted().empty(); }));
    EXPECT_EQ(Colour(label), kVisited);
    about.contactLabel.SetTarget("");
    about.contactLabel.SendMessage(WM_COMMAND, CHyperlinkLabel::ID_LINK_OPEN);
    teststore::PumpMessages(500);
    EXPECT_EQ(Colour(about.contactLabel.m_hWnd), kLink);
    EXPECT_EQ(GetActiveWindow(), about.m_hWnd);
}

TEST_F(HyperlinkLabel, CopyShortcutPutsTheExactTargetOnTheClipboard) {
    const char* target = "https://tarvo.example/a b?c=1&d=\xC3\xA9\xD0\x96\xE6\x96\x87\xF0\x9F\x98\x80";  // é Ж 文 U+1F600
    about.homePageLabel.SetTarget(target);
    SendMessageA(label, WM_COMMAND, CHyperlinkLabel::ID_LINK_COPY_SHORTCUT, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE block = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = block ? static_cast<const wchar_t*>(GlobalLock(block)) : nullptr;
    EXPECT_EQ(text ? Narrow(text, wcsnlen(text, GlobalSize(block) / sizeof *text)) : "(none)", target);
    if (text) GlobalUnlock(block);
    CloseClipboard();
}

// The open menu's place and items, read when it first waits for input; then Escape closes it.
RECT menuRect;
std::string menuItems;

LRESULT CALLBACK ReadMenu(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_ENTERIDLE && call->wParam == MSGF_MENU && menuItems.empty()) {
        HWND window = reinterpret_cast<HWND>(call->lParam);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
        GetWindowRect(window, &menuRect);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = "";
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            menuItems += std::to_string(GetMenuItemID(menu, i)) + " " + text + ";";
        }
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The menu key opens the menu 5 pixels inside the label's corner and ends the hover.
TEST_F(HyperlinkLabel, TheKeyboardMenuOpensJustInsideTheLabelAndEndsTheHover) {
    Show();
    Hover(label);
    ASSERT_EQ(GetCapture(), label);
    menuItems.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, ReadMenu, nullptr, GetCurrentThreadId());
    SendMessageA(label, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(label), MAKELPARAM(-1, -1));
    UnhookWindowsHookEx(hook);
    RECT rect;
    GetWindowRect(label, &rect);
    EXPECT_EQ(menuRect.left, rect.left + 5);
    EXPECT_EQ(menuRect.top, rect.top + 5);
    EXPECT_EQ(menuItems, "32776 &Open;0 ;32771 Copy Shor&tcut;0 ;32773 P&roperties;");
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Colour(label), kLink);
}

TEST_F(HyperlinkLabel, PropertiesShowsTheTextTheWebPageIconAndTheTargetAndOkClosesIt) {
    about.homePageLabel.SetTarget("https://tarvo.example/");
    char url[256] = "";
    DWORD urlStyle = 0;
    testwatch::DialogWatcher watcher(IDOK, about.m_hWnd, [&](HWND dialog) {
        GetDlgItemTextA(dialog, CLinkPropertiesDlg::IDC_LINK_URL, url, sizeof url);
        urlStyle = static_cast<DWORD>(GetWindowLongA(GetDlgItem(dialog, CLinkPropertiesDlg::IDC_LINK_URL), GWL_STYLE));
    });
    SendMessageA(label, WM_COMMAND, CHyperlinkLabel::ID_LINK_PROPERTIES, 0);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Seen().caption, "Properties");
    EXPECT_EQ(watcher.Seen().text, "Home page\nStatic\nURL:");
    EXPECT_NE(watcher.Seen().icon, nullptr);
    EXPECT_STREQ(url, "https://tarvo.example/");
    EXPECT_EQ(urlStyle & (ES_READONLY | ES_MULTILINE), DWORD{ES_READONLY | ES_MULTILINE});
}

class MarkerAbout : public CAboutDlg {
protected:
    BOOL OnInitDialog() override {
        CAboutDlg::OnInitDialog();
        homePageLabel.SetTarget(Marker().c_str());
        return TRUE;
    }
};

// The capture taken when the pointer came onto the link must not outlive the Open it
// clicked, or the click on OK would go to the link and open it again.
TEST_F(HyperlinkLabel, AfterAClickThatOpensTheLinkAClickOnOkClosesTheBox) {
    about.DestroyWindow();
    std::thread user([] {
        HWND box = nullptr;
        teststore::WaitFor([&] { return (box = FindWindowW(WC_DIALOG, L"About Tarvo")) && IsWindowVisible(box); });
        for (int target : {IDC_HOME_PAGE, IDOK}) {
            Sleep(300);
            MoveMouse(Centre(GetDlgItem(box, target)));
            Sleep(300);
            testwatch::Click(GetDlgItem(box, target));
            teststore::WaitFor([] { return !MarkerStarted().empty(); });
        }
        // A box that did not close is closed another way, so the test ends.
        if (!teststore::WaitFor([&] { return !IsWindow(box); })) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
    MarkerAbout box;
    EXPECT_EQ(box.DoModal(), IDOK);
    user.join();
    EXPECT_FALSE(MarkerStarted().empty());
}

}  // namespace
