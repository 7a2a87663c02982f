// The edit dialog run modally as the list window runs it, driven from a second thread with real keys and clicks.
#include "edit_shortcut_dlg.h"
#include "editor_steps.h"
#include "engine.h"

// Kept in a window of the dialog's thread, read through it: the Shortcut box after each captured key, or "help", each ended by "|".
static HWND captureLog = CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
static LRESULT CALLBACK RecordCapture(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (call->message == UM_KEYCAPTURED || call->message == WM_HELP)
        SetText(captureLog, Text(captureLog) + (call->message == WM_HELP ? "help" : Text(GetDlgItem(call->hwnd, IDC_SHORTCUT_TEXT))) + "|");
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
static std::string Captured(const std::string& keys, size_t count) {
    Send(keys);
    WaitFor([&] { const std::string log = Text(captureLog); return size_t(std::count(log.begin(), log.end(), '|')) >= count; });
    Sleep(100);  // one more would show as a fault
    const std::string seen = Text(captureLog);
    SetText(captureLog, "");
    return seen;
}

static bool Locked(HWND dialog) {
    return (GetWindowLongW(FindWindowExW(GetDlgItem(dialog, IDC_ACTION), nullptr, L"Edit", nullptr), GWL_STYLE) & ES_READONLY) != 0;
}

// Help pops up a control's text or opens the dialog's topic; a paste is cut to what the store holds; only OK hands it back.
TEST_F(EditorWindow, CaptionsHelpPastedTextsAndWhatOkAndCancelHandBack) {
    RecordHelp(app);
    const std::string length = " " + std::to_string(store::kItemStringLimit - 1);
    SetClipboardText(std::string(9000, 'x'));
    const struct { UINT templateId; bool editing; int button; const char* caption; } cases[] = {
        {IDD_EDIT_SHORTCUT, true, IDOK, "Edit shortcut"}, {IDD_EDIT_SHORTCUT, false, IDCANCEL, "Add shortcut"},
        {IDD_EDIT_SCRIPT, true, IDOK, "Edit script"}, {IDD_EDIT_SCRIPT, false, IDCANCEL, "Add script"}};
    for (const auto& c : cases) {
        const bool script = c.templateId == IDD_EDIT_SCRIPT;
        const std::string topic = "C:\\help\\Tarvo.chm 15 " + std::string(script ? "131227" : "131210");
        HelpCallList help = {
            {IDC_CAPTURE, HelpPopup(IDC_CAPTURE, "Press once to start keyboard capture, press again to finish the capture.")},
            {IDC_ACTION, HelpPopup(IDC_ACTION, "Action to perform when the shortcut is pressed. For example calc.exe will run the Calculator or "
                "C:\\ will show explorer for the C drive.\n\rFor defaults such as My computer, select from the drop down list.")},
            {IDOK, topic}, {-1, topic}, {IDCANCEL, ""}};
        if (script) help.insert(help.end(), {{IDC_SCRIPT_TYPE, ""}, {IDC_TEST_SCRIPT, ""}, {IDC_SCRIPT, ""}});
        CEditShortcutDlg dialog(c.templateId, c.editing);
        dialog.SetValues("LCTRL + F", "my documents", "old", "echo hi");
        std::string seen, shown;
        Modal(nullptr, [&] { EXPECT_EQ(dialog.DoModal(), c.button); }, [&](HWND window) {
            EXPECT_EQ(HelpCalls(window, help), help) << c.caption;
            seen = Text(window) + (Locked(window) ? " locked" : "");  // "my documents" is a user's text
            HWND capture = GetDlgItem(window, IDC_CAPTURE);
            if (c.button == IDCANCEL) Click(capture);
            WaitFor([&] { return Text(capture) == (c.button == IDCANCEL ? "End capture" : "Capture"); });
            for (const int id : {IDC_ACTION, IDC_DESCRIPTION, IDC_SCRIPT})
                if (HWND box = GetDlgItem(window, id)) {
                    SendMessageW(box, WM_PASTE, 0, 0);
                    std::wstring text(GetWindowTextLengthW(box) + 1, L'\0');
                    text.resize(GetWindowTextW(box, &text[0], static_cast<int>(text.size())));
                    seen += " " + std::to_string(text.size()), shown += Narrow(text) + "|";
                }
            Click(GetDlgItem(window, c.button));
        });
        EXPECT_EQ(seen + (HooksInstalled() ? " hooked" : ""), c.caption + length + length + (script ? length : ""));
        EXPECT_EQ(std::string(dialog.GetAction()) + "|" + dialog.GetDescription().GetString() + "|" + dialog.GetScript().GetString() + "|",
                  c.button == IDOK ? shown + (script ? "" : "echo hi|") : "my documents|old|echo hi|");
    }
}

// A special folder locks the action box until "User defined"; a capture previews held modifiers and drops one held at its end.
TEST_F(EditorWindow, SpecialFoldersLockTheActionBoxAndCaptureShowsTheKeysAsTheyAreHeld) {
    CEditShortcutDlg dialog(IDD_EDIT_SHORTCUT, true);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, RecordCapture, nullptr, GetCurrentThreadId());
    dialog.SetValues("none", "My documents", "", "");
    std::vector<std::string> seen;
    Modal(nullptr, [&] { EXPECT_EQ(dialog.DoModal(), IDOK); }, [&](HWND window) {
        HWND box = GetDlgItem(window, IDC_ACTION), capture = GetDlgItem(window, IDC_CAPTURE);
        auto typeX = [&](bool lock) {
            WaitFor([&] { return Locked(window) == lock; });
            Send("+X-X");
            Sleep(300);
            seen.push_back(Text(box) + (Locked(window) ? " locked " : " free ") + std::to_string(SendMessageW(box, CB_GETCURSEL, 0, 0)));
        };
        typeX(true);
        Tap(VK_DOWN);  // the first entry, "User defined"
        typeX(false);
        PickFromCombo(box, 3);
        typeX(true);

        auto toggle = [&](const char* caption) {
            Click(capture);
            WaitFor([&] { return Text(capture) == caption; });
        };
        toggle("End capture");
        for (const auto& [keys, count] : {std::pair<std::string, size_t>{"+c-c", 2}, {"+c+F-F-c", 4}, {"+G-G", 2}})
            seen.push_back(Captured(keys, count));
        ClickCheck(GetDlgItem(window, IDC_LEFT_RIGHT));
        for (const auto& [keys, count] : {std::pair<std::string, size_t>{"+r+F-F-r", 4}, {"+p-p+ - ", 4},  // F1, Space
                                          {"+\r-\r+\x1b-\x1b+\t-\t", 6}, {"+c", 1}})  // Enter, Escape, Tab
            seen.push_back(Captured(keys, count));
        toggle("Capture");  // with left Ctrl still held
        Send("-c");
        Sleep(300);
        seen.push_back(Text(GetDlgItem(window, IDC_SHORTCUT_TEXT)));
        toggle("End capture");
        seen.push_back(Captured("+G-G", 2));
        toggle("Capture");
        Click(GetDlgItem(window, IDOK));
    });
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(seen, (std::vector<std::string>{"My documents locked -1", "x free -1", "My network places locked 3", "LCTRL + |none|",
                                              "LCTRL + |LCTRL + F|LCTRL + F|LCTRL + F|", "G|G|", "CTRL + |CTRL + F|CTRL + F|CTRL + F|",
                                              "F1|F1|20|20|", "|20||20||20|", "CTRL + |", "CTRL + ", "G|G|"}));
    EXPECT_EQ(std::string(dialog.GetAction()) + ", " + dialog.GetShortcutText().GetString() + (HooksInstalled() ? ", hooked" : ""), "My network places, G");
}

