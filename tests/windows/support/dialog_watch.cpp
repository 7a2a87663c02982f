#include "dialog_watch.h"

#include "test_store.h"
#include "text.h"

namespace testwatch {

HWND FindDialog(HWND ignore) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, WC_DIALOG, nullptr));) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && window != ignore && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

HWND WaitForDialog(HWND ignore) {
    HWND dialog = nullptr;
    teststore::WaitFor([&] { return (dialog = FindDialog(ignore)) != nullptr; });
    return dialog;
}

std::string WindowText(HWND window) {
    wchar_t text[4096] = L"";
    return Narrow(text, static_cast<size_t>(GetWindowTextW(window, text, 4096)));
}

void ClickAt(POINT point) {
    // Absolute positions run from 0 to 65535 across the primary screen.
    const LONG x = (point.x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN);
    const LONG y = (point.y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = x;
        inputs[i].mi.dy = y;
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(3, inputs, sizeof *inputs);
}

void Click(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

namespace {

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
