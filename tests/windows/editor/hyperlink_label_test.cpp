// The About box's "Home page" link as the user meets it: real mouse input from SendInput,
// the colour request the static control sends its dialog, the shell opening a program,
// the clipboard and the label's menu and Properties box.
#include "editor_window.h"

#include <functional>
#include <vector>

#include "about_dlg.h"
#include "hyperlink_label.h"

namespace {

constexpr COLORREF kLink = RGB(0, 0, 255), kVisited = RGB(128, 0, 128), kHover = RGB(255, 0, 0);

POINT Centre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void SendMouse(DWORD flags, POINT at = {}) {
    INPUT input{INPUT_MOUSE};
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | (flags & MOUSEEVENTF_MOVE ? MOUSEEVENTF_ABSOLUTE : 0);
    SendInput(1, &input, sizeof input);
}
void MoveMouse(POINT at) { SendMouse(MOUSEEVENTF_MOVE, at); }
void Click() {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

// A program that records its start, so a successful Open can be seen.
std::string Marker() { return TestDir() + "start_marker.exe"; }
std::string MarkerStarted() { return teststore::ReadString("Software\\TarvoTest", "Started"); }

std::string ClipboardText() {
    std::string text = "(no text)";
    if (!OpenClipboard(nullptr)) return "(busy)";
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        const char* data = static_cast<const char*>(GlobalLock(block));
        text = std::string(data, strnlen(data, GlobalSize(block)));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

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
    // The text colour the label picks in its colour request; checks the rest of the request.
    COLORREF Colour() {
        HDC dc = CreateCompatibleDC(nullptr);
        const LRESULT brush = about.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        LOGFONTA font = {};
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        EXPECT_EQ(font.lfUnderline, 1);
        const COLORREF colour = GetTextColor(dc);
        DeleteDC(dc);
        return colour;
    }
    LRESULT HitTest() {
        const POINT centre = Centre(label);
        return SendMessageA(label, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y));
    }

    CAboutDlg about;
    HWND label = nullptr;
};

TEST_F(HyperlinkLabel, HearsTheMouseFromItsFirstPaintAndColoursItselfByState) {
    EXPECT_FALSE(GetWindowLongA(label, GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(HitTest(), HTTRANSPARENT);
    Show();
    EXPECT_TRUE(GetWindowLongA(label, GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(HitTest(), HTCLIENT);
    EXPECT_EQ(Colour(), kLink);

    // The pointer on the label: captured, red, the hand cursor.
    MoveMouse(Centre(label));
    teststore::PumpMessages(300);
    EXPECT_EQ(GetCapture(), label);
    EXPECT_EQ(Colour(), kHover);
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));

    // Off the label again: released, blue.
    MoveMouse(Centre(about.GetDlgItem(IDOK)));
    teststore::PumpMessages(300);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Colour(), kLink);
}

// A click posts exactly one Open to the label itself. Opening a program that exists marks
// the label visited; an empty target fails quietly and leaves it as it was.
TEST_F(HyperlinkLabel, AClickPostsOneOpenAndOnlyASuccessfulOpenMarksTheLabelVisited) {
    Show();
    about.homePageLabel.SetTarget(Marker().c_str());
    SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    std::vector<MSG> posted;
    for (MSG message; PeekMessageA(&message, label, WM_COMMAND, WM_COMMAND, PM_REMOVE);) posted.push_back(message);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, WPARAM{CHyperlinkLabel::ID_LINK_OPEN});
    EXPECT_EQ(posted[0].lParam, 0);
    EXPECT_TRUE(MarkerStarted().empty());
    DispatchMessageA(&posted[0]);
    EXPECT_TRUE(teststore::WaitFor([] { return !MarkerStarted().empty(); }));
    EXPECT_EQ(Colour(), kVisited);

    HWND contact = about.contactLabel.m_hWnd;
    about.contactLabel.SetTarget("");
    SendMessageA(contact, WM_COMMAND, CHyperlinkLabel::ID_LINK_OPEN, 0);
    teststore::PumpMessages(500);
    HDC dc = CreateCompatibleDC(nullptr);
    about.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(contact));
    EXPECT_EQ(GetTextColor(dc), kLink);
    DeleteDC(dc);
    // No message: the About box is still the active window.
    EXPECT_EQ(GetActiveWindow(), about.m_hWnd);
}

