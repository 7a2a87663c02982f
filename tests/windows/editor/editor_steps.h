// The editor's windows in this process: the main window on an empty store, message boxes, modal dialogs, menus, help.
#pragma once

#include <memory>

#include "drive.h"
#include "html_help.h"
#include "resource.h"
#include "shortcuts_dlg.h"

using namespace drive;

// An empty store of an accepted version, and the hook library in the build's installation folder.
class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Clear();
        CreateRoot();
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, Wide(store::kRootPath).c_str());
        SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    }
    // Destroyed (which stops the engine) when it goes out of scope, unless the test destroyed it already.
    struct Close { void operator()(CShortcutsDlg* dialog) const { dialog->DestroyWindow(); delete dialog; } };
    std::unique_ptr<CShortcutsDlg, Close> Open() {
        std::unique_ptr<CShortcutsDlg, Close> dialog(new CShortcutsDlg(nullptr));
        EXPECT_TRUE(dialog->Create(IDD_SHORTCUTS));
        return dialog;
    }

    CWinApp app;
};

// What the message box that act shows says ("caption: text"), answered with answer.
inline std::string Reported(HWND owner, const std::function<void()>& act, int answer = IDOK) {
    DialogWatcher watcher(answer, owner);
    act();
    return watcher.Finish() ? watcher.Seen().caption + ": " + watcher.Seen().text : "no box";
}
inline std::string Reported(CShortcutsDlg& window, UINT command, int answer = IDOK) {
    return Reported(window.m_hWnd, [&] { window.SendMessage(WM_COMMAND, command); }, answer);
}

// Runs open, which waits in a modal dialog (not owner), while steps act on that dialog from another thread; one left open is cancelled.
inline void Modal(HWND owner, const std::function<void()>& open, const std::function<void(HWND)>& steps) {
    std::thread driver([&] {
        HWND dialog = WaitForDialog(owner);
        if (!dialog) return;
        ToFront(dialog);
        Sleep(300);  // shown on the display, so that clicks land on it
        ToFront(dialog);  // again: a console started just before takes the front when it opens
        steps(dialog);
        if (!WaitFor([&] { return !IsWindow(dialog); })) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    open();
    driver.join();
}
inline void Modal(CShortcutsDlg& window, UINT command, const std::function<void(HWND)>& steps) {
    Modal(window.m_hWnd, [&] { window.SendMessage(WM_COMMAND, command); }, steps);
}

inline void Select(CListCtrl& list, std::initializer_list<int> rows) {
    list.SetItemState(-1, 0, LVIS_SELECTED);
    for (int row : rows) list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}
inline int Reloads(HWND window) {  // reload broadcasts that reached the window since the last call
    int count = 0;
    const UINT reload = RegisterWindowMessageA(store::kReloadMessageName);
    for (MSG message; PeekMessageW(&message, window, reload, reload, PM_REMOVE);) ++count;
    return count;
}

// The menu that open shows, read when it first waits for input ("id text;" per item, "!" after a greyed one), and where; Escape closes it.
struct ShownMenu { std::string items; RECT rect; };
inline ShownMenu shownMenu;
inline LRESULT CALLBACK ReadMenu(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_ENTERIDLE && call->wParam == MSGF_MENU && shownMenu.items.empty()) {
        HWND window = reinterpret_cast<HWND>(call->lParam);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        GetWindowRect(window, &shownMenu.rect);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = L"";
            GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            const bool greyed = *text && GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED;
            shownMenu.items += std::to_string(GetMenuItemID(menu, i)) + " " + Narrow(text) + (greyed ? "!;" : ";");
        }
        PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
inline ShownMenu MenuShown(const std::function<void()>& open) {
    shownMenu = {};
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, ReadMenu, nullptr, GetCurrentThreadId());
    open();
    UnhookWindowsHookEx(hook);
    return shownMenu;
}

inline void RecordHelp(CWinApp& app) {  // to the stand-in viewer, which records each call; the file is C:\help\Tarvo.chm
    SetString(kHtmlHelpServerKey, "", TestDir() + "help_recorder.dll", HKEY_CLASSES_ROOT);
    app.m_pszHelpFilePath = _strdup("C:\\help\\Tarvo.chm");
}
inline std::string HelpCall() {  // the last call the viewer recorded since the previous one
    char call[4096] = "";
    GetEnvironmentVariableA("TARVO_HELP", call, sizeof call);
    SetEnvironmentVariableA("TARVO_HELP", nullptr);
    return call;
}
inline std::string HelpPopup(int id, const std::string& text) {  // the call a control's pop-up gives at 30,40
    return "- 14 owner " + std::to_string(id) + " size 52 inst 00000000 string 0 at 30,40 colours -1,-1 margins -1,-1,-1,-1 font 00000000 text " + text;
}
// Asks for help on each control expected names (-1: the first label) at 30,40; the calls recorded ("not handled": refused).
using HelpCallList = std::vector<std::pair<int, std::string>>;
inline HelpCallList HelpCalls(HWND dialog, const HelpCallList& expected) {
    HelpCallList seen;
    for (const auto& [id, call] : expected) {
        HWND control = id == -1 ? FindWindowExW(dialog, nullptr, L"Static", nullptr) : GetDlgItem(dialog, id);
        HELPINFO info = {sizeof info, HELPINFO_WINDOW, id, control, 0, {30, 40}};
        HelpCall();
        seen.push_back({id, SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)) == TRUE ? HelpCall() : "not handled"});
    }
    return seen;
}
