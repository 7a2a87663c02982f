// The Preferences dialog and the edit dialog's clash warning, driven with real input; the engine in this process shows what it does.
#include "editor_steps.h"

static std::string keys, beeps;  // what a window of this thread received, what the engine played
static BOOL WINAPI RecordBeep(UINT type) { return beeps += " beep " + std::to_string(type), TRUE; }
static LRESULT CALLBACK LogKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) keys += static_cast<char>(wParam == VK_CONTROL ? 'c' : wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// OK writes only what changed, Cancel nothing, the engine follows at once; help; a refused store opens no dialog.
TEST_F(EditorWindow, PreferencesOkWritesWhatChangedTheEngineFollowsAtOnceAndHelpIsThere) {
    for (const auto& [name, value] : {std::pair{store::kDoNotRemoveKeystroke, 5u}, {store::kBeepAfterKeystroke, 0u}, {store::kBeepType, 48u}})
        SetDword(store::kRootPath, name, value);  // pass keys 5, not 1: keys are taken
    WriteItem(0, "CTRL + F", TestDir() + "start_marker.exe");
    auto window = Open();
    auto* beep = reinterpret_cast<BYTE*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBeep"));
    DWORD access = 0;  // every MessageBeep jumps to RecordBeep
    VirtualProtect(beep, 5, PAGE_EXECUTE_READWRITE, &access);
    beep[0] = 0xE9;
    *reinterpret_cast<INT32*>(beep + 1) = static_cast<INT32>(reinterpret_cast<BYTE*>(RecordBeep) - beep - 5);
    HWND keyLog = CreateWindowExW(0, L"Static", L"keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(keyLog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LogKeys));
    const auto fire = [&] {  // Ctrl + F into that window: the keys it received and the beeps heard
        ToFront(keyLog);
        PumpMessages(300);  // the engine reloads on the broadcast meanwhile
        keys.clear(), beeps.clear();
        Send("+c+F-F-c");
        PumpMessages(500);
        return keys + beeps;
    };
    RECT moved = {0, 0, 900, 500};  // the tool bar made anew for another DPI offers it too
    window->SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&moved));
    EXPECT_TRUE(SendMessageW(window->GetDlgItem(AFX_IDW_TOOLBAR), TB_ISBUTTONENABLED, ID_PREFERENCES, 0));
    EXPECT_EQ(fire(), "c");

    RecordHelp(app);
    const std::string topic = "C:\\help\\Tarvo.chm 15 131212", sound = "The sound of the beep: one of the sounds Windows plays for its messages.";
    const HelpCallList help = {{IDC_BEEP_TYPE, HelpPopup(IDC_BEEP_TYPE, sound)}, {IDOK, topic}, {-1, topic}, {IDCANCEL, ""}};
    // Check boxes clicked in turn (0: the sound list, where entry sound is picked).
    const struct { std::vector<int> clicks; int sound, button; const char* seen; bool run; } steps[] = {
        {{IDC_BEEP, 0}, 3, IDOK, "dword 5, dword 1, dword 16: c beep 16", false},  // "Critical stop"; the unchanged 5 stays
        {{0, IDC_BEEP, IDC_PASS_KEYS, IDC_RUN_AT_LOGON}, 4, IDCANCEL, "dword 5, dword 1, dword 16: c beep 16", false},
        {{IDC_PASS_KEYS, IDC_RUN_AT_LOGON}, 0, IDOK, "dword 1, dword 1, dword 16: cF", true},  // no beep for keys passed on
        {{IDC_BEEP}, 0, IDOK, "dword 1, dword 0, dword 16: cF", true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.seen);
        Modal(*window, ID_PREFERENCES, [&](HWND dialog) {
            HWND sounds = GetDlgItem(dialog, IDC_BEEP_TYPE), play = GetDlgItem(dialog, IDC_PLAY);
            const auto follows = [&] { return IsWindowEnabled(sounds) + IsWindowEnabled(play) == 2 * IsDlgButtonChecked(dialog, IDC_BEEP); };
            EXPECT_TRUE(follows());  // the sound list and Play are enabled with the Beep box ticked only
            EXPECT_EQ(HelpCalls(dialog, help), help);
            for (int id : step.clicks) if (id) ClickCheck(GetDlgItem(dialog, id));
                else if (WaitFor([&] { return IsWindowEnabled(sounds) != FALSE; })) PickFromCombo(sounds, step.sound);  // once Beep enabled it
            Sleep(300);  // the clicks are input: handled when the dialog gets to them
            EXPECT_TRUE(follows());
            Click(GetDlgItem(dialog, step.button));
        });
        EXPECT_EQ(Stored(store::kRootPath, store::kDoNotRemoveKeystroke) + ", " + Stored(store::kRootPath, store::kBeepAfterKeystroke) + ", " +
                      Stored(store::kRootPath, store::kBeepType) + ": " + fire(), step.seen);
        EXPECT_EQ(Stored("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Tarvo"), step.run ? "\"" + BinaryDir() + "vintrel.exe\"" : "none");
    }

    SetDword(store::kRootPath, store::kVersion, 0x30000);
    const std::string before = Snapshot();
    Reported(window->m_hWnd, [&] { window->ReloadList(); });  // the load's message
    EXPECT_NE(Reported(*window, ID_TRAY_PREFERENCES).find("incompatible version of Tarvo (version 0x30000)"), std::string::npos);
    EXPECT_EQ(Snapshot(), before);
}

