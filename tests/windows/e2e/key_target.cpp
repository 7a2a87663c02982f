// key_target.exe <log>: logs "+x"/"-x" (x as Send names it) per key reaching its window, counts reloads in its user data.
// A copy named <letter>.exe, started without arguments, appends its letter to markers.log beside itself.
#include <windows.h>
#include <imm.h>
#include <shellapi.h>

#include <cwchar>
#include <iterator>

static const wchar_t* keyLog = nullptr;  // wide: the test folders' names may hold any character

static void Append(const wchar_t* path, const char* text, DWORD size) {
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, 0, nullptr);
    WriteFile(file, text, size, &size, nullptr);
    CloseHandle(file);
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM vk, LPARAM lParam) {
    static const UINT reload = RegisterWindowMessageA("UMW_TARVOHOOK-{EC15FAFB-C7DF-42B4-A566-C3ECE20D5DC3}");
    if (message == reload) SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_SYSKEYDOWN && message != WM_SYSKEYUP)
        return DefWindowProcW(window, message, vk, lParam);
    if (vk == 0xE8) return 0;  // the engine's masking key, no keystroke of the user's
    const char ctrl = (lParam >> 24) & 1 ? 'r' : 'c';                // the right one has the extended flag
    const char shift = ((lParam >> 16) & 0xFF) == 0x36 ? 'i' : 'h';  // the right one's scan code
    const char name = vk == VK_CONTROL ? ctrl : vk == VK_SHIFT ? shift : vk == VK_MENU ? 'a' : vk == VK_F9 ? 's' : static_cast<char>(vk);
    Append(keyLog, std::data({message & 1 ? '-' : '+', name}), 2);  // WM_KEYUP and WM_SYSKEYUP are odd
    return 0;
}

int main() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* name = std::wcsrchr(path, L'\\') + 1;
    const char letter = static_cast<char>(*name);
    std::wcscpy(name, L"markers.log");
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) return Append(path, &letter, 1), 0;
    keyLog = argv[1];
    // No input method: it would see every keystroke first, and its window would be one more for reload broadcasts.
    ImmDisableIME(static_cast<DWORD>(-1));
    RegisterClassW(std::data({WNDCLASSW{0, WindowProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"TarvoKeyTarget"}}));
    CreateWindowExW(0, L"TarvoKeyTarget", L"key target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, 0, 0, 0, 0);
    for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
    return 0;
}
