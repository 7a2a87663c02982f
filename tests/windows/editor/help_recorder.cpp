// Stands in for the HTML Help viewer: its ordinal 14 records each call.
#include <windows.h>

struct HelpCall {
    HWND owner;
    char file[MAX_PATH];
    UINT command;
    DWORD_PTR data;
    int count;
};

namespace {
HelpCall lastCall;
}

extern "C" HWND WINAPI HtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
    lastCall.owner = owner;
    lstrcpynA(lastCall.file, file ? file : "(null)", MAX_PATH);
    lastCall.command = command;
    lastCall.data = data;
    ++lastCall.count;
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
}

extern "C" const HelpCall* LastHelpCall() { return &lastCall; }
