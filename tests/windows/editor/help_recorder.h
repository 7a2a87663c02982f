// What the stand-in viewer (help_recorder.dll) saw last.
#pragma once

#include <windows.h>

struct HelpCall {
    HWND owner;
    char file[MAX_PATH];
    UINT command;
    DWORD_PTR data;
    int count;
};
