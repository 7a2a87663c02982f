// The framework's dialogs: message maps dispatch to the right handler (and fall back to
// the base class and to the default procedure), DDX moves values both ways, modal runs
// return how they ended, and framework message boxes carry the application title.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "afxwin.h"
#include "dialog_watch.h"
#include "test_ids.h"

namespace {

constexpr UINT UM_PING = WM_APP + 7;

// A base dialog whose map the derived one inherits.
class CBaseTestDlg : public CDialog {
public:
    explicit CBaseTestDlg(CWnd* parent = nullptr) : CDialog(IDD_TEST, parent) {}
    std::vector<std::string> calls;

protected:
    void OnGo() { calls.push_back("base go"); }
    LRESULT OnPing(WPARAM wParam, LPARAM lParam) {
        calls.push_back("ping");
        return static_cast<LRESULT>(wParam + lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTestDlg, CDialog)
    ON_BN_CLICKED(IDC_GO, OnGo)
    ON_MESSAGE(UM_PING, OnPing)
END_MESSAGE_MAP()

class CTestDlg : public CBaseTestDlg {
public:
    CString name = "initial";
    int count = 7;
    int flag = 1;
    int choice = 1;
    int entry = 2;
    CComboBox choiceBox;
    CListBox entryList;
    bool initialised = false;
    // When set, OnInitDialog posts this command so a modal run ends by itself.
    UINT endWith = 0;
    // Text typed into the name box before endWith is posted.
    const char* typeName = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_CHOICE, choiceBox);
        DDX_Control(dx, IDC_ENTRIES, entryList);
        if (!dx->m_bSaveAndValidate && choiceBox.GetCount() == 0) {
            for (const char* text : {"zero", "one", "two"}) choiceBox.AddString(text);
            for (const char* text : {"a", "b", "c", "d"}) entryList.AddString(text);
        }
        DDX_Text(dx, IDC_NAME, name);
        DDX_Text(dx, IDC_COUNT, count);
        DDX_Check(dx, IDC_FLAG, flag);
        DDX_CBIndex(dx, IDC_CHOICE, choice);
        DDX_LBIndex(dx, IDC_ENTRIES, entry);
    }
    BOOL OnInitDialog() override {
        CBaseTestDlg::OnInitDialog();
        initialised = true;
        if (typeName) SetDlgItemTextA(m_hWnd, IDC_NAME, typeName);
        if (endWith) PostMessage(endWith == WM_CLOSE ? WM_CLOSE : WM_COMMAND, endWith == WM_CLOSE ? 0 : endWith);
        return TRUE;
    }
    void OnFirstOrThird(UINT id) { calls.push_back("range " + std::to_string(id)); }
    void OnListSelect() { calls.push_back("list select"); }
    void OnCustomNotify(NMHDR* header, LRESULT* result) {
        calls.push_back("notify " + std::to_string(header->idFrom));
        *result = 42;
    }
    BOOL OnMaybe(UINT id, NMHDR*, LRESULT* result) {
        calls.push_back("maybe " + std::to_string(id));
        *result = 5;
        return id != 999;
    }
    DECLARE_MESSAGE_MAP()
};

constexpr UINT kCustomCode = static_cast<UINT>(-2000);
constexpr UINT kMaybeCode = static_cast<UINT>(-2001);

BEGIN_MESSAGE_MAP(CTestDlg, CBaseTestDlg)
    ON_COMMAND_RANGE(ID_TOOL_FIRST, ID_TOOL_THIRD, OnFirstOrThird)
    ON_CONTROL(LBN_SELCHANGE, IDC_ENTRIES, OnListSelect)
    ON_NOTIFY(kCustomCode, IDC_NAME, OnCustomNotify)
    ON_NOTIFY_EX_RANGE(kMaybeCode, 0, 0xFFFF, OnMaybe)
END_MESSAGE_MAP()

std::string ItemText(HWND dialog, int id) {
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

LRESULT SendNotify(HWND dialog, UINT code, UINT_PTR id) {
    NMHDR header = {GetDlgItem(dialog, static_cast<int>(id)), id, code};
    return SendMessageA(dialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

TEST(MessageMap, DispatchesCommandsNotificationsAndMessagesThroughTheClassChain) {
    CTestDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    EXPECT_TRUE(dialog.initialised);
    HWND window = dialog.m_hWnd;

    // A button click reaches the base class's entry.
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_GO)));
    // A menu command inside the range, one outside it, and a notification code the map does not bind.
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(ID_TOOL_SECOND, 0), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(ID_TOOL_THIRD + 1, 0), 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_GO, BN_SETFOCUS), reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_GO)));
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_ENTRIES, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_ENTRIES)));
    EXPECT_EQ(SendMessageA(window, UM_PING, 40, 2), 42);
    EXPECT_EQ(SendNotify(window, kCustomCode, IDC_NAME), 42);
    EXPECT_EQ(SendNotify(window, kCustomCode, IDC_COUNT), 0);  // bound to another control
    // Without a sending window the notification's idFrom stands for it.
    EXPECT_EQ(SendNotify(window, kMaybeCode, 77), 5);
    // Declined by the handler: the default procedure answers instead.
    EXPECT_EQ(SendNotify(window, kMaybeCode, 999), 0);

    const std::vector<std::string> expected = {"base go", "range 402", "list select", "ping", "notify 201", "maybe 77", "maybe 999"};
    EXPECT_EQ(dialog.calls, expected);
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(DataExchange, MovesValuesToTheControlsAndBack) {
    CTestDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    HWND window = dialog.m_hWnd;
    // OnInitDialog filled the controls from the members.
    EXPECT_EQ(ItemText(window, IDC_NAME), "initial");
    EXPECT_EQ(ItemText(window, IDC_COUNT), "7");
    EXPECT_EQ(IsDlgButtonChecked(window, IDC_FLAG), BST_CHECKED);
    EXPECT_EQ(dialog.choiceBox.GetCurSel(), 1);
    EXPECT_EQ(dialog.entryList.GetCurSel(), 2);
    // DDX_Control attached the objects to the controls.
    EXPECT_EQ(CWnd::FromHandlePermanent(GetDlgItem(window, IDC_CHOICE)), &dialog.choiceBox);

    SetDlgItemTextA(window, IDC_NAME, "typed by the user");
    SetDlgItemTextA(window, IDC_COUNT, " -12 ");
    CheckDlgButton(window, IDC_FLAG, BST_UNCHECKED);
    dialog.choiceBox.SetCurSel(2);
    dialog.entryList.SetCurSel(0);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_STREQ(dialog.name, "typed by the user");
    EXPECT_EQ(dialog.count, -12);
    EXPECT_EQ(dialog.flag, 0);
    EXPECT_EQ(dialog.choice, 2);
    EXPECT_EQ(dialog.entry, 0);
    CString text;
    dialog.choiceBox.GetLBText(dialog.choice, text);
    EXPECT_STREQ(text, "two");

    dialog.name = "from the member";
    dialog.count = 123456;
    ASSERT_TRUE(dialog.UpdateData(FALSE));
    EXPECT_EQ(ItemText(window, IDC_NAME), "from the member");
    EXPECT_EQ(ItemText(window, IDC_COUNT), "123456");
    dialog.DestroyWindow();
}

