// The About box's "Home page" link under real mouse input: colours, Open, Copy Shortcut,
// its menu and Properties box.
#include "about_dlg.h"
#include "dpi.h"
#include "editor_steps.h"
#include "hyperlink_label.h"

namespace {

constexpr COLORREF kLink = RGB(0, 0, 255), kVisited = RGB(128, 0, 128), kHover = RGB(255, 0, 0);

// A program that records its start, so that a successful Open shows.
std::string Marker() { return TestDir() + "start_marker.exe"; }
bool MarkerStarted() { return !teststore::ReadString("Software\\TarvoTest", "Started").empty(); }

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

// On a monitor of another DPI the link takes the dialog's new font size, still underlined.
HFONT dialogFont = nullptr;
WNDPROC dialogProc = nullptr;
LRESULT CALLBACK DialogWithFont(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_GETFONT ? reinterpret_cast<LRESULT>(dialogFont) : CallWindowProcW(dialogProc, window, message, wParam, lParam);
}

TEST_F(HyperlinkLabel, TheUnderlinedFontFollowsTheDialogsFontToAnotherDpi) {
    Show();
    LOGFONTW font = {-24};
    lstrcpyW(font.lfFaceName, L"Tahoma");
    dialogFont = CreateFontIndirectW(&font);
    dialogProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(about.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DialogWithFont)));
    SendMessageW(label, kDpiChangedAfterParent, 0, 0);
    SetWindowLongPtrW(about.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dialogProc));
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -24);
    EXPECT_TRUE(font.lfUnderline);
    about.DestroyWindow();
    DeleteObject(dialogFont);
}

// Unpainted, the label ignores the mouse. A click posts one Open; only one that succeeds
// marks the label visited, an empty target fails without a message.
TEST_F(HyperlinkLabel, HoverColoursAndOpen) {
    const POINT centre = Centre(label);
    EXPECT_EQ(SendMessageW(label, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTTRANSPARENT);
    Show();
    EXPECT_TRUE(GetWindowLongW(label, GWL_STYLE) & SS_NOTIFY);
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_TRUE(font.lfUnderline) << "the control's own font is the underlined one";
    EXPECT_EQ(SendMessageW(label, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTCLIENT);
    EXPECT_EQ(Colour(label), kLink);
    Hover(label);
    EXPECT_EQ(GetCapture(), label);
    EXPECT_EQ(Colour(label), kHover);
    Hover(about.GetDlgItem(IDOK));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Colour(label), kLink);

    about.homePageLabel.SetTarget(Marker().c_str());
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    MSG open, more;
    ASSERT_TRUE(PeekMessageW(&open, label, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&more, label, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(open.wParam, WPARAM{CHyperlinkLabel::ID_LINK_OPEN});
    EXPECT_FALSE(MarkerStarted());
    DispatchMessageW(&open);
    EXPECT_TRUE(teststore::WaitFor(MarkerStarted));
    EXPECT_EQ(Colour(label), kVisited);
    about.contactLabel.SetTarget("");
    about.contactLabel.SendMessage(WM_COMMAND, CHyperlinkLabel::ID_LINK_OPEN);
    teststore::PumpMessages(500);
    EXPECT_EQ(Colour(about.contactLabel.m_hWnd), kLink);
    EXPECT_EQ(GetActiveWindow(), about.m_hWnd);
}

// Copy Shortcut puts the exact target on the clipboard; Properties shows the text, the web
// page icon and the target, and OK closes it.
TEST_F(HyperlinkLabel, CopyShortcutAndProperties) {
    const char* target = "https://tarvo.example/a b?c=1&d=\xC3\xA9\xD0\x96\xE6\x96\x87\xF0\x9F\x98\x80";  // é Ж 文 U+1F600
    about.homePageLabel.SetTarget(target);
    SendMessageW(label, WM_COMMAND, CHyperlinkLabel::ID_LINK_COPY_SHORTCUT, 0);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE block = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = block ? static_cast<const wchar_t*>(GlobalLock(block)) : nullptr;
    EXPECT_EQ(text ? Narrow(text, wcsnlen(text, GlobalSize(block) / sizeof *text)) : "(none)", target);
    if (text) GlobalUnlock(block);
    CloseClipboard();

    std::string url;
    testwatch::DialogWatcher watcher(IDOK, about.m_hWnd, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, CLinkPropertiesDlg::IDC_LINK_URL);
        url = testwatch::WindowText(box) + ((GetWindowLongW(box, GWL_STYLE) & (ES_READONLY | ES_MULTILINE)) == (ES_READONLY | ES_MULTILINE) ? ", read-only" : "");
    });
    SendMessageW(label, WM_COMMAND, CHyperlinkLabel::ID_LINK_PROPERTIES, 0);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Seen().caption + ": " + watcher.Seen().text, "Properties: Home page\nStatic\nURL:");
    EXPECT_NE(watcher.Seen().icon, nullptr);
    EXPECT_EQ(url, std::string(target) + ", read-only");
}

// The menu key opens the menu 5 pixels inside the label's corner and ends the hover.
TEST_F(HyperlinkLabel, TheKeyboardMenuOpensJustInsideTheLabelAndEndsTheHover) {
    Show();
    Hover(label);
    ASSERT_EQ(GetCapture(), label);
    const ShownMenu menu = MenuShown([&] { SendMessageW(label, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(label), MAKELPARAM(-1, -1)); });
    RECT rect;
    GetWindowRect(label, &rect);
    EXPECT_EQ(std::to_string(menu.rect.left - rect.left) + "," + std::to_string(menu.rect.top - rect.top), "5,5");
    EXPECT_EQ(menu.items, "32776 &Open;0 ;32771 Copy Shor&tcut;0 ;32773 P&roperties;");
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Colour(label), kLink);
}

class MarkerAbout : public CAboutDlg {
protected:
    BOOL OnInitDialog() override {
        CAboutDlg::OnInitDialog();
        homePageLabel.SetTarget(Marker().c_str());
        return TRUE;
    }
};

// The capture the hover took must end with the Open, or the click on OK would open it again.
TEST_F(HyperlinkLabel, AfterAClickThatOpensTheLinkAClickOnOkClosesTheBox) {
    about.DestroyWindow();
    MarkerAbout box;
    INT_PTR result = 0;
    Modal(nullptr, [&] { result = box.DoModal(); }, [](HWND box) {
        for (int target : {IDC_HOME_PAGE, IDOK}) {
            MoveMouse(Centre(GetDlgItem(box, target)));
            Sleep(300);
            testwatch::Click(GetDlgItem(box, target));
            teststore::WaitFor(MarkerStarted);
            Sleep(300);
        }
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(MarkerStarted());
}

}  // namespace
