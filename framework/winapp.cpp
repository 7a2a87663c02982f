#include "winapp.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "text.h"
#include "wnd.h"

namespace {

CWinApp* theApplication = nullptr;

std::string ModulePath() {
    // A path may be longer than MAX_PATH; grow until it is not cut.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<wchar_t> path(size);
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length < size) return Narrow(path.data(), length);
    }
    return std::string();
}

// "C:\dir\vintrel.exe" -> "vintrel"
std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

char* HeapCopy(const std::string& text) { return ::_strdup(text.c_str()); }

int ApplicationMessageBox(CWnd* main, const char* text, UINT type) {
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    HWND owner = main && main->m_hWnd && ::IsWindowEnabled(main->m_hWnd) ? main->m_hWnd : ::GetActiveWindow();
    return ::MessageBoxW(owner, Wide(text).c_str(), Wide(AfxGetAppName()).c_str(), type);
}

}  // namespace

void CCommandLineInfo::ParseParam(const char* param, BOOL flag, BOOL) {
    if (flag) {
        const CString word(param);
        if (word.CompareNoCase("nologo") == 0) m_bShowSplash = FALSE;
        if (word.CompareNoCase("Embedding") == 0) m_bRunEmbedded = TRUE;
        if (word.CompareNoCase("Automation") == 0) m_bRunAutomated = TRUE;
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = param;
        m_nShellCommand = FileOpen;
    }
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName) {
    if (appName) m_pszAppName = ::_strdup(appName);
    theApplication = this;
}

CWinApp::~CWinApp() {
    std::free(const_cast<char*>(m_pszAppName));
    std::free(const_cast<char*>(m_pszExeName));
    std::free(const_cast<char*>(m_pszHelpFilePath));
    if (theApplication == this) theApplication = nullptr;
}

void CWinApp::InitApplication(HINSTANCE instance, int showCommand) {
    m_hInstance = instance;
    m_nCmdShow = showCommand;
    const std::string path = ModulePath();
    if (!m_pszExeName) m_pszExeName = HeapCopy(BaseName(path));
    if (!m_pszAppName) m_pszAppName = ::_strdup(m_pszExeName);
    if (!m_pszHelpFilePath) {
        // The classic default: the program's path with the extension .HLP.
        std::string help = path;
        const size_t dot = help.find_last_of('.');
        if (dot != std::string::npos) help.erase(dot);
        m_pszHelpFilePath = HeapCopy(help + ".HLP");
    }
}

int CWinApp::Run() {
    MSG message;
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            exitCode_ = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) break;
        if (!PreTranslateMessage(&message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* message) {
    for (HWND window = message->hwnd; window; window = ::GetParent(window)) {
        CWnd* object = CWnd::FromHandlePermanent(window);
        if (object && object->PreTranslateMessage(message)) return TRUE;
    }
    return FALSE;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
    // The runtime's own arguments went through the ANSI code page; split the wide line instead.
    int argc = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!wide) return;
    std::vector<std::string> texts;
    for (int i = 0; i < argc; ++i) texts.push_back(Narrow(wide[i]));
    ::LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(&text[0]);
    ParseCommandLine(info, argc, argv.data());
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* param = argv[i];
        const bool flag = param[0] == '/' || param[0] == '-';
        info.ParseParam(flag ? param + 1 : param, flag, i + 1 == argc);
    }
}

int CWinApp::DoMessageBox(const char* text, UINT type, UINT) { return ApplicationMessageBox(m_pMainWnd, text, type); }

void CWinApp::BeginWaitCursor() {
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    if (waitCount_++ == 0) cursorBeforeWait_ = previous;
}

void CWinApp::EndWaitCursor() {
    if (waitCount_ == 0) return;
    if (--waitCount_ == 0) ::SetCursor(cursorBeforeWait_ ? cursorBeforeWait_ : ::LoadCursorW(nullptr, IDC_ARROW));
}

CWaitCursor::CWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->BeginWaitCursor();
}

CWaitCursor::~CWaitCursor() {
    if (CWinApp* app = AfxGetApp()) app->EndWaitCursor();
}

CWinApp* AfxGetApp() { return theApplication; }

CWnd* AfxGetMainWnd() { return theApplication ? theApplication->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() {
    return theApplication && theApplication->m_hInstance ? theApplication->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

const char* AfxGetAppName() {
    if (theApplication && theApplication->m_pszAppName) return theApplication->m_pszAppName;
    // No application object has started (a test program): name it after the executable all the same.
    static const std::string name = BaseName(ModulePath());
    return name.c_str();
}

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
    if (theApplication) return theApplication->DoMessageBox(text, type, helpId);
    return ApplicationMessageBox(nullptr, text, type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    CString text;
    text.LoadString(stringId);
    return AfxMessageBox(text, type, helpId == UINT(-1) ? stringId : helpId);
}

BOOL AfxOleInit() {
    CWinApp* app = AfxGetApp();
    const HRESULT result = ::OleInitialize(nullptr);
    if (app && SUCCEEDED(result)) app->oleInitialized = true;
    return SUCCEEDED(result);
}

int AfxWinMain(HINSTANCE instance, LPSTR, int showCommand) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->InitApplication(instance, showCommand);
    int exitCode;
    if (app->InitInstance()) {
        exitCode = app->Run();
    } else {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
        exitCode = app->ExitInstance();
    }
    if (app->oleInitialized) ::OleUninitialize();
    return exitCode;
}
