#include "dialog_watch.h"

#include <vector>

namespace testwatch {

namespace {

struct Search {
    HWND ignore;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (process == GetCurrentProcessId() && window != search->ignore && IsWindowVisible(window) &&
        lstrcmpA(className, "#32770") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM lParam) {
    auto* seen = reinterpret_cast<SeenDialog*>(lParam);
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0) return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        seen->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        return TRUE;
    }
    char text[512] = "";
    GetWindowTextA(child, text, sizeof text);
    if (!seen->text.empty()) seen->text += "\n";
    seen->text += text;
    return TRUE;
}

}  // namespace

DialogWatcher::DialogWatcher(int button, HWND ignore) : button_(button), ignore_(ignore), thread_([this] { Watch(); }) {}

DialogWatcher::~DialogWatcher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool DialogWatcher::Stop() {
    stop_ = true;
    return Finish();
}

bool DialogWatcher::Finish() {
    if (thread_.joinable()) thread_.join();
    return found_;
}

void DialogWatcher::Watch() {
    const DWORD start = GetTickCount();
    while (!stop_ && GetTickCount() - start < 20000) {
        Search search = {ignore_, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            // Give the box a moment to finish its own initialisation.
            Sleep(200);
            char caption[256] = "";
            GetWindowTextA(search.found, caption, sizeof caption);
            seen_.caption = caption;
            seen_.owner = GetWindow(search.found, GW_OWNER);
            EnumChildWindows(search.found, ReadChild, reinterpret_cast<LPARAM>(&seen_));
            PostMessageA(search.found, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
            found_ = true;
            return;
        }
        Sleep(50);
    }
}

}  // namespace testwatch
