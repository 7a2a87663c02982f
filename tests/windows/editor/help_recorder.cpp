// Stands in for the help viewer: HtmlHelpW records each call in TARVO_HELP and appends it to the file TARVO_HELP_LOG names.
#include <windows.h>
#include <htmlhelp.h>

#include <cstdio>

extern "C" HWND WINAPI HtmlHelpW(HWND owner, LPCWSTR file, UINT command, DWORD_PTR data) {
    wchar_t call[1024], log[MAX_PATH] = L"";
    const auto* popup = reinterpret_cast<const HH_POPUP*>(data);
    const wchar_t* name = file ? file : L"-";
    int length = wsprintfW(call, L"%s %u %lu", name, command, static_cast<unsigned long>(data));
    if (command == HH_DISPLAY_TEXT_POPUP && popup)  // field by field, with the owner's control id
        length = wsprintfW(call, L"%s 14 owner %d size %d inst %p string %u at %ld,%ld colours %ld,%ld margins %ld,%ld,%ld,%ld font %p text %s",
                           name, GetDlgCtrlID(owner), popup->cbStruct, popup->hinst, popup->idString, popup->pt.x, popup->pt.y,
                           static_cast<long>(popup->clrForeground), static_cast<long>(popup->clrBackground), popup->rcMargins.left,
                           popup->rcMargins.top, popup->rcMargins.right, popup->rcMargins.bottom, popup->pszFont, popup->pszText);
    SetEnvironmentVariableW(L"TARVO_HELP", call);
    GetEnvironmentVariableW(L"TARVO_HELP_LOG", log, MAX_PATH);
    if (FILE* out = *log ? _wfopen(log, L"ab") : nullptr) {  // a UTF-8 line, for a test that watches another process
        char line[4096];
        fwrite(line, 1, WideCharToMultiByte(CP_UTF8, 0, call, length, line, sizeof line, nullptr, nullptr), out);
        fputc('\n', out);
        fclose(out);
    }
    return reinterpret_cast<HWND>(1);
}
