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

// Clicks button in the next message box other than ignore; its text, or "" when none came
// (or, with orClosed, when ignore closed without one).
inline std::string Answer(int button, HWND ignore = nullptr, bool orClosed = false) {
    HWND box = nullptr;
    drive::WaitFor([&] { return (box = testwatch::FindDialog(ignore)) != nullptr || (orClosed && !IsWindow(ignore)); });
    if (!box) return "";
    drive::ToFront(box);
    Sleep(300);
    std::string text = drive::Text(GetDlgItem(box, 0xFFFF));
    drive::Click(GetDlgItem(box, button));
    if (!drive::WaitFor([&] { return !IsWindow(box); }))  // the test goes on, and fails
        PostMessageW(box, WM_COMMAND, button, 0), text = "not closed by a click: " + text;
    return text;
}
