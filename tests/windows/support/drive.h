// Driving the real program as a user does: the editor started on a prepared store, its
// dialogs and controls found, keys and clicks given as real input, and key_target.exe as
// the window that receives keys and the marker programs that show what a shortcut started.
// Waits: 20 seconds for a condition to hold (teststore::WaitFor), 30 for a process to end.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "dialog_watch.h"
#include "test_store.h"
#include "text.h"

namespace drive {

using namespace teststore;
using testwatch::Click;
using testwatch::WindowText;

constexpr UINT kList = 1001, kCapture = 1015, kShortcutBox = 1019, kAction = 1030;
constexpr UINT kEditItem = 32772, kAddShortcut = 32774, kDeleteItem = 32776;
constexpr UINT kTrayExit = 141, kTrayShow = 143, kTrayStop = 144, kTrayStart = 145;

// Brings a window to the front and waits until it is there.
void ToFront(HWND window);
// A press and release of a virtual key.
void Tap(WORD vk);
// A window's text, also of another process's window; and setting it.
std::string Text(HWND window);
void SetText(HWND window, const std::string& text);
// A visible dialog of any process with this caption, other than except; null after the wait.
HWND WaitForWindow(const char* caption, HWND except = nullptr);
// The first descendant of parent that shows this text, or null.
HWND FindControl(HWND parent, const std::string& text);
// A list row's state set through the control, as a click does (in any process).
void SetRowState(HWND list, int row, UINT state, UINT mask);
// Runs a command to its end (a minute at most); its exit code, 0xFFFF when it did not end.
DWORD RunToEnd(const std::string& command);
bool Exists(const std::string& path);

// A folder in the temporary folder with copies of key_target.exe named <letter>.exe (the
// markers log their letter to markers.log), and key_target.exe (or the given build of it)
// started as the target: a window that logs every key it receives to keys.log.
struct Target {
    Target(const std::string& name, const std::string& letters, const std::string& program = ExeDirectory() + "key_target.exe");
    ~Target() { TerminateProcess(process, 0); }
    // With forward slashes, so that the shell starts the file itself rather than opening
    // a drive path through explorer.exe.
    std::string Slashed(const std::string& name) const;
    bool Start();
    HWND Window() const;
    // Brings the target to the front, sends the keys and an unbound F9; the keys logged before F9.
    std::string Type(const std::string& keys);
    // The sorted letters of the markers started since the previous call, once count have
    // come and a second has passed for any other.
    std::string Launched(size_t count);
    // Left Ctrl + F either reaches the target whole or fires marker letter and leaves only Ctrl.
    void ExpectFired(const std::string& letter, const std::string& after);
    // Unbound keys first: under Wine the first keystrokes after hooks were installed anew
    // can pass the target before the hooks reach it.
    void Settle();

    const std::string path, program;
    HANDLE process = nullptr;
    size_t launched = 0;
};

// vintrel.exe started from folder as the Start menu starts it; ended at the end if still running.
struct Editor {
    explicit Editor(const std::string& folder, const std::string& arguments = "");
    ~Editor();
    // Copies this build's vintrel.exe and lindle.dll into folder and makes it the
    // installation folder, so that the editor started there loads that library.
    static bool InstallCopy(const std::string& folder);
    bool Ended(DWORD wait = 30000) const { return WaitForSingleObject(process, wait) == WAIT_OBJECT_0; }
    void Command(UINT id) const { SendMessageW(main, WM_COMMAND, id, 0); }
    // Posts a command that opens a dialog with this caption; the dialog, in front.
    HWND Open(UINT command, const char* caption) const;
    // "vintrel quit" and the editor's end.
    bool Quit() const;
    HWND List() const { return GetDlgItem(main, kList); }

    const std::string folder;
    HANDLE process;
    HWND main;
};

// In the Add or Edit dialog: captures keys with the Capture button, types the action, OK.
// False when the dialog did not show captured or did not close.
bool CaptureAndSave(HWND dialog, const std::string& keys, const std::string& shown, const std::string& action);

}  // namespace drive