TEST_F(HyperlinkLabel, CopyShortcutPutsTheExactTargetOnTheClipboard) {
    Show();
    for (const char* target : {"https://tarvo.example/a b?c=1&d=\xe9", ""}) {
        // Something else on the clipboard first, so the copy must replace it.
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL old = GlobalAlloc(GMEM_MOVEABLE, 4);
        lstrcpyA(static_cast<char*>(GlobalLock(old)), "old");
        GlobalUnlock(old);
        SetClipboardData(CF_TEXT, old);
        CloseClipboard();
        about.homePageLabel.SetTarget(target);
        SendMessageA(label, WM_COMMAND, CHyperlinkLabel::ID_LINK_COPY_SHORTCUT, 0);
        EXPECT_EQ(ClipboardText(), target);
    }
}

// What the label's open menu shows, read when the menu first waits for input; the menu is
// then closed with Escape.
struct SeenMenu {
    RECT rect = {};
    std::vector<std::string> items;
    HCURSOR cursor = nullptr;
};
SeenMenu seenMenu;
HWND menuLabel = nullptr;

LRESULT CALLBACK ReadMenu(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_ENTERIDLE && call->wParam == MSGF_MENU && seenMenu.items.empty()) {
        HWND window = reinterpret_cast<HWND>(call->lParam);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
        GetWindowRect(window, &seenMenu.rect);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = "";
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            seenMenu.items.push_back(std::to_string(GetMenuItemID(menu, i)) + " " + text);
        }
        // While the menu is open the label leaves the cursor to the system.
        SetCursor(nullptr);
        SendMessageA(menuLabel, WM_SETCURSOR, reinterpret_cast<WPARAM>(menuLabel), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        seenMenu.cursor = GetCursor();
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The menu key opens the menu 5 pixels right of and below the label's corner, and the
// label leaves its hover state and the capture for it.
TEST_F(HyperlinkLabel, TheKeyboardMenuOpensJustInsideTheLabelAndEndsTheHover) {
    Show();
    MoveMouse(Centre(label));
    teststore::PumpMessages(300);
    ASSERT_EQ(GetCapture(), label);

    seenMenu = SeenMenu();
    menuLabel = label;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, ReadMenu, nullptr, GetCurrentThreadId());
    SendMessageA(label, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(label), MAKELPARAM(-1, -1));
    UnhookWindowsHookEx(hook);

    RECT rect;
    GetWindowRect(label, &rect);
    EXPECT_EQ(seenMenu.rect.left, rect.left + 5);
    EXPECT_EQ(seenMenu.rect.top, rect.top + 5);
    EXPECT_EQ(seenMenu.items, (std::vector<std::string>{"32776 &Open", "0 ", "32771 Copy Shor&tcut", "0 ", "32773 P&roperties"}));
    EXPECT_NE(seenMenu.cursor, LoadCursorA(nullptr, IDC_HAND));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Colour(), kLink);
}

TEST_F(HyperlinkLabel, PropertiesShowsTheTextTheWebPageIconAndTheTargetAndOkClosesIt) {
    Show();
    const char* target = "https://tarvo.example/";
    about.homePageLabel.SetTarget(target);
    std::string url, caption;
    DWORD urlStyle = 0;
    testwatch::DialogWatcher watcher(IDOK, about.m_hWnd, [&](HWND dialog) {
        char text[256] = "";
        GetDlgItemTextA(dialog, CLinkPropertiesDlg::IDC_LINK_URL, text, sizeof text);
        url = text;
        urlStyle = static_cast<DWORD>(GetWindowLongA(GetDlgItem(dialog, CLinkPropertiesDlg::IDC_LINK_URL), GWL_STYLE));
    });
    SendMessageA(label, WM_COMMAND, CHyperlinkLabel::ID_LINK_PROPERTIES, 0);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Seen().caption, "Properties");
    EXPECT_EQ(watcher.Seen().text, "Home page\nStatic\nURL:");
    EXPECT_NE(watcher.Seen().icon, nullptr);
    EXPECT_EQ(url, target);
    EXPECT_EQ(urlStyle & (ES_READONLY | ES_MULTILINE), DWORD{ES_READONLY | ES_MULTILINE});
}

// The About box with its home page link aimed at the marker program.
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
        teststore::WaitFor([&] { return (box = FindWindowA(WC_DIALOG, "About Tarvo")) && IsWindowVisible(box); });
        Sleep(300);
        MoveMouse(Centre(GetDlgItem(box, IDC_HOME_PAGE)));
        Sleep(300);
        Click();
        teststore::WaitFor([] { return !MarkerStarted().empty(); });
        Sleep(300);
        MoveMouse(Centre(GetDlgItem(box, IDOK)));
        Sleep(300);
        Click();
        // A box that did not close is closed another way, so the test ends.
        if (!teststore::WaitFor([&] { return !IsWindow(box); })) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
    MarkerAbout box;
    EXPECT_EQ(box.DoModal(), IDOK);
    user.join();
    EXPECT_FALSE(MarkerStarted().empty());
}

}  // namespace
