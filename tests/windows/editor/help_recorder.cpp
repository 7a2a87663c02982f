// Stands in for the HTML Help viewer: its ordinal 15 (HtmlHelpW) records each call's file, command and data (a
// text pop-up field by field, with the owner's control id) in this process's environment variable TARVO_HELP
// and, when TARVO_HELP_LOG names a file, as a UTF-8 line there, for a test that watches another process.
#include <windows.h>
#include <htmlhelp.h>

extern "C" HWND WINAPI HtmlHelpW(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data) {
    wchar_t call[1024], log[MAX_PATH];
    const auto* popup = reinterpret_cast<const HH_POPUP*>(data);
    const wchar_t* name = file ? file : L"-";
    int length = wsprintfW(call, L"%s %u %lu", name, command, static_cast<unsigned long>(data));
    if (command == HH_DISPLAY_TEXT_POPUP && popup)
        length = wsprintfW(call, L"%s 14 owner %d size %d inst %p string %u at %ld,%ld colours %ld,%ld margins %ld,%ld,%ld,%ld font %p text %s",
                           name, GetDlgCtrlID(owner), popup->cbStruct, popup->hinst, popup->idString, popup->pt.x, popup->pt.y,
                           static_cast<long>(popup->clrForeground), static_cast<long>(popup->clrBackground), popup->rcMargins.left,
                           popup->rcMargins.top, popup->rcMargins.right, popup->rcMargins.bottom, popup->pszFont, popup->pszText);
    SetEnvironmentVariableW(L"TARVO_HELP", call);
    const DWORD logLength = GetEnvironmentVariableW(L"TARVO_HELP_LOG", log, MAX_PATH);
    if (logLength > 0 && logLength < MAX_PATH) {
        char line[4096];
        DWORD bytes = WideCharToMultiByte(CP_UTF8, 0, call, length, line, sizeof line - 1, nullptr, nullptr);
        line[bytes++] = '\n';
        HANDLE out = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
        WriteFile(out, line, bytes, &bytes, nullptr);
        CloseHandle(out);
    }
    return reinterpret_cast<HWND>(1);
}
