#include "html_help.h"

#include <htmlhelp.h>

#include "registry_key.h"
#include "text.h"
#include "winapp.h"
#include "wnd.h"

HWND HtmlHelpBinding::Call(HWND owner, const char* file, UINT command, DWORD_PTR data) {
    if (failed_) return nullptr;
    if (!module_) {
        const CString server = CRegistryKey(serverKey_, HKEY_CLASSES_ROOT, MAX_PATH).ReadString("", "");
        if (!server.IsEmpty()) module_ = LoadLibraryW(Wide(server).c_str());
        if (!module_) module_ = LoadLibraryW(Wide(libraryName_).c_str());
        if (!module_) {
            failed_ = true;
            return nullptr;
        }
    }
    if (!entry_) {
        entry_ = reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(15))));
        if (!entry_) {
            failed_ = true;
            return nullptr;
        }
    }
    return entry_(owner, file ? Wide(file).c_str() : nullptr, command, data);
}

HWND CallHtmlHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
    static HtmlHelpBinding installed(kHtmlHelpServerKey, kHtmlHelpLibrary);
    return installed.Call(owner, file, command, data);
}

void ShowHelp(HWND owner) {
    CWinApp* app = AfxGetApp();
    CallHtmlHelp(owner, app ? app->m_pszHelpFilePath : nullptr, HH_DISPLAY_TOPIC_COMMAND, 0);
}

void ShowContextHelp(const HELPINFO& info, DWORD topic) {
    if (info.iCtrlId >= 2) {
        CString text;
        if (!text.LoadString(static_cast<UINT>(info.iCtrlId)) || text.IsEmpty()) return;
        // Default colours and margins (-1), the system's font.
        const std::wstring wide = Wide(text);
        HH_POPUP popup = {sizeof popup, nullptr, 0, wide.c_str(), info.MousePos, COLORREF(-1), COLORREF(-1), {-1, -1, -1, -1}, nullptr};
        CallHtmlHelp(static_cast<HWND>(info.hItemHandle), nullptr, HH_DISPLAY_TEXT_POPUP_COMMAND,
                     reinterpret_cast<DWORD_PTR>(&popup));
        return;
    }
    ShowHelpTopic(topic);
}

void ShowHelpTopic(DWORD topic) {
    CWnd* main = AfxGetMainWnd();
    CWinApp* app = AfxGetApp();
    CallHtmlHelp(main ? main->m_hWnd : nullptr, app ? app->m_pszHelpFilePath : nullptr, HH_HELP_CONTEXT_COMMAND, topic);
}
