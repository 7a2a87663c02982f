// Stands in for the HTML Help viewer: its ordinal 15 (HtmlHelpW) puts the file, command
// and data of each call into this process's environment variable TARVO_HELP and, when the
// variable TARVO_HELP_LOG names a file, appends them there as a UTF-8 line, for a test
// that watches another process. A text pop-up's description is written out field by
// field, with the owner's control id.
#include <windows.h>
#include <htmlhelp.h>

extern "C" HWND WINAPI HtmlHelpW(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data) {
    wchar_t call[1024];
    const auto* popup = reinterpret_cast<const HH_POPUP*>(data);
    int length = 0;
    if (command == HH_DISPLAY_TEXT_POPUP && popup) {
        const RECT& margins = popup->rcMargins;
        length = wsprintfW(call, L"%s 14 owner %d size %d inst %p string %u at %ld,%ld colours %ld,%ld margins %ld,%ld,%ld,%ld font %p text %s",
                           file ? file : L"-", GetDlgCtrlID(owner), popup->cbStruct, popup->hinst, popup->idString, popup->pt.x,
                           popup->pt.y, static_cast<long>(popup->clrForeground), static_cast<long>(popup->clrBackground),
                           margins.left, margins.top, margins.right, margins.bottom, popup->pszFont, popup->pszText);
    } else {
        length = wsprintfW(call, L"%s %u %lu", file ? file : L"-", command, static_cast<unsigned long>(data));
    }
    SetEnvironmentVariableW(L"TARVO_HELP", call);
    wchar_t log[MAX_PATH];
    const DWORD logLength = GetEnvironmentVariableW(L"TARVO_HELP_LOG", log, MAX_PATH);
    if (logLength > 0 && logLength < MAX_PATH) {
        HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
        DWORD written;
        char line[4096];
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, call, length, line, sizeof line, nullptr, nullptr);
        WriteFile(file, line, bytes, &written, nullptr);
        WriteFile(file, "\n", 1, &written, nullptr);
        CloseHandle(file);
    }
    return reinterpret_cast<HWND>(1);
}
