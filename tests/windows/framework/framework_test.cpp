// The framework layer: message maps, DDX, modal runs, message boxes, the command line and tool bars.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afxwin.h"
#include "dialog_watch.h"
#include "test_ids.h"

namespace {

class CTestDlg : public CDialog {
public:
    CTestDlg() : CDialog(IDD_TEST) {}
    std::string calls;
    CString name = "initial";
    int count = 7, flag = 1;
    UINT endWith = 0;  // when set, OnInitDialog types a name and posts this command
    CToolBar bar;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_NAME, name);
        DDX_Text(dx, IDC_COUNT, count);
        DDX_Check(dx, IDC_FLAG, flag);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (endWith) SetDlgItemTextA(m_hWnd, IDC_NAME, "typed"), PostMessage(WM_COMMAND, endWith);
        return TRUE;
    }
    void OnTool(UINT id) { calls += "tool " + std::to_string(id) + ";"; }
    void OnClick(NMHDR* header, LRESULT* result) { calls += "click " + std::to_string(header->idFrom) + ";", *result = 42; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_COMMAND_RANGE(ID_TOOL_FIRST, ID_TOOL_THIRD, OnTool)
    ON_NOTIFY(NM_CLICK, IDC_NAME, OnClick)
END_MESSAGE_MAP()

// The class's own entries, and its base's IDOK.
TEST(Dialog, MessageMapDispatchesAndDataExchangeMovesValuesBothWays) {
    CTestDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    const HWND window = dialog.m_hWnd;
    for (UINT id : {ID_TOOL_SECOND, ID_TOOL_THIRD + 1}) SendMessageA(window, WM_COMMAND, id, 0);
    for (UINT_PTR control : {IDC_NAME, IDC_COUNT}) {
        NMHDR header = {GetDlgItem(window, static_cast<int>(control)), control, static_cast<UINT>(NM_CLICK)};
        EXPECT_EQ(SendMessageA(window, WM_NOTIFY, control, reinterpret_cast<LPARAM>(&header)), control == IDC_NAME ? 42 : 0);
    }
    EXPECT_EQ(dialog.calls, "tool 402;click 201;");

    EXPECT_EQ(std::make_pair(GetDlgItemInt(window, IDC_COUNT, nullptr, TRUE), IsDlgButtonChecked(window, IDC_FLAG)), std::make_pair(7u, UINT{BST_CHECKED}));
    SetDlgItemTextA(window, IDC_COUNT, " -12 ");
    CheckDlgButton(window, IDC_FLAG, BST_UNCHECKED);
    SendMessageA(window, WM_COMMAND, IDOK, 0);  // the base class's entry: OK reads the controls
    EXPECT_EQ(std::make_pair(dialog.count, dialog.flag), std::make_pair(-12, 0));
    dialog.count = 123456;
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(GetDlgItemInt(window, IDC_COUNT, nullptr, TRUE), 123456u);
    SetDlgItemTextA(window, IDC_COUNT, "12abc");
    testwatch::DialogWatcher watcher(IDOK, window);
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Seen().text, "Please enter an integer.");
    EXPECT_EQ(dialog.count, 123456);
    dialog.DestroyWindow();
}

TEST(Dialog, ModalRunReturnsHowItEndedAndOnlyOkReadsTheControls) {
    for (UINT end : {IDOK, IDCANCEL}) {
        CTestDlg dialog;
        dialog.endWith = end;
        EXPECT_EQ(dialog.DoModal(), static_cast<INT_PTR>(end));
        EXPECT_STREQ(dialog.name, end == IDOK ? "typed" : "initial");
    }
}

TEST(AfxMessageBox, CaptionIsTheExecutableNameAndTheIconTheExclamationMark) {
    testwatch::DialogWatcher watcher(IDOK);
    EXPECT_EQ(AfxMessageBox("Something to know."), IDOK);
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Seen().caption, "framework_tests");
    EXPECT_EQ(watcher.Seen().icon, LoadIconW(nullptr, IDI_EXCLAMATION));
}

TEST(CommandLine, FlagsAreSetApartAndTheFirstOtherParameterIsTheFileName) {
    struct Case { std::vector<char*> argv; const char* fileName; BOOL splash; };
    char prog[] = "prog", quit[] = "quit", slashQuit[] = "/quit", nologo[] = "-nologo", upperNologo[] = "/NOLOGO", start[] = "start", modal[] = "Modal";
    const Case cases[] = {{{prog}, "", TRUE}, {{prog, quit}, "quit", TRUE}, {{prog, slashQuit}, "", TRUE},
                          {{prog, nologo, start, modal}, "start", FALSE}, {{prog, upperNologo, modal}, "Modal", FALSE}};
    for (Case c : cases) {
        CCommandLineInfo info;
        CWinApp::ParseCommandLine(info, static_cast<int>(c.argv.size()), c.argv.data());
        EXPECT_STREQ(info.m_strFileName, c.fileName) << c.argv.back();
        EXPECT_EQ(info.m_bShowSplash, c.splash) << c.argv.back();
        EXPECT_EQ(info.m_nShellCommand, *c.fileName ? CCommandLineInfo::FileOpen : CCommandLineInfo::FileNew);
    }
}

TEST(ToolBar, LoadsFromTheResourceAndRepositionBarsQueriesTheRoomLeft) {
    CTestDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST));
    ASSERT_TRUE(host.bar.CreateEx(&host));
    ASSERT_TRUE(host.bar.LoadToolBar(IDR_TEST_BAR));
    std::string buttons;  // command:image, | for a separator
    for (int i = 0; i < host.bar.SendMessage(TB_BUTTONCOUNT); ++i) {
        TBBUTTON b = {};
        host.bar.SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        buttons += (b.fsStyle & TBSTYLE_SEP) ? "| " : std::to_string(b.idCommand) + ":" + std::to_string(b.iBitmap) + " ";
    }
    EXPECT_EQ(buttons, "401:0 | 402:1 403:2 ");
    RECT client, rest = {};
    host.GetClientRect(&client);
    host.RepositionBars(AFX_IDW_TOOLBAR, AFX_IDW_TOOLBAR + 0xFF, 0, CWnd::reposQuery, &rest);
    ASSERT_GT(host.bar.CalcHeight(), 16);
    client.top += host.bar.CalcHeight();
    EXPECT_TRUE(EqualRect(&rest, &client));
    host.DestroyWindow();
}

}  // namespace
