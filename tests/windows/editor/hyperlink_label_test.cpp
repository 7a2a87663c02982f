// The About box's "Home page" link under real mouse input: colours, Open, Copy Shortcut, its menu and Properties box.
#include "about_dlg.h"
#include "dpi.h"
#include "editor_steps.h"

constexpr COLORREF kLink = RGB(0, 0, 255), kVisited = RGB(128, 0, 128), kHover = RGB(255, 0, 0);

static bool MarkerStarted() { return !ReadString("Software\\TarvoTest", "Started").empty(); }
// The label's colour as the dialog gives it, and whether it holds the mouse.
static std::string Look(CDialog& box, HWND label) {
    HDC dc = CreateCompatibleDC(nullptr);
    box.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    const COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return std::string(colour == kLink ? "link" : colour == kHover ? "hover" : colour == kVisited ? "visited" : "other") +
           (GetCapture() == label ? " captured" : "");
}
static std::string LookWithMouseOn(HWND at, CDialog& box, HWND label) {
    MoveMouse(Centre(at));
    PumpMessages(300);
    return Look(box, label);
}
static std::string Font(HWND window) {
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::to_string(font.lfHeight) + (font.lfUnderline ? " underlined" : "");
}

// Unpainted the label ignores the mouse, shown it hovers; an Open (one a click) marks it visited only if it worked, freeing the mouse.
TEST_F(EditorWindow, TheHomePageLinkUnderTheMouse) {
    MoveMouse({1200, 1000});
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    HWND label = about.homePageLabel.m_hWnd, ok = about.GetDlgItem(IDOK);
    EXPECT_EQ(SendMessageW(label, WM_NCHITTEST, 0, MAKELPARAM(Centre(label).x, Centre(label).y)), HTTRANSPARENT);
    about.ShowWindow(SW_SHOW);
    PumpMessages(200);  // painted
    EXPECT_NE(Font(label).find("underlined"), std::string::npos) << "the control's own font is the underlined one";
    std::string looks = Look(about, label);
    for (HWND at : {label, ok, label}) looks += ", " + LookWithMouseOn(at, about, label);
    ASSERT_EQ(looks, "link, hover captured, link, hover captured");
    const ShownMenu menu = MenuShown([&] { SendMessageW(label, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(label), MAKELPARAM(-1, -1)); });
    RECT rect;
    GetWindowRect(label, &rect);
    EXPECT_EQ(std::to_string(menu.rect.left - rect.left) + "," + std::to_string(menu.rect.top - rect.top) + " " + menu.items + " " +
                  Look(about, label), "5,5 32776 &Open;0 ;32771 Copy Shor&tcut;0 ;32773 P&roperties; link");

    const std::string target = "https://tarvo.example/a b?c=1&d=\xC3\xA9\xD0\x96\xE6\x96\x87\xF0\x9F\x98\x80";  // é Ж 文 U+1F600
    about.homePageLabel.SetTarget(target.c_str());
    SendMessageW(label, WM_COMMAND, CHyperlinkLabel::ID_LINK_COPY_SHORTCUT, 0);
    HWND edit = CreateWindowExW(0, L"Edit", L"", ES_MULTILINE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);  // later a font's holder
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), target);
    std::string url;
    DialogWatcher watcher(IDOK, about.m_hWnd, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, CLinkPropertiesDlg::IDC_LINK_URL);
        url = Text(box) + ((GetWindowLongW(box, GWL_STYLE) & (ES_READONLY | ES_MULTILINE)) == (ES_READONLY | ES_MULTILINE) ? ", read-only" : "");
    });
    SendMessageW(label, WM_COMMAND, CHyperlinkLabel::ID_LINK_PROPERTIES, 0);
    EXPECT_TRUE(watcher.Finish() && watcher.Seen().icon);
    EXPECT_EQ(watcher.Seen().caption + ": " + watcher.Seen().text + ", " + url, "Properties: Home page\nStatic\nURL:, " + target + ", read-only");

    about.contactLabel.SetTarget("");
    about.contactLabel.SendMessage(WM_COMMAND, CHyperlinkLabel::ID_LINK_OPEN);
    PumpMessages(500);
    EXPECT_EQ(Look(about, about.contactLabel.m_hWnd) + (GetActiveWindow() == about.m_hWnd ? ", box active" : ""), "link, box active");

    about.homePageLabel.SetTarget((TestDir() + "start_marker.exe").c_str());  // records its start: an Open that succeeded
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    MSG open, more;
    ASSERT_TRUE(PeekMessageW(&open, label, WM_COMMAND, WM_COMMAND, PM_REMOVE) && open.wParam == CHyperlinkLabel::ID_LINK_OPEN);
    EXPECT_FALSE(PeekMessageW(&more, label, WM_COMMAND, WM_COMMAND, PM_REMOVE) || MarkerStarted());
    LookWithMouseOn(ok, about, label);
    ASSERT_EQ(LookWithMouseOn(label, about, label), "hover captured");
    Click(label);
    for (int i = 0; i < 200 && !MarkerStarted(); ++i) PumpMessages(100);
    EXPECT_EQ(LookWithMouseOn(ok, about, label), "visited");
    Click(ok);
    PumpMessages(300);
    EXPECT_FALSE(about.IsWindowVisible());

    LOGFONTW font = {-24};  // on a monitor of another DPI the label takes its parent's new font, still underlined
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(CreateFontIndirectW(&font)), FALSE);  // as a dialog holds one
    SetParent(label, edit);
    SendMessageW(label, kDpiChangedAfterParent, 0, 0);
    EXPECT_EQ(Font(label), "-24 underlined");
}