// The note once the keys are captured and the question on OK (No keeps the dialog, Yes saves); "" when there is none.
TEST_F(EditorWindow, ClashWarningAskedForTheSameKeysAndForAPlainSidedOverlapOnly) {
    const auto used = [](const std::string& by) { return " is already used by \"" + by + "\". Keep both? Only the first in the list will run."; };
    const auto note = [](const std::string& by) { return "Already used by \"" + by + "\": only the first in the list will run."; };
    const struct { const char* keys; bool sided, passKeys; const char* text; std::string question, note; } cases[] = {
        {"+c+F-F-c", true, false, "LCTRL + F", "LCTRL + F" + used("Notes"), note("Notes")},
        {"+r+G-G-r", true, false, "RCTRL + G", "RCTRL + G" + used("calc.exe"), note("calc.exe")},
        {"+r+F-F-r", false, false, "CTRL + F", "CTRL + F" + used("Notes"), note("Notes")},
        {"+r+F-F-r", true, false, "RCTRL + F", "", ""}, {"+c+H-H-c", true, false, "LCTRL + H", "", ""},  // the H row is disabled
        {"+c+C-C-c", true, false, "LCTRL + C", "LCTRL + C takes Ctrl+C away from Windows and the programs that use it: while this "
         "shortcut is enabled, they no longer receive it. Keep it?", "Windows or most programs use Ctrl+C: they would no longer receive it."},
        {"+c+C-C-c", true, true, "LCTRL + C", "", ""},  // the keys are passed on
    };
    WriteItem(0, "LCTRL + F", "notes.exe");
    SetString(ItemPath(0), store::kDescription, "Notes");
    WriteItem(1, "CTRL + G", "calc.exe");
    WriteItem(2, "LCTRL + H", "off.exe", 0, "", true);
    auto window = Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, c.passKeys);
        SHDeleteKeyW(HKEY_CURRENT_USER, Wide(ItemPath(3)).c_str());  // the row the case before added
        window->ReloadList();
        Modal(*window, ID_ADD_SHORTCUT, [&](HWND dialog) {
            HWND capture = GetDlgItem(dialog, IDC_CAPTURE), box = GetDlgItem(dialog, IDC_SHORTCUT_TEXT);
            if (!c.sided) ClickCheck(GetDlgItem(dialog, IDC_LEFT_RIGHT));
            SetText(GetDlgItem(dialog, IDC_ACTION), "x");  // before the capture, which puts the dialog's values back on each key
            Click(capture);
            WaitFor([&] { return Text(capture) == "End capture"; });
            Send(c.keys);
            WaitFor([&] { return Text(box) == c.text; });  // OK also ends the capture
            EXPECT_EQ(Text(GetDlgItem(dialog, IDC_CLASH_NOTE)), c.note);
            Click(GetDlgItem(dialog, IDOK));
            EXPECT_EQ(Answer(IDNO, dialog, true), c.question);
            EXPECT_EQ(IsWindow(dialog) != FALSE, !c.question.empty());
            if (IsWindow(dialog)) Click(GetDlgItem(dialog, IDOK)), Answer(IDYES, dialog, true);
        });
        EXPECT_EQ(ReadString(ItemPath(3), store::kShortcut), c.text);
    }
}
