// Two programs in one.
//   key_target.exe <log file>: a window in the foreground that appends to the log "ok"
//     and then "+x" or "-x" for each key press or release that reaches it; x is c or r
//     for the left or right Ctrl, a for Alt, s for F9 and otherwise the key's character.
//   A copy named <letter>.exe, started without arguments: appends its letter to
//     "markers.log" beside itself, so that a test sees which copies a shortcut started.
#include <windows.h>

#include <cctype>
#include <cstring>

namespace {

const char* logPath = nullptr;

void Append(const char* path, const char* text, DWORD size) {
    // Markers started together each get their turn.
    for (int attempt = 0; attempt < 200; ++attempt, Sleep(10)) {
        HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        DWORD written = 0;
        WriteFile(file, text, size, &written, nullptr);
        CloseHandle(file);
        return;
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return DefWindowProcA(window, message, wParam, lParam);
    const bool extended = (lParam >> 24) & 1;
    const char key[2] = {message & 1 ? '-' : '+',  // WM_KEYUP and WM_SYSKEYUP are odd
                         wParam == VK_CONTROL ? (extended ? 'r' : 'c')
                         : wParam == VK_MENU  ? 'a'
                         : wParam == VK_F9    ? 's'
                         : std::isalnum(static_cast<int>(wParam)) ? static_cast<char>(wParam)
                                                                   : '?'};
    Append(logPath, key, 2);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        char path[MAX_PATH];
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* name = std::strrchr(path, '\\') + 1;
        const char letter = *name;
        std::strcpy(name, "markers.log");
        Append(path, &letter, 1);
        return 0;
    }
    logPath = argv[1];
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TarvoKeyTarget";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "key target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                  50, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    MSG message;
    for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i, Sleep(20)) {
        SetForegroundWindow(window);
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    Append(logPath, GetForegroundWindow() == window ? "ok" : "no", 2);
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
