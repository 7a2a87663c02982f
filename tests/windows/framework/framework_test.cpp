// The framework layer: message maps, DDX, modal runs, message boxes, the command line and tool bars.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afxwin.h"
#include "dialog_watch.h"

namespace {

enum { IDD_TEST = 200, IDC_NAME, IDC_COUNT, IDC_FLAG, IDR_TEST_BAR = 300, ID_TOOL_FIRST = 401, ID_TOOL_SECOND, ID_TOOL_THIRD };

struct CTestDlg : CDialog {
    CTestDlg() : CDialog(IDD_TEST) {}
    std::string calls;
    CString name = "initial";
    int count = 7, flag = 1;
    UINT endWith = 0;  // when set, OnInitDialog types a name and posts this command
    CToolBar bar;

    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, IDC_NAME, name), DDX_Text(dx, IDC_COUNT, count), DDX_Check(dx, IDC_FLAG, flag); }
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
    for (int id : {ID_TOOL_SECOND + 0, ID_TOOL_THIRD + 1}) SendMessageA(window, WM_COMMAND, id, 0);
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

    for (UINT end : {IDOK, IDCANCEL}) {  // a modal run returns how it ended; only OK reads the controls
        CTestDlg modal;
        modal.endWith = end;
        EXPECT_EQ(modal.DoModal(), static_cast<INT_PTR>(end));
        EXPECT_STREQ(modal.name, end == IDOK ? "typed" : "initial");
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
    const std::vector<std::vector<const char*>> cases = {{}, {"quit"}, {"/quit"}, {"-nologo", "start", "Modal"}, {"/NOLOGO", "Modal"}};
    const char* fileNames[] = {"", "quit", "", "start", "Modal"};
    for (size_t i = 0; i < cases.size(); ++i) {
        std::vector<char*> argv = {const_cast<char*>("prog")};
        for (const char* word : cases[i]) argv.push_back(const_cast<char*>(word));
        CCommandLineInfo info;
        CWinApp::ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
        EXPECT_STREQ(info.m_strFileName, fileNames[i]) << i;
        EXPECT_EQ(info.m_bShowSplash, i < 3) << i;
        EXPECT_EQ(info.m_nShellCommand, *fileNames[i] ? CCommandLineInfo::FileOpen : CCommandLineInfo::FileNew);
    }
}

TEST(ToolBar, LoadsFromTheResourceAndRepositionBarsQueriesTheRoomLeft) {
    CTestDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST) && host.bar.CreateEx(&host) && host.bar.LoadToolBar(IDR_TEST_BAR));
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
