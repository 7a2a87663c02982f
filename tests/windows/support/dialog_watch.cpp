#include "dialog_watch.h"

namespace testwatch {

namespace {

HWND FindDialog(HWND ignore) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, WC_DIALOG, nullptr));) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && window != ignore && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM lParam) {
    auto* seen = reinterpret_cast<SeenDialog*>(lParam);
    char className[32] = "", text[512] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0) return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        seen->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else {
        GetWindowTextA(child, text, sizeof text);
        seen->text += (seen->text.empty() ? "" : "\n") + std::string(text);
    }
    return TRUE;
}

}  // namespace

DialogWatcher::DialogWatcher(int button, HWND ignore, std::function<void(HWND)> inspect)
    : thread_([this, button, ignore, inspect] {
          for (const DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(50)) {
              HWND dialog = FindDialog(ignore);
              if (!dialog) continue;
              Sleep(200);  // the box finishes its own initialisation
              char caption[256] = "";
              GetWindowTextA(dialog, caption, sizeof caption);
              seen_.caption = caption;
              EnumChildWindows(dialog, ReadChild, reinterpret_cast<LPARAM>(&seen_));
              if (inspect) inspect(dialog);
              PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
              found_ = true;
              return;
          }
      }) {}

bool DialogWatcher::Finish() {
    if (thread_.joinable()) thread_.join();
    return found_;
}

}  // namespace testwatch
