// Finds the next visible dialog box (a message box, say) of this process from a second
// thread, records what it shows and closes it with one of its buttons, so a test can
// call code that blocks in a modal box.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace testwatch {

struct SeenDialog {
    std::string caption;
    std::string text;     // texts of its static controls, joined by newlines
    HICON icon = nullptr; // the icon it shows, if any
    HWND owner = nullptr;
};

class DialogWatcher {
public:
    // Closes the dialog by sending it WM_COMMAND with button; windows listed in ignore are skipped.
    explicit DialogWatcher(int button = IDOK, HWND ignore = nullptr);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Waits for the watcher thread; true when a dialog was seen and closed.
    bool Finish();
    // Stops watching at once; true when a dialog had been seen and closed.
    bool Stop();
    const SeenDialog& Seen() const { return seen_; }

private:
    void Watch();

    int button_;
    HWND ignore_;
    SeenDialog seen_;
    std::atomic<bool> found_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace testwatch
