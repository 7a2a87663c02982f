// A message box of this process answered with a click on one of its buttons, as a user
// answers it (a box without that button stays, and the test fails).
#pragma once

#include "drive.h"
#include "editor_steps.h"

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
