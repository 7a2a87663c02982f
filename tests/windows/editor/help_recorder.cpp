// Stands in for the HTML Help viewer: its ordinal 14 puts the file, command and data of
// each call into this process's environment variable TARVO_HELP and, when the variable
// TARVO_HELP_LOG names a file, appends them there as a line, for a test that watches
// another process.
#include <windows.h>

extern "C" HWND WINAPI HtmlHelpA(HWND, LPCSTR file, UINT command, DWORD_PTR data) {
    char call[MAX_PATH + 32];
    const int length = wsprintfA(call, "%s %u %lu", file, command, static_cast<unsigned long>(data));
    SetEnvironmentVariableA("TARVO_HELP", call);
    char log[MAX_PATH];
    const DWORD logLength = GetEnvironmentVariableA("TARVO_HELP_LOG", log, sizeof log);
    if (logLength > 0 && logLength < sizeof log) {
        HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
        DWORD written;
        WriteFile(file, call, length, &written, nullptr);
        WriteFile(file, "\n", 1, &written, nullptr);
        CloseHandle(file);
    }
    return reinterpret_cast<HWND>(1);
}