TEST(DataExchange, TextThatIsNotANumberFailsTheRunAndTellsTheUser) {
    CTestDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    SetDlgItemTextA(dialog.m_hWnd, IDC_NAME, "changed");
    SetDlgItemTextA(dialog.m_hWnd, IDC_COUNT, "12abc");
    CheckDlgButton(dialog.m_hWnd, IDC_FLAG, BST_UNCHECKED);
    testwatch::DialogWatcher watcher(IDOK, dialog.m_hWnd);
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    ASSERT_TRUE(watcher.Finish());
    EXPECT_EQ(watcher.Seen().text, "Please enter an integer.");
    // Members before the failing one were read; the failing one and those after it kept their values.
    EXPECT_STREQ(dialog.name, "changed");
    EXPECT_EQ(dialog.count, 7);
    EXPECT_EQ(dialog.flag, 1);
    dialog.DestroyWindow();
}

TEST(ModalDialog, ReturnsHowItEndedAndOkReadsTheControls) {
    {
        CTestDlg dialog;
        dialog.typeName = "entered";
        dialog.endWith = IDOK;
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_STREQ(dialog.name, "entered");
        EXPECT_EQ(dialog.m_hWnd, nullptr);
    }
    {
        CTestDlg dialog;
        dialog.typeName = "discarded";
        dialog.endWith = IDCANCEL;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_STREQ(dialog.name, "initial");
    }
    {
        // The close box is Cancel.
        CTestDlg dialog;
        dialog.endWith = WM_CLOSE;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
}

TEST(ModelessDialog, OkAndCancelHideTheWindowWithoutDestroyingIt) {
    CTestDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST));
    dialog.ShowWindow(SW_SHOW);
    SetDlgItemTextA(dialog.m_hWnd, IDC_NAME, "kept");
    dialog.SendMessage(WM_COMMAND, IDOK);
    EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd));
    EXPECT_TRUE(IsWindow(dialog.m_hWnd));
    EXPECT_STREQ(dialog.name, "kept");
    dialog.ShowWindow(SW_SHOW);
    dialog.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(IsWindowVisible(dialog.m_hWnd));
    dialog.DestroyWindow();
}

