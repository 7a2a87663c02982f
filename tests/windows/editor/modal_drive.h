// The list window's commands that open modal dialogs in this process, driven as a user
// does: the command is sent on this thread while a second one works in the dialogs.
#pragma once

#include <functional>
#include <thread>

#include "drive.h"

// Sends the command; drive gets the dialog it opens, in front. One left open is cancelled.
inline void WithDialog(CWnd& window, UINT message, UINT command, const std::function<void(HWND)>& drive) {
    std::thread driver([&] {
        HWND dialog = testwatch::WaitForDialog();
        if (!dialog) return;
        drive::ToFront(dialog);
        Sleep(300);
        drive(dialog);
        if (!drive::WaitFor([&] { return !IsWindow(dialog); })) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    window.SendMessage(message, command, 0);
    driver.join();
}

// Clicks button in the next message box other than owner; its text, or "" when owner
// closed without one.
inline std::string Answer(HWND owner, int button) {
    HWND box = nullptr;
    drive::WaitFor([&] { return (box = testwatch::FindDialog(owner)) != nullptr || (owner && !IsWindow(owner)); });
    if (!box) return "";
    Sleep(300);
    const std::string text = drive::Text(GetDlgItem(box, 0xFFFF));
    drive::Click(GetDlgItem(box, button));
    drive::WaitFor([&] { return !IsWindow(box); });
    return text;
}
