// Steps the tests of the editor's windows in this process share: a message box answered, a
// modal dialog driven from a second thread, rows selected, a menu read as it opens, and the
// call the stand-in help viewer recorded.
#pragma once

#include <functional>
#include <thread>

#include "editor_window.h"

// What the message box that act shows says ("caption: text"), answered with answer.
inline std::string Reported(HWND owner, const std::function<void()>& act, int answer = IDOK) {
    testwatch::DialogWatcher watcher(answer, owner);
    act();
    return watcher.Finish() ? watcher.Seen().caption + ": " + watcher.Seen().text : "no box";
}
inline std::string Reported(CShortcutsDlg& window, UINT command, int answer = IDOK) {
    return Reported(window.m_hWnd, [&] { window.SendMessage(WM_COMMAND, command); }, answer);
}

// Runs open, which shows a modal dialog (other than owner) and waits in it, while drive acts
// on the dialog in front from another thread; a dialog left open is cancelled.
inline void Modal(HWND owner, const std::function<void()>& open, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND dialog = testwatch::WaitForDialog(owner);
        if (!dialog) return;
        for (int i = 0; i < 100 && GetForegroundWindow() != dialog; ++i, Sleep(20)) SetForegroundWindow(dialog);
        Sleep(300);  // shown on the display, so that clicks land on it
        drive(dialog);
        if (!teststore::WaitFor([&] { return !IsWindow(dialog); })) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    open();
    driver.join();
}
inline void Modal(CShortcutsDlg& window, UINT command, const std::function<void(HWND)>& drive) {
    Modal(window.m_hWnd, [&] { window.SendMessage(WM_COMMAND, command); }, drive);
}

inline void Select(CListCtrl& list, std::initializer_list<int> rows) {
    list.SetItemState(-1, 0, LVIS_SELECTED);
    for (int row : rows) list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

// Reload broadcasts that reached the window since the last call.
inline int Reloads(HWND window) {
    int count = 0;
    const UINT reload = RegisterWindowMessageA(store::kReloadMessageName);
    for (MSG message; PeekMessageW(&message, window, reload, reload, PM_REMOVE);) ++count;
    return count;
}

inline POINT Centre(RECT rect, HWND from = nullptr) {
    MapWindowPoints(from, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}
inline POINT Centre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return Centre(rect);
}
inline void MoveMouse(POINT at) {
    INPUT input{INPUT_MOUSE};
    input.mi = {MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1), MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0,
                MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE};
    SendInput(1, &input, sizeof input);
}

// The menu that open shows, read when it first waits for input ("id text;" for each item, a
// "!" after a greyed one) and where it opened; then Escape closes it.
struct ShownMenu {
    std::string items;
    RECT rect;
};
inline ShownMenu shownMenu;
inline LRESULT CALLBACK ReadMenu(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == WM_ENTERIDLE && call->wParam == MSGF_MENU && shownMenu.items.empty()) {
        HWND window = reinterpret_cast<HWND>(call->lParam);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        GetWindowRect(window, &shownMenu.rect);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = "";
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            shownMenu.items += std::to_string(GetMenuItemID(menu, i)) + " " + text + (*text && GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED ? "!;" : ";");
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

// The last call the stand-in help viewer recorded since the previous one.
inline std::string HelpCall() {
    char call[4096] = "";
    GetEnvironmentVariableA("TARVO_HELP", call, sizeof call);
    SetEnvironmentVariableA("TARVO_HELP", nullptr);
    return call;
}
