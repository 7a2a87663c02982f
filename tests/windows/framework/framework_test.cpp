// The framework layer: message maps, DDX, message boxes, the command line and tool bars (modal runs: the edit dialog's tests).
#include "afxwin.h"
#include "drive.h"
#include "resource.h"

enum { IDC_NAME = IDC_DESCRIPTION, IDC_COUNT = IDC_ACTION, IDC_FLAG = IDC_LEFT_RIGHT };  // in the editor's script dialog

struct CTestDlg : CDialog {
    std::string calls;
    int count = 123456, flag = 1;
    CToolBar bar;

    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, IDC_COUNT, count), DDX_Check(dx, IDC_FLAG, flag); }
    void OnTool(UINT id) { calls += "tool " + std::to_string(id) + ";"; }
    void OnClick(NMHDR* header, LRESULT* result) { calls += "click " + std::to_string(header->idFrom) + ";", *result = 42; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_COMMAND_RANGE(ID_EDIT_ITEM, ID_DELETE_ITEM, OnTool)
    ON_NOTIFY(NM_CLICK, IDC_NAME, OnClick)
END_MESSAGE_MAP()

// Map entries (own and the base's IDOK), values both ways, an integer refused, message boxes, a tool bar, the command line.
TEST(Framework, MessageMapDataExchangeMessageBoxesToolBarAndCommandLine) {
    CTestDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_EDIT_SCRIPT));
    const HWND window = dialog.m_hWnd;
    for (int id : {ID_RUN_SCRIPT, ID_DELETE_ITEM + 1}) SendMessageA(window, WM_COMMAND, id, 0);
    NMHDR name = {GetDlgItem(window, IDC_NAME), IDC_NAME, UINT(NM_CLICK)}, count = {GetDlgItem(window, IDC_COUNT), IDC_COUNT, UINT(NM_CLICK)};
    EXPECT_EQ(SendMessageA(window, WM_NOTIFY, IDC_NAME, LPARAM(&name)) + 1000 * SendMessageA(window, WM_NOTIFY, IDC_COUNT, LPARAM(&count)), 42);
    EXPECT_EQ(dialog.calls, "tool 32775;click " + std::to_string(IDC_NAME) + ";");

    EXPECT_EQ(std::make_pair(GetDlgItemInt(window, IDC_COUNT, nullptr, TRUE), IsDlgButtonChecked(window, IDC_FLAG)), std::make_pair(123456u, 1u));
    SetDlgItemTextA(window, IDC_COUNT, " -12 ");
    CheckDlgButton(window, IDC_FLAG, BST_UNCHECKED);
    SendMessageA(window, WM_COMMAND, IDOK, 0);  // OK reads the controls
    EXPECT_EQ(std::make_pair(dialog.count, dialog.flag), std::make_pair(-12, 0));
    SetDlgItemTextA(window, IDC_COUNT, "12abc");
    drive::DialogWatcher refusal(IDOK, window);
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    ASSERT_TRUE(refusal.Finish());
    EXPECT_EQ(refusal.Seen().caption + ": " + refusal.Seen().text + std::to_string(dialog.count), "framework_tests: Please enter an integer.-12");
    drive::DialogWatcher plain(IDOK);  // a box of no given icon shows the exclamation mark
    EXPECT_EQ(AfxMessageBox("Something to know."), IDOK);
    EXPECT_TRUE(plain.Finish() && plain.Seen().icon == LoadIconW(nullptr, IDI_EXCLAMATION));

    ASSERT_TRUE(dialog.bar.CreateEx(&dialog) && dialog.bar.LoadToolBar(IDR_TOOLBAR));
    std::string buttons;  // command:image, | for a separator
    TBBUTTON b = {};
    for (int i = 0; dialog.bar.SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b)); ++i)
        buttons += (b.fsStyle & TBSTYLE_SEP) ? "| " : std::to_string(b.idCommand) + ":" + std::to_string(b.iBitmap) + " ";
    EXPECT_EQ(buttons, "32774:0 32777:1 32779:2 32781:3 | 32775:4 32772:5 | 32776:6 | 32784:7 57670:8 57664:9 ");

    // Command line flags (/ or -) are set apart, "nologo" in any case hides the splash; the first other word is the file.
    for (const auto& [flag, expected] : {std::pair{"/quit", "start11"}, {"/NOLOGO", "start01"}}) {  // the file, the splash, 1: open the file
        const char* argv[] = {"prog", flag, "-quit", "start", "Modal"};
        CCommandLineInfo info;
        CWinApp::ParseCommandLine(info, 5, const_cast<char**>(argv));
        EXPECT_EQ(std::string(info.m_strFileName) + std::to_string(info.m_bShowSplash) + std::to_string(info.m_nShellCommand), expected);
    }
}
