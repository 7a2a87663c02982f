// CWinApp: the program's one application object. Define a global instance of a derived
// class; the framework's WinMain then calls InitInstance, runs the message loop while it
// returned TRUE (until the main window m_pMainWnd is destroyed) and calls ExitInstance,
// whose result is the exit code. The application's message map receives the commands
// that no dialog handles.
#pragma once

#include <windows.h>

#include "cmd_target.h"
#include "cstring.h"

class CWnd;

// What the command line asks for. Parameters that begin with "/" or "-" are flags; the
// first other parameter is the file name.
class CCommandLineInfo {
public:
    virtual ~CCommandLineInfo() = default;
    // param without its flag character when flag is set; last marks the final parameter.
    virtual void ParseParam(const char* param, BOOL flag, BOOL last);

    enum { FileNew, FileOpen, FileNothing };
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
};

class CWinApp : public CCmdTarget {
public:
    // appName null: the title is the executable's base name.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    const char* m_pszAppName = nullptr;   // heap copy, owned
    const char* m_pszExeName = nullptr;   // heap copy, owned
    // Heap copy (malloc), owned; whoever replaces it frees the old one.
    const char* m_pszHelpFilePath = nullptr;
    CWnd* m_pMainWnd = nullptr;

    // Sets the instance, the names and the help path from the running executable.
    void InitApplication(HINSTANCE instance, int showCommand);
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return exitCode_; }
    // The message loop; returns ExitInstance's result.
    virtual int Run();
    // Gives the windows under the message (innermost first) a look before dispatch.
    virtual BOOL PreTranslateMessage(MSG* message);

    void ParseCommandLine(CCommandLineInfo& info) const;
    // The same over an explicit argument vector (argv[0] is the program and is skipped).
    static void ParseCommandLine(CCommandLineInfo& info, int argc, char** argv);

    int DoMessageBox(const char* text, UINT type, UINT helpId);
    void BeginWaitCursor();
    void EndWaitCursor();

    bool oleInitialized = false;

protected:
    DECLARE_MESSAGE_MAP()

private:
    int exitCode_ = 0;
    int waitCount_ = 0;
    HCURSOR cursorBeforeWait_ = nullptr;
};

// Shows the wait cursor for its lifetime, also when an exception passes.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The application title: the app object's name, else the executable's base name.
const char* AfxGetAppName();

// A message box owned by the main window with the application title as caption. Without an
// icon flag, MB_OK and MB_OKCANCEL get the exclamation mark, MB_YESNO(CANCEL) the question mark.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = UINT(-1));

// OleInitialize for the thread; undone when the framework's WinMain ends.
BOOL AfxOleInit();

int AfxWinMain(HINSTANCE instance, LPSTR commandLine, int showCommand);