// Test without a type reports it; with Batch it runs the script, painting while it waits, and leaves no file behind.
TEST_F(EditorWindow, TestRunsTheScriptOrReportsWhyNot) {
    const std::string marker = TempDirectory() + "tarvo-test-button.txt";
    CEditShortcutDlg dialog(IDD_EDIT_SCRIPT, false);
    std::string seen;
    Modal(nullptr, [&] { EXPECT_EQ(dialog.DoModal(), IDOK); }, [&](HWND window) {
        HWND test = GetDlgItem(window, IDC_TEST_SCRIPT);
        SetText(GetDlgItem(window, IDC_SCRIPT), "@echo ran> \"" + marker + "\"\r\n@ping -n 4 127.0.0.1 >nul\r\n");
        seen = Reported(window, [&] { PostMessageW(test, BM_CLICK, 0, 0); });
        PickFromCombo(GetDlgItem(window, IDC_SCRIPT_TYPE), 0);  // Batch
        PostMessageW(test, BM_CLICK, 0, 0);
        WaitFor([&] { return ReadFile(marker) == "ran\r\n"; });
        InvalidateRect(window, nullptr, TRUE);
        const DWORD invalidated = GetTickCount();
        WaitFor([&] { return !GetUpdateRect(window, nullptr, FALSE); });
        seen += (GetTickCount() - invalidated < 1000 ? ", painted while running, " : ", not painted, ") + std::to_string(ScriptFiles().size()) + " file";
        WaitFor([&] { return ScriptFiles().empty(); });
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(seen, "edit_dialog_tests: Failed to create the script., painted while running, 1 file");
    EXPECT_TRUE(ReadFile(marker) == "ran\r\n" && ScriptFiles().empty() && dialog.scriptType == ScriptBatch);
}
