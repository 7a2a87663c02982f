// The edit dialog run modally as the list window runs it, and driven from a second thread
// as a person drives it: real controls, keystrokes and clicks sent with SendInput, and
// the help viewer's calls recorded by a stand-in.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "dialog_watch.h"
#include "edit_shortcut_dlg.h"
#include "engine.h"
#include "core/shortcut_store.h"
#include "html_help.h"
#include "resource.h"
#include "test_paths.h"
#include "test_store.h"

namespace {

using testwatch::Click;
using testwatch::WindowText;
using teststore::Send;
using teststore::WaitFor;

// Records what the Shortcut box shows after each captured keystroke, so that the driver
// knows when the dialog has handled the keys it sent.
class CRecordingDlg : public CEditShortcutDlg {
public:
    using CEditShortcutDlg::CEditShortcutDlg;

    // The texts of the next count keystrokes, joined by "|".
    std::string Captured(size_t count) {
        WaitFor([&] { return Recorded() >= taken + count; });
        Sleep(100);  // one more would show as a fault
        std::lock_guard<std::mutex> lock(mutex);
        std::string joined;
        for (const size_t first = taken; taken < texts.size(); ++taken) joined += (taken == first ? "" : "|") + texts[taken];
        return joined;
    }

protected:
    LRESULT OnKey(WPARAM wParam, LPARAM lParam) {
        const LRESULT result = OnKeyCaptured(wParam, lParam);
        Record(WindowText(GetDlgItem(IDC_SHORTCUT_TEXT)));
        return result;
    }
    // A help request while capturing would be a key that got past the capture.
    LRESULT OnHelp(WPARAM, LPARAM) {
        Record("help");
        return TRUE;
    }
    void Record(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        texts.push_back(text);
    }
    DECLARE_MESSAGE_MAP()

private:
    size_t Recorded() {
        std::lock_guard<std::mutex> lock(mutex);
        return texts.size();
    }
    std::mutex mutex;
    std::vector<std::string> texts;
    size_t taken = 0;
};
BEGIN_MESSAGE_MAP(CRecordingDlg, CEditShortcutDlg)
    ON_MESSAGE(UM_KEYCAPTURED, OnKey)
    ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

class EditDialog : public ::testing::Test {
protected:
    // Runs the dialog modally on this thread while drive acts on its window from another;
    // a driver that leaves it open has it cancelled.
    INT_PTR RunModal(CEditShortcutDlg& dialog, const std::function<void(HWND)>& drive) {
        std::thread driver([&] {
            HWND window = testwatch::WaitForDialog();
            if (!window) return;
            for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) SetForegroundWindow(window);
            Sleep(300);  // shown on the display, so that clicks land on it
            drive(window);
            if (!WaitFor([&] { return !IsWindow(window); })) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
        const INT_PTR result = dialog.DoModal();
        driver.join();
        return result;
    }

    CWinApp app;
};

std::string Entries(HWND box) {
    std::string entries;
    for (int i = 0; i < SendMessageA(box, CB_GETCOUNT, 0, 0); ++i) {
        char text[64] = "";
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries += std::string(text) + "|";
    }
    return entries + std::to_string(SendMessageA(box, CB_GETCURSEL, 0, 0));
}

HWND ActionEdit(HWND dialog) { return FindWindowExA(GetDlgItem(dialog, IDC_ACTION), nullptr, "Edit", nullptr); }
bool Locked(HWND edit) { return (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0; }
std::string Key(BYTE vk) { return std::string{'+', static_cast<char>(vk), '-', static_cast<char>(vk)}; }

// The id of the control with the focus in the dialog's thread.
int FocusedId(HWND dialog) {
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return GetDlgCtrlID(info.hwndFocus);
}

// Caption by template and editing flag, the entries of the action or type box, and what
// OK and Cancel hand back: OK reads every box, even with no action and no type; Cancel
// reads nothing.
TEST_F(EditDialog, CaptionsEntriesAndWhatOkAndCancelHandBack) {
    struct Case {
        UINT templateId;
        bool editing;
        int type, button;
        const char *action, *caption, *entries;
    };
    const Case cases[] = {
        {IDD_EDIT_SHORTCUT, true, 0, IDOK, "calc.exe", "Edit shortcut", "User defined|My computer|My documents|My network places|-1"},
        {IDD_EDIT_SHORTCUT, false, 0, IDCANCEL, "calc.exe", "Add shortcut", "User defined|My computer|My documents|My network places|-1"},
        {IDD_EDIT_SCRIPT, true, 2, IDOK, "greet", "Edit script", "Batch|VBScript|JScript|1"},
        {IDD_EDIT_SCRIPT, false, 0, IDOK, "", "Add script", "Batch|VBScript|JScript|-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        CEditShortcutDlg dialog(c.templateId, c.editing);
        dialog.SetValues("LCTRL + F", c.action, "old", "echo hi");
        dialog.scriptType = c.type;
        std::string caption, entries;
        const INT_PTR result = RunModal(dialog, [&](HWND window) {
            caption = WindowText(window);
            entries = Entries(GetDlgItem(window, c.templateId == IDD_EDIT_SHORTCUT ? IDC_ACTION : IDC_SCRIPT_TYPE));
            SetDlgItemTextA(window, IDC_DESCRIPTION, "typed");
            Click(GetDlgItem(window, c.button));
        });
        EXPECT_EQ(result, c.button);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(entries, c.entries);
        EXPECT_EQ(dialog.GetDescription(), c.button == IDOK ? "typed" : "old");
        EXPECT_EQ(std::string(dialog.GetShortcutText()) + "/" + dialog.GetAction().GetString() + "/" + dialog.GetScript().GetString(),
                  std::string("LCTRL + F/") + c.action + "/echo hi");
        EXPECT_EQ(dialog.scriptType, c.type);
    }
}

// A special folder locks the action box (its exact name only); "User defined" empties
// and frees it; a folder picked from the list shows its name, locked, and OK returns it.
TEST_F(EditDialog, SpecialFoldersLockTheActionBox) {
    CEditShortcutDlg dialog(IDD_EDIT_SHORTCUT, true);
    dialog.SetValues("LCTRL + F", "My documents", "", "");
    std::vector<std::string> seen;
    const INT_PTR result = RunModal(dialog, [&](HWND window) {
        HWND box = GetDlgItem(window, IDC_ACTION), edit = ActionEdit(window);
        auto state = [&] { return WindowText(box) + (Locked(edit) ? " locked " : " free ") + std::to_string(SendMessageA(box, CB_GETCURSEL, 0, 0)); };
        WaitFor([&] { return Locked(edit); });
        Send(Key('X'));
        Sleep(300);
        seen.push_back(state());
        Send(Key(VK_DOWN));  // the first entry, "User defined"
        WaitFor([&] { return !Locked(edit); });
        Send(Key('X'));
        WaitFor([&] { return WindowText(box) == "x"; });
        seen.push_back(state());

        COMBOBOXINFO info = {sizeof info};
        GetComboBoxInfo(box, &info);
        MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&info.rcButton), 2);
        testwatch::ClickAt({(info.rcButton.left + info.rcButton.right) / 2, (info.rcButton.top + info.rcButton.bottom) / 2});
        WaitFor([&] { return IsWindowVisible(info.hwndList) != FALSE; });
        Sleep(300);
        RECT item;
        SendMessageA(info.hwndList, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
        MapWindowPoints(info.hwndList, nullptr, reinterpret_cast<POINT*>(&item), 2);
        testwatch::ClickAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        WaitFor([&] { return Locked(edit); });
        Sleep(300);
        Send(Key('X'));
        Sleep(300);
        seen.push_back(state());
        Click(GetDlgItem(window, IDOK));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"My documents locked -1", "x free -1", "My network places locked 3"}));
    EXPECT_EQ(dialog.GetAction(), "My network places");

    // The same name in other letters is an ordinary action: typing replaces it.
    dialog.SetValues("LCTRL + F", "my documents", "", "");
    std::string typed;
    RunModal(dialog, [&](HWND window) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(300);
        Send(Key('X'));
        WaitFor([&] { return WindowText(GetDlgItem(window, IDC_ACTION)) != "my documents"; });
        typed = WindowText(GetDlgItem(window, IDC_ACTION)) + (Locked(ActionEdit(window)) ? " locked" : " free");
        Click(GetDlgItem(window, IDOK));
    });
    EXPECT_EQ(typed, "x free");
}

// Real keystrokes during a capture: the box previews the held modifiers, a main key
// completes the text, a release shows the last complete text; Enter, Escape and Tab
// neither close the dialog nor move the focus; characters posted to it are dropped.
TEST_F(EditDialog, CaptureShowsTheKeysAsTheyAreHeld) {
    CRecordingDlg dialog(IDD_EDIT_SHORTCUT, false);
    dialog.SetValues("none", "", "", "");
    std::vector<std::string> seen;
    const INT_PTR result = RunModal(dialog, [&](HWND window) {
        HWND box = GetDlgItem(window, IDC_SHORTCUT_TEXT), capture = GetDlgItem(window, IDC_CAPTURE);
        HWND sides = GetDlgItem(window, IDC_LEFT_RIGHT), description = GetDlgItem(window, IDC_DESCRIPTION);
        Click(capture);
        WaitFor([&] { return WindowText(capture) == "End capture"; });
        seen.push_back(WindowText(box));
        seen.push_back(dialog.Captured((Send("+c-c"), 2)));
        seen.push_back(dialog.Captured((Send("+c+F-F-c"), 4)));
        seen.push_back(dialog.Captured((Send("+G-G"), 2)));
        Click(sides);
        WaitFor([&] { return SendMessageA(sides, BM_GETCHECK, 0, 0) == BST_UNCHECKED; });
        seen.push_back(WindowText(box));  // unchanged by the box
        seen.push_back(dialog.Captured((Send("+r+F-F-r"), 4)));
        Click(sides);
        WaitFor([&] { return SendMessageA(sides, BM_GETCHECK, 0, 0) == BST_CHECKED; });
        seen.push_back(dialog.Captured((Send(Key(VK_F1) + Key(VK_SPACE)), 4)));
        seen.push_back(dialog.Captured((Send(Key(VK_RETURN) + Key(VK_ESCAPE) + Key(VK_TAB)), 6)));
        seen.push_back(std::to_string(FocusedId(window)));  // still the check box clicked last
        PostMessageA(description, WM_CHAR, 'q', 0);
        seen.push_back(dialog.Captured((Send("+c"), 1)) + "/" + WindowText(description));
        Click(capture);  // with left Ctrl still held
        WaitFor([&] { return WindowText(capture) == "Capture"; });
        Send("-c");
        PostMessageA(description, WM_CHAR, 'q', 0);
        WaitFor([&] { return WindowText(description) == "q"; });
        seen.push_back(WindowText(box) + "/" + WindowText(description));
        // The next capture starts from no keys held, although Ctrl's release was not seen.
        Click(capture);
        WaitFor([&] { return WindowText(capture) == "End capture"; });
        seen.push_back(dialog.Captured((Send("+G-G"), 2)));
        Click(capture);
        WaitFor([&] { return WindowText(capture) == "Capture"; });
        // A click reported without the box changing itself still toggles the setting.
        std::string checks;
        for (int i = 0; i < 2; ++i) {
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_LEFT_RIGHT, BN_CLICKED), reinterpret_cast<LPARAM>(sides));
            checks += std::to_string(SendMessageA(sides, BM_GETCHECK, 0, 0));
        }
        seen.push_back(checks);
        Click(GetDlgItem(window, IDOK));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"none", "LCTRL + |none", "LCTRL + |LCTRL + F|LCTRL + F|LCTRL + F", "G|G", "G",
                                              "CTRL + |CTRL + F|CTRL + F|CTRL + F", "F1|F1|20|20", "|20||20||20",
                                              std::to_string(IDC_LEFT_RIGHT), "LCTRL + /", "LCTRL + /q", "G|G", "01"}));
    EXPECT_EQ(dialog.GetShortcutText(), "G");
    EXPECT_FALSE(HooksInstalled());
}

