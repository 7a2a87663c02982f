// Finds the next visible dialog box (a message box, say) of this process from a second
// thread, records what it shows and closes it with one of its buttons, so a test can
// call code that blocks in a modal box. And the small helpers for driving a dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace testwatch {

struct SeenDialog {
    std::string caption;
    std::string text;     // texts of its static controls, joined by newlines
    HICON icon = nullptr; // the icon it shows, if any
};

HWND FindDialog(HWND ignore = nullptr);     // the first visible dialog box of this process other than ignore, or null
HWND WaitForDialog(HWND ignore = nullptr);  // the same, waiting up to 20 seconds for one to appear
std::string WindowText(HWND window);
// A left click with SendInput as a mouse gives it, at a point of the screen or in the middle of a window.
void ClickAt(POINT point);
void Click(HWND window);

class DialogWatcher {
public:
    // Closes the dialog by sending it WM_COMMAND with button; the window ignore is skipped.
    // inspect, when given, looks at the open dialog first (on the watcher's thread).
    explicit DialogWatcher(int button = IDOK, HWND ignore = nullptr, std::function<void(HWND)> inspect = {});
    ~DialogWatcher() { Finish(); }
    bool Finish();  // waits (20 seconds at most) for the thread; true when a dialog was seen and closed
    const SeenDialog& Seen() const { return seen_; }

private:
    bool found_ = false;
    SeenDialog seen_;
    std::thread thread_;
};

}  // namespace testwatch
