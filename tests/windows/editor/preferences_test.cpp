// The Preferences dialog opened from the list window as a user opens it, driven with real
// clicks and keys; the engine running in this process (the built lindle.dll) shows at once
// whether it beeps and whether a fired shortcut's keys reach the window in front.
#include <algorithm>

#include "answer_box.h"
#include "html_help.h"

namespace {

using namespace drive;

std::string keys, beeps;  // what a window of this thread received, what the engine played
BOOL WINAPI RecordBeep(UINT type) { return beeps += " beep " + std::to_string(type), TRUE; }
LRESULT CALLBACK LogKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) keys += static_cast<char>(wParam == VK_CONTROL ? 'c' : wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// Sends every call of function to replacement: a jump over its first bytes.
void Redirect(void* function, void* replacement) {
    auto* code = static_cast<BYTE*>(function);
    DWORD old = 0;
    VirtualProtect(code, 5, PAGE_EXECUTE_READWRITE, &old);
    code[0] = 0xE9;
    *reinterpret_cast<INT32*>(code + 1) = static_cast<INT32>(static_cast<BYTE*>(replacement) - code - 5);
    FlushInstructionCache(GetCurrentProcess(), code, 5);
}

// Clicks a check box until its state flips: under load a click can reach the dialog
// before it takes input.
void ClickCheckBox(HWND box) {
    const LRESULT before = SendMessageW(box, BM_GETCHECK, 0, 0);
    for (int attempt = 0; attempt < 3 && SendMessageW(box, BM_GETCHECK, 0, 0) == before; ++attempt) {
        Click(box);
        for (int i = 0; i < 100 && SendMessageW(box, BM_GETCHECK, 0, 0) == before; ++i) Sleep(20);
    }
}

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
std::string RunValue() { return std::to_string(ValueType(kRunKey, "Tarvo")) + ReadString(kRunKey, "Tarvo"); }

// Ctrl + F into a window of this thread: the keys it received and the beeps heard.
std::string Fire() {
    HWND window = CreateWindowExW(0, L"TarvoKeyLog", L"keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ToFront(window);
    PumpMessages(300);  // the engine reloads on the broadcast meanwhile
    keys.clear(), beeps.clear();
    Send("+c+F-F-c");
    PumpMessages(500);
    DestroyWindow(window);
    return keys + beeps;
}

TEST_F(EditorWindow, PreferencesOkWritesWhatChangedTheEngineFollowsAtOnceAndHelpIsThere) {
    DeleteValue(kRunKey, "Tarvo");
    SetDword(store::kRootPath, store::kDoNotRemoveKeystroke, 5);  // not 1: keys are taken
    SetDword(store::kRootPath, store::kBeepAfterKeystroke, 0);
    SetDword(store::kRootPath, store::kBeepType, 48);
    WriteItem(0, "CTRL + F", TestDir() + "start_marker.exe");
    const WNDCLASSW keyClass = {0, LogKeys, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr, L"TarvoKeyLog"};
    RegisterClassW(&keyClass);
    auto window = Open();
    Redirect(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "MessageBeep")), reinterpret_cast<void*>(RecordBeep));
    EXPECT_TRUE(SendMessageW(window->GetDlgItem(AFX_IDW_TOOLBAR), TB_ISBUTTONENABLED, ID_PREFERENCES, 0));
    RECT moved = {0, 0, 900, 500};  // also on the tool bar made anew for another DPI
    window->SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&moved));
    EXPECT_TRUE(SendMessageW(window->GetDlgItem(AFX_IDW_TOOLBAR), TB_ISBUTTONENABLED, ID_PREFERENCES, 0));
    EXPECT_EQ(Fire(), "c");

    // Controls clicked in turn (0: the sound list, where entry sound is picked).
    struct Step { std::vector<int> clicks; int sound, button; const char* store; const char* fired; };
    const Step steps[] = {
        // Beep with "Critical stop"; the other values are not written ("5" stays).
        {{IDC_BEEP, 0}, 3, IDOK, "5 1 16", "c beep 16"},
        // Cancel writes nothing, whatever was changed.
        {{0, IDC_BEEP, IDC_PASS_KEYS, IDC_RUN_AT_LOGON}, 4, IDCANCEL, "5 1 16", "c beep 16"},
        // Keys passed on: the engine beeps only for keys it takes.
        {{IDC_PASS_KEYS, IDC_RUN_AT_LOGON}, 0, IDOK, "1 1 16", "cF"},
        {{IDC_BEEP}, 0, IDOK, "1 0 16", "cF"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.store);
        const std::string runBefore = RunValue();
        bool enabledBefore = false, enabledAfter = false;
        Modal(*window, ID_PREFERENCES, [&](HWND dialog) {
            HWND sounds = GetDlgItem(dialog, IDC_BEEP_TYPE);
            enabledBefore = IsWindowEnabled(sounds);
            for (int id : step.clicks) {
                if (id != 0) {
                    ClickCheckBox(GetDlgItem(dialog, id));
                    continue;
                }
                // Opened with a click; a click on the entry picks it.
                Click(sounds);
                COMBOBOXINFO info = {sizeof info};
                GetComboBoxInfo(sounds, &info);
                WaitFor([&] { return IsWindowVisible(info.hwndList) != FALSE; });
                Sleep(300);
                RECT item;
                SendMessageW(info.hwndList, LB_GETITEMRECT, step.sound, reinterpret_cast<LPARAM>(&item));
                testwatch::ClickAt(Centre(item, info.hwndList));
                WaitFor([&] { return !IsWindowVisible(info.hwndList); });
                Sleep(300);
            }
            Sleep(300);  // the clicks are input: handled when the dialog gets to them
            enabledAfter = IsWindowEnabled(sounds) && IsWindowEnabled(GetDlgItem(dialog, IDC_PLAY));
            Click(GetDlgItem(dialog, step.button));
        });
        const auto stored = [](const char* name) { return std::to_string(ReadDword(store::kRootPath, name)); };
        EXPECT_EQ(stored(store::kDoNotRemoveKeystroke) + " " + stored(store::kBeepAfterKeystroke) + " " + stored(store::kBeepType), step.store);
        EXPECT_EQ(Fire(), step.fired);
        const auto clicked = [&](int id) { return std::count(step.clicks.begin(), step.clicks.end(), id) == 1; };
        EXPECT_EQ(enabledAfter, enabledBefore != clicked(IDC_BEEP));  // the sound list follows the Beep box
        EXPECT_EQ(RunValue(), step.button == IDOK && clicked(IDC_RUN_AT_LOGON) ? "1\"" + BinaryDir() + "vintrel.exe\"" : runBefore);
    }

    // Help on a control pops up its text; on OK or a label it opens the dialog's topic.
    SetString(kHtmlHelpServerKey, "", TestDir() + "help_recorder.dll", HKEY_CLASSES_ROOT);
    app.m_pszHelpFilePath = _strdup("C:\\help\\Tarvo.chm");
    const std::string topic = "C:\\help\\Tarvo.chm 15 131212";
    const std::string popup = "- 14 owner 1103 size 52 inst 00000000 string 0 at 30,40 colours -1,-1 margins -1,-1,-1,-1 font 00000000 "
                              "text The sound of the beep: one of the sounds Windows plays for its messages.";
    const std::vector<std::pair<int, std::string>> expected = {{IDC_BEEP_TYPE, popup}, {IDOK, topic}, {-1, topic}, {IDCANCEL, ""}};
    std::vector<std::pair<int, std::string>> seen;
    Modal(*window, ID_PREFERENCES, [&](HWND dialog) {
        for (const auto& [id, call] : expected) {
            HWND control = id == -1 ? FindWindowExW(dialog, nullptr, L"Static", nullptr) : GetDlgItem(dialog, id);
            HELPINFO info = {sizeof info, HELPINFO_WINDOW, id, control, 0, {30, 40}};
            HelpCall();
            const LRESULT handled = SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
            seen.push_back({id, handled == TRUE ? HelpCall() : "not handled"});
        }
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(seen, expected);
    window->DestroyWindow();
}

// A store of an incompatible version: the save's message, and no dialog.
TEST_F(EditorWindow, PreferencesOfARejectedStoreAreRefusedBeforeTheDialogOpens) {
    SetDword(store::kRootPath, store::kVersion, 0x30000);
    const std::string before = Snapshot();
    std::unique_ptr<CShortcutsDlg> window;
    Reported(nullptr, [&] { window = Open(); });  // the load's message
    const std::string refusal = Reported(*window, ID_TRAY_PREFERENCES);
    EXPECT_NE(refusal.find("incompatible version of Tarvo (version 0x30000)"), std::string::npos) << refusal;
    EXPECT_EQ(Snapshot(), before);
    window->DestroyWindow();
}

}  // namespace
