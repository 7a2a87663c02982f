// CEditorApp: the editor program. One command word on the command line picks what a run
// does: none (or any other word) keeps the hidden main window and the tray; "modal" runs
// the main window visibly until it closes; "quit" closes every running instance; "start"
// launches the installed copy; "export FILE" and "import FILE" save or load the shortcut
// list without a window and end with the result as the exit code.
#pragma once

#include <windows.h>

#include "afxwin.h"
#include "registry_key.h"

class CShortcutsDlg;

// The caption by which "quit" finds running instances.
constexpr const char* kMainWindowCaption = "Vintrel";

class CEditorApp : public CWinApp {
public:
    CEditorApp() = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Owned; null until the modeless main window is created.
    CShortcutsDlg* mainDialog = nullptr;
    // The result of a command that ends with its own exit code; -1 for the others.
    int commandExitCode = -1;

protected:
    void OnHelp();
    DECLARE_MESSAGE_MAP()

private:
    void RunModal();
    void CreateMainWindow();
};

// "Installation path" from the machine-wide key ("" when missing), read through the given
// key object or a fresh one.
CString InstallationPath(const CRegistryKey& machine);
CString InstallationPath();

// Posts WM_DESTROY and WM_NCDESTROY to every top-level window captioned exactly "Vintrel".
void QuitRunningInstances();
// Opens "<installation path>vintrel.exe".
void StartInstalledCopy();

// Runs a script with the editor's own script runner, which returns when its process has
// ended, and tells the user when it could not run (strings 103 and 104).
void RunScriptAndReport(int scriptType, const char* script);