TEST(AfxMessageBox, CaptionIsTheExecutableNameAndOkBoxesGetTheExclamationMark) {
    {
        testwatch::DialogWatcher watcher(IDOK);
        EXPECT_EQ(AfxMessageBox("Something to know."), IDOK);
        ASSERT_TRUE(watcher.Finish());
        EXPECT_EQ(watcher.Seen().caption, "framework_tests");
        EXPECT_NE(watcher.Seen().text.find("Something to know."), std::string::npos);
        EXPECT_EQ(watcher.Seen().icon, LoadIconA(nullptr, IDI_EXCLAMATION));
    }
    {
        // A question gets the question mark; the string-table form loads its text.
        testwatch::DialogWatcher watcher(IDNO);
        EXPECT_EQ(AfxMessageBox(IDS_GREETING, MB_YESNO), IDNO);
        ASSERT_TRUE(watcher.Finish());
        EXPECT_NE(watcher.Seen().text.find("Hello from the string table"), std::string::npos);
        EXPECT_EQ(watcher.Seen().icon, LoadIconA(nullptr, IDI_QUESTION));
    }
}

TEST(CommandLine, FlagsAreSetApartAndTheFirstOtherParameterIsTheFileName) {
    struct Case {
        std::vector<const char*> argv;
        const char* fileName;
        BOOL splash;
    };
    const Case cases[] = {
        {{"prog"}, "", TRUE},
        {{"prog", "quit"}, "quit", TRUE},
        {{"prog", "/quit"}, "", TRUE},
        {{"prog", "-nologo", "start", "modal"}, "start", FALSE},
        {{"prog", "/NOLOGO", "Modal"}, "Modal", FALSE},
    };
    for (const Case& c : cases) {
        CCommandLineInfo info;
        std::vector<char*> argv;
        for (const char* arg : c.argv) argv.push_back(const_cast<char*>(arg));
        CWinApp::ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
        EXPECT_STREQ(info.m_strFileName, c.fileName) << c.argv.size();
        EXPECT_EQ(info.m_bShowSplash, c.splash) << c.fileName;
        EXPECT_EQ(info.m_nShellCommand, *c.fileName ? CCommandLineInfo::FileOpen : CCommandLineInfo::FileNew);
    }
}

TEST(CString, FormatsAnyLengthAndLoadsStrings) {
    CString text;
    text.Format("%s-%d", std::string(5000, 'x').c_str(), 42);
    EXPECT_EQ(text.GetLength(), 5003);
    EXPECT_STREQ(text.Mid(4998), "xx-42");
    EXPECT_TRUE(text.LoadString(IDS_GREETING));
    EXPECT_STREQ(text, "Hello from the string table");
    EXPECT_FALSE(text.LoadString(9999));
    EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
