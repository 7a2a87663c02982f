// The HTML Help viewer, bound at run time: every help request of the editor goes through
// CallHtmlHelp. When the viewer cannot be bound, help silently does nothing, and after
// the first failure no further load is attempted.
#pragma once

#include <windows.h>

// The registered in-process server of the viewer, looked up before the library by name.
constexpr const char* kHtmlHelpServerKey = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr const char* kHtmlHelpLibrary = "hhctrl.ocx";
constexpr UINT HH_DISPLAY_TOPIC_COMMAND = 0;
constexpr UINT HH_DISPLAY_TEXT_POPUP_COMMAND = 14;
constexpr UINT HH_HELP_CONTEXT_COMMAND = 15;

// One binding of the viewer: the library found through serverKey (under
// HKEY_CLASSES_ROOT) or else loaded by libraryName, and its entry point HtmlHelpW
// (ordinal 15). The file is UTF-8; data is handed on as it is, so any text it points to
// (a pop-up's HH_POPUP) must already be wide. The library stays loaded for the life of the process.
class HtmlHelpBinding {
public:
    HtmlHelpBinding(const char* serverKey, const char* libraryName) : serverKey_(serverKey), libraryName_(libraryName) {}

    // The viewer's result, or 0 when it cannot be bound.
    HWND Call(HWND owner, const char* file, UINT command, DWORD_PTR data);
    bool Failed() const { return failed_; }
    HMODULE Module() const { return module_; }

private:
    using HtmlHelpEntry = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

    const char* serverKey_;
    const char* libraryName_;
    HMODULE module_ = nullptr;
    HtmlHelpEntry entry_ = nullptr;
    bool failed_ = false;
};

// The process-wide binding of the installed viewer.
HWND CallHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR data);

// Opens the help file at its default topic.
void ShowHelp(HWND owner);

// A dialog's context help (F1 or the "?" button): a control with a string of its own id
// gets that text in a pop-up; OK, Cancel and the dialog itself open the dialog's topic.
void ShowContextHelp(const HELPINFO& info, DWORD topic);
// Opens a topic of the help file, owned by the main window.
void ShowHelpTopic(DWORD topic);
