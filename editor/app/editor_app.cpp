#include "editor_app.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "core/shortcut_store.h"
#include "html_help.h"
#include "registry_key.h"
#include "resource.h"
#include "script_runner.h"
#include "shortcut_transfer.h"
#include "shortcuts_dlg.h"
#include "text.h"

namespace {

BOOL CALLBACK QuitInstance(HWND window, LPARAM) {
    if (AfxGetWindowText(window) == kMainWindowCaption) {
        // The receiver's framework ends its message loop on WM_NCDESTROY of its main window.
        PostMessageW(window, WM_DESTROY, 0, 0);
        PostMessageW(window, WM_NCDESTROY, 0, 0);
    }
    return TRUE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CEditorApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

BOOL CEditorApp::InitInstance() {
    const CRegistryKey machine(store::kRootPath, HKEY_LOCAL_MACHINE, store::kSettingsStringLimit);
    InitCommonControls();
    CWinApp::InitInstance();
    AfxOleInit();

    CString helpPath;
    helpPath.Format("%sTarvo.chm", InstallationPath(machine).GetString());
    free(const_cast<char*>(m_pszHelpFilePath));
    m_pszHelpFilePath = _strdup(helpPath);

    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    const CString& word = commandLine.m_strFileName;
    if (word == "modal") {
        RunModal();
        return FALSE;
    }
    if (word == "quit") {
        QuitRunningInstances();
        return FALSE;
    }
    if (word == "start") {
        StartInstalledCopy();
        return FALSE;
    }
    if (RunTransferCommand(word.GetString(), commandExitCode)) return FALSE;
    CreateMainWindow();
    return TRUE;
}

int CEditorApp::ExitInstance() {
    // A main window that outlived the message loop ends through its own OnDestroy (tray
    // icon removed, engine stopped), which deleting the object alone would skip.
    if (mainDialog && mainDialog->GetSafeHwnd()) mainDialog->DestroyWindow();
    delete mainDialog;
    mainDialog = nullptr;
    const int exitCode = CWinApp::ExitInstance();
    return commandExitCode >= 0 ? commandExitCode : exitCode;
}

void CEditorApp::RunModal() {
    CShortcutsDlg dialog(nullptr);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
}

void CEditorApp::CreateMainWindow() {
    mainDialog = new CShortcutsDlg(nullptr);
    m_pMainWnd = mainDialog;
    // A window that fails to appear is not reported: the process then just idles.
    mainDialog->Create(IDD_SHORTCUTS, nullptr);
}

void CEditorApp::OnHelp() { ShowHelp(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr); }

CString InstallationPath(const CRegistryKey& machine) { return machine.ReadString(store::kInstallationPath, ""); }

CString InstallationPath() {
    return InstallationPath(CRegistryKey(store::kRootPath, HKEY_LOCAL_MACHINE, store::kSettingsStringLimit));
}

void QuitRunningInstances() { EnumWindows(QuitInstance, 0); }

void StartInstalledCopy() {
    CString program;
    program.Format("%svintrel.exe", InstallationPath().GetString());
    ShellExecuteW(nullptr, L"open", Wide(program).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

namespace {

// Waits for a script the user runs from the editor, which then reports its result. The
// windows keep painting and answer messages sent to them meanwhile, but no input or
// posted command is handled: nothing can start a second command inside this one.
void WaitPainting(HANDLE process) {
    // A timeout as well, so that the thread keeps looking at its queue and the system does
    // not take the windows for hung while input waits there.
    while (MsgWaitForMultipleObjects(1, &process, FALSE, 200, QS_PAINT | QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageW(&message);
    }
}

}  // namespace

void RunScriptAndReport(int scriptType, const char* script) {
    const int result = RunScript(scriptType, script, WaitPainting);
    if (result == ScriptNoTempDirectory)
        AfxMessageBox(IDS_NO_TEMP_DIRECTORY, MB_OK);
    else if (result != ScriptRan)
        AfxMessageBox(IDS_SCRIPT_FAILED, MB_OK);
}
