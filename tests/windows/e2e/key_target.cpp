// A window in a process of its own that logs every key message it receives, so that a
// test can see which keystrokes the hook let through. The log's first line is "ready",
// written once the window is in the foreground.
//   key_target.exe <log file>
#include <windows.h>

#include <cstdio>

namespace {

HANDLE logFile = INVALID_HANDLE_VALUE;

void Log(const char* line) {
    DWORD written = 0;
    WriteFile(logFile, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
        char line[64];
        std::snprintf(line, sizeof line, "%s %u %u %u\n", up ? "up" : "down", static_cast<unsigned>(wParam),
                      static_cast<unsigned>((lParam >> 16) & 0xFF), static_cast<unsigned>((lParam >> 24) & 1));
        Log(line);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    logFile = CreateFileA(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE) return 3;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TarvoKeyTarget";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "key target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                  50, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 4;
    SetForegroundWindow(window);
    SetFocus(window);
    // Let the window manager settle before saying so.
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(20);
        SetForegroundWindow(window);
    }
    Log(GetForegroundWindow() == window ? "ready\n" : "not foreground\n");

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CloseHandle(logFile);
    return 0;
}
