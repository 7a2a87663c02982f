// The editor in the notification area: tooltip, menu, and the library the commands load.
#include "editor_steps.h"

#include <shellapi.h>

#include "editor_app.h"
#include "text.h"
#include "tray_icon.h"

namespace {

// The shell's tray tooltips, each after ", ", copied through memory in the shell's process.
std::string ShellTips() {
    DWORD shellProcess = 0;
    GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &shellProcess);
    HANDLE shell = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shellProcess);
    auto* remote = static_cast<char*>(VirtualAllocEx(shell, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    std::string tips;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, nullptr));) {
        DWORD process = 0;
        char className[32] = "";
        GetWindowThreadProcessId(window, &process);
        GetClassNameA(window, className, sizeof className);
        if (process != shellProcess || lstrcmpiA(className, TOOLTIPS_CLASSA) != 0) continue;
        for (int i = 0; i < SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            TTTOOLINFOW tool = {sizeof tool};
            tool.lpszText = reinterpret_cast<wchar_t*>(remote + 512);
            wchar_t text[256] = L"";
            WriteProcessMemory(shell, remote, &tool, sizeof tool, nullptr);
            if (!SendMessageW(window, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote))) continue;
            ReadProcessMemory(shell, remote + 512, text, sizeof text - sizeof *text, nullptr);
            tips += ", " + Narrow(text);
        }
    }
    VirtualFreeEx(shell, remote, 0, MEM_RELEASE);
    CloseHandle(shell);
    return tips;
}

bool EngineLoaded() { return GetModuleHandleA("lindle.dll") != nullptr; }

// The library loaded or not, the shell's tooltips and, with a window, the icon's menu.
std::string State(CShortcutsDlg* dialog = nullptr) {
    std::string state = (GetModuleHandleA("lindle.dll") ? "loaded" : "unloaded") + ShellTips();
    if (dialog) state += ", " + MenuShown([&] { dialog->SendMessage(UM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONUP); }).items;
    return state;
}

// The icon's menu with Start or Stop greyed.
std::string Menu(bool running) {
    return std::string("143 Show Editor...;0 ;144 Stop") + (running ? ";145 Start!;" : "!;145 Start;") +
           "0 ;153 Preferences...;151 About...;152 Help...;0 ;141 Exit;";
}

// One Stop unloads even after a second Start; Start without the library says so; after
// Explorer restarted, "TaskbarCreated" brings the icon back.
TEST_F(EditorWindow, TrayCommandsStopAndStartTheEngineAndExitEndsIt) {
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    teststore::WriteItem(1, "CTRL + B", "notepad.exe");
    auto dialog = Open();
    EXPECT_EQ(State(dialog.get()), "loaded, Tarvo (2 items), " + Menu(true));
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    dialog->SendMessage(WM_COMMAND, ID_TRAY_STOP);
    EXPECT_EQ(State(dialog.get()), "unloaded, Tarvo (stopped), " + Menu(false));

    teststore::SetString(store::kRootPath, store::kInstallationPath, "C:\\nowhere", HKEY_LOCAL_MACHINE);
    EXPECT_EQ(Reported(dialog->m_hWnd, [&] { dialog->SendMessage(WM_COMMAND, ID_TRAY_START); }), "Tarvo: Failed to load 'lindle.dll'.");
    NOTIFYICONDATAW icon = {sizeof icon, dialog->m_hWnd, TRAY_ICON_ID};
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    dialog->SendMessage(RegisterWindowMessageW(L"TaskbarCreated"));
    EXPECT_EQ(State(), "unloaded, Tarvo (stopped)");

    teststore::SetString(store::kRootPath, store::kInstallationPath, BinaryDir(), HKEY_LOCAL_MACHINE);
    dialog->SendMessage(WM_COMMAND, ID_TRAY_START);
    EXPECT_EQ(State(), "loaded, Tarvo (2 items)");
    dialog->SendMessage(WM_COMMAND, ID_TRAY_EXIT);
    EXPECT_EQ(State(), "unloaded");
}

// A main window still open when the program ends leaves no icon and no engine behind.
TEST_F(EditorWindow, ExitInstanceEndsAMainWindowStillOpen) {
    teststore::WriteItem(0, "CTRL + A", "calc.exe");
    CEditorApp editor;
    editor.mainDialog = Open().release();
    ASSERT_EQ(State(), "loaded, Tarvo (1 items)");
    editor.ExitInstance();
    EXPECT_EQ(State(), "unloaded");
}

}  // namespace