int keyMessages = 0;
LRESULT CALLBACK CountKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    keyMessages += message == WM_KEYDOWN;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Closing the dialog with the mouse during a capture removes the hooks: the next
// keystroke reaches an ordinary window of the same thread.
TEST_F(EditDialog, ClosingDuringCaptureRemovesTheHooks) {
    CEditShortcutDlg dialog(IDD_EDIT_SCRIPT, true);
    dialog.SetValues("G", "greet", "", "echo hi");
    const INT_PTR result = RunModal(dialog, [&](HWND window) {
        Click(GetDlgItem(window, IDC_CAPTURE));
        WaitFor([&] { return WindowText(GetDlgItem(window, IDC_CAPTURE)) == "End capture"; });
        Click(GetDlgItem(window, IDCANCEL));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(HooksInstalled());

    HWND window = CreateWindowExA(0, "STATIC", "keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountKeys));
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, teststore::PumpMessages(20)) SetForegroundWindow(window);
    Send(Key('G'));
    for (int i = 0; i < 100 && keyMessages == 0; ++i) teststore::PumpMessages(20);
    EXPECT_EQ(keyMessages, 1);
    DestroyWindow(window);
}

// Test runs the script in the box with the chosen type and leaves no file behind; with no
// type it reports string 104 and the dialog stays.
TEST_F(EditDialog, TestRunsTheScriptOrReportsWhyNot) {
    const std::string marker = teststore::TempDirectory() + "tarvo-test-button.txt";
    DeleteFileA(marker.c_str());
    const std::string script = "@echo ran> \"" + marker + "\"\r\n";
    CEditShortcutDlg dialog(IDD_EDIT_SCRIPT, false);
    dialog.SetValues("none", "", "", "");
    std::string report, emptyScript;
    size_t leftBehind = 0;
    const INT_PTR result = RunModal(dialog, [&](HWND window) {
        HWND test = GetDlgItem(window, IDC_TEST_SCRIPT), type = GetDlgItem(window, IDC_SCRIPT_TYPE);
        SetDlgItemTextA(window, IDC_SCRIPT, script.c_str());
        {
            testwatch::DialogWatcher watcher(IDOK, window);
            PostMessageA(test, BM_CLICK, 0, 0);
            watcher.Finish();
            report = watcher.Seen().caption + ": " + watcher.Seen().text;
        }
        PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(type), TRUE);
        WaitFor([&] { return FocusedId(window) == IDC_SCRIPT_TYPE; });
        Send(Key(VK_DOWN));
        WaitFor([&] { return SendMessageA(type, CB_GETCURSEL, 0, 0) == 0; });
        PostMessageA(test, BM_CLICK, 0, 0);
        WaitFor([&] { return teststore::ReadFile(marker) == "ran\r\n"; });
        WaitFor([&] { return teststore::ScriptFiles().empty(); });
        leftBehind = teststore::ScriptFiles().size();

        // An empty script: Windows runs the empty file; Wine's shell does not open it.
        SetDlgItemTextA(window, IDC_SCRIPT, "");
        testwatch::DialogWatcher watcher(IDOK, window);
        PostMessageA(test, BM_CLICK, 0, 0);
        emptyScript = watcher.Finish() ? watcher.Seen().text : "ran";
        SetDlgItemTextA(window, IDC_SCRIPT, script.c_str());
        Click(GetDlgItem(window, IDOK));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(report, "edit_dialog_tests: Failed to create the script.");
    EXPECT_EQ(teststore::ReadFile(marker), "ran\r\n");
    EXPECT_TRUE(emptyScript == "ran" || emptyScript == "Failed to create the script.") << emptyScript;
    std::cout << "Test with an empty batch script: " << emptyScript << "\n";
    EXPECT_EQ(leftBehind, 0u);
    // A file the shell would not open stays, as the runner reports.
    for (const std::string& name : teststore::ScriptFiles()) DeleteFileA((teststore::TempDirectory() + name).c_str());
    EXPECT_EQ(dialog.scriptType, ScriptBatch);
    EXPECT_EQ(dialog.GetScript(), script.c_str());
    DeleteFileA(marker.c_str());
}

std::string HelpCall() {
    char call[4096] = "";
    GetEnvironmentVariableA("TARVO_HELP", call, sizeof call);
    return call;
}

// Records what each help request reached the viewer with. The stand-in viewer leaves it in
// the environment, which is read here, on the dialog's own thread.
class CHelpRecordingDlg : public CEditShortcutDlg {
public:
    using CEditShortcutDlg::CEditShortcutDlg;
    std::vector<std::string> calls;

protected:
    LRESULT OnHelp(WPARAM, LPARAM lParam) {
        SetEnvironmentVariableA("TARVO_HELP", nullptr);
        const BOOL handled = OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
        calls.push_back(handled == TRUE ? HelpCall() : "not handled");
        return handled;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CHelpRecordingDlg, CEditShortcutDlg)
    ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

// WM_HELP on a control with a help text shows it as a pop-up at the mouse; on OK or a
// label it opens the dialog's topic; on Cancel and the other controls nothing happens.
TEST_F(EditDialog, HelpShowsTheControlsTextOrTheDialogsTopic) {
    teststore::SetString(kHtmlHelpServerKey, "", TestDir() + "help_recorder.dll", HKEY_CLASSES_ROOT);
    app.m_pszHelpFilePath = _strdup("C:\\help\\Tarvo.chm");
    auto popup = [](int id, const char* text) {
        return "- 14 owner " + std::to_string(id) + " size 52 inst 00000000 string 0 at 30,40 colours -1,-1 margins -1,-1,-1,-1 font 00000000 text " + text;
    };
    const std::string texts[] = {
        popup(IDC_CAPTURE, "Press once to start keyboard capture, press again to finish the capture."),
        popup(IDC_SHORTCUT_TEXT, "HotKey shortcut e.g. LCTRL + F for the left control key plus the F key."),
        popup(IDC_DESCRIPTION, "Optional explanation of the function of the action."),
        popup(IDC_LEFT_RIGHT, "When this is selected the left and right modifier keys such as control are treated as seperate keys giving a larger amount of shortcuts."),
        popup(IDC_ACTION, "Action to perform when the shortcut is pressed. For example calc.exe will run the Calculator or C:\\ will show explorer for the C drive.\n\rFor defaults such as My computer, select from the drop down list."),
    };
    for (UINT templateId : {IDD_EDIT_SHORTCUT, IDD_EDIT_SCRIPT}) {
        const std::string topic = "C:\\help\\Tarvo.chm 15 " + std::string(templateId == IDD_EDIT_SHORTCUT ? "131210" : "131227");
        std::vector<std::pair<int, std::string>> expected = {
            {IDC_CAPTURE, texts[0]}, {IDC_SHORTCUT_TEXT, texts[1]}, {IDC_DESCRIPTION, texts[2]}, {IDC_LEFT_RIGHT, texts[3]},
            {IDC_ACTION, texts[4]}, {IDOK, topic}, {-1, topic}, {IDCANCEL, ""}};
        if (templateId == IDD_EDIT_SCRIPT)
            for (int id : {IDC_SCRIPT_TYPE, IDC_TEST_SCRIPT, IDC_SCRIPT}) expected.push_back({id, ""});
        CHelpRecordingDlg dialog(templateId, true);
        RunModal(dialog, [&](HWND window) {
            for (const auto& [id, call] : expected) {
                HWND control = id == -1 ? FindWindowExA(window, nullptr, "Static", nullptr) : GetDlgItem(window, id);
                HELPINFO info = {sizeof info, HELPINFO_WINDOW, id, control, 0, {30, 40}};
                SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            }
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
        std::vector<std::pair<int, std::string>> seen;
        for (size_t i = 0; i < expected.size() && i < dialog.calls.size(); ++i) seen.push_back({expected[i].first, dialog.calls[i]});
        EXPECT_EQ(seen, expected) << templateId;
    }
    SetEnvironmentVariableA("TARVO_HELP", nullptr);
}

}  // namespace
