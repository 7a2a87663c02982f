// Stands in for the HTML Help viewer: its ordinal 14 puts the file, command and data of
// each call into this process's environment variable TARVO_HELP.
#include <windows.h>

extern "C" HWND WINAPI HtmlHelpA(HWND, LPCSTR file, UINT command, DWORD_PTR data) {
    char call[MAX_PATH + 32];
    wsprintfA(call, "%s %u %lu", file, command, static_cast<unsigned long>(data));
    SetEnvironmentVariableA("TARVO_HELP", call);
    return reinterpret_cast<HWND>(1);
}
